// Serves an application object on the automation endpoint from a thread of its own, as the
// stand-in MicroStation serves it from a process of its own. Link ustation_server to use it.
#pragma once

#include <QEventLoop>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>

#include "AutomationServer.h"

namespace vtl::test {

class ServerThread {
public:
    explicit ServerThread(mstn::Application& application) : application_(application) {
        thread_.reset(QThread::create([this] { run(); }));
        thread_->start();
        while (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~ServerThread() { stop(); }

    void stop() {
        if (!thread_ || thread_->isFinished()) return;
        QMetaObject::invokeMethod(loop_, "quit", Qt::QueuedConnection);
        thread_->wait();
    }
    bool listening() const { return listening_; }

private:
    void run() {
        ustation::Journal journal;
        ustation::AutomationServer server(application_, journal, [] { return false; });
        listening_ = server.listen();
        QEventLoop loop;
        loop_ = &loop;
        ready_ = true;
        loop.exec();
    }

    mstn::Application& application_;
    std::unique_ptr<QThread> thread_;
    QEventLoop* loop_ = nullptr;
    std::atomic<bool> ready_{false};
    std::atomic<bool> listening_{false};
};

}  // namespace vtl::test

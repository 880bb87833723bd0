// Measures, in one run, a bare local-socket round trip and a member call through the automation
// proxy to a running stand-in MicroStation, and prints their ratio. The goal is a member call
// within twice the bare round trip, so a batch's cost is MicroStation's work, not our plumbing.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <iostream>
#include <map>
#include <memory>

#include "mstn/RemoteApplication.h"

namespace {

// An echo server on a thread of its own: the floor any request and reply must pay.
class EchoServer {
public:
    explicit EchoServer(const QString& name) : name_(name) {
        thread_.reset(QThread::create([this] { run(); }));
        thread_->start();
        while (!ready_) QThread::msleep(1);
    }
    ~EchoServer() {
        QMetaObject::invokeMethod(loop_, "quit", Qt::QueuedConnection);
        thread_->wait();
    }

private:
    void run() {
        QLocalServer server;
        QLocalServer::removeServer(name_);
        server.listen(name_);
        QObject::connect(&server, &QLocalServer::newConnection, [&server] {
            QLocalSocket* socket = server.nextPendingConnection();
            QObject::connect(socket, &QLocalSocket::readyRead, [socket] {
                socket->write(socket->readAll());
                socket->flush();
            });
        });
        QEventLoop loop;
        loop_ = &loop;
        ready_ = true;
        loop.exec();
    }

    QString name_;
    std::unique_ptr<QThread> thread_;
    QEventLoop* loop_ = nullptr;
    std::atomic<bool> ready_{false};
};

QTemporaryDir& home() {
    static QTemporaryDir dir;
    return dir;
}

void BM_BareRoundTrip(benchmark::State& state) {
    const QString name = home().filePath("echo");
    EchoServer server(name);
    QLocalSocket socket;
    socket.connectToServer(name);
    socket.waitForConnected();
    // A message of the size of a typical key-in request.
    const QByteArray message(
        R"({"args":["lv=10;co=3;wt=2"],"id":1,"member":"MbeSendCommand","object":0})"
        "\n");
    for (auto _ : state) {
        socket.write(message);
        socket.flush();
        qint64 got = 0;
        while (got < message.size() && socket.waitForReadyRead(1000))
            got += socket.readAll().size();
    }
}

void BM_MemberCall(benchmark::State& state) {
    QProcess standIn;
    standIn.setProgram(VTL_STANDINS_DIR "/ustation.exe");
    standIn.setArguments({"/Automation"});
    standIn.start();
    std::shared_ptr<vtl::mstn::Application> app;
    for (int i = 0; i < 200 && !app; ++i) {
        try {
            app = vtl::mstn::connectApplication();
        } catch (const vtl::Error&) {
            QThread::msleep(25);
        }
    }
    if (!app) {
        state.SkipWithError("the stand-in MicroStation did not start");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(app->MbeGetConfigVar("MS_DATA"));
    try {
        app->Quit();
    } catch (const vtl::Error&) {
    }
    standIn.waitForFinished(5000);
}

BENCHMARK(BM_BareRoundTrip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemberCall)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration for the closing ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qputenv("VTL_PLATFORM_HOME", home().path().toUtf8());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double bare = reporter.times["BM_BareRoundTrip"];
    double call = reporter.times["BM_MemberCall"];
    if (bare > 0 && call > 0) {
        std::cout << "member call / bare round trip = " << call / bare << " (goal: at most 2)\n";
    }
    benchmark::Shutdown();
    return 0;
}

// Serves the automation object on the local socket of the platform home.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>
#include <map>

#include "Dispatcher.h"

namespace vtl::ustation {

class AutomationServer : public QObject {
    Q_OBJECT
public:
    // quitRequested tells after each call whether the process is to end (after the reply).
    AutomationServer(mstn::Application& application, Journal& journal,
                     std::function<bool()> quitRequested);

    // Takes the endpoint; false when another running instance already serves it.
    bool listen();

signals:
    void quitRequested();

private:
    void accept();
    void serve(QLocalSocket* socket);

    Dispatcher dispatcher_;
    std::function<bool()> quitAfterReply_;
    // Declared before the server: its sockets, deleted with it, still erase their buffers.
    std::map<QLocalSocket*, QByteArray> buffers_;
    QLocalServer server_;
};

}  // namespace vtl::ustation

// Serves the automation object on the local socket of the platform home.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>

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
    // What a client sent that is not run yet, and the failure of a call it did not wait for.
    struct Connection {
        QByteArray buffer;
        std::optional<Error> failed;
        int64_t failedCall = 0;
    };

    void accept();
    void serve(QLocalSocket* socket);
    // The reply to send, nothing for a call the client does not wait for.
    std::optional<mstn::wire::Reply> answer(Connection& connection,
                                            const mstn::wire::Request& request);

    Dispatcher dispatcher_;
    std::function<bool()> quitAfterReply_;
    // Declared before the server: its sockets, deleted with it, still erase their state. Shared,
    // so a request running while its client disconnects keeps what it works on.
    std::map<QLocalSocket*, std::shared_ptr<Connection>> connections_;
    QLocalServer server_;
};

}  // namespace vtl::ustation

#include "AutomationServer.h"

#include <QLocalSocket>

namespace vtl::ustation {

namespace wire = mstn::wire;

AutomationServer::AutomationServer(mstn::Application& application, Journal& journal,
                                   std::function<bool()> quitRequested)
    : dispatcher_(application, journal), quitAfterReply_(std::move(quitRequested)) {
    connect(&server_, &QLocalServer::newConnection, this, &AutomationServer::accept);
}

bool AutomationServer::listen() {
    const QString endpoint = QString::fromStdString(wire::endpoint());
    QLocalSocket probe;
    probe.connectToServer(endpoint);
    if (probe.waitForConnected(500)) return false;  // a running instance answers already
    QLocalServer::removeServer(endpoint);           // a socket left behind by a killed instance
    return server_.listen(endpoint);
}

void AutomationServer::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            buffers_.erase(socket);
            socket->deleteLater();
        });
    }
}

void AutomationServer::serve(QLocalSocket* socket) {
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    int newline;
    while ((newline = buffer.indexOf('\n')) >= 0) {
        std::optional<wire::Request> request = wire::decodeRequest(buffer.left(newline));
        buffer.remove(0, newline + 1);
        if (!request) continue;
        wire::Reply reply = dispatcher_.handle(*request);
        if (request->wantsReply) {
            // Sent now, not on the event loop's next wake-up: the caller is waiting for it.
            wire::send(*socket, wire::encode(reply));
        }
        if (quitAfterReply_ && quitAfterReply_()) {
            socket->waitForBytesWritten(1000);
            emit quitRequested();
            return;
        }
    }
}

}  // namespace vtl::ustation

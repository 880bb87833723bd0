#include "AutomationServer.h"

#include <QLocalSocket>
#include <QPointer>
#include <utility>

#include "core/Text.h"

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
            connections_.erase(socket);
            socket->deleteLater();
        });
    }
}

void AutomationServer::serve(QLocalSocket* socket) {
    std::shared_ptr<Connection>& slot = connections_[socket];
    if (!slot) slot = std::make_shared<Connection>();
    const std::shared_ptr<Connection> connection = slot;
    QByteArray& buffer = connection->buffer;
    const QPointer<QLocalSocket> alive(socket);
    while (alive) {
        // A member that handles events itself (a key-in that brings its title to the screen)
        // lets the socket read what followed without signalling it again: taken before each
        // request.
        buffer += socket->readAll();
        const qsizetype newline = buffer.indexOf('\n');
        if (newline < 0) break;
        std::optional<wire::Request> request = wire::decodeRequest(buffer.left(newline));
        buffer.remove(0, newline + 1);
        if (!request) continue;
        std::optional<wire::Reply> reply = answer(*connection, *request);
        if (!alive) break;
        if (reply) {
            // Sent now, not on the event loop's next wake-up: the caller is waiting for it.
            wire::send(*socket, wire::encode(*reply));
        }
        if (quitAfterReply_ && quitAfterReply_()) {
            socket->waitForBytesWritten(1000);
            emit quitRequested();
            return;
        }
    }
}

// A client that waited for every call would have stopped at a failure. After a call it did not
// wait for failed, nothing is run (nor journaled) until it waits; that call answers with the
// failure and names the call that failed. Releasing objects goes on meanwhile.
std::optional<wire::Reply> AutomationServer::answer(Connection& connection,
                                                    const wire::Request& request) {
    const bool release = text::iequals(request.member, "Release");
    if (connection.failed && !release) {
        if (!request.wantsReply) return std::nullopt;
        wire::Reply reply;
        reply.id = request.id;
        reply.error = std::exchange(connection.failed, std::nullopt);
        reply.failedCall = std::exchange(connection.failedCall, 0);
        return reply;
    }
    if (request.member == wire::kSyncMember) return wire::Reply{request.id, {}, {}, {}};
    wire::Reply reply = dispatcher_.handle(request);
    if (request.wantsReply) return reply;
    if (reply.error && !release) {
        connection.failed = reply.error;
        connection.failedCall = request.id;
    }
    return std::nullopt;
}

}  // namespace vtl::ustation

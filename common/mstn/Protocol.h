// The wire between the automation proxy and the stand-in MicroStation: one JSON object per line
// over a local socket. A request names an object (0 is the application), a member and its
// arguments; the reply carries the result, the values of out-arguments, or an automation error.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <cstdint>
#include <optional>
#include <string>

#include "core/Error.h"
#include "mstn/Automation.h"

namespace vtl::mstn::wire {

// The local socket of the running automation server, in the platform home.
std::string endpoint();

inline constexpr int64_t kApplicationObject = 0;

struct Request {
    int64_t id = 0;
    int64_t object = kApplicationObject;
    std::string member;
    QJsonArray args;
    bool wantsReply = true;
};

struct Reply {
    int64_t id = 0;
    QJsonValue result;
    QJsonArray outs;
    std::optional<Error> error;
};

QByteArray encode(const Request& request);
QByteArray encode(const Reply& reply);
// Parses one line; nothing when it is no well-formed message.
std::optional<Request> decodeRequest(const QByteArray& line);
std::optional<Reply> decodeReply(const QByteArray& line);

QJsonValue toJson(const Point& point);
Point toPoint(const QJsonValue& value);
// An object reference in a result: {"object": id}.
QJsonValue objectRef(int64_t id);
std::optional<int64_t> objectId(const QJsonValue& value);

}  // namespace vtl::mstn::wire

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
#include <utility>
#include <vector>

#include "core/Error.h"
#include "mstn/Automation.h"

class QLocalSocket;

namespace vtl::mstn::wire {

// The local socket of the running automation server, in the platform home.
std::string endpoint();

inline constexpr int64_t kApplicationObject = 0;

// A request that waits until the server has run every call sent before it, with the failure of
// one sent without waiting as its reply. Not a member of the automation object: the journal does
// not list it.
inline constexpr char kSyncMember[] = "Sync";

// One component of an element as the element object's members give it, so the proxy answers
// them itself: what Type, Level, Color and Weight return, and the out-values of GetString,
// GetOrigin and getEndPoints where they return 0.
struct ComponentImage {
    int32_t type = 0;
    int32_t level = 0;
    int32_t color = 0;
    int32_t weight = 0;
    std::optional<std::string> text;
    std::optional<Point> origin;
    std::optional<std::pair<Point, Point>> ends;
    bool operator==(const ComponentImage&) const = default;
};

// A whole element: its position and fileSize, the element itself and then its components.
struct ElementImage {
    int32_t position = -1;
    int32_t size = 0;
    std::vector<ComponentImage> parts;
    bool operator==(const ElementImage&) const = default;
};

// What the proxy of an element object did that the server's object has not seen: the element
// it holds (of the file index), its current component and the texts set on components. A call
// that needs them carries them, and the server's object takes them on first.
struct ElementState {
    int32_t position = -1;
    int32_t fileIndex = 0;
    int32_t component = 0;
    std::vector<std::pair<int32_t, std::string>> strings;
};

struct Request {
    int64_t id = 0;
    int64_t object = kApplicationObject;
    std::string member;
    QJsonArray args;
    bool wantsReply = true;
    std::optional<ElementState> state;
};

struct Reply {
    int64_t id = 0;
    QJsonValue result;
    QJsonArray outs;
    std::optional<Error> error;
    // With an error: the call sent without waiting that failed, 0 when it is this call's own.
    int64_t failedCall = 0;
};

// Writes one message. While nothing of the socket's own is waiting to go out, it goes straight
// to the descriptor: Qt's buffered write arms and disarms the write notifier, and with the glib
// event loop each of those wakes the loop once more, on both ends of every call.
void send(QLocalSocket& socket, const QByteArray& message);

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

QJsonValue toJson(const ElementImage& image);
// Nothing when the value is no element image.
std::optional<ElementImage> toElementImage(const QJsonValue& value);

}  // namespace vtl::mstn::wire

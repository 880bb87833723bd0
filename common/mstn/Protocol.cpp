#include "mstn/Protocol.h"

#include <sys/socket.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <cerrno>
#include <utility>

#include "core/Environment.h"
#include "mstn/JsonLine.h"

namespace vtl::mstn::wire {

std::string endpoint() {
    return (env::platformHome() / kAutomationClass).string();
}

void send(QLocalSocket& socket, const QByteArray& message) {
    qsizetype done = 0;
    const qintptr fd = socket.socketDescriptor();
    if (fd >= 0 && socket.bytesToWrite() == 0) {
        while (done < message.size()) {
            const ssize_t n =
                ::send(static_cast<int>(fd), message.constData() + done,
                       static_cast<size_t>(message.size() - done), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // full, or broken: the socket's own write finds out which
            done += n;
        }
    }
    if (done == message.size()) return;
    socket.write(message.constData() + done, message.size() - done);
    socket.flush();
}

namespace {

QByteArray line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> parse(const QByteArray& text) {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return {};
    return document.object();
}

void appendState(QByteArray& out, const ElementState& state) {
    out += "{\"position\":" + QByteArray::number(state.position) +
           ",\"file\":" + QByteArray::number(state.fileIndex) +
           ",\"component\":" + QByteArray::number(state.component) + ",\"strings\":[";
    for (size_t i = 0; i < state.strings.size(); ++i) {
        if (i > 0) out += ',';
        out += '[' + QByteArray::number(state.strings[i].first) + ',';
        json::appendString(out, QString::fromStdString(state.strings[i].second));
        out += ']';
    }
    out += "]}";
}

}  // namespace

QByteArray encode(const Request& request) {
    QByteArray out;
    out.reserve(128);
    out += "{\"id\":" + QByteArray::number(static_cast<qint64>(request.id)) +
           ",\"object\":" + QByteArray::number(static_cast<qint64>(request.object)) +
           ",\"member\":";
    json::appendString(out, QString::fromStdString(request.member));
    out += ",\"args\":";
    json::appendArray(out, request.args);
    if (!request.wantsReply) out += ",\"noReply\":true";
    if (request.state) {
        out += ",\"state\":";
        appendState(out, *request.state);
    }
    out += "}\n";
    return out;
}

QByteArray encode(const Reply& reply) {
    QJsonObject object{{"id", static_cast<qint64>(reply.id)}};
    if (reply.error) {
        object.insert(
            "error",
            QJsonObject{{"number", static_cast<qint64>(reply.error->number())},
                        {"source", QString::fromStdString(reply.error->source())},
                        {"description", QString::fromStdString(reply.error->description())}});
        if (reply.failedCall != 0) {
            object.insert("failedCall", static_cast<qint64>(reply.failedCall));
        }
    } else {
        object.insert("result", reply.result);
        if (!reply.outs.isEmpty()) object.insert("outs", reply.outs);
    }
    return line(object);
}

std::optional<Request> decodeRequest(const QByteArray& text) {
    json::Reader reader(text);
    Request request;
    bool named = false;
    const auto state = [&](const std::string& key) {
        ElementState& s = *request.state;
        if (key == "position") return reader.integer(s.position);
        if (key == "file") return reader.integer(s.fileIndex);
        if (key == "component") return reader.integer(s.component);
        if (key != "strings") return reader.value().has_value();
        return reader.array([&] {  // [component, text] pairs
            auto& [component, string] = s.strings.emplace_back();
            bool second = false;
            return reader.array([&] {
                const bool isString = std::exchange(second, true);
                return isString ? reader.string(string) : reader.integer(component);
            });
        });
    };
    const bool read = reader.object([&](const std::string& key) {
        if (key == "id") return reader.integer(request.id);
        if (key == "object") return reader.integer(request.object);
        if (key == "member") return named = reader.string(request.member);
        if (key == "noReply") {
            bool noReply = false;
            if (!reader.boolean(noReply)) return false;
            request.wantsReply = !noReply;
            return true;
        }
        if (key == "state") return request.state.emplace(), reader.object(state);
        std::optional<QJsonValue> value = reader.value();
        if (key == "args" && value) request.args = value->toArray();
        return value.has_value();
    });
    if (!read || !named || !reader.atEnd()) return {};
    return request;
}

std::optional<Reply> decodeReply(const QByteArray& text) {
    std::optional<QJsonObject> object = parse(text);
    if (!object) return {};
    Reply reply;
    reply.id = object->value("id").toInteger();
    if (object->contains("error")) {
        QJsonObject e = object->value("error").toObject();
        reply.error =
            Error(e.value("number").toInteger(), e.value("source").toString().toStdString(),
                  e.value("description").toString().toStdString());
        reply.failedCall = object->value("failedCall").toInteger();
    } else {
        reply.result = object->value("result");
        reply.outs = object->value("outs").toArray();
    }
    return reply;
}

QJsonValue toJson(const Point& point) {
    return QJsonArray{point.x, point.y, point.z};
}

Point toPoint(const QJsonValue& value) {
    QJsonArray a = value.toArray();
    return Point{a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble()};
}

QJsonValue objectRef(int64_t id) {
    return QJsonObject{{"object", static_cast<qint64>(id)}};
}

std::optional<int64_t> objectId(const QJsonValue& value) {
    if (!value.isObject() || !value.toObject().contains("object")) return {};
    return value.toObject().value("object").toInteger();
}

// A component as [type, level, color, weight, text, origin, [start, end]], null where a member
// returns no value: short, as a walk sends thousands of them.
QJsonValue toJson(const ElementImage& image) {
    QJsonArray parts;
    for (const ComponentImage& c : image.parts) {
        QJsonArray part{c.type, c.level, c.color, c.weight};
        part.append(c.text ? QJsonValue(QString::fromStdString(*c.text)) : QJsonValue());
        part.append(c.origin ? toJson(*c.origin) : QJsonValue());
        part.append(c.ends ? QJsonValue(QJsonArray{toJson(c.ends->first), toJson(c.ends->second)})
                           : QJsonValue());
        parts.append(part);
    }
    return QJsonObject{{"p", image.position}, {"s", image.size}, {"c", parts}};
}

std::optional<ElementImage> toElementImage(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    if (!object.value("p").isDouble() || !object.value("c").isArray()) return {};
    ElementImage image;
    image.position = object.value("p").toInt();
    image.size = object.value("s").toInt();
    for (const QJsonValue& entry : object.value("c").toArray()) {
        const QJsonArray a = entry.toArray();
        if (a.size() < 7) return {};
        ComponentImage c{
            a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt(), a.at(3).toInt(), {}, {}, {}};
        if (a.at(4).isString()) c.text = a.at(4).toString().toStdString();
        if (a.at(5).isArray()) c.origin = toPoint(a.at(5));
        if (a.at(6).isArray())
            c.ends = {toPoint(a.at(6).toArray().at(0)), toPoint(a.at(6).toArray().at(1))};
        image.parts.push_back(std::move(c));
    }
    return image;
}

}  // namespace vtl::mstn::wire

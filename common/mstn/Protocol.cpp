#include "mstn/Protocol.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "core/Environment.h"

namespace vtl::mstn::wire {

std::string endpoint() { return (env::platformHome() / kAutomationClass).string(); }

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

}  // namespace

QByteArray encode(const Request& request) {
    QJsonObject object{{"id", static_cast<qint64>(request.id)},
                       {"object", static_cast<qint64>(request.object)},
                       {"member", QString::fromStdString(request.member)},
                       {"args", request.args}};
    if (!request.wantsReply) object.insert("noReply", true);
    return line(object);
}

QByteArray encode(const Reply& reply) {
    QJsonObject object{{"id", static_cast<qint64>(reply.id)}};
    if (reply.error) {
        object.insert("error", QJsonObject{{"number", static_cast<qint64>(reply.error->number())},
                                           {"source", QString::fromStdString(reply.error->source())},
                                           {"description",
                                            QString::fromStdString(reply.error->description())}});
    } else {
        object.insert("result", reply.result);
        if (!reply.outs.isEmpty()) object.insert("outs", reply.outs);
    }
    return line(object);
}

std::optional<Request> decodeRequest(const QByteArray& text) {
    std::optional<QJsonObject> object = parse(text);
    if (!object || !object->value("member").isString()) return {};
    Request request;
    request.id = object->value("id").toInteger();
    request.object = object->value("object").toInteger();
    request.member = object->value("member").toString().toStdString();
    request.args = object->value("args").toArray();
    request.wantsReply = !object->value("noReply").toBool(false);
    return request;
}

std::optional<Reply> decodeReply(const QByteArray& text) {
    std::optional<QJsonObject> object = parse(text);
    if (!object) return {};
    Reply reply;
    reply.id = object->value("id").toInteger();
    if (object->contains("error")) {
        QJsonObject e = object->value("error").toObject();
        reply.error = Error(e.value("number").toInteger(), e.value("source").toString().toStdString(),
                            e.value("description").toString().toStdString());
    } else {
        reply.result = object->value("result");
        reply.outs = object->value("outs").toArray();
    }
    return reply;
}

QJsonValue toJson(const Point& point) { return QJsonArray{point.x, point.y, point.z}; }

Point toPoint(const QJsonValue& value) {
    QJsonArray a = value.toArray();
    return Point{a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble()};
}

QJsonValue objectRef(int64_t id) { return QJsonObject{{"object", static_cast<qint64>(id)}}; }

std::optional<int64_t> objectId(const QJsonValue& value) {
    if (!value.isObject() || !value.toObject().contains("object")) return {};
    return value.toObject().value("object").toInteger();
}

}  // namespace vtl::mstn::wire

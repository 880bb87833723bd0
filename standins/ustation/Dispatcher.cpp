#include "Dispatcher.h"

#include <QJsonObject>
#include <thread>

#include "ImagedElement.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace wire = mstn::wire;

namespace {

[[noreturn]] void unknownMember(const std::string& member) {
    throw Error(438, "", "Object doesn't support this property or method: " + member);
}

// Elements a fetch sends after the one asked for: a walk then costs one round trip per this many.
constexpr size_t kElementsAhead = 255;

std::string str(const QJsonArray& args, int i) {
    return args.at(i).toString().toStdString();
}
int32_t integer(const QJsonArray& args, int i) {
    return static_cast<int32_t>(args.at(i).toInteger());
}

}  // namespace

std::string describeArguments(const QJsonArray& args) {
    std::vector<std::string> parts;
    for (const QJsonValue& value : args) {
        if (value.isString()) {
            parts.push_back("\"" + value.toString().toStdString() + "\"");
        } else if (value.isArray()) {
            mstn::Point p = wire::toPoint(value);
            parts.push_back("(" + num::text(p.x) + "," + num::text(p.y) + "," + num::text(p.z) +
                            ")");
        } else if (value.isBool()) {
            parts.push_back(value.toBool() ? "True" : "False");
        } else {
            parts.push_back(num::text(value.toDouble()));
        }
    }
    return text::join(parts, ", ");
}

Dispatcher::Dispatcher(mstn::Application& application, Journal& journal)
    : application_(application), journal_(journal) {}

int64_t Dispatcher::keep(Object object) {
    int64_t id = nextObject_++;
    objects_[id] = std::move(object);
    return id;
}

wire::Reply Dispatcher::handle(const wire::Request& request) {
    wire::Reply reply;
    reply.id = request.id;
    if (text::iequals(request.member, "Release")) {
        objects_.erase(request.object);
        return reply;
    }
    // The texts a proxy set on the element's components came with the call.
    std::vector<std::pair<std::string, std::string>> received;
    if (request.state) {
        for (const auto& change : request.state->strings) {
            received.emplace_back("setString",
                                  describeArguments({QString::fromStdString(change.second)}));
        }
    }
    received.emplace_back(request.member, describeArguments(request.args));
    journal_.calls(received);
    if (stallMs_ > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(stallMs_));
        stallMs_ = 0;
    }
    try {
        if (request.object == wire::kApplicationObject) {
            reply.result = callApplication(request, reply.outs);
        } else if (auto it = objects_.find(request.object); it == objects_.end()) {
            throw Error(err::AutomationError, "", "Automation error: the object is gone");
        } else if (auto* element = std::get_if<std::shared_ptr<mstn::Element>>(&it->second)) {
            auto* imaged = dynamic_cast<ImagedElement*>(element->get());
            if (imaged && request.state) imaged->restore(*request.state);
            reply.result = callElement(**element, request, reply.outs);
            if (imaged && request.wantsReply) sendImages(*imaged, request.member, reply);
        } else {
            reply.result =
                callRefFiles(*std::get<std::shared_ptr<mstn::RefFiles>>(it->second), request);
        }
    } catch (...) {
        Error e = toError(std::current_exception());
        reply.error =
            Error(e.number(), e.source().empty() ? "MicroStation" : e.source(), e.description());
    }
    return reply;
}

QJsonValue Dispatcher::callApplication(const wire::Request& r, QJsonArray&) {
    const std::string m = text::lower(r.member);
    const QJsonArray& a = r.args;
    mstn::Application& app = application_;
    if (m == "mbesendcommand") return app.MbeSendCommand(str(a, 0)), QJsonValue();
    if (m == "mbesendkeyin") return app.MbeSendkeyin(str(a, 0)), QJsonValue();
    if (m == "mbesetappvariable") {
        return app.MbeSetAppVariable(str(a, 0), str(a, 1), a.at(2).toDouble()), QJsonValue();
    }
    if (m == "mbesendappmessage") return app.MbeSendAppMessage(str(a, 0), str(a, 1)), QJsonValue();
    if (m == "mbesendreset") return app.MbeSendReset(), QJsonValue();
    if (m == "mbesenddatapoint") return app.mbeSendDataPoint(wire::toPoint(a.at(0))), QJsonValue();
    if (m == "mbecexpressionlong") return app.MbeCExpressionLong(str(a, 0));
    if (m == "mbegetconfigvar") return QString::fromStdString(app.MbeGetConfigVar(str(a, 0)));
    if (m == "mbeelement") return wire::objectRef(keep(app.MbeElement()));
    if (m == "mbereffiles") return wire::objectRef(keep(app.MbeRefFiles()));
    if (m == "visible") return app.Visible();
    if (m == "setvisible") return app.setVisible(integer(a, 0)), QJsonValue();
    if (m == "quit") return app.Quit(), QJsonValue();
    if (m == "teststall") return setStallMs(integer(a, 0)), QJsonValue();
    unknownMember(r.member);
}

QJsonValue Dispatcher::callElement(mstn::Element& e, const wire::Request& r, QJsonArray& outs) {
    const std::string m = text::lower(r.member);
    const QJsonArray& a = r.args;
    if (m == "fromfile") return e.fromFile(integer(a, 0), a.size() > 1 ? integer(a, 1) : 0);
    if (m == "filesize") return e.fileSize();
    if (m == "filepos") return e.filePos();
    if (m == "type") return e.Type();
    if (m == "level") return e.Level();
    if (m == "color") return e.Color();
    if (m == "weight") return e.Weight();
    if (m == "nextcomponent") return e.nextComponent();
    if (m == "setstring") return e.setString(str(a, 0));
    if (m == "rewrite") return e.Rewrite();
    if (m == "publish") return e.Publish(str(a, 0));
    if (m == "getstring") {
        std::string value;
        int32_t status = e.GetString(value);
        outs.append(QString::fromStdString(value));
        return status;
    }
    if (m == "getorigin") {
        mstn::Point origin;
        int32_t status = e.GetOrigin(origin);
        outs.append(wire::toJson(origin));
        return status;
    }
    if (m == "getendpoints") {
        mstn::Point start, end;
        int32_t status = e.getEndPoints(start, end);
        outs.append(wire::toJson(start));
        outs.append(wire::toJson(end));
        return status;
    }
    unknownMember(r.member);
}

// A fetch sends the element with those after it, a rewrite the element where it now lies.
void Dispatcher::sendImages(ImagedElement& element, const std::string& member, wire::Reply& reply) {
    const std::string m = text::lower(member);
    if (m != "fromfile" && m != "rewrite") return;
    const ImagedElement::Images found = element.images(m == "fromfile" ? kElementsAhead : 0);
    QJsonArray images;
    for (const wire::ElementImage& image : found.images) images.append(wire::toJson(image));
    reply.outs.append(images);
    reply.outs.append(found.reachesEnd);
}

QJsonValue Dispatcher::callRefFiles(mstn::RefFiles& refs, const wire::Request& r) {
    const std::string m = text::lower(r.member);
    if (m == "maxreffiles") return refs.maxRefFiles();
    int32_t index = integer(r.args, 0);
    if (m == "active") return refs.active(index);
    if (m == "notfound") return refs.notFound(index);
    if (m == "display") return refs.display(index);
    if (m == "filename") return QString::fromStdString(refs.Filename(index));
    unknownMember(r.member);
}

}  // namespace vtl::ustation

// Turns automation requests into calls on the application object and the objects it handed out,
// by member name (case-insensitive, as automation names are). Knows nothing of sockets.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <variant>

#include "Journal.h"
#include "mstn/Automation.h"
#include "mstn/Protocol.h"

namespace vtl::ustation {

class ImagedElement;

class Dispatcher {
public:
    Dispatcher(mstn::Application& application, Journal& journal);

    // Runs one request; an error of the member becomes the reply's automation error.
    mstn::wire::Reply handle(const mstn::wire::Request& request);

    // How long the next member call waits before it runs (a test hook for hung calls).
    void setStallMs(int ms) { stallMs_ = ms; }

private:
    using Object = std::variant<std::shared_ptr<mstn::Element>, std::shared_ptr<mstn::RefFiles>>;

    QJsonValue callApplication(const mstn::wire::Request& request, QJsonArray& outs);
    QJsonValue callElement(mstn::Element& element, const mstn::wire::Request& request,
                           QJsonArray& outs);
    void sendImages(ImagedElement& element, const std::string& member, mstn::wire::Reply& reply);
    QJsonValue callRefFiles(mstn::RefFiles& refs, const mstn::wire::Request& request);
    int64_t keep(Object object);

    mstn::Application& application_;
    Journal& journal_;
    std::map<int64_t, Object> objects_;
    int64_t nextObject_ = 1;
    int stallMs_ = 0;
};

// A request's arguments as one journal text: strings quoted, numbers as the key-ins write them.
std::string describeArguments(const QJsonArray& args);

}  // namespace vtl::ustation

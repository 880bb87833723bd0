// The proxy of a server's element object. A server that can sends whole elements: the one a
// fromFile asks for together with those after it. The proxy then answers the members of the
// element it holds itself, takes the next elements of a walk from what it was sent while nothing
// else went to the server meanwhile, and sends what it changed with the one call that needs it
// (Rewrite, Publish). A walk over a drawing so costs a round trip per many elements plus one per
// changed element, instead of one per member call. A server that sends no elements is served
// member by member. A published element reads every element from the server, where C
// expressions read it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mstn/Automation.h"
#include "mstn/Protocol.h"
#include "mstn/RemoteApplication.h"

namespace vtl::mstn {

class RemoteElement : public Element {
public:
    RemoteElement(std::shared_ptr<Channel> channel, int64_t id);
    ~RemoteElement() override;
    RemoteElement(const RemoteElement&) = delete;
    RemoteElement& operator=(const RemoteElement&) = delete;

    int32_t fromFile(int32_t position, int32_t fileIndex) override;
    int32_t fileSize() override;
    int32_t filePos() override;
    int32_t Type() override;
    int32_t GetString(std::string& text) override;
    int32_t GetOrigin(Point& origin) override;
    int32_t getEndPoints(Point& start, Point& end) override;
    int32_t Level() override;
    int32_t Color() override;
    int32_t Weight() override;
    int32_t nextComponent() override;
    int32_t setString(const std::string& text) override;
    int32_t Rewrite() override;
    int32_t Publish(const std::string& name) override;

private:
    // The status of a member that does not apply to the component, as the server gives it.
    static constexpr int32_t kNotApplicable = 1;

    // A call to the server's object; once the server sends elements, every call but fromFile
    // carries the proxy's state, so the server's object holds what the proxy holds.
    wire::Reply call(const std::string& member, QJsonArray args = {});
    std::optional<wire::ElementState> state();
    // Whether the proxy knows the element held; a rewrite held back goes out first.
    bool holds() {
        if (rewriteHeldBack_) channel_->sendHeldBack();
        return held_.has_value();
    }
    bool fresh() const { return !stale_ && channel_->calls() == sentAt_; }
    const wire::ComponentImage& part() const;
    // The position fromFile gives, when what the server sent answers it.
    std::optional<int32_t> fromSent(int32_t position, int32_t fileIndex);
    void takeSent(const wire::Reply& reply, int32_t from, int32_t fileIndex);
    static std::optional<wire::ElementImage> imageOf(const wire::Reply& reply);
    void takeRewritten(int32_t was, const wire::ElementImage& now);
    int32_t rewriteWaiting();
    int32_t rewriteWithoutWaiting();
    bool keepsItsSize() const;
    void sendHeldRewrite();

    std::shared_ptr<Channel> channel_;
    int64_t id_;
    bool imaged_ = false;  // the server sends elements
    // The elements the server sent, in file order, from the position asked for on: no other
    // element of the file starts between them.
    std::vector<wire::ElementImage> sent_;
    int32_t sentFrom_ = -1;
    int32_t fileIndex_ = 0;
    bool reachesEnd_ = false;  // no element follows the last one sent
    uint64_t sentAt_ = 0;      // the channel's call count when they still showed the file
    bool stale_ = true;        // set when a call left the file in an unknown state
    std::optional<wire::ElementImage> held_;  // the element the object holds, with its changes
    size_t component_ = 0;
    std::map<int32_t, std::string> strings_;  // texts set since it was read or rewritten
    // Published: expressions read it on the server, so the server holds every element it reads.
    bool published_ = false;
    // A rewrite that may move the element waits to go out until it is known whether its new
    // place is asked for (filePos) or not (anything else).
    bool rewriteHeldBack_ = false;
    // After such a rewrite went out without waiting, the server's object holds the element where
    // it now lies and the proxy does not know where: calls carry no state until the next fromFile.
    bool serverHolds_ = false;
};

}  // namespace vtl::mstn

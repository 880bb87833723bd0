#include "mstn/RemoteElement.h"

#include <algorithm>

namespace vtl::mstn {

namespace {

int32_t asInt(const wire::Reply& reply) {
    return static_cast<int32_t>(reply.result.toInteger());
}

// The first of the elements sent (in file order) that lies at the position or after it.
template <typename Images>
auto firstFrom(Images& sent, int32_t position) {
    return std::lower_bound(
        sent.begin(), sent.end(), position,
        [](const wire::ElementImage& image, int32_t p) { return image.position < p; });
}

}  // namespace

RemoteElement::RemoteElement(std::shared_ptr<Channel> channel, int64_t id)
    : channel_(std::move(channel)), id_(id) {}

RemoteElement::~RemoteElement() {
    channel_->notify(id_, "Release");
}

wire::Reply RemoteElement::call(const std::string& member, QJsonArray args) {
    return channel_->call(id_, member, std::move(args), state());
}

std::optional<wire::ElementState> RemoteElement::state() {
    std::optional<wire::ElementState> state;
    if (imaged_ && !holds() && serverHolds_) return state;
    if (imaged_) {
        state = wire::ElementState{holds() ? held_->position : -1,
                                   fileIndex_,
                                   static_cast<int32_t>(component_),
                                   {strings_.begin(), strings_.end()}};
    }
    return state;
}

const wire::ComponentImage& RemoteElement::part() const {
    return held_->parts[component_];
}

// --- The walk ------------------------------------------------------------------------------------

int32_t RemoteElement::fromFile(int32_t position, int32_t fileIndex) {
    if (rewriteHeldBack_) channel_->sendHeldBack();
    serverHolds_ = false;
    if (std::optional<int32_t> found = fromSent(position, fileIndex)) return *found;
    wire::Reply reply;
    try {
        reply = channel_->call(id_, "fromFile", {position, fileIndex});
    } catch (...) {
        held_.reset();
        stale_ = true;
        throw;
    }
    takeSent(reply, position, fileIndex);
    return asInt(reply);
}

// The server's walk: the first element from the position on that is neither deleted nor a
// component of another. Between the position asked from and the last element sent, only the
// elements sent start; after the last one only its components, and nothing more when it was
// the file's last.
std::optional<int32_t> RemoteElement::fromSent(int32_t position, int32_t fileIndex) {
    if (published_ || !fresh() || sent_.empty() || fileIndex != fileIndex_ ||
        position < sentFrom_) {
        return std::nullopt;
    }
    const auto next = firstFrom(sent_, position);
    strings_.clear();
    component_ = 0;
    if (next != sent_.end()) {
        held_ = *next;
        return next->position;
    }
    if (!reachesEnd_) return std::nullopt;
    held_.reset();
    return -1;
}

void RemoteElement::takeSent(const wire::Reply& reply, int32_t from, int32_t fileIndex) {
    held_.reset();
    component_ = 0;
    strings_.clear();
    sent_.clear();
    imaged_ = reply.outs.size() >= 2 && reply.outs.at(0).isArray();
    if (!imaged_) return;
    for (const QJsonValue& value : reply.outs.at(0).toArray()) {
        if (std::optional<wire::ElementImage> image = wire::toElementImage(value)) {
            sent_.push_back(std::move(*image));
        }
    }
    sentFrom_ = from;
    fileIndex_ = fileIndex;
    reachesEnd_ = reply.outs.at(1).toBool();
    sentAt_ = channel_->calls();
    stale_ = false;
    if (!sent_.empty() && sent_.front().position == asInt(reply)) held_ = sent_.front();
}

// --- The element held
// ------------------------------------------------------------------------------

int32_t RemoteElement::fileSize() {
    return holds() ? held_->size : asInt(call("fileSize"));
}

int32_t RemoteElement::filePos() {
    if (rewriteHeldBack_) {
        channel_->dropHeldBack();
        rewriteHeldBack_ = false;
        rewriteWaiting();
    }
    if (holds()) return held_->position;
    return imaged_ && !serverHolds_ ? -1 : asInt(call("filePos"));
}

int32_t RemoteElement::Type() {
    return holds() ? part().type : asInt(call("Type"));
}

int32_t RemoteElement::Level() {
    return holds() ? part().level : asInt(call("Level"));
}

int32_t RemoteElement::Color() {
    return holds() ? part().color : asInt(call("Color"));
}

int32_t RemoteElement::Weight() {
    return holds() ? part().weight : asInt(call("Weight"));
}

// Over the wire a member that does not apply still gives its out-values, empty ones.
int32_t RemoteElement::GetString(std::string& text) {
    if (!holds()) {
        wire::Reply reply = call("GetString");
        text = reply.outs.at(0).toString().toStdString();
        return asInt(reply);
    }
    text = part().text.value_or("");
    return part().text ? Application::MBE_Success : kNotApplicable;
}

int32_t RemoteElement::GetOrigin(Point& origin) {
    if (!holds()) {
        wire::Reply reply = call("GetOrigin");
        origin = wire::toPoint(reply.outs.at(0));
        return asInt(reply);
    }
    origin = part().origin.value_or(Point{});
    return part().origin ? Application::MBE_Success : kNotApplicable;
}

int32_t RemoteElement::getEndPoints(Point& start, Point& end) {
    if (!holds()) {
        wire::Reply reply = call("getEndPoints");
        start = wire::toPoint(reply.outs.at(0));
        end = wire::toPoint(reply.outs.at(1));
        return asInt(reply);
    }
    start = part().ends ? part().ends->first : Point{};
    end = part().ends ? part().ends->second : Point{};
    return part().ends ? Application::MBE_Success : kNotApplicable;
}

int32_t RemoteElement::nextComponent() {
    if (!holds()) return asInt(call("nextComponent"));
    if (component_ + 1 >= held_->parts.size()) return kNotApplicable;
    ++component_;
    return Application::MBE_Success;
}

int32_t RemoteElement::setString(const std::string& text) {
    if (!holds()) return asInt(call("setString", {QString::fromStdString(text)}));
    wire::ComponentImage& component = held_->parts[component_];
    if (!component.text) return kNotApplicable;
    component.text = text;
    strings_[static_cast<int32_t>(component_)] = text;
    return Application::MBE_Success;
}

// The server writes nothing for an element that did not change, so while nothing else went to
// it since the element was read, such a rewrite needs no round trip. While the application's
// calls go without waiting, so does a rewrite of a master-file element the proxy knows; any
// other rewrite waits for the server, so the change is in the file when it returns.
int32_t RemoteElement::Rewrite() {
    const bool known = holds() && fileIndex_ == 0 && fresh();
    if (known && strings_.empty()) return Application::MBE_Success;
    if (known && channel_->posting()) return rewriteWithoutWaiting();
    return rewriteWaiting();
}

// Texts of the same length in 7-bit characters take as many bytes: the element keeps its size
// and stays where it is, as the elements sent after it do.
bool RemoteElement::keepsItsSize() const {
    const auto sent = firstFrom(sent_, held_->position);
    if (sent == sent_.end() || sent->position != held_->position) return false;
    const auto ascii = [](const std::string& text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    for (const auto& [component, text] : strings_) {
        const std::optional<std::string>& was = sent->parts[static_cast<size_t>(component)].text;
        if (!was || was->size() != text.size() || !ascii(*was) || !ascii(text)) return false;
    }
    return true;
}

int32_t RemoteElement::rewriteWithoutWaiting() {
    if (!keepsItsSize()) {
        rewriteHeldBack_ = true;
        channel_->holdBack([this] { sendHeldRewrite(); });
        return Application::MBE_Success;
    }
    channel_->post(id_, "Rewrite", {}, state());
    strings_.clear();
    sentAt_ = channel_->calls();
    *firstFrom(sent_, held_->position) = *held_;
    return Application::MBE_Success;
}

// The element stays where it was or moves to the end: either way the elements sent after it
// are as they were, and what follows the last of them is no longer known.
void RemoteElement::sendHeldRewrite() {
    rewriteHeldBack_ = false;
    const int32_t was = held_->position;
    stale_ = true;
    channel_->post(id_, "Rewrite", {}, state());
    strings_.clear();
    held_.reset();
    component_ = 0;
    serverHolds_ = true;
    sent_.erase(sent_.begin(), firstFrom(sent_, was + 1));
    sentFrom_ = was + 1;
    reachesEnd_ = false;
    sentAt_ = channel_->calls();
    stale_ = false;
}

int32_t RemoteElement::rewriteWaiting() {
    const bool wasFresh = fresh();
    wire::Reply reply;
    try {
        reply = call("Rewrite");
    } catch (...) {
        stale_ = true;
        throw;
    }
    strings_.clear();
    std::optional<wire::ElementImage> now = imageOf(reply);
    if (!holds() || !now) {
        stale_ = true;
        return asInt(reply);
    }
    takeRewritten(held_->position, *now);
    sentAt_ = channel_->calls();
    stale_ = !wasFresh;
    held_ = std::move(*now);
    component_ = std::min(component_, held_->parts.size() - 1);
    return asInt(reply);
}

std::optional<wire::ElementImage> RemoteElement::imageOf(const wire::Reply& reply) {
    if (reply.outs.isEmpty() || reply.outs.at(0).toArray().isEmpty()) return std::nullopt;
    return wire::toElementImage(reply.outs.at(0).toArray().at(0));
}

// What a rewrite did to the elements sent: one rewritten in place is as it is now; one that
// grew was deleted where it was and appended at the end, after what was known to be the end.
void RemoteElement::takeRewritten(int32_t was, const wire::ElementImage& now) {
    auto old = firstFrom(sent_, was);
    const bool sent = old != sent_.end() && old->position == was;
    if (now.position == was) {
        if (sent) *old = now;
        return;
    }
    if (sent) sent_.erase(old);
    reachesEnd_ = false;
}

int32_t RemoteElement::Publish(const std::string& name) {
    const int32_t status = asInt(call("Publish", {QString::fromStdString(name)}));
    published_ = true;
    return status;
}

}  // namespace vtl::mstn

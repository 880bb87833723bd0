#include "mstn/RemoteApplication.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <utility>

#include "core/Clock.h"
#include "mstn/RemoteElement.h"

namespace vtl::mstn {

namespace {

constexpr int kPollMs = 10;
constexpr int64_t kConnectRetryMs = 50;
// Posted calls the socket may hold before posting waits for the server to take them.
constexpr qint64 kMaxQueuedBytes = 1 << 20;
// Posted calls gathered before they go to the socket: a few dozen at a time.
constexpr qsizetype kPostChunkBytes = 4 << 10;

Error cannotCreate() {
    return Error(err::CannotCreateObject, "", "ActiveX component can't create object");
}

}  // namespace

Channel::Channel(const std::string& endpoint) {
    socket_.connectToServer(QString::fromStdString(endpoint));
    if (!socket_.waitForConnected(2000)) throw cannotCreate();
}

Channel::~Channel() {
    try {
        sendPosts();
    } catch (const Error&) {  // a server gone has nothing to take them
    }
}

void Channel::raiseGone() {
    awaiting_.clear();
    runSettled();
    throw Error(kServerUnavailable, "",
                "The remote server machine does not exist or is unavailable");
}

std::optional<wire::Reply> Channel::takeReply(int64_t id) {
    if (auto it = early_.find(id); it != early_.end()) {
        wire::Reply reply = it->second;
        early_.erase(it);
        return reply;
    }
    int newline;
    while ((newline = buffer_.indexOf('\n')) >= 0) {
        QByteArray line = buffer_.left(newline);
        buffer_.remove(0, newline + 1);
        std::optional<wire::Reply> reply = wire::decodeReply(line);
        if (!reply) continue;
        if (reply->id == id) return reply;
        early_[reply->id] = *reply;
    }
    return {};
}

wire::Reply Channel::call(int64_t object, const std::string& member, QJsonArray args,
                          std::optional<wire::ElementState> state) {
    sendHeldBack();
    sendPosts();
    if (socket_.state() != QLocalSocket::ConnectedState) raiseGone();
    const int64_t id = nextId_++;
    ++calls_;
    wire::send(socket_, wire::encode(wire::Request{id, object, member, std::move(args), true,
                                                   std::move(state)}));
    runSettled();
    while (true) {
        // The event processing below lets the socket read on its own: what it read is taken
        // before every wait, which sees only bytes that arrive after it starts.
        if (socket_.bytesAvailable() > 0) buffer_ += socket_.readAll();
        if (std::optional<wire::Reply> reply = takeReply(id)) {
            if (reply->error) {
                settle(reply->failedCall != 0 ? reply->failedCall : id);
                awaiting_.clear();
                runSettled();
                throw *reply->error;
            }
            settle(id);
            return *reply;
        }
        // A reply that arrived together with the end of the connection (after "Quit") still
        // counted above; the server is gone only when nothing is left.
        if (socket_.state() != QLocalSocket::ConnectedState) raiseGone();
        if (socket_.waitForReadyRead(kPollMs)) continue;
        // Timers run while we wait; clicks and key presses wait for the reply.
        if (QCoreApplication::instance()) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }
}

void Channel::notify(int64_t object, const std::string& member) {
    // Releasing never fails; a server found gone here is raised by the next call that waits.
    try {
        sendHeldBack();
        sendPosts();
    } catch (const Error&) {
    }
    if (socket_.state() != QLocalSocket::ConnectedState) return;
    wire::send(socket_, wire::encode(wire::Request{nextId_++, object, member, {}, false}));
}

void Channel::post(int64_t object, const std::string& member, QJsonArray args,
                   std::optional<wire::ElementState> state) {
    sendHeldBack();
    if (socket_.state() != QLocalSocket::ConnectedState) raiseGone();
    ++calls_;
    posts_ += wire::encode(
        wire::Request{nextId_++, object, member, std::move(args), false, std::move(state)});
    if (posts_.size() >= kPostChunkBytes) sendPosts();
    yieldNowAndThen();
}

void Channel::sendPosts() {
    if (posts_.isEmpty()) return;
    if (socket_.state() != QLocalSocket::ConnectedState) raiseGone();
    wire::send(socket_, std::exchange(posts_, {}));
    while (socket_.bytesToWrite() > kMaxQueuedBytes &&
           socket_.state() == QLocalSocket::ConnectedState) {
        socket_.waitForBytesWritten(kPollMs);
    }
    runSettled();  // while the server works on them
}

void Channel::sync() {
    call(wire::kApplicationObject, wire::kSyncMember);
    runSettled();
}

void Channel::sendHeldBack() {
    if (heldBack_) std::exchange(heldBack_, nullptr)();
}

void Channel::afterRun(std::function<void()> done) {
    sendHeldBack();
    awaiting_.emplace_back(nextId_ - 1, std::move(done));
}

void Channel::settle(int64_t call) {
    while (!awaiting_.empty() && awaiting_.front().first < call) {
        settled_.push_back(std::move(awaiting_.front().second));
        awaiting_.pop_front();
    }
}

void Channel::runSettled() {
    while (!settled_.empty()) {
        std::function<void()> done = std::move(settled_.front());
        settled_.pop_front();
        done();
    }
}

// As a waiting call does: timers run, clicks and key presses wait.
void Channel::yieldNowAndThen() {
    const int64_t now = clock().nowMs();
    if (now - lastYieldMs_ < kYieldStepMs) return;
    if (QCoreApplication::instance()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    lastYieldMs_ = clock().nowMs();
}

namespace {

int32_t asInt(const wire::Reply& reply) {
    return static_cast<int32_t>(reply.result.toInteger());
}

class RemoteRefFiles : public RefFiles {
public:
    RemoteRefFiles(std::shared_ptr<Channel> channel, int64_t id)
        : channel_(std::move(channel)), id_(id) {}
    ~RemoteRefFiles() override { channel_->notify(id_, "Release"); }

    int32_t maxRefFiles() override { return asInt(channel_->call(id_, "maxRefFiles")); }
    bool active(int32_t i) override { return channel_->call(id_, "active", {i}).result.toBool(); }
    bool notFound(int32_t i) override {
        return channel_->call(id_, "notFound", {i}).result.toBool();
    }
    bool display(int32_t i) override { return channel_->call(id_, "display", {i}).result.toBool(); }
    std::string Filename(int32_t i) override {
        return channel_->call(id_, "Filename", {i}).result.toString().toStdString();
    }

private:
    std::shared_ptr<Channel> channel_;
    int64_t id_;
};

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

class RemoteApplication : public Application {
public:
    explicit RemoteApplication(std::shared_ptr<Channel> channel) : channel_(std::move(channel)) {}

    void MbeSendCommand(const std::string& keyin) override { send("MbeSendCommand", {q(keyin)}); }
    void MbeSendkeyin(const std::string& keyin) override { send("MbeSendkeyin", {q(keyin)}); }
    void MbeSetAppVariable(const std::string& application, const std::string& variable,
                           double value) override {
        send("MbeSetAppVariable", {q(application), q(variable), value});
    }
    void MbeSendAppMessage(const std::string& application, const std::string& message) override {
        send("MbeSendAppMessage", {q(application), q(message)});
    }
    void MbeSendReset() override { send("MbeSendReset"); }
    void mbeSendDataPoint(const Point& point) override {
        send("mbeSendDataPoint", {wire::toJson(point)});
    }
    int32_t MbeCExpressionLong(const std::string& expression) override {
        return asInt(app("MbeCExpressionLong", {q(expression)}));
    }
    std::string MbeGetConfigVar(const std::string& name) override {
        return app("MbeGetConfigVar", {q(name)}).result.toString().toStdString();
    }
    std::shared_ptr<Element> MbeElement() override {
        return std::make_shared<RemoteElement>(channel_, objectOf(app("MbeElement")));
    }
    std::shared_ptr<RefFiles> MbeRefFiles() override {
        return std::make_shared<RemoteRefFiles>(channel_, objectOf(app("MbeRefFiles")));
    }
    int32_t Visible() override { return asInt(app("Visible")); }
    void setVisible(int32_t visible) override { send("setVisible", {visible}); }
    void Quit() override { app("Quit"); }

    void withoutWaiting(const std::function<void()>& work) override;
    void whenRun(const std::function<void()>& done) override {
        if (channel_->posting()) {
            channel_->afterRun(done);
        } else {
            done();
        }
    }

private:
    // A call whose outcome nobody reads: posted while work runs without waiting.
    void send(const std::string& member, QJsonArray args = {}) {
        if (channel_->posting()) {
            channel_->post(wire::kApplicationObject, member, std::move(args));
        } else {
            channel_->call(wire::kApplicationObject, member, std::move(args));
        }
    }
    wire::Reply app(const std::string& member, QJsonArray args = {}) {
        return channel_->call(wire::kApplicationObject, member, std::move(args));
    }
    static int64_t objectOf(const wire::Reply& reply) {
        std::optional<int64_t> id = wire::objectId(reply.result);
        if (!id) throw Error(err::AutomationError, "", "Automation error: no object returned");
        return *id;
    }

    std::shared_ptr<Channel> channel_;
};

void RemoteApplication::withoutWaiting(const std::function<void()>& work) {
    if (channel_->posting()) {
        work();
        return;
    }
    channel_->setPosting(true);
    std::exception_ptr failure;
    try {
        work();
    } catch (...) {
        failure = std::current_exception();
    }
    channel_->setPosting(false);
    // A posted call that failed came before any error of work's own.
    channel_->sync();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace

std::shared_ptr<Application> connectApplication(const std::function<bool()>& waitFor) {
    const std::string endpoint = wire::endpoint();
    while (true) {
        try {
            auto channel = std::make_shared<Channel>(endpoint);
            return std::make_shared<RemoteApplication>(channel);
        } catch (const Error&) {
            if (!waitFor || !waitFor()) throw;
        }
        clock().processEvents();
        clock().sleepMs(kConnectRetryMs);
    }
}

}  // namespace vtl::mstn

// The proxy to a running MicroStation's automation object over its local socket.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QLocalSocket>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "mstn/Automation.h"
#include "mstn/Protocol.h"

namespace vtl::mstn {

// One connection to the server. A call waits for its reply while timers keep running but user
// input is held back, so a watchdog timer can still fire during a hung call.
class Channel {
public:
    // Connects to the server's endpoint; raises error 429 when none answers.
    explicit Channel(const std::string& endpoint);
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    // Calls a member; raises the server's automation error, or error 462 when the server is gone.
    // An element object's call may carry what its proxy did with the element meanwhile.
    wire::Reply call(int64_t object, const std::string& member, QJsonArray args = {},
                     std::optional<wire::ElementState> state = std::nullopt);
    // How many calls went out so far: what the server holds may have changed with each.
    uint64_t calls() const { return calls_; }
    // Sends a call whose reply nobody waits for (releasing a server object).
    void notify(int64_t object, const std::string& member);

    // Sends a call whose outcome the caller does not read, without waiting for it; error 462
    // when the server is known to be gone. Pending events are handled every 50 ms meanwhile, as
    // a waiting call handles them, so timers still fire during a long stream of posts. Posts
    // leave in chunks, so the server takes many at each wake-up; anything else that goes out
    // sends them first.
    void post(int64_t object, const std::string& member, QJsonArray args = {},
              std::optional<wire::ElementState> state = std::nullopt);
    // Waits until the server has run every call posted so far. Raises the failure of the first
    // posted call that failed (the server ran none after it), or error 462 when it is gone.
    void sync();

    // A call an object holds back until it knows whether its answer is needed: `send` goes out
    // before anything else does. Taking it back (dropHeldBack) leaves it to the object.
    void holdBack(std::function<void()> send) {
        sendHeldBack();  // another object's goes first
        heldBack_ = std::move(send);
    }
    void dropHeldBack() { heldBack_ = nullptr; }
    void sendHeldBack();
    // Runs done once the server has run every call sent so far: after the next reply, while
    // the server works on what followed, and at the latest when sync returns. It is dropped when
    // one of those calls failed or the server is gone, as a caller that waited would have
    // stopped before it.
    void afterRun(std::function<void()> done);
    // While set, the application's calls whose outcome nobody reads are posted.
    bool posting() const { return posting_; }
    void setPosting(bool posting) { posting_ = posting; }

private:
    std::optional<wire::Reply> takeReply(int64_t id);
    void sendPosts();
    [[noreturn]] void raiseGone();
    void yieldNowAndThen();
    // What waited for the calls before `call`, which the server has all run, is to be run.
    void settle(int64_t call);
    void runSettled();

    QLocalSocket socket_;
    QByteArray buffer_;
    int64_t nextId_ = 1;
    uint64_t calls_ = 0;
    std::map<int64_t, wire::Reply> early_;  // replies that arrived for an outer, nested call
    bool posting_ = false;
    int64_t lastYieldMs_ = 0;
    std::function<void()> heldBack_;
    QByteArray posts_;  // posted calls not handed to the socket yet
    // What afterRun was given, with the last call sent before it.
    std::deque<std::pair<int64_t, std::function<void()>>> awaiting_;
    std::deque<std::function<void()>> settled_;
};

// Attaches to the running server. While waitFor says so, an endpoint that does not answer yet
// is tried again every 50 ms (a server that was just started); then error 429 is raised.
std::shared_ptr<Application> connectApplication(const std::function<bool()>& waitFor = {});

}  // namespace vtl::mstn

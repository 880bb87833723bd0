// The proxy to a running MicroStation's automation object over its local socket.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QLocalSocket>
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
    // a waiting call handles them, so timers still fire during a long stream of posts.
    void post(int64_t object, const std::string& member, QJsonArray args = {});
    // Waits until the server has run every call posted so far. Raises the failure of the first
    // posted call that failed (the server ran none after it), or error 462 when it is gone.
    void sync();
    // While set, the application's calls whose outcome nobody reads are posted.
    bool posting() const { return posting_; }
    void setPosting(bool posting) { posting_ = posting; }

private:
    std::optional<wire::Reply> takeReply(int64_t id);
    [[noreturn]] void raiseGone() const;
    void yieldNowAndThen();

    QLocalSocket socket_;
    QByteArray buffer_;
    int64_t nextId_ = 1;
    uint64_t calls_ = 0;
    std::map<int64_t, wire::Reply> early_;  // replies that arrived for an outer, nested call
    bool posting_ = false;
    int64_t lastYieldMs_ = 0;
};

// Attaches to the running server. While waitFor says so, an endpoint that does not answer yet
// is tried again every 50 ms (a server that was just started); then error 429 is raised.
std::shared_ptr<Application> connectApplication(const std::function<bool()>& waitFor = {});

}  // namespace vtl::mstn

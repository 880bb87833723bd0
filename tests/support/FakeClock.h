// A clock for tests: sleeping advances it at once, and event processing runs a test's hook.
#pragma once

#include <functional>

#include "core/Clock.h"

namespace vtl::test {

class FakeClock : public Clock {
public:
    int64_t nowMs() override { return now_; }
    void sleepMs(int64_t ms) override;
    void processEvents() override;

    void advance(int64_t ms) { now_ += ms; }
    // Runs on every processEvents call, with the fake time at that moment.
    void onProcessEvents(std::function<void(int64_t nowMs)> hook) { hook_ = std::move(hook); }

    int sleepCalls() const { return sleepCalls_; }
    int64_t sleptMs() const { return slept_; }
    int eventCalls() const { return eventCalls_; }

private:
    int64_t now_ = 1'000'000;
    int64_t slept_ = 0;
    int sleepCalls_ = 0;
    int eventCalls_ = 0;
    std::function<void(int64_t)> hook_;
};

}  // namespace vtl::test

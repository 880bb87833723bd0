// Time, sleeping and the handling of pending window events, injectable so that a test of a
// two-minute wait runs in milliseconds.
#pragma once

#include <cstdint>

#include "core/ScopedInstall.h"

namespace vtl {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic 64-bit clock.
    virtual int64_t nowMs() = 0;
    // Suspends the caller; window events are not handled meanwhile.
    virtual void sleepMs(int64_t ms) = 0;
    // Handles the window events that are pending, so timers and buttons stay live.
    virtual void processEvents() = 0;
};

// The clock in force: the system's, unless a test installed its own.
Clock& clock();
// Installs a clock; nullptr brings the system's back.
void setClock(Clock* clock);

// Installs a clock for one scope.
using ScopedClock = ScopedInstall<Clock, setClock>;

// How often a long loop lets pending events be handled: timers, a watchdog and the window's
// buttons stay as live as when it did so on every step.
inline constexpr int64_t kYieldStepMs = 50;

// Handles pending events for a loop that calls step() on every element, once every stepMs (and
// on the first step): handling them on each step would cost more than the loop's own work.
class EventPacer {
public:
    explicit EventPacer(int64_t stepMs = kYieldStepMs) : stepMs_(stepMs) {}
    void step();

private:
    int64_t stepMs_;
    int64_t last_ = 0;
    bool first_ = true;
};

}  // namespace vtl

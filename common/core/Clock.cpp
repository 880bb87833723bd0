#include "core/Clock.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace vtl {

namespace {

class SystemClock : public Clock {
public:
    int64_t nowMs() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void sleepMs(int64_t ms) override {
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    void processEvents() override {
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
    }
};

SystemClock systemClock;
Clock* current = &systemClock;

}  // namespace

Clock& clock() { return *current; }

void EventPacer::step() {
    const int64_t now = clock().nowMs();
    if (!first_ && now - last_ < stepMs_) return;
    first_ = false;
    clock().processEvents();
    last_ = clock().nowMs();
}

void setClock(Clock* clock) { current = clock ? clock : &systemClock; }

}  // namespace vtl

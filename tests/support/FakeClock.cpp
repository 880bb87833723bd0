#include "support/FakeClock.h"

namespace vtl::test {

void FakeClock::sleepMs(int64_t ms) {
    ++sleepCalls_;
    slept_ += ms;
    now_ += ms;
}

void FakeClock::processEvents() {
    ++eventCalls_;
    if (hook_) hook_(now_);
}

}  // namespace vtl::test

#include <gtest/gtest.h>

#include "common/SleepModule.h"
#include "support/FakeClock.h"

namespace vtl::SleepModule {
namespace {

TEST(DoSleep, SleepsThroughTheClockWithoutHandlingEvents) {
    test::FakeClock fake;
    ScopedClock scoped(fake);
    DoSleep(200);
    EXPECT_EQ(fake.sleptMs(), 200);
    EXPECT_EQ(fake.eventCalls(), 0);
}

}  // namespace
}  // namespace vtl::SleepModule

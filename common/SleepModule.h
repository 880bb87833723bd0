// Sleeping without handling window events.
#pragma once

#include <cstdint>

namespace vtl::SleepModule {

// Suspends the program for the given time; window events wait until it is over.
void DoSleep(int32_t milliseconds);

}  // namespace vtl::SleepModule

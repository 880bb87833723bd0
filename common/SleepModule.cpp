#include "common/SleepModule.h"

#include "core/Clock.h"

namespace vtl::SleepModule {

void DoSleep(int32_t milliseconds) {
    clock().sleepMs(milliseconds);
}

}  // namespace vtl::SleepModule

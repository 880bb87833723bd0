#include "textreplace/MSTNSession.h"

#include "common/modProcess.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "textreplace/ConfigLookup.h"
#include "textreplace/Events.h"
#include "textreplace/LOGModule.h"

namespace vtl::tarnwell {

bool IsExeExisting(const std::string& exeName, int32_t& pid) {
    try {
        return modProcess::IsAppRunning(exeName, &pid);
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "IsExeExisting");
    }
}

Error NameEndedMicroStation(const Error& failure, const std::string& dgn) {
    bool ended = failure.number() == mstn::kServerUnavailable;
    if (failure.number() == err::CannotCreateObject) {
        int32_t pid = 0;
        try {
            ended = !IsExeExisting(mstn::kProcessImage, pid);
        } catch (const Error&) {  // without the process list nothing tells that it ended
        }
    }
    if (!ended) return failure;
    return Error(failure.number(), failure.source(),
                 "MicroStation ended while processing DGN file: " + QuoteString(dgn),
                 failure.line());
}

void QuitApplication(std::shared_ptr<mstn::Application>& application) {
    try {
        if (application) application->Quit();
    } catch (...) {
        // A MicroStation that is gone already has nothing left to quit.
    }
    application.reset();
}

}  // namespace vtl::tarnwell

namespace vtl::tarnwell {

namespace {

bool microStationRuns() {
    int32_t pid = 0;
    return IsExeExisting(mstn::kProcessImage, pid);
}

void waitForExit() {
    clock().processEvents();
    clock().sleepMs(kExitWaitStepMs);
    int64_t waited = 0;
    while (microStationRuns() && waited < kExitTimeoutMs) {
        clock().processEvents();
        clock().sleepMs(kExitWaitStepMs);
        waited += kExitWaitStepMs;
    }
    if (waited < kExitTimeoutMs) return;
    LogEvent(kExitTimeoutEvent);
    LOGModule::FlushLog();
    modProcess::KillApp(mstn::kProcessImage, false);
    clock().sleepMs(kAfterKillMs);
}

}  // namespace

void Wait4ExitingMSTN() {
    try {
        waitForExit();
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "Wait4ExitingMSTN");
    }
}

}  // namespace vtl::tarnwell

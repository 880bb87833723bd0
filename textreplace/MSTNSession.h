// The tool's dealings with MicroStation's process and automation object: is one running, and
// quitting one the tool attached to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/mstn/Automation.h"
#include "core/Error.h"

namespace vtl::tarnwell {

// True when a running process has that executable name (ignoring case); the id of the first
// such process is then stored in pid. Errors go on with "IsExeExisting" in front of their source.
bool IsExeExisting(const std::string& exeName, int32_t& pid);

// A failure of a file's processing told as what it was when MicroStation ended meanwhile (its
// server went away, or the one started was gone before it answered): "MicroStation ended while
// processing DGN file: '<path>'", number and source kept. Any other failure stays as it is.
Error NameEndedMicroStation(const Error& failure, const std::string& dgn);

// Quits the application when one is set and releases it; every error is ignored.
void QuitApplication(std::shared_ptr<mstn::Application>& application);

// How long MicroStation may take to end after it was quit, polled in steps of 1000 ms after a
// first pause of 1000 ms; then every "ustation.exe" is killed and 500 ms given to die.
inline constexpr int64_t kExitWaitStepMs = 1000;
inline constexpr int64_t kExitTimeoutMs = 30000;
inline constexpr int64_t kAfterKillMs = 500;
inline constexpr char kExitTimeoutEvent[] =
    "Exiting MicroStation timeout. MicroStation process will be killed.";

// Waits for MicroStation's process to end, killing it after the time-out. Errors go on with
// "Wait4ExitingMSTN" in front of their source.
void Wait4ExitingMSTN();

}  // namespace vtl::tarnwell

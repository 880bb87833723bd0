// Finding and ending processes by image name or id.
#pragma once

#include <cstdint>
#include <string>

namespace vtl::modProcess {

// True when a process whose image name equals exeName (ignoring case) is running; its id is
// then stored in pid when one is given. The one test of "is this program running" for every
// caller. Raises a failure to read the process table with source "IsAppRunning".
bool IsAppRunning(const std::string& exeName, int32_t* pid = nullptr);

// Ends every process whose image name equals exeName (ignoring case). With orphansOnly, only
// those whose parent has ended (or is 0). Returns the result of the last termination tried,
// false when none was. Raises a failure to read the process table with source "KillApp".
// Note: this platform hands an orphan to another parent (init or a subreaper), so orphansOnly
// only finds processes whose recorded parent is 0 or has vanished from the table.
bool KillApp(const std::string& exeName, bool orphansOnly);

// Ends a process. The exit code cannot be chosen on this platform; the process ends as killed.
// Never raises: false when the process does not exist or may not be ended.
bool KillProcess(int32_t pid, int32_t exitCode);

// True when a running process has this id. Raises with source "IsProcessExists".
bool IsProcessExists(int32_t pid);

}  // namespace vtl::modProcess

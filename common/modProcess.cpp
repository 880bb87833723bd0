#include "common/modProcess.h"

#include <exception>

#include "core/Error.h"
#include "core/Text.h"
#include "platform/Processes.h"

namespace vtl::modProcess {

namespace {
bool parentGone(int32_t parentPid) {
    return parentPid == 0 || !IsProcessExists(parentPid);
}

bool hasImage(const platform::ProcessEntry& entry, const std::string& exeName) {
    return text::iequals(entry.imageName, exeName);
}
}  // namespace

bool IsAppRunning(const std::string& exeName, int32_t* pid) {
    try {
        for (const platform::ProcessEntry& entry : platform::processes().list()) {
            if (!hasImage(entry, exeName)) continue;
            if (pid) *pid = entry.pid;
            return true;
        }
        return false;
    } catch (...) {
        throw passOnNamed(toError(std::current_exception()), "IsAppRunning");
    }
}

bool KillApp(const std::string& exeName, bool orphansOnly) {
    try {
        bool result = false;
        for (const platform::ProcessEntry& entry : platform::processes().list()) {
            if (!hasImage(entry, exeName)) continue;
            if (orphansOnly && !parentGone(entry.parentPid)) continue;
            result = KillProcess(entry.pid, 0);
        }
        return result;
    } catch (...) {
        throw passOnNamed(toError(std::current_exception()), "KillApp");
    }
}

bool KillProcess(int32_t pid, int32_t /*exitCode*/) {
    // Ending another user's process needs no privilege step here: the platform decides.
    try {
        return platform::processes().terminate(pid);
    } catch (...) {
        return false;
    }
}

bool IsProcessExists(int32_t pid) {
    try {
        for (const platform::ProcessEntry& entry : platform::processes().list()) {
            if (entry.pid == pid) return true;
        }
        return false;
    } catch (...) {
        throw passOnNamed(toError(std::current_exception()), "IsProcessExists");
    }
}

}  // namespace vtl::modProcess

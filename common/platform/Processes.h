// The processes of the machine as the programs see them: a snapshot of the running processes,
// termination by id, and the start of a child program whose exit code can be polled.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/ScopedInstall.h"

namespace vtl::platform {

// The exit code a running process reports.
inline constexpr int32_t kStillActive = 259;

struct ProcessEntry {
    int32_t pid = 0;
    int32_t parentPid = 0;
    // File name of the process's executable, without folder ("ustation.exe").
    std::string imageName;
};

struct StartOptions {
    // Runs the child in a session of its own, without the caller's terminal and input
    // (a hidden window).
    bool detached = false;
    // When set, standard output and error output are appended to this file.
    std::string output;
};

// A child program we started. We alone reap it; its id is never looked up again.
class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    virtual int32_t pid() const = 0;
    // The exit code without blocking: kStillActive while the child runs. A child ended by a
    // signal reports 128 plus the signal number, as a shell does.
    virtual int32_t exitCode() = 0;
    // Blocks until the child has ended and returns its exit code.
    virtual int32_t wait() = 0;
};

class ProcessApi {
public:
    virtual ~ProcessApi() = default;
    // The running processes; ended ones (zombies) are not listed.
    virtual std::vector<ProcessEntry> list() = 0;
    // Ends a process at once. False when there is no such process or it may not be ended;
    // ids below 1 never name a process.
    virtual bool terminate(int32_t pid) = 0;
    // Starts argv[0] (a path) with its arguments as they are, without a shell. Raises the
    // platform's error when the program cannot be started.
    virtual std::unique_ptr<ChildProcess> start(const std::vector<std::string>& argv,
                                                const StartOptions& options) = 0;
};

// The processes listed in a folder laid out as /proc (the machine's backend lists "/proc"). An
// entry that vanishes or cannot be read while the folder is walked is left out; a folder that
// cannot be walked raises the platform's error.
std::vector<ProcessEntry> listProcFolder(const std::string& root);

// The backend in force: the machine's own (/proc and signals), unless a test installed one.
ProcessApi& processes();
// Installs a backend; nullptr brings the machine's back.
void setProcesses(ProcessApi* api);

// Installs a backend for one scope.
using ScopedProcesses = ScopedInstall<ProcessApi, setProcesses>;

}  // namespace vtl::platform

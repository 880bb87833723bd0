// Fakes of the platform layer for tests: a process table, a shell and top-level windows, all
// held in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include "platform/WindowSystem.h"

namespace vtl::test {

using platform::ChildProcess;
using platform::ProcessEntry;
using platform::StartOptions;
using platform::TopLevelWindow;
using platform::WindowHandle;

// A process table for tests: processes are added by hand, terminations are recorded, and a
// started child runs for a given number of exit-code polls.
class FakeProcesses : public platform::ProcessApi {
public:
    struct Start {
        std::vector<std::string> argv;
        StartOptions options;
    };

    void add(int32_t pid, int32_t parentPid, std::string imageName);
    // Makes every later list() raise this error.
    void failListing(Error error) { listError_ = std::move(error); }
    // Children started from now on report kStillActive for `polls` polls, then exitCode.
    void setChildRun(int polls, int32_t exitCode);

    std::vector<ProcessEntry> list() override;
    bool terminate(int32_t pid) override;
    std::unique_ptr<ChildProcess> start(const std::vector<std::string>& argv,
                                        const StartOptions& options) override;

    const std::vector<int32_t>& terminated() const { return terminated_; }
    const std::vector<Start>& starts() const { return starts_; }

private:
    std::vector<ProcessEntry> table_;
    std::vector<int32_t> terminated_;
    std::vector<Start> starts_;
    std::optional<Error> listError_;
    int childPolls_ = 0;
    int32_t childExitCode_ = 0;
    int32_t nextPid_ = 40000;
};

// Records what it was asked and answers with a set result.
class FakeShell : public platform::Shell {
public:
    struct Call {
        std::string operation, file, parameters, directory;
    };
    int32_t execute(const std::string& operation, const std::string& file,
                    const std::string& parameters, const std::string& directory) override;

    int32_t result = platform::shellcode::Started;
    std::vector<Call> calls;
};

// Windows held in memory for tests.
class FakeWindowSystem : public platform::WindowSystem {
public:
    // Opens a window above the others and returns its handle.
    WindowHandle open(std::string title, std::string className);
    void close(WindowHandle window);
    void setTitle(WindowHandle window, std::string title);
    bool isTopMost(WindowHandle window) const;

    std::vector<TopLevelWindow> topLevelWindows() override;
    int32_t setTopMost(WindowHandle window, bool topmost) override;

private:
    struct Entry {
        TopLevelWindow window;
        bool topmost = false;
    };
    Entry* find(WindowHandle window);
    const Entry* find(WindowHandle window) const;

    std::vector<Entry> entries_;  // topmost first
    WindowHandle next_ = 0x400001;
};

}  // namespace vtl::test

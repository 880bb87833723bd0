#include "support/FakePlatform.h"

#include <algorithm>

namespace vtl::test {

namespace {

class FakeChild : public ChildProcess {
public:
    FakeChild(int32_t pid, int polls, int32_t exitCode)
        : pid_(pid), polls_(polls), exitCode_(exitCode) {}
    int32_t pid() const override { return pid_; }
    int32_t exitCode() override { return polls_-- > 0 ? platform::kStillActive : exitCode_; }
    int32_t wait() override {
        polls_ = 0;
        return exitCode_;
    }

private:
    int32_t pid_;
    int polls_;
    int32_t exitCode_;
};

}  // namespace

// --- Processes --------------------------------------------------------------------------------

void FakeProcesses::add(int32_t pid, int32_t parentPid, std::string imageName) {
    table_.push_back({pid, parentPid, std::move(imageName)});
}

void FakeProcesses::setChildRun(int polls, int32_t exitCode) {
    childPolls_ = polls;
    childExitCode_ = exitCode;
}

std::vector<ProcessEntry> FakeProcesses::list() {
    if (listError_) throw *listError_;
    return table_;
}

bool FakeProcesses::terminate(int32_t pid) {
    auto found = std::find_if(table_.begin(), table_.end(),
                              [pid](const ProcessEntry& e) { return e.pid == pid; });
    if (found == table_.end()) return false;
    table_.erase(found);
    terminated_.push_back(pid);
    return true;
}

std::unique_ptr<ChildProcess> FakeProcesses::start(const std::vector<std::string>& argv,
                                                   const StartOptions& options) {
    starts_.push_back({argv, options});
    return std::make_unique<FakeChild>(nextPid_++, childPolls_, childExitCode_);
}

// --- Shell ------------------------------------------------------------------------------------

int32_t FakeShell::execute(const std::string& operation, const std::string& file,
                           const std::string& parameters, const std::string& directory) {
    calls.push_back(Call{operation, file, parameters, directory});
    return result;
}

// --- Windows ----------------------------------------------------------------------------------

WindowHandle FakeWindowSystem::open(std::string title, std::string className) {
    Entry entry;
    entry.window = TopLevelWindow{next_++, std::move(title), className, className};
    // A new window opens above the ordinary windows but below those kept on top.
    auto firstOrdinary =
        std::find_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.topmost; });
    entries_.insert(firstOrdinary, entry);
    return entry.window.handle;
}

void FakeWindowSystem::close(WindowHandle window) {
    std::erase_if(entries_, [&](const Entry& e) { return e.window.handle == window; });
}

void FakeWindowSystem::setTitle(WindowHandle window, std::string title) {
    if (Entry* entry = find(window)) entry->window.title = std::move(title);
}

bool FakeWindowSystem::isTopMost(WindowHandle window) const {
    const Entry* entry = find(window);
    return entry && entry->topmost;
}

std::vector<TopLevelWindow> FakeWindowSystem::topLevelWindows() {
    std::vector<TopLevelWindow> result;
    for (const Entry& entry : entries_) result.push_back(entry.window);
    return result;
}

int32_t FakeWindowSystem::setTopMost(WindowHandle window, bool topmost) {
    Entry* entry = find(window);
    if (!entry) return 0;
    Entry moved = *entry;
    moved.topmost = topmost;
    close(window);
    auto place = topmost ? entries_.begin()
                         : std::find_if(entries_.begin(), entries_.end(),
                                        [](const Entry& e) { return !e.topmost; });
    entries_.insert(place, moved);
    return 1;
}

FakeWindowSystem::Entry* FakeWindowSystem::find(WindowHandle window) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.window.handle == window; });
    return it == entries_.end() ? nullptr : &*it;
}

const FakeWindowSystem::Entry* FakeWindowSystem::find(WindowHandle window) const {
    return const_cast<FakeWindowSystem*>(this)->find(window);
}

}  // namespace vtl::test

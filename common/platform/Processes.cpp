#include "platform/Processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/Text.h"

extern char** environ;

namespace vtl::platform {

namespace fs = std::filesystem;

namespace {

// --- Snapshot ---------------------------------------------------------------------------------

// The whole file; nothing when it cannot be read, as when its process has just ended (a stream
// would raise "No such process" from the middle of the read).
std::optional<std::string> readProcFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string content;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        content.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (n < 0) return std::nullopt;
    return content;
}

bool parsePid(const std::string& name, int32_t& pid) {
    const char* end = name.data() + name.size();
    auto [ptr, ec] = std::from_chars(name.data(), end, pid);
    return ec == std::errc() && ptr == end && pid > 0;
}

// State and parent id from /proc/PID/stat. The command name in parentheses may itself hold
// blanks and parentheses, so the fields are read after the last ")".
bool readStat(const fs::path& dir, char& state, int32_t& parentPid) {
    const std::optional<std::string> content = readProcFile(dir / "stat");
    if (!content) return false;
    const std::string& stat = *content;
    size_t close = stat.rfind(')');
    if (close == std::string::npos || close + 4 > stat.size()) return false;
    state = stat[close + 2];
    const char* first = stat.data() + close + 4;
    return std::from_chars(first, stat.data() + stat.size(), parentPid).ec == std::errc();
}

std::string imageNameOf(const fs::path& dir) {
    std::error_code ec;
    fs::path exe = fs::read_symlink(dir / "exe", ec);
    if (!ec) {
        std::string name = exe.filename().string();
        const std::string deleted = " (deleted)";
        if (text::endsWith(name, deleted)) name.resize(name.size() - deleted.size());
        return name;
    }
    // Processes of other users hide their executable; their first argument names it.
    const std::string cmdline = readProcFile(dir / "cmdline").value_or("");
    std::string argv0 = cmdline.substr(0, cmdline.find('\0'));
    return fs::path(argv0).filename().string();
}

// --- Children ---------------------------------------------------------------------------------

// Children dropped while still running; reaped on a later start so that none stays a zombie.
std::mutex droppedMutex;
std::vector<pid_t> dropped;

void reapDropped() {
    std::lock_guard lock(droppedMutex);
    std::erase_if(dropped, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

int32_t decodeStatus(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return kStillActive;
}

class LinuxChild : public ChildProcess {
public:
    explicit LinuxChild(pid_t pid) : pid_(pid) {}
    ~LinuxChild() override {
        if (!exitCode_ && ::waitpid(pid_, nullptr, WNOHANG) == 0) {
            std::lock_guard lock(droppedMutex);
            dropped.push_back(pid_);
        }
    }

    int32_t pid() const override { return pid_; }
    int32_t exitCode() override {
        if (!exitCode_) poll(WNOHANG);
        return exitCode_.value_or(kStillActive);
    }
    int32_t wait() override {
        while (!exitCode_) poll(0);
        return *exitCode_;
    }

private:
    // One waitpid call; returns its result (0 while the child runs).
    pid_t poll(int flags) {
        int status = 0;
        pid_t result;
        do {
            result = ::waitpid(pid_, &status, flags);
        } while (result < 0 && errno == EINTR);
        if (result < 0) throw errnoError(errno);
        if (result == pid_) exitCode_ = decodeStatus(status);
        return result;
    }

    pid_t pid_;
    std::optional<int32_t> exitCode_;
};

// posix_spawn's attribute and file-action objects, released on every path.
class SpawnSetup {
public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attr);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions);
        ::posix_spawnattr_destroy(&attr);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    void configure(const StartOptions& options) {
        // The child starts with default signal handling, whatever the caller blocked or ignored.
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        ::posix_spawnattr_setsigmask(&attr, &none);
        ::posix_spawnattr_setsigdefault(&attr, &all);
        short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        if (options.detached) {
            flags |= POSIX_SPAWN_SETSID;
            ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        }
        ::posix_spawnattr_setflags(&attr, flags);
        if (!options.output.empty()) {
            ::posix_spawn_file_actions_addopen(&actions, 1, options.output.c_str(),
                                               O_WRONLY | O_CREAT | O_APPEND, 0666);
            ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
        }
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
};

// One walk over a folder laid out as /proc; ec tells when the walk itself failed. An entry whose
// process ends while it is read drops out of the snapshot.
std::vector<ProcessEntry> walkProc(const fs::path& root, std::error_code& ec) {
    std::vector<ProcessEntry> entries;
    fs::directory_iterator it(root, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        ProcessEntry entry;
        char state = 0;
        if (!parsePid(it->path().filename().string(), entry.pid)) continue;
        if (!readStat(it->path(), state, entry.parentPid)) continue;
        if (state == 'Z' || state == 'X') continue;
        entry.imageName = imageNameOf(it->path());
        entries.push_back(std::move(entry));
    }
    return entries;
}

class LinuxProcesses : public ProcessApi {
public:
    std::vector<ProcessEntry> list() override { return listProcFolder("/proc"); }

    bool terminate(int32_t pid) override {
        // kill() reads 0 and negative ids as whole process groups.
        if (pid < 1) return false;
        return ::kill(pid, SIGKILL) == 0;
    }

    std::unique_ptr<ChildProcess> start(const std::vector<std::string>& argv,
                                        const StartOptions& options) override {
        if (argv.empty() || argv[0].empty()) raise(err::InvalidCall, "No program to start");
        reapDropped();
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        SpawnSetup setup;
        setup.configure(options);
        pid_t pid = 0;
        int rc =
            ::posix_spawn(&pid, argv[0].c_str(), &setup.actions, &setup.attr, args.data(), environ);
        if (rc != 0) throw errnoError(rc, argv[0]);
        return std::make_unique<LinuxChild>(pid);
    }
};

LinuxProcesses linuxProcesses;
ProcessApi* current = &linuxProcesses;

}  // namespace

std::vector<ProcessEntry> listProcFolder(const std::string& root) {
    // A walk that broke off half-way is taken again a moment later; only a folder that cannot
    // be read at all, or a walk that never completes, is an error.
    constexpr int kAttempts = 20;
    constexpr auto kPause = std::chrono::milliseconds(2);
    for (int attempt = 1;; ++attempt) {
        std::error_code ec;
        std::vector<ProcessEntry> entries = walkProc(root, ec);
        if (!ec) return entries;
        std::error_code dirError;
        if (attempt == kAttempts || !fs::is_directory(root, dirError))
            throw errnoError(ec.value(), root);
        std::this_thread::sleep_for(kPause);
    }
}

ProcessApi& processes() {
    return *current;
}
void setProcesses(ProcessApi* api) {
    current = api ? api : &linuxProcesses;
}

}  // namespace vtl::platform

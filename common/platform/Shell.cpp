#include "platform/Shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include "core/Environment.h"
#include "core/Text.h"

namespace vtl::platform {

namespace fs = std::filesystem;

namespace {

LinuxShell linuxShell;
Shell* current = &linuxShell;

}  // namespace

Shell& shell() {
    return *current;
}
void setShell(Shell* shell) {
    current = shell ? shell : &linuxShell;
}

// --- Command lines ---------------------------------------------------------------------------

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> args;
    std::string arg;
    bool inArg = false, quoted = false;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if ((c == ' ' || c == '\t') && !quoted) {
            if (inArg) args.push_back(std::move(arg));
            arg.clear();
            inArg = false;
            ++i;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            size_t end = line.find_first_not_of('\\', i);
            if (end == std::string_view::npos) end = line.size();
            const size_t count = end - i;
            const bool beforeQuote = end < line.size() && line[end] == '"';
            arg.append(beforeQuote ? count / 2 : count, '\\');
            i = end;
            if (beforeQuote && count % 2 == 1) {
                arg += '"';
                ++i;
            }
        } else if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                arg += '"';
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
        } else {
            arg += c;
            ++i;
        }
    }
    if (inArg) args.push_back(std::move(arg));
    return args;
}

// --- Starting programs -------------------------------------------------------------------------

namespace {

int32_t codeOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return shellcode::FileNotFound;
        case EACCES:
        case EPERM:
            return shellcode::AccessDenied;
        case ENOMEM:
        case EAGAIN:
            return shellcode::OutOfMemory;
        case ENOEXEC:
        case ELIBBAD:
        case EISDIR:
            return shellcode::BadFormat;
        case ETXTBSY:
            return shellcode::SharingViolation;
        default:
            return 0;
    }
}

[[noreturn]] void failChild(int reportFd, int error) {
    ssize_t ignored = ::write(reportFd, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

// Runs in the forked child: a new session, then a grandchild that execs the program, so the
// program belongs neither to our session nor to us and no zombie waits for us to reap it. Only
// async-signal-safe calls from here on.
[[noreturn]] void runDetached(int reportFd, const char* program, char* const argv[],
                              const char* directory) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild < 0) failChild(reportFd, errno);
    if (grandchild > 0) ::_exit(0);
    if (directory && ::chdir(directory) != 0) failChild(reportFd, errno);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull > 0) {
        ::dup2(devNull, STDIN_FILENO);
        ::close(devNull);
    }
    ::execv(program, argv);
    failChild(reportFd, errno);
}

// Starts a program without waiting for it. Returns 0, or the errno of the failed start, which
// reaches us through a pipe that a successful exec closes.
int startDetached(const std::string& program, const std::vector<std::string>& args,
                  const std::string& directory) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return errno;
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return error;
    }
    if (child == 0) {
        ::close(report[0]);
        runDetached(report[1], program.c_str(), argv.data(),
                    directory.empty() ? nullptr : directory.c_str());
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

int32_t start(const std::string& program, const std::vector<std::string>& args,
              const std::string& directory) {
    const int error = startDetached(program, args, directory);
    return error == 0 ? shellcode::Started : codeOf(error);
}

// Finds the file a name stands for; a bare name that is not in the current folder may be a
// program on PATH.
int32_t locate(const std::string& file, fs::path& target) {
    if (file.empty()) return shellcode::FileNotFound;
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0) {
        target = fs::absolute(file);
        return 0;
    }
    const int error = errno;
    if (error == ENOENT && file.find('/') == std::string::npos) {
        target = env::findProgram(file);
        if (!target.empty()) return 0;
    }
    return codeOf(error);
}

int32_t checkDirectory(const std::string& directory) {
    if (directory.empty()) return 0;
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0) {
        return errno == EACCES ? shellcode::AccessDenied : shellcode::PathNotFound;
    }
    return S_ISDIR(info.st_mode) ? 0 : shellcode::PathNotFound;
}

bool isProgram(const fs::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(file.c_str(), X_OK) == 0;
}

}  // namespace

int32_t LinuxShell::execute(const std::string& operation, const std::string& file,
                            const std::string& parameters, const std::string& directory) {
    fs::path target;
    if (int32_t code = locate(file, target)) return code;
    if (int32_t code = checkDirectory(directory)) return code;
    const std::string verb = text::lower(text::trim(operation));
    if (!verb.empty() && verb != "open") return shellcode::NoAssociation;
    if (isProgram(target)) {
        std::vector<std::string> args{target.string()};
        for (std::string& parameter : splitCommandLine(parameters)) args.push_back(parameter);
        return start(target.string(), args, directory);
    }
    // Documents and folders go to the program the desktop associates with them.
    const fs::path opener = env::findProgram("xdg-open");
    if (opener.empty()) return shellcode::NoAssociation;
    return start(opener.string(), {opener.string(), target.string()}, directory);
}

}  // namespace vtl::platform

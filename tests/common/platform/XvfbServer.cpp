#include "platform/XvfbServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

namespace vtl::test {

namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

constexpr int kStartTimeoutMs = 10000;

// Starts a program with extra environment, its output discarded; keepFd stays open in it.
pid_t spawn(const std::vector<std::string>& args, const Env& env, int keepFd = -1) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // A test that crashes takes its server along.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
    if (keepFd >= 0) ::fcntl(keepFd, F_SETFD, 0);
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, STDIN_FILENO);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

void stop(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

// The display number Xvfb writes to the descriptor named by -displayfd, once it accepts clients.
std::string readDisplayNumber(int fd) {
    std::string number;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd poller{fd, POLLIN, 0};
        if (::poll(&poller, 1, 100) <= 0) continue;
        char c = 0;
        if (::read(fd, &c, 1) != 1) break;
        if (c == '\n') return number;
        number += c;
    }
    return {};
}

// Up to maxItems windows of a window-list property of the root window.
std::vector<Window> rootWindows(Display* display, const char* property, long maxItems) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, property, False),
                       0, maxItems, False, XA_WINDOW, &type, &format, &count, &after, &data);
    std::vector<Window> windows;
    if (data && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        windows.assign(items, items + count);
    }
    if (data) XFree(data);
    return windows;
}

std::vector<Window> clientList(Display* display) {
    return rootWindows(display, "_NET_CLIENT_LIST", 1024);
}

bool announced(Display* display) {
    return rootWindows(display, "_NET_SUPPORTING_WM_CHECK", 1).size() == 1;
}

bool listed(Display* display, Window window) {
    std::vector<Window> windows = clientList(display);
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

// The window manager announces itself before it handles the first window: it is ready once a
// probe window shown after the announcement gets managed. A probe shown too early may be missed,
// so a new one is shown until one is taken.
bool managerReady(Display* display) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (!announced(display)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    while (std::chrono::steady_clock::now() < deadline) {
        Window probe =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
        XMapWindow(display, probe);
        XSync(display, False);
        bool managed = false;
        for (int waited = 0; waited < 300 && !managed; waited += 10) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            managed = listed(display, probe);
        }
        XDestroyWindow(display, probe);
        XSync(display, False);
        if (!managed) continue;
        for (int waited = 0; waited < kStartTimeoutMs && listed(display, probe); waited += 10) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    return false;
}

}  // namespace

XvfbServer::XvfbServer(Manager manager) {
    if (!startServer()) return;
    if (manager == Manager::Openbox && !startOpenbox()) display_.clear();
}

XvfbServer::~XvfbServer() {
    stop(manager_);
    stop(server_);
}

bool XvfbServer::startServer() {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    server_ = spawn({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                     "1024x768x24", "-nolisten", "tcp"},
                    {}, pipeFds[1]);
    ::close(pipeFds[1]);
    const std::string number = server_ > 0 ? readDisplayNumber(pipeFds[0]) : std::string();
    ::close(pipeFds[0]);
    if (number.empty()) return false;
    display_ = ":" + number;
    return true;
}

bool XvfbServer::startOpenbox() {
    const std::string home = home_.str();
    manager_ = spawn({"openbox", "--sm-disable"}, {{"DISPLAY", display_},
                                                   {"HOME", home},
                                                   {"XDG_CONFIG_HOME", home + "/config"},
                                                   {"XDG_CACHE_HOME", home + "/cache"}});
    if (manager_ <= 0) return false;
    Display* display = XOpenDisplay(display_.c_str());
    if (!display) return false;
    const bool running = managerReady(display);
    XCloseDisplay(display);
    return running;
}

}  // namespace vtl::test

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "common/WindowPosModule.h"
#include "platform/WindowSystem.h"
#include "platform/XvfbServer.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

// Last, and without the macros that clash with test framework names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Bool
#undef None

namespace vtl::platform {
namespace {

using test::ScopedEnv;
using test::XvfbServer;

bool eventually(const std::function<bool()>& condition) {
    for (int waited = 0; waited < 5000; waited += 10) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// A program's side of the server: opens windows the way toolkits do.
class Client {
public:
    explicit Client(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
    ~Client() {
        if (display_) XCloseDisplay(display_);
    }
    Display* display() const { return display_; }

    Window create(Window parent = 0) {
        XSetWindowAttributes attributes{};
        Window window =
            XCreateWindow(display_, parent ? parent : DefaultRootWindow(display_), 10, 10, 200, 100,
                          0, CopyFromParent, InputOutput, CopyFromParent, 0, &attributes);
        return window;
    }
    void setClass(Window window, const char* instance, const char* className) {
        XClassHint hint{const_cast<char*>(instance), const_cast<char*>(className)};
        XSetClassHint(display_, window, &hint);
    }
    // The modern title in UTF-8, with an older one beside it that must not win.
    void setUtf8Title(Window window, const std::string& title) {
        XStoreName(display_, window, "old title");
        XChangeProperty(display_, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
    }
    // Only the old title property, in Latin-1.
    void setLatin1Title(Window window, const std::string& latin1) {
        XStoreName(display_, window, latin1.c_str());
    }
    void setWmState(Window window, long state) {
        long items[2] = {state, 0};
        XChangeProperty(display_, window, atom("WM_STATE"), atom("WM_STATE"), 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(items), 2);
    }
    Window open(const std::string& title, const char* instance, const char* className) {
        Window window = create();
        setClass(window, instance, className);
        setUtf8Title(window, title);
        XMapWindow(display_, window);
        XSync(display_, False);
        return window;
    }
    void destroy(Window window) {
        XDestroyWindow(display_, window);
        XSync(display_, False);
    }
    bool hasAboveState(Window window) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display_, window, atom("_NET_WM_STATE"), 0, 64, False, XA_ATOM, &type,
                           &format, &count, &after, &data);
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        bool above = atoms && std::count(atoms, atoms + count, atom("_NET_WM_STATE_ABOVE")) > 0;
        if (data) XFree(data);
        return above;
    }
    Atom atom(const char* name) { return XInternAtom(display_, name, False); }

private:
    Display* display_;
};

// Our windows among all listed, in the listed order.
std::vector<WindowHandle> ours(const std::vector<Window>& windows) {
    std::vector<WindowHandle> result;
    for (const TopLevelWindow& w : X11WindowSystem().topLevelWindows()) {
        if (std::find(windows.begin(), windows.end(), w.handle) != windows.end()) {
            result.push_back(w.handle);
        }
    }
    return result;
}

std::optional<TopLevelWindow> listed(Window window) {
    for (const TopLevelWindow& w : X11WindowSystem().topLevelWindows()) {
        if (w.handle == window) return w;
    }
    return std::nullopt;
}

}  // namespace
}  // namespace vtl::platform

namespace vtl::test {
void PrintTo(XvfbServer::Manager manager, std::ostream* out) {
    *out << (manager == XvfbServer::Manager::Bare ? "bare Xvfb" : "openbox");
}
}  // namespace vtl::test

namespace vtl::platform {
namespace {

class X11Windows : public ::testing::TestWithParam<XvfbServer::Manager> {
protected:
    void SetUp() override {
        if (server_.display().empty()) GTEST_SKIP() << "Xvfb or openbox did not start";
        ASSERT_NE(client_.display(), nullptr);
    }
    bool managed() const { return GetParam() == XvfbServer::Manager::Openbox; }
    // Opens windows and waits until the window manager (if any) lists them.
    std::vector<Window> openAll(const std::vector<std::string>& titles) {
        std::vector<Window> windows;
        for (const std::string& title : titles) {
            windows.push_back(client_.open(title, "vtltest", "VtlTest"));
            EXPECT_TRUE(eventually([&] { return listed(windows.back()).has_value(); }));
        }
        return windows;
    }

    XvfbServer server_{GetParam()};
    ScopedEnv display_{"DISPLAY", server_.display()};
    Client client_{server_.display()};
    X11WindowSystem x11_;
};

TEST_P(X11Windows, ListsClientWindowsTopmostFirstWithTitleAndClass) {
    Window overview = client_.open("Übersicht – 4711.dgn", "mstntop", "MSTNTop");
    Window legacy = client_.create();
    client_.setClass(legacy, "piping", "Piping");
    client_.setLatin1Title(legacy, "Equipment \xC9tage");  // "É" in Latin-1
    XMapWindow(client_.display(), legacy);
    XSync(client_.display(), False);
    ASSERT_TRUE(eventually([&] { return ours({overview, legacy}).size() == 2; }));

    // The handles are the clients the programs created, not a window manager's frames. Without
    // a window manager the later window lies on top; a manager stacks new windows by its own
    // rules (the order under it is checked through topmost below).
    if (!managed()) {
        EXPECT_EQ(ours({overview, legacy}),
                  (std::vector<WindowHandle>{WindowHandle(legacy), WindowHandle(overview)}));
    }
    TopLevelWindow first = *listed(overview);
    EXPECT_EQ(first.title, "Übersicht – 4711.dgn");
    EXPECT_EQ(first.className, "MSTNTop");
    EXPECT_EQ(first.instanceName, "mstntop");
    EXPECT_EQ(listed(legacy)->title, "Equipment Étage");
}

TEST_P(X11Windows, HiddenWindowsMenusAndTooltipsAreNotListed) {
    Window hidden = client_.create();
    client_.setClass(hidden, "hidden", "Hidden");
    XSetWindowAttributes popupAttributes{};
    popupAttributes.override_redirect = True;
    Window popup = XCreateWindow(client_.display(), DefaultRootWindow(client_.display()), 0, 0, 50,
                                 50, 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWOverrideRedirect, &popupAttributes);
    client_.setClass(popup, "popup", "Popup");
    XMapWindow(client_.display(), popup);
    openAll({"shown"});
    EXPECT_FALSE(listed(hidden));
    EXPECT_FALSE(listed(popup));
    EXPECT_EQ(x11_.findByClass("Popup"), 0u);
}

TEST_P(X11Windows, FindsByEitherClassPartIgnoringCase) {
    Window mstn = client_.open("MicroStation", "ustation", "MSTNTop");
    client_.open("other", "other", "Other");
    ASSERT_TRUE(eventually([&] { return x11_.findByClass("MSTNTop") != 0; }));
    EXPECT_EQ(x11_.findByClass("MSTNTop"), mstn);
    EXPECT_EQ(x11_.findByClass("mstntop"), mstn);
    EXPECT_EQ(x11_.findByClass("ustation"), mstn);
    EXPECT_EQ(x11_.findByClass("MSTN"), 0u);
    EXPECT_EQ(x11_.findByClass(""), 0u);

    client_.destroy(mstn);
    EXPECT_TRUE(eventually([&] { return x11_.findByClass("MSTNTop") == 0; }));
}

TEST_P(X11Windows, TopMostRaisesTheWindowAndKeepsItAbove) {
    std::vector<Window> windows = openAll({"first", "second"});
    const Window lower = ours(windows).back();

    EXPECT_NE(WindowPosModule::SetTopMost(lower, true), 0);
    EXPECT_TRUE(eventually([&] { return ours(windows).front() == lower; }));
    if (managed()) {
        EXPECT_TRUE(eventually([&] { return client_.hasAboveState(lower); }));
        // A window opened later stays below the one kept on top.
        windows.push_back(client_.open("third", "vtltest", "VtlTest"));
        ASSERT_TRUE(eventually([&] { return ours(windows).size() == 3; }));
        EXPECT_EQ(ours(windows).front(), lower);
    }

    EXPECT_NE(WindowPosModule::SetTopMost(lower, false), 0);
    if (managed()) {
        EXPECT_TRUE(eventually([&] { return !client_.hasAboveState(lower); }));
    }
}

TEST_P(X11Windows, TopMostOfAnUnknownWindowFailsWithoutHarm) {
    EXPECT_EQ(x11_.setTopMost(0x1FFFFFF0, true), 0);
    EXPECT_EQ(x11_.setTopMost(0, true), 0);
    // The process and the connection both survived the error.
    EXPECT_NE(x11_.setTopMost(openAll({"still here"})[0], true), 0);
}

INSTANTIATE_TEST_SUITE_P(Desktops, X11Windows,
                         ::testing::Values(XvfbServer::Manager::Bare, XvfbServer::Manager::Openbox),
                         [](const auto& param) {
                             return param.param == XvfbServer::Manager::Bare ? "BareXvfb"
                                                                             : "Openbox";
                         });

// A reparenting window manager without the client list: the client that carries WM_STATE below
// each frame is the top-level window.
TEST(X11WindowsWithoutClientList, FramesStandForTheClientsBelowThem) {
    XvfbServer server;
    if (server.display().empty()) GTEST_SKIP() << "Xvfb did not start";
    ScopedEnv display("DISPLAY", server.display());
    Client client(server.display());
    auto frameWith = [&](const char* className, long state) {
        Window frame = client.create();
        Window inner = client.create(frame);
        Window app = client.create(inner);
        client.setClass(app, "app", className);
        client.setUtf8Title(app, className);
        client.setWmState(app, state);
        XMapWindow(client.display(), app);
        XMapWindow(client.display(), inner);
        XMapWindow(client.display(), frame);
        XSync(client.display(), False);
        return std::make_pair(frame, app);
    };
    auto [frame, app] = frameWith("Framed", NormalState);
    auto [gone, goneApp] = frameWith("Withdrawn", WithdrawnState);

    X11WindowSystem x11;
    EXPECT_EQ(x11.findByClass("Framed"), app);
    EXPECT_FALSE(listed(frame));
    EXPECT_EQ(x11.findByClass("Withdrawn"), 0u);
    EXPECT_FALSE(listed(gone));
}

TEST(X11WindowsWithoutDisplay, ThereAreNoWindows) {
    for (std::optional<std::string> value :
         {std::optional<std::string>(), std::optional<std::string>(":31999")}) {
        ScopedEnv display("DISPLAY", value);
        X11WindowSystem x11;
        EXPECT_TRUE(x11.topLevelWindows().empty());
        EXPECT_EQ(x11.findByClass("MSTNTop"), 0u);
        EXPECT_EQ(x11.setTopMost(0x200001, true), 0);
    }
}

// --- The fake that tests of callers use --------------------------------------------------------

TEST(FakeWindows, KeepsTopmostWindowsAboveNewOnes) {
    test::FakeWindowSystem fake;
    ScopedWindows scoped(fake);
    WindowHandle tool = fake.open("Tarnwell", "ThunderRT6FormDC");
    EXPECT_NE(WindowPosModule::SetTopMost(tool, true), 0);
    WindowHandle mstn = fake.open("MicroStation - a.dgn", "MSTNTop");

    EXPECT_TRUE(fake.isTopMost(tool));
    EXPECT_EQ(windows().topLevelWindows().front().handle, tool);
    EXPECT_EQ(windows().findByClass("mstntop"), mstn);

    EXPECT_NE(WindowPosModule::SetTopMost(tool, false), 0);
    EXPECT_FALSE(fake.isTopMost(tool));
    fake.close(mstn);
    EXPECT_EQ(windows().findByClass("MSTNTop"), 0u);
    EXPECT_EQ(WindowPosModule::SetTopMost(mstn, true), 0);
}

}  // namespace
}  // namespace vtl::platform

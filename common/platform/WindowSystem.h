// The desktop's top-level windows: finding one by class, walking their titles and keeping one on
// top of the others. The X11 backend serves the programs; the fake serves tests of their callers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ScopedInstall.h"

namespace vtl::platform {

// A top-level window: its X window id. X ids fit in 29 bits, so a handle keeps in the 32 bits the
// programs store window handles in. 0 is no window.
using WindowHandle = uint32_t;

struct TopLevelWindow {
    WindowHandle handle = 0;
    std::string title;         // UTF-8
    std::string className;     // the class part of WM_CLASS
    std::string instanceName;  // the instance part of WM_CLASS
};

// A window has a class when either part of its WM_CLASS equals it. Like the platform's window
// classes the comparison ignores case (ASCII).
bool hasClass(const TopLevelWindow& window, std::string_view className);

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // The top-level windows, topmost first.
    virtual std::vector<TopLevelWindow> topLevelWindows() = 0;
    // The topmost top-level window of the class, 0 when there is none.
    virtual WindowHandle findByClass(std::string_view className);
    // Keeps the window above all others (topmost) or lets others cover it again; position and
    // size stay. Non-zero on success, 0 for an unknown window or without a display.
    virtual int32_t setTopMost(WindowHandle window, bool topmost) = 0;
    // Moves the window's frame to x, y of the screen and sizes its inside width by height (a
    // window manager may adjust both). Non-zero on success, 0 for an unknown window, a size below
    // 1 or without a display.
    virtual int32_t moveWindow(WindowHandle window, int x, int y, int width, int height);
};

// The window system in force: the X11 one, unless a test installed its own.
WindowSystem& windows();
// Installs a window system; nullptr brings the X11 one back.
void setWindows(WindowSystem* windowSystem);

// Installs a window system for one scope.
using ScopedWindows = ScopedInstall<WindowSystem, setWindows>;

// The X11 backend. Top-level windows are the window manager's clients where an EWMH window manager
// runs, else the root window's children (below a reparenting frame, the client that carries
// WM_STATE). Each call opens its own connection to DISPLAY; without one there are no windows.
class X11WindowSystem : public WindowSystem {
public:
    std::vector<TopLevelWindow> topLevelWindows() override;
    int32_t setTopMost(WindowHandle window, bool topmost) override;
    int32_t moveWindow(WindowHandle window, int x, int y, int width, int height) override;
};

}  // namespace vtl::platform

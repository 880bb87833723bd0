#include "platform/WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <optional>

#include "core/Text.h"

namespace vtl::platform {

bool hasClass(const TopLevelWindow& window, std::string_view className) {
    if (className.empty()) return false;
    return text::iequals(window.className, className) ||
           text::iequals(window.instanceName, className);
}

WindowHandle WindowSystem::findByClass(std::string_view className) {
    for (const TopLevelWindow& window : topLevelWindows()) {
        if (hasClass(window, className)) return window.handle;
    }
    return 0;
}

int32_t WindowSystem::moveWindow(WindowHandle, int, int, int, int) {
    return 0;
}

namespace {

X11WindowSystem x11Windows;
WindowSystem* current = &x11Windows;

}  // namespace

WindowSystem& windows() {
    return *current;
}
void setWindows(WindowSystem* windowSystem) {
    current = windowSystem ? windowSystem : &x11Windows;
}

// --- X11 -------------------------------------------------------------------------------------

namespace {

// Protocol errors of our own connection (mostly a window that vanished between two requests) are
// counted instead of ending the process; errors of other connections in the process go to the
// handler that was there before.
Display* ownDisplay = nullptr;
int ownErrors = 0;
XErrorHandler previousErrorHandler = nullptr;
XIOErrorHandler previousIoErrorHandler = nullptr;

int countError(Display* display, XErrorEvent* event) {
    if (display == ownDisplay) {
        ++ownErrors;
        return 0;
    }
    return previousErrorHandler ? previousErrorHandler(display, event) : 0;
}

// A server that goes away in the middle of a call makes the call fail; the process lives on.
int ignoreIoError(Display* display) {
    if (display != ownDisplay && previousIoErrorHandler) return previousIoErrorHandler(display);
    return 0;
}
void keepRunning(Display*, void*) {}

constexpr long kNetWmStateRemove = 0;
constexpr long kNetWmStateAdd = 1;
constexpr long kSourceApplication = 1;
constexpr int kWithdrawnState = 0;
// A reparenting window manager nests a client only a few levels below its frame.
constexpr int kFrameDepth = 4;

// A window property as the server hands it out, freed with the object.
struct Property {
    Property(Display* display, Window window, Atom property, Atom type) {
        status = XGetWindowProperty(display, window, property, 0, 1L << 16, False, type,
                                    &actualType, &format, &count, &after, &data);
    }
    ~Property() {
        if (data) XFree(data);
    }
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;

    bool has(Atom type, int itemFormat) const {
        return status == Success && actualType == type && format == itemFormat;
    }

    int status = 0;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
};

// One connection for one call: opened anew each time, so a server that came or went since the
// last call is seen as it is now, and nothing is cached that could go stale.
class Connection {
public:
    Connection() {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name || ownDisplay) return;
        display_ = XOpenDisplay(name);
        if (!display_) return;
        ownDisplay = display_;
        ownErrors = 0;
        previousErrorHandler = XSetErrorHandler(countError);
        previousIoErrorHandler = XSetIOErrorHandler(ignoreIoError);
        XSetIOErrorExitHandler(display_, keepRunning, nullptr);
        root_ = DefaultRootWindow(display_);
    }
    ~Connection() {
        if (!display_) return;
        XCloseDisplay(display_);
        XSetErrorHandler(previousErrorHandler);
        XSetIOErrorHandler(previousIoErrorHandler);
        ownDisplay = nullptr;
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    explicit operator bool() const { return display_ != nullptr; }
    Display* display() const { return display_; }
    Window root() const { return root_; }
    int errors() const { return ownErrors; }

    Atom atom(const char* name) const { return XInternAtom(display_, name, False); }

    // The items of a property of format 32 (windows, atoms, WM_STATE); nullopt when it is missing.
    std::optional<std::vector<unsigned long>> longs(Window window, Atom property, Atom type) const {
        Property p(display_, window, property, type);
        if (!p.has(type, 32)) return std::nullopt;
        // Xlib hands out format-32 items as longs, whatever the width of long.
        const auto* items = reinterpret_cast<const unsigned long*>(p.data);
        return std::vector<unsigned long>(items, items + p.count);
    }

    std::string bytes(Window window, Atom property, Atom type) const {
        Property p(display_, window, property, type);
        if (!p.has(type, 8) || !p.data) return {};
        return std::string(reinterpret_cast<const char*>(p.data), p.count);
    }

    // An EWMH window manager is running when the window it names on the root names itself too;
    // the check fails once the manager has gone, even if it left its properties behind.
    bool managerRunning() const {
        Atom check = atom("_NET_SUPPORTING_WM_CHECK");
        auto named = longs(root_, check, XA_WINDOW);
        if (!named || named->empty()) return false;
        auto self = longs((*named)[0], check, XA_WINDOW);
        return self && !self->empty() && (*self)[0] == (*named)[0];
    }

    std::optional<int> wmState(Window window) const {
        Atom wmStateAtom = atom("WM_STATE");
        auto state = longs(window, wmStateAtom, wmStateAtom);
        if (!state || state->empty()) return std::nullopt;
        return static_cast<int>((*state)[0]);
    }

    std::vector<Window> children(Window window) const {
        Window rootReturn = 0, parent = 0;
        Window* list = nullptr;
        unsigned int count = 0;
        std::vector<Window> result;
        if (XQueryTree(display_, window, &rootReturn, &parent, &list, &count) && list) {
            result.assign(list, list + count);
        }
        if (list) XFree(list);
        return result;
    }

private:
    Display* display_ = nullptr;
    Window root_ = 0;
};

// The window at or below a root child that carries WM_STATE, breadth first.
std::optional<Window> stateCarrier(const Connection& x, Window rootChild) {
    std::deque<std::pair<Window, int>> queue{{rootChild, 0}};
    while (!queue.empty()) {
        auto [window, depth] = queue.front();
        queue.pop_front();
        if (x.wmState(window)) return window;
        if (depth == kFrameDepth) continue;
        for (Window child : x.children(window)) queue.emplace_back(child, depth + 1);
    }
    return std::nullopt;
}

// The top-level window a root child stands for: the client below a frame, or the child itself
// when nobody manages it. Menus, tooltips and hidden helper windows do not count, as no window
// manager would list them.
std::optional<Window> clientOf(const Connection& x, Window rootChild) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(x.display(), rootChild, &attributes)) return std::nullopt;
    if (attributes.c_class == InputOnly || attributes.override_redirect) return std::nullopt;
    if (std::optional<Window> client = stateCarrier(x, rootChild)) {
        if (x.wmState(*client) == kWithdrawnState) return std::nullopt;
        return client;
    }
    if (attributes.map_state == IsUnmapped) return std::nullopt;
    return rootChild;
}

// The top-level windows, bottom first as X stacks them.
std::vector<Window> bottomUp(const Connection& x) {
    if (x.managerRunning()) {
        for (const char* name : {"_NET_CLIENT_LIST_STACKING", "_NET_CLIENT_LIST"}) {
            if (auto list = x.longs(x.root(), x.atom(name), XA_WINDOW)) {
                return std::vector<Window>(list->begin(), list->end());
            }
        }
    }
    std::vector<Window> result;
    for (Window child : x.children(x.root())) {
        if (std::optional<Window> client = clientOf(x, child)) result.push_back(*client);
    }
    return result;
}

std::string textOf(const Connection& x, XTextProperty& property) {
    std::string raw(reinterpret_cast<const char*>(property.value), property.nitems);
    if (property.encoding == XA_STRING) return text::latin1ToUtf8(raw);
    if (property.encoding == x.atom("UTF8_STRING")) return raw;
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(x.display(), &property, &list, &count) < Success || !list) {
        return raw;
    }
    std::string joined;
    for (int i = 0; i < count; ++i) joined += list[i];
    XFreeStringList(list);
    return joined;
}

std::string titleOf(const Connection& x, Window window) {
    std::string title = x.bytes(window, x.atom("_NET_WM_NAME"), x.atom("UTF8_STRING"));
    if (!title.empty()) return title;
    XTextProperty property{};
    if (!XGetWMName(x.display(), window, &property) || !property.value) return {};
    title = textOf(x, property);
    XFree(property.value);
    return title;
}

TopLevelWindow describe(const Connection& x, Window window) {
    TopLevelWindow result;
    result.handle = static_cast<WindowHandle>(window);
    result.title = titleOf(x, window);
    XClassHint hint{};
    if (XGetClassHint(x.display(), window, &hint)) {
        if (hint.res_name) result.instanceName = hint.res_name;
        if (hint.res_class) result.className = hint.res_class;
    }
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return result;
}

// Asks the window manager to keep the window in (or take it out of) its layer above the others.
void requestAbove(const Connection& x, Window window, bool above) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x.atom("_NET_WM_STATE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = above ? kNetWmStateAdd : kNetWmStateRemove;
    event.xclient.data.l[1] = static_cast<long>(x.atom("_NET_WM_STATE_ABOVE"));
    event.xclient.data.l[3] = kSourceApplication;
    XSendEvent(x.display(), x.root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

// A window that is not mapped yet carries its wish in its own state property, which the window
// manager reads when the window is shown.
void writeAboveState(const Connection& x, Window window, bool above) {
    Atom stateAtom = x.atom("_NET_WM_STATE");
    Atom aboveAtom = x.atom("_NET_WM_STATE_ABOVE");
    std::vector<unsigned long> items =
        x.longs(window, stateAtom, XA_ATOM).value_or(std::vector<unsigned long>{});
    std::erase(items, aboveAtom);
    if (above) items.push_back(aboveAtom);
    XChangeProperty(x.display(), window, stateAtom, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(items.data()),
                    static_cast<int>(items.size()));
}

}  // namespace

std::vector<TopLevelWindow> X11WindowSystem::topLevelWindows() {
    Connection x;
    if (!x) return {};
    std::vector<Window> stack = bottomUp(x);
    std::vector<TopLevelWindow> result;
    result.reserve(stack.size());
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) result.push_back(describe(x, *it));
    return result;
}

int32_t X11WindowSystem::setTopMost(WindowHandle handle, bool topmost) {
    Connection x;
    if (!x || handle == 0) return 0;
    const Window window = handle;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(x.display(), window, &attributes)) return 0;
    const int errorsBefore = x.errors();
    if (x.managerRunning()) {
        bool withdrawn = attributes.map_state == IsUnmapped &&
                         x.wmState(window).value_or(kWithdrawnState) == kWithdrawnState;
        if (withdrawn) {
            writeAboveState(x, window, topmost);
        } else {
            requestAbove(x, window, topmost);
        }
    } else if (topmost) {
        // Without a window manager there is no layer above the others: raising is all there is.
        XRaiseWindow(x.display(), window);
    }
    XSync(x.display(), False);
    return x.errors() == errorsBefore ? 1 : 0;
}

int32_t X11WindowSystem::moveWindow(WindowHandle handle, int x, int y, int width, int height) {
    Connection connection;
    if (!connection || handle == 0 || width < 1 || height < 1) return 0;
    const int errorsBefore = connection.errors();
    XMoveResizeWindow(connection.display(), handle, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    XSync(connection.display(), False);
    return connection.errors() == errorsBefore ? 1 : 0;
}

}  // namespace vtl::platform

// The display our programs show their windows on.
#pragma once

#include <string>

namespace vtl::platform {

// The window layer speaks X11, so a program runs on Qt's xcb platform, under Wayland too. False,
// with a hint on the standard error stream, when there is no X display to run on.
bool prepareDisplay(const std::string& programName);

}  // namespace vtl::platform

// Keeping a window above all others.
#pragma once

#include <cstdint>

#include "platform/WindowSystem.h"

namespace vtl::WindowPosModule {

// Makes the window topmost or ordinary again, keeping its position and size. Returns the window
// system's result: non-zero on success.
int32_t SetTopMost(platform::WindowHandle hWnd, bool topmost);

}  // namespace vtl::WindowPosModule

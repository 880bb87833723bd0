#include "common/WindowPosModule.h"

namespace vtl::WindowPosModule {

int32_t SetTopMost(platform::WindowHandle hWnd, bool topmost) {
    return platform::windows().setTopMost(hWnd, topmost);
}

}  // namespace vtl::WindowPosModule

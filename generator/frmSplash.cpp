#include "frmSplash.h"

#include "VTLLogic.h"
#include "common/WindowPosModule.h"

namespace vtl {

namespace {
constexpr int kShowMs = 1000;
}

frmSplash::frmSplash(QWidget* mainWindow)
    : SplashWindow(mainWindow, {{"lblProduct", "Vistrel"}}, VTLLogic::versionText(), kShowMs) {}

void frmSplash::place() {
    move(0, 0);
    WindowPosModule::SetTopMost(static_cast<platform::WindowHandle>(winId()), false);
}

}  // namespace vtl

#include "textreplace/frmSplash.h"

#include <QScreen>

#include "common/WindowPosModule.h"
#include "textreplace/MainLogic.h"

namespace vtl::tarnwell {

namespace {
constexpr int kShowMs = 3000;
}

frmSplash::frmSplash(QWidget* mainWindow)
    : SplashWindow(mainWindow, {{"Label1", "Brelvik Tarnwell"}, {"Label2", "Loading..."}},
                   MainLogic::versionText(), kShowMs) {}

void frmSplash::place() {
    if (const QScreen* shown = screen()) {
        const QRect area = shown->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    WindowPosModule::SetTopMost(static_cast<platform::WindowHandle>(winId()), true);
}

}  // namespace vtl::tarnwell

// The tool's splash window: its name, "Loading..." and its version for three seconds in the
// middle of the screen, above every other window; then the main window.
#pragma once

#include "common/SplashWindow.h"

namespace vtl::tarnwell {

class frmSplash : public SplashWindow {
    Q_OBJECT

public:
    // mainWindow is shown when the splash ends.
    explicit frmSplash(QWidget* mainWindow);

protected:
    void place() override;
};

}  // namespace vtl::tarnwell

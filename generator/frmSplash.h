// The main program's splash window: its version for one second at start, then the main window.
#pragma once

#include "common/SplashWindow.h"

namespace vtl {

class frmSplash : public SplashWindow {
    Q_OBJECT

public:
    // mainWindow is shown when the splash ends.
    explicit frmSplash(QWidget* mainWindow);

protected:
    // The top-left corner of the screen, below any window that stays on top.
    void place() override;
};

}  // namespace vtl

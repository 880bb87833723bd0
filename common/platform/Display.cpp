#include "platform/Display.h"

#include <QByteArray>
#include <QtGlobal>
#include <iostream>

namespace vtl::platform {

bool prepareDisplay(const std::string& programName) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    if (qgetenv("QT_QPA_PLATFORM") == "xcb" && qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::cerr << programName
                  << ": no X display (DISPLAY is not set). Start it on a desktop, or "
                  << "under a virtual display with: xvfb-run -a " << programName << "\n";
        return false;
    }
    return true;
}

}  // namespace vtl::platform

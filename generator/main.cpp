// VTL.exe: the main program. It reads no command line; everything it needs comes from its
// pointer INI vtl.ini beside it and the configuration INI that one names.
#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "DefaultRunSteps.h"
#include "VTL.h"
#include "core/Error.h"

namespace {

// The window layer speaks X11, so the program runs on the xcb platform, under Wayland too.
bool prepareDisplay() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    if (qgetenv("QT_QPA_PLATFORM") == "xcb" && qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::cerr << "VTL.exe: no X display (DISPLAY is not set). Start it on a desktop, or under "
                     "a virtual display with: xvfb-run -a VTL.exe\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!prepareDisplay()) return EXIT_FAILURE;
    QApplication app(argc, argv);
    vtl::setProgramTitle("Vistrel");
    vtl::DefaultRunSteps steps;
    vtl::VTL window(vtl::VTL::Options{.steps = &steps});
    window.Form_Load();
    return app.exec();
}

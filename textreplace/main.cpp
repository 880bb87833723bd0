// Tarnwell.exe: the text replacement tool. It reads no command line; its settings file
// Tarnwell.ini lies beside it. The splash window comes first and hands over to the main window.
#include <QApplication>
#include <cstdlib>

#include "core/Error.h"
#include "platform/Display.h"
#include "textreplace/frmMain.h"
#include "textreplace/frmSplash.h"

int main(int argc, char** argv) {
    if (!vtl::platform::prepareDisplay("Tarnwell.exe")) return EXIT_FAILURE;
    QApplication app(argc, argv);
    vtl::setProgramTitle("Tarnwell");
    vtl::tarnwell::frmMain window;
    auto* splash = new vtl::tarnwell::frmSplash(&window);
    splash->show();
    return app.exec();
}

// VTL.exe: the main program. It reads no command line; everything it needs comes from its
// pointer INI vtl.ini beside it and the configuration INI that one names.
#include <QApplication>
#include <cstdlib>

#include "DefaultRunSteps.h"
#include "VTL.h"
#include "core/Error.h"
#include "platform/Display.h"

int main(int argc, char** argv) {
    if (!vtl::platform::prepareDisplay("VTL.exe")) return EXIT_FAILURE;
    QApplication app(argc, argv);
    vtl::setProgramTitle("Vistrel");
    vtl::DefaultRunSteps steps;
    vtl::VTL window(vtl::VTL::Options{.steps = &steps});
    window.Form_Load();
    return app.exec();
}

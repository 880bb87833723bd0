// ustation.exe: the stand-in MicroStation. Started with "/Automation" it shows its main window
// and serves the automation object; its other modes are tools for people and tests.
#include <QApplication>
#include <QImage>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "AutomationServer.h"
#include "MainWindow.h"
#include "Render.h"
#include "Session.h"
#include "Tools.h"
#include "dgn/DesignFile.h"
#include "core/Error.h"
#include "mstn/Protocol.h"
#include "mstn/RemoteApplication.h"

namespace {

using namespace vtl;
using namespace vtl::ustation;

constexpr char kUsage[] =
    "usage: ustation.exe /Automation\n"
    "       ustation.exe --new FILE [--3d]\n"
    "       ustation.exe --make-cell LIBRARY NAME DESIGNFILE\n"
    "       ustation.exe --dump FILE\n"
    "       ustation.exe --render FILE OUT.png\n"
    "       ustation.exe --keyin \"KEYINS\"\n";

int serve(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window class that finds MicroStation's main window.
    QCoreApplication::setApplicationName(mstn::kMainWindowClass);
    Journal journal;
    std::unique_ptr<StandInApplication> session = createSession(journal);
    AutomationServer server(*session, journal, [&session] { return session->quitRequested(); });
    if (!server.listen()) journal.note("another instance serves the automation object");
    MainWindow window(*session);
    QObject::connect(&server, &AutomationServer::quitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.showMinimized();
    return app.exec();
}

int sendKeyins(int argc, char** argv, const std::string& keyins) {
    QCoreApplication app(argc, argv);
    try {
        mstn::connectApplication()->MbeSendCommand(keyins);
        return 0;
    } catch (const Error& e) {
        if (e.number() == err::CannotCreateObject) {
            std::cerr << "ustation.exe: no MicroStation is running (nothing answers at "
                      << mstn::wire::endpoint() << ")\n";
        } else {
            std::cerr << "ustation.exe: " << e.description() << "\n";
        }
        return 1;
    }
}

int render(int argc, char** argv, const std::string& file, const std::string& out) {
    dgn::DesignFile::open(file);  // a file that is no design file is refused, not pictured
    // A picture needs no screen: without a chosen platform it is drawn offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImage image = renderDesign(file, QSize(1024, 768));
    if (!image.save(QString::fromStdString(out), "PNG")) {
        std::cerr << "ustation.exe: cannot write " << out << "\n";
        return 1;
    }
    return 0;
}

int run(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || (args.size() == 1 && (args[0] == "/Automation" || args[0] == "-Automation"))) {
        return serve(argc, argv);
    }
    if (args[0] == "--new" && (args.size() == 2 || (args.size() == 3 && args[2] == "--3d"))) {
        newDesign(args[1], args.size() == 3);
        return 0;
    }
    if (args[0] == "--make-cell" && args.size() == 4) {
        makeCell(args[1], args[2], args[3]);
        return 0;
    }
    if (args[0] == "--dump" && args.size() == 2) {
        dumpDesign(args[1], std::cout);
        return 0;
    }
    if (args[0] == "--render" && args.size() == 3) return render(argc, argv, args[1], args[2]);
    if (args[0] == "--keyin" && args.size() == 2) return sendKeyins(argc, argv, args[1]);
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const vtl::Error& e) {
        std::cerr << "ustation.exe: " << e.description() << "\n";
        return 1;
    }
}

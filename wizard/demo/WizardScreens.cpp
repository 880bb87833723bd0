// vtl_wizard_screens: the configuration wizard opened from the main window's File menu on a
// virtual display, each outer and inner page shown as a user would click it, one setting of each
// changed as a user would change it (a bar moved, a colour picked, a grid column widened), and
// a picture of the wizard taken on each beside a picture of the working drawing MicroStation
// shows it in; then Close. Message boxes are recorded and printed, not shown.
//
//   vtl_wizard_screens PROGRAM_FOLDER OUTDIR
//
// PROGRAM_FOLDER holds the pointer INI vtl.ini (as beside VTL.exe) and standins/ustation.exe;
// the pictures are OUTDIR/wizard-<page>-<inner page>.png and mstn-<page>-<inner page>.png.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <iostream>
#include <vector>

#include "DefaultRunSteps.h"
#include "VTL.h"
#include "core/Error.h"
#include "platform/MessageBoxes.h"
#include "wizard/frmVTLWizard.h"

namespace {

using vtl::wizard::frmVTLWizard;
using vtl::wizard::WizardForm;

bool ready(frmVTLWizard& wizard) {
    WizardForm& form = wizard.form();
    return !form.busy() && !form.Timer1.running() && form.SSTab.TabEnabled(0);
}

void picture(frmVTLWizard& wizard, const std::filesystem::path& out, const std::string& name) {
    const auto file = out / ("wizard-" + name + ".png");
    wizard.grab().save(QString::fromStdString(file.string()));
    std::cout << "picture: " << file.string() << "\n";
}

// The drawing the page's previews are drawn in, as the stand-in MicroStation renders it.
void render(frmVTLWizard& wizard, const std::filesystem::path& programFolder,
            const std::filesystem::path& out, const std::string& name) {
    WizardForm& form = wizard.form();
    const std::string drawing =
        form.SSTab.Tab() == 0 ? form.txtISOFile.Tag : form.txtICSSeedFile[0]->Tag;
    const auto file = out / ("mstn-" + name + ".png");
    QProcess::execute(
        QString::fromStdString((programFolder / "standins/ustation.exe").string()),
        {"--render", QString::fromStdString(drawing), QString::fromStdString(file.string())});
    std::cout << "picture: " << file.string() << "\n";
}

// One setting of the inner page changed as a user changes it: the position bar moved a page
// to the right, the fifth colour clicked, or the grid's first column widened.
void change(frmVTLWizard& wizard, int page, int inner) {
    const char* bars[] = {"HScrollVistrel", "HScrollIsoCoverSheet", "HScrollIso3D"};
    const char* colours[3][3] = {{nullptr, "lvPipeColor", nullptr},
                                 {nullptr, "lvTabColor", "lvLineEndColor"},
                                 {nullptr, "lvIso3DColor", nullptr}};
    if (inner == 0) {
        wizard.findChild<QScrollBar*>(bars[page])->triggerAction(QScrollBar::SliderPageStepAdd);
    } else if (page == 1 && inner == 1) {
        auto* header = wizard.findChild<QTableView*>("TDBGrid")->horizontalHeader();
        header->resizeSection(0, header->sectionSize(0) + 40);
    }
    if (const char* name = colours[page][inner]) {
        auto* list = wizard.findChild<QListWidget*>(name);
        if (QListWidgetItem* item = list->item(4)) {
            list->setCurrentItem(item);
            emit list->itemClicked(item);
        }
    }
}

// The whole screen: the wizard above the main window and the stand-in MicroStation.
void screen(const std::filesystem::path& out) {
    const auto file = out / "wizard-screen.png";
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(file.string()));
    std::cout << "picture: " << file.string() << "\n";
}

std::string slug(QString caption) {
    return caption.toLower().replace(' ', '-').toStdString();
}

// What a user does, one click at a time: each outer page and each of its inner pages, a picture
// of each, then Close.
std::vector<std::function<void()>> clicks(frmVTLWizard& wizard,
                                          const std::filesystem::path& programFolder,
                                          const std::filesystem::path& out) {
    std::vector<std::function<void()>> steps;
    auto* outer = wizard.findChild<QTabWidget*>("SSTab");
    const char* inner[] = {"SSTab1", "SSTab2", "SSTab3"};
    for (int page = 0; page < outer->count(); ++page) {
        auto* tabs = wizard.findChild<QTabWidget*>(inner[page]);
        steps.push_back([outer, page] { outer->setCurrentIndex(page); });
        for (int i = 0; i < tabs->count(); ++i) {
            steps.push_back([tabs, i] { tabs->setCurrentIndex(i); });
            steps.push_back([&wizard, page, i] { change(wizard, page, i); });
            steps.push_back([&wizard, programFolder, out, outer, tabs, page, i] {
                const std::string name = slug(outer->tabText(page)) + "-" + slug(tabs->tabText(i));
                picture(wizard, out, name);
                render(wizard, programFolder, out, name);
            });
        }
        steps.push_back([tabs] { tabs->setCurrentIndex(0); });
        if (page == 0) steps.push_back([out] { screen(out); });
    }
    steps.push_back([outer] { outer->setCurrentIndex(0); });
    steps.push_back([&wizard] { wizard.findChild<QPushButton*>("cmdClose")->click(); });
    return steps;
}

int run(const std::filesystem::path& programFolder, const std::filesystem::path& out) {
    vtl::platform::RecordingMessageBoxes messages;
    vtl::platform::ScopedMessageBoxes scopedMessages(messages);
    vtl::DefaultRunSteps runSteps;
    bool ended = false;
    vtl::VTL window(vtl::VTL::Options{&runSteps, programFolder, [&ended] { ended = true; }});
    window.Form_Load();
    if (ended) return 1;
    window.show();
    // Each step waits until the wizard is idle, never inside one of its handlers.
    std::vector<std::function<void()>> steps;
    size_t next = 0;
    QTimer driver;
    driver.setInterval(200);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* wizard = qobject_cast<frmVTLWizard*>(QApplication::activeModalWidget());
        if (!wizard || !ready(*wizard)) return;
        if (steps.empty()) steps = clicks(*wizard, programFolder, out);
        if (next < steps.size()) steps[next++]();
    });
    driver.start();
    window.findChild<QAction*>("Menu_File_Configuration_Wizard")->trigger();
    const bool visited = !steps.empty() && next == steps.size();
    for (const vtl::platform::Message& message : messages.messages()) {
        std::cout << "message: " << message.text << "\n";
    }
    return visited ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: vtl_wizard_screens PROGRAM_FOLDER OUTDIR\n";
        return 2;
    }
    QApplication app(argc, argv);
    vtl::setProgramTitle("Vistrel");
    std::filesystem::create_directories(argv[2]);
    try {
        return run(argv[1], argv[2]);
    } catch (const vtl::Error& e) {
        std::cerr << "vtl_wizard_screens: " << e.description() << "\n";
        return 1;
    }
}

// The main window driven as a user drives it: controls found by their names, dialogs answered by
// a script, message boxes recorded, and the desktop's windows faked.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "VTLWindowFixture.h"
#include "common/INIFileModule.h"
#include "core/Text.h"
#include "generator/frmSplash.h"
#include "platform/WindowSystem.h"
#include "support/FakePlatform.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using test::readFile;

constexpr char kConfig[] =
    "[Programm]\ncreateVTL=1\ncreateICS=0\ncreateI3D=1\n"
    "[Pellmark]\nPellmark=2\nexcelfile=/data/nodes.xls\n"
    "[Vistrel]\nisopath=/projects/iso\n"
    "[IPlot]\nIPlotque1=\\\\plotserver\\a3\nIPlotque2=\nIPlotque3=A4-local\n";

std::string text(QLineEdit* edit) {
    return edit->text().toStdString();
}

std::string registryText(const char* name) {
    return std::get<std::string>(RegistryModule::RegGetValue(
        RegistryModule::HKEY_CURRENT_USER, "Control Panel\\International", name, "", true));
}

int countOf(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

frmSplash* splash() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "frmSplash") return static_cast<frmSplash*>(widget);
    }
    return nullptr;
}

class VTLWindow : public test::VTLWindowFixture {
protected:
    void SetUp() override {
        test::VTLWindowFixture::SetUp();
        dir.write("project/config.ini", kConfig);
    }
    void click(const char* name) {
        auto* widget = find<QWidget>(name);
        ASSERT_NE(widget, nullptr) << name;
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    void trigger(const char* action) { find<QAction>(action)->trigger(); }
    std::string iniValue(const std::string& file, const char* section, const char* key) {
        return INIFileModule::ReadINI(file, section, key, "<missing>");
    }

    test::FakeWindowSystem desktopWindows;
    platform::ScopedWindows scopedWindows{desktopWindows};
};

TEST_F(VTLWindow, StartUpShowsCaptionControlsAndConfiguration) {
    RegistryModule::RegSetValue(RegistryModule::HKEY_CURRENT_USER, "Control Panel\\International",
                                "sDecimal", std::string(","), "");
    VTL& vtl = start();
    EXPECT_EQ(vtl.objectName(), "VTL");
    EXPECT_EQ(vtl.windowTitle(), "Brelvik Vistrel 2.3.4.5");
    const std::pair<const char*, const char*> buttons[] = {
        {"hfilewahl", "Select  H-file(s) or ASCII-list"},
        {"Start", "Start"},
        {"Exit", "Exit"},
        {"cmdSelect", "Browse..."},
        {"createVTL", "Create Vistrel"},
        {"createICS", "Create IsoCoverSheet"},
        {"createI3D", "with Iso-View  (I3D)"},
        {"Pellmark", "Use ISO-labeler with Excel file"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = find<QAbstractButton>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), caption);
    }
    EXPECT_EQ(find<QLabel>("Label1")->text(), "Present INI-file:");
    EXPECT_EQ(find<QLabel>("Label2")->text(), "Select printer/plotter for Iplot:");
    EXPECT_EQ(find<QGroupBox>("Frame4")->title(), "MicroStation to use:");
    for (const char* name : {"Menu_File", "Menu_Tools"}) EXPECT_NE(find<QMenu>(name), nullptr);
    for (const char* name : {"Menu_File_Configuration_Wizard", "Menu_File_Exit",
                             "Menu_Tools_Tarnwell", "Menu_Tools_Pellmark"}) {
        EXPECT_TRUE(find<QAction>(name)->isEnabled()) << name;
    }
    EXPECT_NE(find<QTimer>("killMstnTimer"), nullptr);
    EXPECT_FALSE(find<QPushButton>("Start")->isEnabled());

    // createICS=0 clears createI3D, then createI3D=1 ticks createICS again.
    EXPECT_EQ(find<QCheckBox>("createVTL")->checkState(), Qt::Checked);
    EXPECT_EQ(find<QCheckBox>("createICS")->checkState(), Qt::Checked);
    EXPECT_EQ(find<QCheckBox>("createI3D")->checkState(), Qt::Checked);
    EXPECT_EQ(find<QCheckBox>("Pellmark")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(text(find<QLineEdit>("excelfile")), "/data/nodes.xls");
    EXPECT_EQ(text(find<QLineEdit>("Inifile")), config());
    auto* plotters = find<QComboBox>("cboIplotset");
    ASSERT_EQ(plotters->count(), 3);
    EXPECT_EQ(plotters->itemText(1), "\\\\plotserver\\a3");
    EXPECT_EQ(plotters->itemText(2), "A4-local");
    EXPECT_EQ(plotters->currentText(), "No Plot");
    EXPECT_EQ(vtl.plotterText(), "No Plot");

    EXPECT_NE(readFile(logfile()).find("inifile = " + config()), std::string::npos);
    EXPECT_EQ(Variablen().SavedDecimal, ",");
    EXPECT_EQ(registryText("sDecimal"), ".");
    EXPECT_EQ(registryText("sThousand"), ",");
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(programEnds, 0);
}

TEST_F(VTLWindow, TheSplashShowsTheVersionForASecondThenTheMainWindow) {
    VTL& vtl = start();
    frmSplash* shown = splash();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_FALSE(vtl.isVisible());
    EXPECT_EQ(shown->findChild<QLabel*>("lblVersion")->text(), "Version 2.3.5");
    auto* timer = shown->findChild<QTimer*>("Timer1");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    shown->Timer1_Timer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(splash(), nullptr);
    EXPECT_TRUE(vtl.isVisible());
}

TEST_F(VTLWindow, AnOpenMicroStationOrPipingWindowEndsTheProgram) {
    for (const char* title : {"Bentley MicroStation V7 - a.dgn", "Explorer - /plant/piping"}) {
        SCOPED_TRACE(title);
        const auto handle = desktopWindows.open(title, "Other");
        messages.clear();
        programEnds = 0;
        start();
        EXPECT_EQ(messages.messages(),
                  (std::vector<platform::Message>{
                      {"Please close all MicroStation and restart Vistrel", 0, "Vistrel"}}));
        EXPECT_EQ(programEnds, 1);
        EXPECT_EQ(splash(), nullptr);
        // The separators are left untouched.
        EXPECT_EQ(registryText("sDecimal"), "");
        window.reset();
        desktopWindows.close(handle);
    }
}

TEST_F(VTLWindow, AFailingStartUpStepIsShownAndTheStartGoesOn) {
    const test::ScopedEnv missingTmp("TMP", (dir / "no-such-folder").string());
    VTL& vtl = start();
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_EQ(messages.messages()[0].style, platform::vbExclamation);
    EXPECT_EQ(programEnds, 0);
    EXPECT_EQ(vtl.windowTitle(), "Brelvik Vistrel 2.3.4.5");
    EXPECT_EQ(text(find<QLineEdit>("excelfile")), "/data/nodes.xls");
    EXPECT_EQ(find<QComboBox>("cboIplotset")->count(), 3);
    EXPECT_NE(splash(), nullptr);
    EXPECT_TRUE(find<QTimer>("Timer1")->isActive());
}

TEST_F(VTLWindow, AVersionSevenInstallationIsPreferredAndAPickedOneIsKept) {
    const std::string v8 = exe("v8/ustation.exe"), v7 = exe("v7/ustation.exe");
    install("A", v8, "08.05");
    install("B", v7, "07.01");
    VTL& vtl = start();
    waitForStartUpTimer();
    auto* box = find<QComboBox>("cmbMSTNPath");
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(0).toStdString(), "(08.05) " + v8);
    EXPECT_EQ(box->currentText().toStdString(), "(07.01) " + v7);
    EXPECT_EQ(vtl.GetMSTNPath(), v7);

    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(iniValue(config(), "VTL", "MSTNPath"), v8);
}

TEST_F(VTLWindow, BrowseTakesABarePathWithoutWritingTheIni) {
    install("A", exe("v7/ustation.exe"), "07.01");
    VTL& vtl = start();
    waitForStartUpTimer();
    const std::string chosen = "/opt/Program Files (x86)/Bentley/ustation.exe";
    dialogs.answer(chosen);
    click("cmdSelect");
    EXPECT_EQ(find<QComboBox>("cmbMSTNPath")->currentText().toStdString(), chosen);
    EXPECT_EQ(vtl.GetMSTNPath(), chosen);
    EXPECT_EQ(iniValue(config(), "VTL", "MSTNPath"), "<missing>");
    const platform::FileDialogRequest& asked = dialogs.requests().at(0);
    EXPECT_EQ(asked.title, "MicroStation EXE-File");
    EXPECT_EQ(asked.filters, (std::vector<platform::FileFilter>{
                                 {"MicroStation EXE-File (ustation.exe)", {"ustation.exe"}}}));
    EXPECT_EQ(asked.initialDir, (dir / "v7").string() + "/");
}

TEST_F(VTLWindow, HeaderFilesChosenInTheDialogEnableStart) {
    const std::string a = dir.write("iso/a.h", "").string();
    const std::string b = dir.write("iso/b.h1", "").string();
    start();
    dialogs.answer(a);
    click("hfilewahl");
    EXPECT_EQ(Variablen().IsoFileList, Texts{a});
    EXPECT_EQ(Variablen().IsoFileLast, 0);
    EXPECT_TRUE(find<QPushButton>("Start")->isEnabled());
    dialogs.answerMany({a, b});
    click("hfilewahl");
    EXPECT_EQ(Variablen().IsoFileList, (Texts{a, b}));
    EXPECT_EQ(Variablen().IsoFileLast, 1);
    const platform::FileDialogRequest& asked = dialogs.requests().at(0);
    EXPECT_EQ(asked.initialDir, "/projects/iso");
    EXPECT_EQ(asked.filters.size(), 2u);
    EXPECT_EQ(asked.filters[0].patterns, (Texts{"*.h", "*.h1"}));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(VTLWindow, AFailedListLeavesTheEarlierChoiceAndStartAsTheyWere) {
    const std::string list = dir.write("lists/run.txt", "gone.h\n").string();
    start();
    dialogs.answer(list);
    click("hfilewahl");
    EXPECT_FALSE(find<QPushButton>("Start")->isEnabled());
    EXPECT_TRUE(Variablen().IsoFileList.empty());

    const std::string a = dir.write("iso/a.h", "").string();
    dialogs.answer(a);
    click("hfilewahl");
    messages.clear();
    dialogs.answer(list);
    click("hfilewahl");
    EXPECT_EQ(messages.texts(),
              (Texts{"File: 'gone.h' not found", "No h-Files in file: '" + list + "' found"}));
    EXPECT_EQ(Variablen().IsoFileList, Texts{a});
    EXPECT_EQ(Variablen().IsoFileLast, 0);
    EXPECT_TRUE(find<QPushButton>("Start")->isEnabled());

    messages.clear();
    dialogs.cancel();
    click("hfilewahl");
    EXPECT_EQ(Variablen().IsoFileList, Texts{a});
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(VTLWindow, AnotherIniIsNamedInThePointerIniAndRead) {
    const std::string other =
        dir.write("other/other.ini", "[Programm]\ncreateVTL=0\n[Pellmark]\nexcelfile=/x.xls\n")
            .string();
    start();
    dialogs.answer(other);
    click("Inifile");
    EXPECT_EQ(text(find<QLineEdit>("Inifile")), other);
    EXPECT_EQ(Variablen().inifile, other);
    EXPECT_EQ(iniValue((programFolder() / "vtl.ini").string(), "Programm", "inifile"), other);
    EXPECT_EQ(find<QCheckBox>("createVTL")->checkState(), Qt::Unchecked);
    EXPECT_EQ(text(find<QLineEdit>("excelfile")), "/x.xls");
    const platform::FileDialogRequest& asked = dialogs.requests().at(0);
    EXPECT_EQ(asked.initialDir, (dir / "project").string() + "/");
    EXPECT_EQ(asked.filters[0].description, "INI-File (*.ini)");
}

TEST_F(VTLWindow, CancellingTheIniDialogKeepsTheIniButReadsItAgain) {
    start();
    const std::string dump = "======== Begin Variable from INI-File";
    const int dumps = countOf(readFile(logfile()), dump);
    dialogs.cancel();
    click("Inifile");
    EXPECT_EQ(text(find<QLineEdit>("Inifile")), config());
    EXPECT_EQ(countOf(readFile(logfile()), dump), dumps + 1);
    EXPECT_EQ(iniValue((programFolder() / "vtl.ini").string(), "Programm", "inifile"), config());
}

TEST_F(VTLWindow, TheWorkbookBoxTakesAChosenFileAndKeepsItsTextOnCancel) {
    VTL& vtl = start();
    dialogs.answer("/data/other.xls");
    click("excelfile");
    EXPECT_EQ(vtl.excelFileText(), "/data/other.xls");
    EXPECT_EQ(dialogs.requests().at(0).filters[0],
              (platform::FileFilter{"Excel-File (*.xls)", {"*.xls", "*.xlsx"}}));
    dialogs.cancel();
    click("excelfile");
    EXPECT_EQ(vtl.excelFileText(), "/data/other.xls");
    EXPECT_EQ(Variablen().excelfile, "/data/other.xls");
}

TEST_F(VTLWindow, OptionClicksKeepTheCoverSheetAndItsThreeDViewTogether) {
    start();
    click("createICS");
    EXPECT_EQ(Variablen().createICS, 0);
    EXPECT_EQ(Variablen().createI3D, 0);
    EXPECT_EQ(find<QCheckBox>("createI3D")->checkState(), Qt::Unchecked);
    click("createI3D");
    EXPECT_EQ(Variablen().createI3D, 1);
    EXPECT_EQ(Variablen().createICS, 1);
    EXPECT_EQ(find<QCheckBox>("createICS")->checkState(), Qt::Checked);
    click("Pellmark");
    EXPECT_EQ(Variablen().Pellmark, 1);
}

TEST_F(VTLWindow, ToolsMenuNamesAMissingProgramAndStartsAPresentOne) {
    start();
    trigger("Menu_Tools_Tarnwell");
    const std::string tarnwell = (programFolder() / "bin/Tarnwell.exe").string();
    EXPECT_EQ(messages.messages(),
              (std::vector<platform::Message>{{"Cannot find application file " + tarnwell,
                                               platform::vbExclamation, "Vistrel"}}));
    const std::string pellmark = dir.write("program/bin/Pellmark.exe", "").string();
    trigger("Menu_Tools_Pellmark");
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, pellmark);
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(VTLWindow, DuringARunOnlyWhatCannotChangeItStaysLive) {
    VTL& vtl = start();
    vtl.show();
    RunHost& host = vtl;
    host.setRunning(true);
    for (const char* name : {"Start", "hfilewahl", "Inifile", "cmbMSTNPath", "cmdSelect"}) {
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
    }
    for (const char* name :
         {"createVTL", "createICS", "createI3D", "Pellmark", "excelfile", "cboIplotset", "Exit"}) {
        EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
    }
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_FALSE(vtl.close());
    EXPECT_TRUE(vtl.isVisible());
    EXPECT_EQ(programEnds, 0);
    host.setRunning(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(find<QWidget>("hfilewahl")->isEnabled());
    // No header files were chosen, so Start stays disabled.
    EXPECT_FALSE(find<QWidget>("Start")->isEnabled());
}

TEST_F(VTLWindow, ExitGivesTheSeparatorsBackAndEndsTheProgram) {
    RegistryModule::RegSetValue(RegistryModule::HKEY_CURRENT_USER, "Control Panel\\International",
                                "sThousand", std::string("'"), "");
    VTL& vtl = start();
    vtl.show();
    EXPECT_EQ(registryText("sThousand"), ",");
    click("Exit");
    EXPECT_FALSE(vtl.isVisible());
    EXPECT_EQ(programEnds, 1);
    EXPECT_EQ(registryText("sThousand"), "'");
    EXPECT_EQ(registryText("sDecimal"), ".");
}

TEST_F(VTLWindow, StartRunsAndShowsTheClosingMessage) {
    const std::string a = dir.write("iso/a.h", "").string();
    start();
    dialogs.answer(a);
    click("hfilewahl");
    click("Start");
    // The built-in seed settings name no existing file, so the run ends at once with errors.
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_EQ(messages.messages().back(),
              (platform::Message{"Vistrel completed with errors - see logfile: " + logfile(), 0,
                                 "Vistrel"}));
    EXPECT_NE(readFile(logfile()).find("i3d-Seedfile not found"), std::string::npos);
    EXPECT_EQ(iniValue(config(), "Programm", "createICS"), "1");
    EXPECT_EQ(iniValue(config(), "Pellmark", "excelfile"), "/data/nodes.xls");
    EXPECT_TRUE(find<QPushButton>("Start")->isEnabled());
}

}  // namespace
}  // namespace vtl

// The tool's splash and main window driven as a user drives them: controls found by their
// names, dialogs answered by a script, message boxes recorded, shell and processes faked.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "ToolFixture.h"
#include "WindowDesktop.h"
#include "core/Text.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "support/FakeClock.h"
#include "support/FakePlatform.h"
#include "textreplace/frmMain.h"
#include "textreplace/frmSplash.h"

namespace vtl::tarnwell {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using vtl::test::readFile;

constexpr char kMissingTemp[] =
    ". Please first set operating system environment variable TEMP to correct folder";

std::string text(const QLineEdit* box) {
    return box->text().toStdString();
}

// Message boxes that answer at once and may let the user act while one is up.
class Boxes : public platform::RecordingMessageBoxes {
public:
    int32_t show(const platform::Message& message) override {
        if (whileShown) whileShown();
        return RecordingMessageBoxes::show(message);
    }
    std::function<void()> whileShown;
};

class frmMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::WindowDesktop::ready()) GTEST_SKIP() << "Xvfb did not start";
        project = tool.dir.write("project/a.dgn", "x").parent_path().string();
        tool.dir.write("project/sub/b.dgn", "x");
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    frmMain& create() {
        window = std::make_unique<frmMain>(frmMain::Options{[this] { ++programEnds; }});
        return *window;
    }
    // Shows the window as the splash does, and lets the timer load the settings.
    frmMain& start() {
        create().show();
        auto* timer = find<QTimer>("Timer1");
        EXPECT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 5000));
        return *window;
    }
    template <class T>
    T* find(const char* name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { QTest::mouseClick(find<QWidget>(name), Qt::LeftButton); }
    Texts listed(const char* name) const {
        Texts entries;
        auto* list = find<QListWidget>(name);
        for (int i = 0; i < list->count(); ++i)
            entries.push_back(list->item(i)->text().toStdString());
        return entries;
    }
    // The event texts of the window's list, without their time, once the list was refreshed
    // (ten times a second).
    Texts events() const {
        QTest::qWait(250);
        Texts texts = listed("lstLog");
        for (std::string& line : texts) line = line.substr(line.find('\t') + 1);
        return texts;
    }
    Texts lastEvents(size_t n) const {
        const Texts all = events();
        return Texts(all.end() - static_cast<long>(std::min(n, all.size())), all.end());
    }
    void writeSettings(const std::string& content) { tool.dir.write("bin/Tarnwell.ini", content); }

    test::ScopedTool tool;
    vtl::test::ScopedEnv home{"HOME", (tool.dir / "home").string()};
    vtl::test::FakeClock clock;
    ScopedClock scopedClock{clock};
    Boxes messages;
    platform::ScopedMessageBoxes scopedMessages{messages};
    platform::ScriptedFileDialogs dialogs;
    platform::ScopedFileDialogs scopedDialogs{dialogs};
    vtl::test::FakeShell shell;
    platform::ScopedShell scopedShell{shell};
    vtl::test::FakeProcesses processes;
    platform::ScopedProcesses scopedProcesses{processes};
    std::string project;
    int programEnds = 0;
    std::unique_ptr<frmMain> window;
};

TEST_F(frmMainTest, TheSplashHandsOverToTheMainWindowWhichLoadsItsSettings) {
    writeSettings("[Tarnwell]\nInputDir=" + project + "\nExtension=dgn\nProcessFiles=1\n");
    frmMain& main = create();
    auto* splash = new frmSplash(&main);
    splash->show();
    EXPECT_EQ(splash->findChild<QLabel*>("Label1")->text(), "Brelvik Tarnwell");
    EXPECT_EQ(splash->findChild<QLabel*>("Label2")->text(), "Loading...");
    EXPECT_EQ(splash->findChild<QLabel*>("lblVersion")->text(), "Version 3.4.5.6");
    EXPECT_EQ(splash->findChild<QTimer*>("Timer1")->interval(), 3000);
    EXPECT_FALSE(main.isVisible());
    splash->Timer1_Timer();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.windowTitle(), "Brelvik Tarnwell 3.4.5.6");
    EXPECT_FALSE(find<QCheckBox>("chkMove")->isVisible());
    EXPECT_FALSE(find<QGroupBox>("Frame9")->isVisible());
    auto* timer = find<QTimer>("Timer1");
    ASSERT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 5000));

    const std::pair<const char*, const char*> captions[] = {
        {"chkFolder", "Process the files found in following folder (and sub-folders)"},
        {"chkFiles", "Process the files in following list"},
        {"cmdAddtFiles", "Add files ..."},
        {"cmdRemove", "Remove selected"},
        {"cmdClear", "Clear"},
        {"cmdOpenFile", "Open"},
        {"cmdReplace", "Replace text in DGN files"},
        {"cmdExtract", "Extract text to Excel"},
        {"cmdExit", "Exit"},
        {"chkMove", "Move:"}};
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(find<QAbstractButton>(name)->text(), caption);
    }
    EXPECT_EQ(find<QLabel>("Label1")->text(), "File extensions (example: ext1,ext2,ext3):");
    EXPECT_EQ(find<QGroupBox>("Frame1")->title(), "Excel config file:");
    EXPECT_EQ(find<QGroupBox>("Frame2")->title(), "Events:");
    EXPECT_EQ(find<QGroupBox>("Frame12")->title(), "Units:");
    EXPECT_EQ(find<QGroupBox>("Frame7")->title(), "Distance X:");

    EXPECT_EQ(text(find<QLineEdit>("txtInputDir")), project);
    EXPECT_EQ(text(find<QLineEdit>("txtExt")), "dgn");
    EXPECT_TRUE(find<QCheckBox>("chkFolder")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("chkFiles")->isChecked());
    EXPECT_TRUE(find<QPushButton>("cmdReplace")->isEnabled());
    EXPECT_EQ(events(), (Texts{"Starting Brelvik Tarnwell 3.4.5.6 ..."}));
    const fs::path logs = tool.temp() / "Tarnwell";
    ASSERT_EQ(vtl::test::entryNames(logs).size(), 1u);
    EXPECT_NE(readFile(logs / vtl::test::entryNames(logs)[0]).find("Starting Brelvik Tarnwell"),
              std::string::npos);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(frmMainTest, SettingsAreCheckedAndWrittenAsTheirControlsChange) {
    writeSettings("[Tarnwell]\nInputDir=" + project + "/gone\nXLSFile=" + project +
                  "/cfg.xls\nUnits= mm \nDistX=1,5\nDistY=2.5\nMove=1\n");
    start();
    // A vanished folder leaves the box empty and the key as it was.
    EXPECT_EQ(text(find<QLineEdit>("txtInputDir")), "");
    EXPECT_EQ(tool.setting("InputDir"), project + "/gone");
    EXPECT_EQ(find<QComboBox>("cmbUnits")->currentText(), "MM");
    EXPECT_EQ(tool.setting("Units"), "MM");
    EXPECT_EQ(text(find<QLineEdit>("txtDistX")), "0");
    EXPECT_EQ(tool.setting("DistX"), "0");
    EXPECT_EQ(tool.setting("DistY"), "2.5");
    EXPECT_TRUE(find<QCheckBox>("chkMove")->isChecked());
    EXPECT_TRUE(find<QLineEdit>("txtDistZ")->isEnabled());

    find<QLineEdit>("txtInputDir")->setText(QString::fromStdString(project));
    EXPECT_EQ(tool.setting("InputDir"), project);
    auto* workbook = find<QLineEdit>("txtXLSFile");
    EXPECT_EQ(text(workbook), project + "/cfg.xls");
    QTest::keyClick(workbook, Qt::Key_Delete);
    EXPECT_EQ(text(workbook), "");
    EXPECT_EQ(tool.setting("XLSFile"), "");
    // The extensions wait for the end of the program.
    find<QLineEdit>("txtExt")->setText("dgn");
    EXPECT_EQ(tool.setting("Extension"), "<missing>");
}

TEST_F(frmMainTest, ClosingWritesTheRestAndTheNextStartRestoresIt) {
    start();
    window->move(120, 60);
    find<QCheckBox>("chkFolder")->setChecked(false);
    find<QCheckBox>("chkFiles")->setChecked(true);
    find<QLineEdit>("txtExt")->setText("dgn, i01");
    click("cmdExit");
    EXPECT_EQ(programEnds, 1);
    EXPECT_EQ(tool.setting("ProcessFolder"), "0");
    EXPECT_EQ(tool.setting("ProcessFiles"), "1");
    EXPECT_EQ(tool.setting("Extension"), "dgn, i01");
    EXPECT_EQ(tool.setting("WindowState", "frmMain"), "0");
    EXPECT_NE(tool.setting("Width", "frmMain"), "<missing>");
    EXPECT_EQ(lastEvents(2), (Texts{"Finishing ...", "Bye ..."}));

    const QPoint place = window->pos();
    window.reset();
    start();
    EXPECT_EQ(window->pos(), place);
    EXPECT_FALSE(find<QCheckBox>("chkFolder")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("chkFiles")->isChecked());
    EXPECT_EQ(text(find<QLineEdit>("txtExt")), "dgn, i01");
}

TEST_F(frmMainTest, WithoutTempTheStartEndsWithTwoMessagesAndWritesNothing) {
    const std::string settings = "[Tarnwell]\nExtension=dgn\nProcessFolder=1\n[frmMain]\nTop=15\n";
    writeSettings(settings);
    fs::create_directories(tool.dir / "home");
    const std::string missing = (tool.dir / "no-temp").string();
    const vtl::test::ScopedEnv temp{"TEMP", missing};
    create().show();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(programEnds, 1);
    const std::string log = (tool.dir / "home/Tarnwell.log").string();
    EXPECT_EQ(
        messages.messages(),
        (std::vector<platform::Message>{
            {"TEMP directory: '" + missing + "' not exists" + kMissingTemp, 48, "Brelvik Tarnwell"},
            {"Log-file location: '" + log + "'", 48, "Brelvik Tarnwell"}}));
    EXPECT_NE(readFile(log).find("Log-file location"), std::string::npos);
    EXPECT_EQ(readFile(tool.ini()), settings);
    window->show();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(frmMainTest, AFailingSettingsLoadIsShownAndUnlocksTheWindow) {
    fs::create_directory(tool.ini());
    start();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].style, 48);
    EXPECT_TRUE(find<QPushButton>("cmdReplace")->isEnabled());
    click("cmdExit");
    EXPECT_EQ(programEnds, 1);
}

TEST_F(frmMainTest, TheFileListTakesFilesFromTheDialogAndDrops) {
    start();
    dialogs.answerMany({"/x/a.dgn", "/x/b.dgn"});
    click("cmdAddtFiles");
    dialogs.answerMany({"/x/b.dgn", "/X/A.DGN", "/x/c.dgn"});
    click("cmdAddtFiles");
    EXPECT_EQ(listed("lstFiles"), (Texts{"/x/a.dgn", "/x/b.dgn", "/X/A.DGN", "/x/c.dgn"}));
    EXPECT_EQ(dialogs.requests()[0].filters.size(), 2u);
    EXPECT_EQ(dialogs.requests()[0].filters[0].description, "Design file (*.dgn)");

    auto* list = find<QListWidget>("lstFiles");
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    click("cmdRemove");
    EXPECT_EQ(listed("lstFiles"), (Texts{"/x/b.dgn", "/x/c.dgn"}));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/X/B.DGN"), QUrl::fromLocalFile("/x/d.dgn")});
    // A drop reaches the widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    EXPECT_EQ(listed("lstFiles"), (Texts{"/x/b.dgn", "/x/c.dgn", "/x/d.dgn"}));
    EXPECT_TRUE(find<QPushButton>("cmdAddtFiles")->isEnabled());
    click("cmdClear");
    EXPECT_TRUE(listed("lstFiles").empty());
}

TEST_F(frmMainTest, TheEventListKeepsTheLastFive) {
    start();
    for (int i = 1; i <= 6; ++i) LogEvent("event " + std::to_string(i));
    EXPECT_EQ(events(), (Texts{"event 2", "event 3", "event 4", "event 5", "event 6"}));
}

TEST_F(frmMainTest, ReplaceAndExtractGatherTheFilesBeforeTheyStart) {
    writeSettings("[Tarnwell]\nInputDir=" + project + "\nExtension=dgn\n");
    start();
    processes.add(4242, 1, "USTATION.EXE");
    click("cmdReplace");
    EXPECT_EQ(messages.texts(), (Texts{"Please close all MicroStation session."}));

    processes = {};
    messages.clear();
    // Without a workbook both runs stop at their first file, before MicroStation starts.
    click("cmdReplace");
    click("cmdExtract");
    EXPECT_EQ(messages.texts(), (Texts{"Excel file not defined", "Excel file not defined"}));
    EXPECT_EQ(lastEvents(3),
              (Texts{"File extensions: dgn", "2 file(s) found",
                     "Importing DGN file: '" + project + "/sub/b.dgn' into excel file: '' ..."}));
    EXPECT_TRUE(find<QPushButton>("cmdReplace")->isEnabled());

    messages.clear();
    find<QCheckBox>("chkFolder")->setChecked(false);
    click("cmdReplace");
    EXPECT_EQ(messages.texts(),
              (Texts{"Please check the checkbox of finding file in folder or using the files in "
                     "the file list."}));
}

TEST_F(frmMainTest, AWindowClosedWhileItsCodeRunsClosesAfterwards) {
    start();
    messages.whileShown = [this] {
        messages.whileShown = nullptr;
        window->close();
    };
    click("cmdReplace");
    EXPECT_EQ(programEnds, 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->exitRequested());
    ASSERT_TRUE(QTest::qWaitFor([this] { return programEnds == 1; }, 5000));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(frmMainTest, TheFolderWorkbookAndLogHandlers) {
    start();
    dialogs.answer(project);
    click("cmdSelectDir");
    EXPECT_EQ(text(find<QLineEdit>("txtInputDir")), project + "/");
    EXPECT_EQ(tool.setting("InputDir"), project + "/");
    EXPECT_EQ(dialogs.requests()[0].title, "Select directory with DGN files");

    find<QLineEdit>("txtXLSFile")->setText(QString::fromStdString(project + "/old.xls"));
    dialogs.answer(project + "/cfg.xls");
    click("cmdSelectFile");
    EXPECT_EQ(dialogs.requests()[1].initialDir, project + "/");
    EXPECT_EQ(dialogs.requests()[1].filters[0],
              (platform::FileFilter{"Excel config file (*.xls)", {"*.xls", "*.xlsx"}}));
    EXPECT_EQ(tool.setting("XLSFile"), project + "/cfg.xls");

    click("cmdOpenFile");
    QTest::mouseClick(find<QListWidget>("lstLog")->viewport(), Qt::LeftButton);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].operation, "Open");
    EXPECT_EQ(shell.calls[0].file, project + "/cfg.xls");
    EXPECT_EQ(shell.calls[1].file, LOGModule::GetLogFileName());
    shell.result = platform::shellcode::NoAssociation;
    click("cmdOpenFile");
    EXPECT_EQ(messages.texts(), (Texts{"No association for file extension"}));
}

}  // namespace
}  // namespace vtl::tarnwell

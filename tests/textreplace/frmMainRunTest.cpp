// The runs from the main window as a user starts them, on a private X server, with MicroStation
// and Excel in the test's process, the process table and the clock faked: the counter, the
// events, the messages, a failed file, a close request during a run and MicroStation's end.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <set>

#include "ToolFixture.h"
#include "ToolRuns.h"
#include "WindowDesktop.h"
#include "platform/AtomicFile.h"
#include "platform/MessageBoxes.h"
#include "support/FakeClock.h"
#include "support/FakePlatform.h"
#include "support/PythonScript.h"
#include "textreplace/ConfigLookup.h"
#include "textreplace/frmMain.h"

namespace vtl::tarnwell {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class frmMainRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::WindowDesktop::ready()) GTEST_SKIP() << "Xvfb did not start";
        folder = tool.dir / "project";
        fs::create_directories(folder);
        workbook = test::writeConfigWorkbook(tool.dir / "cfg.xlsx", {"'A-100', 'B-100', 5, 3, 0"});
        tool.dir.write("bin/Tarnwell.ini", "[Tarnwell]\nInputDir=" + folder.string() +
                                               "\nXLSFile=" + workbook.string() +
                                               "\nExtension=dgn\nMove=1\n");
        clock.onProcessEvents([this](int64_t) {
            if (label) counters.insert(label->text().toStdString());
        });
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CloseConfigRecordset();
    }

    void start() {
        window = std::make_unique<frmMain>(frmMain::Options{[this] { ++programEnds; }});
        window->show();
        auto* timer = window->findChild<QTimer*>("Timer1");
        ASSERT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 5000));
        label = window->findChild<QLabel*>("lblCounter");
    }
    void click(const char* name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    fs::path drawing(const std::string& name) {
        return test::writeDrawing(folder / name, {{"A-100|5|3|0", "keep|5|3|0"}});
    }

    test::ScopedTool tool;
    vtl::test::ScopedEnv home{"HOME", (tool.dir / "home").string()};
    vtl::test::ScopedPlatformHome platformHome;
    vtl::test::FakeClock clock;
    ScopedClock scopedClock{clock};
    platform::RecordingMessageBoxes messages;
    platform::ScopedMessageBoxes scopedMessages{messages};
    vtl::test::FakeProcesses processes;
    platform::ScopedProcesses scopedProcesses{processes};
    test::InProcessPrograms programs;
    ScopedOutsidePrograms scopedPrograms{programs};
    std::unique_ptr<frmMain> window;
    QLabel* label = nullptr;
    std::set<std::string> counters;
    int programEnds = 0;
    fs::path folder, workbook;
};

TEST_F(frmMainRunTest, AReplacementCountsItsFilesAndAFailedFileEndsTheRunWithItsMessage) {
    const fs::path a = drawing("a.dgn");
    const fs::path b = tool.dir.write("project/b.dgn", "not a drawing");
    const fs::path c = drawing("c.dgn");
    start();
    click("cmdReplace");
    // The hidden Move box is cleared, and its setting with it.
    EXPECT_FALSE(window->findChild<QCheckBox*>("chkMove")->isChecked());
    EXPECT_EQ(tool.setting("Move"), "0");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].style, 48);
    EXPECT_EQ(messages.messages()[0].text,
              "The file \"" + b.string() + "\" is not a DGN V7 design file or cell library");
    EXPECT_EQ(label->text().toStdString(), "2 / 3");
    EXPECT_EQ(counters, (std::set<std::string>{"1 / 3"}));  // file 2 failed before its walk
    EXPECT_EQ(test::textsOf(a), (Texts{"B-100 5 3 0", "keep 5 3 0"}));
    EXPECT_EQ(test::textsOf(c), (Texts{"A-100 5 3 0", "keep 5 3 0"}));
    EXPECT_EQ(programs.sessions.size(), 2u);
    // The message's log line names where the error came from.
    const std::string log = vtl::test::readFile(LOGModule::GetLogFileName());
    EXPECT_NE(log.find("  XLS2DGN: The file \"" + b.string()), std::string::npos);
    EXPECT_TRUE(window->findChild<QPushButton*>("cmdReplace")->isEnabled());

    tool.dir.write("project/b.dgn", vtl::test::readFile(c));
    counters.clear();
    messages.clear();
    click("cmdReplace");
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(counters, (std::set<std::string>{"1 / 3", "2 / 3", "3 / 3"}));
    EXPECT_EQ(test::textsOf(c), (Texts{"B-100 5 3 0", "keep 5 3 0"}));
    auto* events = window->findChild<QListWidget*>("lstLog");
    EXPECT_NE(events->item(events->count() - 1)->text().toStdString().find("Done ---"),
              std::string::npos);
}

TEST_F(frmMainRunTest, AMicroStationLeftRunningByAFailedFileIsWaitedForAndKilled) {
    drawing("a.dgn");
    tool.dir.write("project/b.dgn", "not a drawing");
    start();
    processes.add(5150, 1, "ustation.exe");
    click("cmdExtract");
    EXPECT_EQ(messages.texts(), (Texts{"Please close all MicroStation session."}));
    processes.terminate(5150);

    // Each MicroStation runs from its start on and outlives its Quit.
    int32_t pid = 6000;
    programs.onAttach = [&] { processes.add(++pid, 1, "ustation.exe"); };
    messages.clear();
    click("cmdExtract");  // the workbook exists: the question is answered Yes
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[0].text, "Overwrite file " + workbook.string() + "?");
    EXPECT_NE(messages.messages()[1].text.find("is not a DGN V7 design file"), std::string::npos);
    // After each file, the one that failed too, the run waited 30 s and killed it.
    EXPECT_EQ(processes.terminated(), (std::vector<int32_t>{5150, 6001, 6002}));
    const std::string log = vtl::test::readFile(LOGModule::GetLogFileName());
    const std::string timeout =
        "Exiting MicroStation timeout. MicroStation process will be killed.";
    EXPECT_NE(log.find(timeout), log.rfind(timeout));
    EXPECT_EQ(test::readWorkbookRows(workbook),
              (Texts{"('Find', 'Replace', 'Level', 'Color', 'Weight')",
                     "('A-100', 'A-100', 5, 3, 0)", "('keep', 'keep', 5, 3, 0)", "@ @ n True"}));
}

TEST_F(frmMainRunTest, ClosingTheWindowDuringARunStopsItBetweenFiles) {
    const fs::path a = drawing("a.dgn");
    const fs::path b = drawing("b.dgn");
    start();
    clock.onProcessEvents([this](int64_t) {
        if (!window->exitRequested()) window->close();
    });
    click("cmdReplace");
    EXPECT_EQ(test::textsOf(a), (Texts{"B-100 5 3 0", "keep 5 3 0"}));
    EXPECT_EQ(test::textsOf(b), (Texts{"A-100 5 3 0", "keep 5 3 0"}));
    EXPECT_EQ(programs.sessions.size(), 1u);
    EXPECT_TRUE(programs.sessions[0]->quitRequested());
    const std::string log = vtl::test::readFile(LOGModule::GetLogFileName());
    EXPECT_NE(log.find("The run stops before file 2 / 2: the program is closing"),
              std::string::npos);
    ASSERT_TRUE(QTest::qWaitFor([this] { return programEnds == 1; }, 5000));
    EXPECT_NE(vtl::test::readFile(LOGModule::GetLogFileName()).find("Bye ..."), std::string::npos);
}

// Each input the run cannot use stops it with a message naming the problem, logged with where
// it came from; the drawings and the workbook keep every byte.
TEST_F(frmMainRunTest, EveryUnusableInputIsNamedInAMessageAndTheLogAndLeavesTheFilesAlone) {
    const fs::path a = drawing("a.dgn");
    const std::string image = vtl::test::readFile(a);
    start();
    auto* workbookBox = window->findChild<QLineEdit*>("txtXLSFile");
    auto* folderBox = window->findChild<QLineEdit*>("txtInputDir");
    const auto run = [&](const char* button) {
        messages.clear();
        click(button);
        return vtl::test::readFile(LOGModule::GetLogFileName());
    };

    const fs::path corrupt = tool.dir.write("corrupt.xlsx", "no workbook at all");
    const fs::path zero = tool.dir.write("zero.xlsx", "");
    const fs::path headers = test::writeConfigWorkbook(tool.dir / "headers.xlsx", {});
    const fs::path blank = tool.dir / "blank.xlsx";
    vtl::test::runPython("import openpyxl\nopenpyxl.Workbook().save(r'" + blank.string() + "')\n");
    const std::string notAWorkbook = "' is not a workbook: it is neither an .xlsx nor an .xls file";
    struct Unusable {
        fs::path file;
        std::string source, says;
    };
    const Unusable workbooks[] = {
        {corrupt, "XLS2DGN: SearchInit", "'" + corrupt.string() + notAWorkbook},
        {zero, "XLS2DGN: SearchInit", "'" + zero.string() + notAWorkbook},
        {headers, "XLS2DGN", "Nothing to replace defined"},
        {blank, "XLS2DGN", "Nothing to replace defined"},
        {workbook, "XLS2DGN: SearchInit",
         "'" + workbook.string() + "' is locked for editing by another user"}};
    for (const Unusable& book : workbooks) {
        const std::string bytes = vtl::test::readFile(book.file);
        workbookBox->setText(QString::fromStdString(book.file.string()));
        platform::FileLock lock(book.file == workbook ? workbook : tool.dir / "unused.lock",
                                platform::FileLock::Mode::Exclusive);
        const std::string log = run("cmdReplace");
        EXPECT_EQ(messages.texts(), (Texts{book.says})) << book.file;
        EXPECT_NE(log.find("  " + book.source + ": " + book.says + "\r\n"), std::string::npos)
            << book.file;
        EXPECT_EQ(vtl::test::readFile(book.file), bytes) << book.file;
    }
    EXPECT_EQ(vtl::test::readFile(a), image);
    EXPECT_TRUE(programs.sessions.empty());

    // Each drawing alone in its folder, read by both runs.
    const fs::path texts = tool.dir / "texts.xlsx";
    const std::string v8 =
        std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0');
    for (const char* sub : {"v8", "random", "cut", "readonly"}) fs::create_directory(folder / sub);
    const fs::path readOnly = drawing("readonly/r.dgn");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    const std::pair<fs::path, std::string> drawings[] = {
        {tool.dir.write("project/v8/v8.dgn", v8), "is not a DGN V7 design file or cell library"},
        {tool.dir.write("project/random/r.dgn", "random bytes, no drawing at all"),
         "is not a DGN V7 design file or cell library"},
        {tool.dir.write("project/cut/c.dgn", image.substr(0, image.size() / 2)), "is cut short"},
        {readOnly, "is read-only"}};
    for (const auto& [design, says] : drawings) {
        const std::string bytes = vtl::test::readFile(design);
        folderBox->setText(QString::fromStdString(design.parent_path().string()));
        workbookBox->setText(QString::fromStdString(workbook.string()));
        std::string log = run("cmdReplace");
        ASSERT_EQ(messages.messages().size(), 1u) << design;
        EXPECT_NE(messages.messages()[0].text.find(says), std::string::npos)
            << messages.messages()[0].text;
        EXPECT_NE(log.find("  XLS2DGN: " + messages.messages()[0].text), std::string::npos);
        EXPECT_EQ(vtl::test::readFile(design), bytes) << design;
        if (design == readOnly) continue;  // which the extraction reads as any other
        workbookBox->setText(QString::fromStdString(texts.string()));
        fs::remove(texts);
        log = run("cmdExtract");
        ASSERT_EQ(messages.messages().size(), 1u) << design;
        EXPECT_NE(messages.messages()[0].text.find(says), std::string::npos)
            << messages.messages()[0].text;
        EXPECT_NE(log.find("  DGN2XLS: " + messages.messages()[0].text), std::string::npos);
        EXPECT_EQ(vtl::test::readFile(design), bytes) << design;
        // The workbook the first file created is whole, and holds no row.
        EXPECT_EQ(test::readWorkbookRows(texts), (Texts{"General General n False"}));
    }
    EXPECT_EQ(test::textsOf(readOnly), (Texts{"A-100 5 3 0", "keep 5 3 0"}));
    workbookBox->setText(QString::fromStdString(texts.string()));
    run("cmdExtract");
    EXPECT_EQ(messages.texts(), (Texts{"Overwrite file " + texts.string() + "?"}));
    // Every text is in, whatever table the replacement run left loaded.
    EXPECT_EQ(test::readWorkbookRows(texts),
              (Texts{"('Find', 'Replace', 'Level', 'Color', 'Weight')",
                     "('A-100', 'A-100', 5, 3, 0)", "('keep', 'keep', 5, 3, 0)", "@ @ n True"}));
}

TEST_F(frmMainRunTest, AnExtractionTheUserDeclinesLeavesTheWorkbookAlone) {
    drawing("a.dgn");
    start();
    const std::string before = vtl::test::readFile(workbook);
    messages.answer(platform::vbNo);
    click("cmdExtract");
    EXPECT_EQ(messages.texts(), (Texts{"Overwrite file " + workbook.string() + "?"}));
    EXPECT_EQ(vtl::test::readFile(workbook), before);
    EXPECT_TRUE(programs.sessions.empty());
    EXPECT_EQ(label->text().toStdString(), "");
}

}  // namespace
}  // namespace vtl::tarnwell

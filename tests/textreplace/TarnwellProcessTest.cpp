// Tarnwell's runs from its window against the stand-in MicroStation as a process: texts of a
// file ogr2ogr wrote and of a sample iso drawing extracted into a new workbook, one Replace cell
// changed with openpyxl, the replacement run, and GDAL's reading and the element bytes before
// and after compared; and a MicroStation killed in the middle of a file. These tests start and
// kill processes named ustation.exe, so they hold the shared lock.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <map>
#include <thread>
#include <tuple>

#include "ToolFixture.h"
#include "ToolRuns.h"
#include "WindowDesktop.h"
#include "common/RegistryModule.h"
#include "common/modMSTN.h"
#include "common/modProcess.h"
#include "core/Clock.h"
#include "core/Text.h"
#include "dgn/DesignFile.h"
#include "platform/MessageBoxes.h"
#include "standins/dgn/GdalTools.h"
#include "support/StandInKill.h"
#include "textreplace/ConfigLookup.h"
#include "textreplace/Events.h"
#include "textreplace/frmMain.h"

namespace vtl::tarnwell {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using Counts = std::map<std::string, int>;

// The system's clock, with a hook after each sleep.
class HookedClock : public Clock {
public:
    int64_t nowMs() override { return system_.nowMs(); }
    void sleepMs(int64_t ms) override {
        system_.sleepMs(ms);
        if (afterSleep) afterSleep();
    }
    void processEvents() override { system_.processEvents(); }
    std::function<void()> afterSleep;

private:
    Clock& system_ = clock();
};

// Every feature GDAL reads, without its number, as one text each, counted.
Counts features(const fs::path& design) {
    Counts counted;
    for (const vtl::test::OgrFeature& f : vtl::test::ogrFeatures(design)) {
        std::string all = f.geometry;
        for (const auto& [name, value] : f.fields) all += "|" + name + "=" + value;
        ++counted[all];
    }
    return counted;
}

// Every element of a drawing that is not deleted, with its components, as its stored bytes; not
// the stand-in's own settings, which the save key-in writes.
Counts elementImages(const fs::path& design) {
    const dgn::DesignFile file = dgn::DesignFile::open(design);
    Counts counted;
    std::string group;
    for (const dgn::Record& r : file.records()) {
        if (!r.component && !group.empty()) ++counted[group];
        if (!r.component) group.clear();
        const bool settings =
            r.element.type == dgn::type::Application && r.element.level == dgn::kAppDataLevel;
        if (!r.element.deleted && !settings) group.append(r.bytes.begin(), r.bytes.end());
    }
    if (!group.empty()) ++counted[group];
    return counted;
}

// What one count holds beyond the other.
Counts beyond(const Counts& a, const Counts& b) {
    Counts more;
    for (const auto& [key, n] : a) {
        const auto other = b.find(key);
        const int extra = n - (other == b.end() ? 0 : other->second);
        if (extra > 0) more[key] = extra;
    }
    return more;
}

Counts replaced(Counts counts, const std::string& from, const std::string& to) {
    Counts result;
    for (const auto& [key, n] : counts) {
        std::string changed = key;
        for (const std::string field : {"|Text=", "|Style=LABEL(t:\""}) {
            changed = text::replaceAll(changed, field + from + (field == "|Text=" ? "|" : "\""),
                                       field + to + (field == "|Text=" ? "|" : "\""));
        }
        result[changed] += n;
    }
    return result;
}

class TarnwellProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::WindowDesktop::ready()) GTEST_SKIP() << "Xvfb did not start";
        vtl::test::killStandIns();
        const std::string key = std::string(modMSTN::kInstallationsKey) + "07.01 Stand-in";
        RegistryModule::RegSetValue(RegistryModule::HKEY_LOCAL_MACHINE, key, "PathName",
                                    std::string(VTL_STANDINS_DIR "/ustation.exe"), "");
        RegistryModule::RegSetValue(RegistryModule::HKEY_LOCAL_MACHINE, key, "Version",
                                    std::string("07.01.00.00"), "");
        folder = tool.dir / "project";
        fs::create_directories(folder);
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CloseConfigRecordset();
        vtl::test::killStandIns();
    }

    void start(const fs::path& workbook) {
        window = std::make_unique<frmMain>(frmMain::Options{[] {}});
        window->show();
        auto* timer = window->findChild<QTimer*>("Timer1");
        ASSERT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 5000));
        window->findChild<QCheckBox*>("chkFolder")->setChecked(true);
        window->findChild<QCheckBox*>("chkFiles")->setChecked(false);
        window->findChild<QLineEdit*>("txtInputDir")->setText(QString::fromStdString(folder));
        window->findChild<QLineEdit*>("txtExt")->setText("dgn,i0*");
        window->findChild<QLineEdit*>("txtXLSFile")->setText(QString::fromStdString(workbook));
    }
    void click(const char* name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    // The journal's lines from the last "newfile" of the design file to the next "newfile",
    // without process numbers.
    Texts journalOf(const fs::path& design) const {
        Texts lines;
        bool in = false;
        for (const std::string& line :
             text::split(vtl::test::readFile(home.path() / "ustation-journal.log"), '\n')) {
            const size_t at = line.find("] ");
            if (at == std::string::npos) continue;
            const std::string entry = line.substr(at + 2);
            if (entry.starts_with("keyin newfile ")) {
                in = entry == "keyin newfile " + design.string();
                if (in) lines.clear();
            }
            if (in) lines.push_back(entry);
        }
        return lines;
    }

    test::ScopedTool tool;
    vtl::test::ScopedEnv homeFolder{"HOME", (tool.dir / "home").string()};
    vtl::test::ScopedPlatformHome home;
    platform::RecordingMessageBoxes messages;
    platform::ScopedMessageBoxes scopedMessages{messages};
    std::unique_ptr<frmMain> window;
    fs::path folder;
};

TEST_F(TarnwellProcessTest, ExtractEditOneCellReplaceAndOnlyThoseTextsChange) {
    const fs::path csv = tool.dir.write("in.csv",
                                        "WKT,Text,Level,ColorIndex,Weight\n"
                                        "\"LINESTRING (0 0,10 0)\",,5,3,2\n"
                                        "\"POINT (5 5)\",Hello,3,2,0\n"
                                        "\"POINT (6 6)\",Keep me,3,2,0\n");
    const fs::path foreign = folder / "gdal.dgn";
    vtl::test::ogr2ogrDgn(csv, foreign);
    const fs::path iso = folder / "P1001.i01";
    fs::copy_file(VTL_BUILT_SAMPLES_DIR "/project/P1001.i01", iso);
    const Counts foreignFeatures = features(foreign), isoFeatures = features(iso);
    const Counts foreignImages = elementImages(foreign), isoImages = elementImages(iso);

    const fs::path workbook = tool.dir / "texts.xls";
    start(workbook);
    click("cmdExtract");
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().front();
    const Texts rows = test::readWorkbookRows(workbook);
    int hello = 0, drawing = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == "('Hello', 'Hello', 3, 2, 0)") hello = static_cast<int>(i) + 1;
        if (rows[i] == "('P1001-ISO-01', 'P1001-ISO-01', 3, 2, 0)")
            drawing = static_cast<int>(i) + 1;
    }
    ASSERT_GT(hello, 0);
    ASSERT_GT(drawing, 0);
    EXPECT_NE(std::find(rows.begin(), rows.end(), "('KEY PLAN', 'KEY PLAN', 2, 5, 0)"), rows.end());
    EXPECT_EQ(elementImages(foreign), foreignImages);  // extracting changed no byte

    // Both get longer: the text and the text node move to the end of their files.
    test::setReplaceCell(workbook, hello, "Hello, a longer greeting");
    test::setReplaceCell(workbook, drawing, "P1001-ISO-01 REV A");
    click("cmdReplace");
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().front();
    auto* events = window->findChild<QListWidget*>("lstLog");
    EXPECT_NE(events->item(events->count() - 1)->text().toStdString().find("Done ---"),
              std::string::npos);
    // Each MicroStation ended when it was quit: none had to be killed.
    EXPECT_EQ(vtl::test::readFile(LOGModule::GetLogFileName()).find("Exiting MicroStation timeout"),
              std::string::npos);
    EXPECT_FALSE(modProcess::IsAppRunning("ustation.exe"));

    EXPECT_EQ(features(foreign), replaced(foreignFeatures, "Hello", "Hello, a longer greeting"));
    EXPECT_EQ(features(iso), replaced(isoFeatures, "P1001-ISO-01", "P1001-ISO-01 REV A"));
    // Every other element kept its bytes; the one changed is the one new image.
    EXPECT_EQ(beyond(foreignImages, elementImages(foreign)).size(), 1u);
    EXPECT_EQ(beyond(elementImages(foreign), foreignImages).size(), 1u);
    EXPECT_EQ(beyond(isoImages, elementImages(iso)).size(), 1u);
    EXPECT_EQ(beyond(elementImages(iso), isoImages).size(), 1u);

    const Texts journal = journalOf(foreign);
    const Texts expected = {
        "keyin newfile " + foreign.string(),
        "call MbeSetAppVariable(\"MGDSHOOK\", \"userPrefsP->textEditorStyle\", 2)",
        "call MbeSetAppVariable(\"MGDSHOOK\", \"userPrefsP->textEditorStyle\", 0)",
        "call MbeSendCommand(\"compress;filedesign\")",
        "keyin compress",
        "keyin filedesign",
        "call Quit()"};
    Texts sequence;
    for (const std::string& line : journal) {
        if (std::find(expected.begin(), expected.end(), line) != expected.end())
            sequence.push_back(line);
    }
    EXPECT_EQ(sequence, expected);
}

TEST_F(TarnwellProcessTest, AMicroStationKilledDuringAFileLeavesADrawingGdalReads) {
    std::vector<std::string> texts(3000, "A-100|5|3|0");
    const fs::path design = test::writeDrawing(folder / "big.dgn", {texts});
    fs::copy_file(design, folder / "later.dgn");
    const fs::path workbook =
        test::writeConfigWorkbook(tool.dir / "cfg.xlsx", {"'A-100', 'B-100', 5, 3, 0"});
    start(workbook);
    // The run yields to the event loop now and then, not on each element: its events count.
    int events = 0;
    setEventSink([&](const std::string&) {
        if (++events == 1000) modProcess::KillApp("ustation.exe", false);
    });
    click("cmdReplace");
    const std::string ended =
        "MicroStation ended while processing DGN file: '" + design.string() + "'";
    EXPECT_EQ(messages.texts(), Texts{ended});
    const std::string log = vtl::test::readFile(LOGModule::GetLogFileName());
    EXPECT_NE(log.find("  XLS2DGN: " + ended), std::string::npos);
    // Each text is whole, the old one or the new, and the run went no further.
    int old = 0, now = 0;
    for (const std::string& t : test::textsOf(design)) {
        old += t == "A-100 5 3 0";
        now += t == "B-100 5 3 0";
    }
    EXPECT_EQ(old + now, 3000);
    EXPECT_GT(now, 0);
    EXPECT_GT(old, 0);
    EXPECT_EQ(test::textsOf(folder / "later.dgn"), Texts(3000, "A-100 5 3 0"));
}

// The MicroStation the run starts is killed before it could answer.
TEST_F(TarnwellProcessTest, AMicroStationKilledAsTheRunStartsIsToldWithTheFile) {
    const fs::path design = test::writeDrawing(folder / "a.dgn", {{"A-100|5|3|0"}});
    const fs::path workbook =
        test::writeConfigWorkbook(tool.dir / "cfg.xlsx", {"'A-100', 'B-100', 5, 3, 0"});
    start(workbook);
    HookedClock hooked;
    ScopedClock scopedClock(hooked);
    hooked.afterSleep = [] {
        modProcess::KillApp("ustation.exe", false);
        for (int i = 0; i < 100 && modProcess::IsAppRunning("ustation.exe"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    };
    click("cmdReplace");
    const std::string ended =
        "MicroStation ended while processing DGN file: '" + design.string() + "'";
    EXPECT_EQ(messages.texts(), Texts{ended});
    // Where it ended (attaching, or at the first call) depends on the machine's load; the log
    // names the file either way.
    const std::string log = vtl::test::readFile(LOGModule::GetLogFileName());
    EXPECT_NE(log.find(ended), std::string::npos) << log;
    EXPECT_EQ(test::textsOf(design), Texts{"A-100 5 3 0"});
}

// The headless run of an extraction into an existing workbook: the question to overwrite it is
// answered Yes, and a run that went well ends with 0.
TEST_F(TarnwellProcessTest, TheHeadlessRunEndsWellAfterTheOverwriteQuestion) {
    test::writeDrawing(folder / "a.dgn", {{"PUMP|1|1|1"}});
    const fs::path workbook =
        test::writeConfigWorkbook(tool.dir / "texts.xlsx", {"'OLD', 'OLD-1', 1, 1, 1"});
    QProcess run;
    run.start(VTL_HEADLESS_RUN, {QString::fromStdString(tool.bin()), "extract",
                                 QString::fromStdString(folder), QString::fromStdString(workbook)});
    ASSERT_TRUE(run.waitForFinished(120000));
    const std::string out = run.readAllStandardOutput().toStdString();
    EXPECT_EQ(run.exitCode(), 0) << out;
    EXPECT_EQ(text::split(out, '\n').front(),
              "Question: Overwrite file " + workbook.string() + "?");
    EXPECT_EQ(test::readWorkbookRows(workbook),
              (Texts{"('Find', 'Replace', 'Level', 'Color', 'Weight')", "('PUMP', 'PUMP', 1, 1, 1)",
                     "@ @ n True"}));
}

TEST(TarnwellHeadlessScriptTest, AnEmptyFolderOrWorkbookIsAUsageError) {
    for (const auto& [folder, workbook, complaint] :
         {std::tuple{"/tmp", "", "tarnwell-headless.sh: WORKBOOK is empty"},
          std::tuple{" ", "x.xlsx", "tarnwell-headless.sh: FOLDER is empty"}}) {
        QProcess run;
        run.start("bash", {VTL_HEADLESS_SCRIPT, "extract", folder, workbook});
        ASSERT_TRUE(run.waitForFinished(10000));
        EXPECT_EQ(run.exitCode(), 2);
        EXPECT_EQ(text::split(run.readAllStandardError().toStdString(), '\n').front(), complaint);
    }
}

}  // namespace
}  // namespace vtl::tarnwell

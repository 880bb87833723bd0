// The run driver up to the point where MicroStation would start: seed checks, output names, the
// clearing of old outputs and the failures that end a run; the watchdog's own failures. Nothing
// here starts or kills a real process.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <filesystem>

#include "RunDriverTestFakes.h"
#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "generator/RunDriver.h"
#include "generator/Variablen.h"
#include "platform/Processes.h"
#include "platform/WindowSystem.h"
#include "support/FakeClock.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using test::conclusionEntries;
using test::entry;
using test::readFile;

// A header file the parser rejects: the run ends right after the outputs were cleared.
constexpr char kNoHeader[] = "no ISOGEN header\n";
constexpr char kNoIdfSection[] = "IDF order im h-File nicht gefunden";

class RunDriverTest : public ::testing::Test {
protected:
    RunDriverTest() {
        resetRunState();
        FileOperationModule::TempFolder = dir.str();
        Variablen().inifile = ini().string();
        Variablen().logfile = (dir / "vtl.log").string();
    }
    ~RunDriverTest() override {
        FileOperationModule::TempFolder.clear();
        resetRunState();
    }

    fs::path ini() const { return dir / "vtl.ini"; }
    std::string log() const { return readFile(Variablen().logfile); }
    std::string iniValue(const std::string& section, const std::string& key) const {
        return INIFileModule::ReadINI(ini().string(), section, key, "<missing>");
    }

    // Seeds that exist, so the run gets past its checks.
    void writeSeeds() {
        dir.write("seed/vtl.dgn", "seed");
        dir.write("seed/ics.dgn", "seed");
        dir.write("seed/i3d.dgn", "seed");
        dir.write("vtl.ini",
                  "[Vistrel]\nseedfile=" + (dir / "seed/vtl.dgn").string() +
                      "\n[IsoCoverSheet]\nICSseedfile=" + (dir / "seed/ics.dgn").string() +
                      "\n[I3D]\nI3Dseedfile=" + (dir / "seed/i3d.dgn").string() + "\n");
    }

    void run(std::vector<std::string> headerFiles) {
        Variablen().IsoFileList = std::move(headerFiles);
        Variablen().IsoFileLast = static_cast<int>(Variablen().IsoFileList.size()) - 1;
        RunDriver::Start_Click(host, steps);
    }

    void expectRunFailed() {
        EXPECT_EQ(host.messages,
                  std::vector<std::string>{"Vistrel completed with errors - see logfile: " +
                                           Variablen().logfile});
        EXPECT_EQ(host.running, (std::vector<bool>{true, false}));
        EXPECT_TRUE(steps.calls.empty());
        EXPECT_FALSE(Variablen().ErrorList.has_value());
    }

    test::TempDir dir;
    test::FakeRunHost host;
    test::RecordingSteps steps;
};

TEST_F(RunDriverTest, BuiltInDefaultsStopAtTheI3dSeedEvenWithoutA3dView) {
    Variablen().createVTL = 1;
    host.excelfile = "/work/nodes.xls";
    run({(dir / "A.h").string()});

    expectRunFailed();
    const std::string text = log();
    EXPECT_NE(text.find("\r\ni3d-Seedfile not found\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("is current open file:, Error:i3d-Seedfile not found"), std::string::npos);
    EXPECT_EQ(text.find("vtl-Seedfile"), std::string::npos);
    EXPECT_EQ(conclusionEntries(text), std::vector<std::string>{entry("Im_INI-File_nicht_definiert",
                                                                      "i3d-Seedfile not found")});
    // The options of the window went into the INI before the run read it back.
    EXPECT_EQ(iniValue("Programm", "createVTL"), "1");
    EXPECT_EQ(iniValue("Programm", "createICS"), "0");
    EXPECT_EQ(iniValue("Pellmark", "Pellmark"), "0");
    EXPECT_EQ(iniValue("Pellmark", "excelfile"), "/work/nodes.xls");
    EXPECT_EQ(Variablen().excelfile, "/work/nodes.xls");
}

TEST_F(RunDriverTest, AnEmptySeedSettingIsNamedWithAHyphen) {
    writeSeeds();
    INIFileModule::WriteINI(ini().string(), "Vistrel", "seedfile", "");
    run({(dir / "A.h").string()});

    expectRunFailed();
    EXPECT_EQ(conclusionEntries(log()),
              std::vector<std::string>{entry("-", "vtl-Seedfile not spezified")});
}

// A header file the run reads, and an old overview that cannot be deleted, so the header file
// ends before MicroStation would start.
fs::path headerWithProtectedOverview(test::TempDir& dir, const std::string& name) {
    const fs::path header = dir / name;
    fs::create_directories(header.parent_path());
    fs::copy_file(VTL_SAMPLES_DIR "/project/P1001.h", header);
    const fs::path overview = fs::path(header).replace_extension(".vtl");
    dir.write(fs::relative(overview, dir.path()).string(), "old overview");
    fs::permissions(overview, fs::perms::owner_read);
    return header;
}

TEST_F(RunDriverTest, OldOutputsGoByNameButAWorkbookNamedAfterTheHeaderStays) {
    writeSeeds();
    // A blank in the folder: every path of a command is quoted.
    const fs::path header = headerWithProtectedOverview(dir, "iso files/A.h");
    const fs::path workbook = dir.write("iso files/A.xls", "workbook");
    dir.write("iso files/A.x01", "plot");
    dir.write("iso files/a.X2", "plot");
    dir.write("iso files/AB.x01", "other pipeline");
    host.excelfile = workbook.string();
    run({header.string()});

    EXPECT_TRUE(fs::exists(workbook));
    EXPECT_FALSE(fs::exists(dir / "iso files/A.x01"));
    EXPECT_FALSE(fs::exists(dir / "iso files/a.X2"));
    EXPECT_TRUE(fs::exists(dir / "iso files/AB.x01"));
    EXPECT_EQ(iniValue("Vistrel", "isopath"), (dir / "iso files").string() + "/");
    const std::string text = log();
    const std::string folder = (dir / "iso files").string();
    EXPECT_NE(text.find("\r\nDeleted old file  " + folder + "/A.x01\r\nDeleted old file  " +
                        folder + "/a.X2\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Deleted old file  " + folder + "/A.xls"), std::string::npos);
}

TEST_F(RunDriverTest, AHeaderWithoutExtensionKeepsTheDotsOfItsFolder) {
    writeSeeds();
    const fs::path header = headerWithProtectedOverview(dir, "run.d/P1001");
    dir.write("run.d/P1001.x01", "plot");
    dir.write("P1001.x01", "belongs to another folder");
    run({header.string()});

    EXPECT_EQ(iniValue("Vistrel", "isopath"), (dir / "run.d").string() + "/");
    EXPECT_FALSE(fs::exists(dir / "run.d/P1001.x01"));
    EXPECT_TRUE(fs::exists(dir / "P1001.x01"));
    EXPECT_EQ(Variablen().VtlFile, (dir / "run.d/P1001.vtl").string());
    EXPECT_EQ(Variablen().I3dFile, (dir / "run.d/P1001.I3D").string());
}

// A text file picked in place of a header file: the files beside it named after it stay.
TEST_F(RunDriverTest, AFileThatIsNoHeaderFileDeletesNothing) {
    writeSeeds();
    const fs::path report = dir.write("report.h", "Monthly report\n");
    for (const char* name : {"report.xls", "report.xml", "report.XYZ"}) dir.write(name, name);
    run({report.string()});

    expectRunFailed();
    for (const char* name : {"report.xls", "report.xml", "report.XYZ"}) {
        EXPECT_EQ(readFile(dir / name), name);
    }
    EXPECT_EQ(log().find("Deleted old file"), std::string::npos);
}

// --- Texts that go into key-ins ------------------------------------------------------------------

// A ";" in a value would send the rest as a key-in of its own: the run refuses the
// configuration before MicroStation starts, naming section, key and value.
TEST_F(RunDriverTest, AConfigurationValueAKeyinCannotCarryEndsTheRunBeforeItStarts) {
    const fs::path header = headerWithProtectedOverview(dir, "iso/A.h");
    dir.write("iso/A.x01", "plot");
    const std::vector<std::vector<std::string>> values = {
        {"Vistrel", "pipelv", "10;XINJ"},
        {"Cell", "CellName", "MARKER;exit"},
        {"IsoCoverSheet", "TABtextft", "1;fit all"}};
    for (const std::vector<std::string>& v : values) {
        writeSeeds();
        INIFileModule::WriteINI(ini().string(), v[0], v[1], v[2]);
        host.messages.clear();
        host.running.clear();
        run({header.string()});

        expectRunFailed();
        const std::string message = "The value of [" + v[0] + "] " + v[1] + " '" + v[2] +
                                    "' cannot be sent to MicroStation: a ';' would start a "
                                    "key-in of its own";
        EXPECT_NE(log().find("\r\n" + message + "\r\n"), std::string::npos) << log();
        EXPECT_EQ(conclusionEntries(log()),
                  std::vector<std::string>{entry(ini().string(), message)});
    }
    EXPECT_TRUE(fs::exists(dir / "iso/A.x01"));
}

// The header file's folder and name go into the "newfile" key-ins of its drawings.
TEST_F(RunDriverTest, AHeaderPathAKeyinCannotCarryEndsTheRunBeforeAnythingIsDeleted) {
    writeSeeds();
    const fs::path good = headerWithProtectedOverview(dir, "iso/A.h");
    const fs::path bad = headerWithProtectedOverview(dir, "iso;exit/B.h");
    dir.write("iso/A.x01", "plot");
    dir.write("iso;exit/B.x01", "plot");
    run({good.string(), bad.string()});

    expectRunFailed();
    EXPECT_TRUE(fs::exists(dir / "iso/A.x01"));
    EXPECT_TRUE(fs::exists(dir / "iso;exit/B.x01"));
    EXPECT_EQ(conclusionEntries(log()),
              std::vector<std::string>{
                  entry(bad.string(), "The header file '" + bad.string() +
                                          "' cannot be sent to MicroStation: a ';' would start a "
                                          "key-in of its own")});

    // A line break in a file name ends a key-in as well.
    const fs::path broken = headerWithProtectedOverview(dir, "iso\nnext/C.h");
    run({broken.string()});
    EXPECT_EQ(conclusionEntries(log()),
              std::vector<std::string>{entry(dir.str() + "/iso\\nnext/C.h",
                                             "The header file '" + dir.str() +
                                                 "/iso\\nnext/C.h' cannot be sent to "
                                                 "MicroStation: a line break would start a "
                                                 "key-in of its own")});
}

// Before any drawing was opened the error lines name the header file, so the conclusion reports
// what the final message reports.
TEST_F(RunDriverTest, AParseErrorEndsTheRunAndIsConcludedUnderTheHeaderFile) {
    writeSeeds();
    const fs::path first = dir.write("A.h", kNoHeader);
    const fs::path second = dir.write("B.h", kNoHeader);
    dir.write("B.x01", "plot");
    run({first.string(), second.string()});

    expectRunFailed();
    EXPECT_TRUE(fs::exists(dir / "B.x01"));
    EXPECT_EQ(conclusionEntries(log()),
              std::vector<std::string>{entry(
                  first.string(), std::string("is current open file:, Error:") + kNoIdfSection)});
}

// The drawing an earlier run opened last is not the one that failed.
TEST_F(RunDriverTest, AParseErrorIsNotConcludedUnderTheDrawingOfAnEarlierRun) {
    writeSeeds();
    Variablen().HFile = (dir / "old/P1.h").string();
    Variablen().CurrentFile = (dir / "old/P1.vtl").string();
    Variablen().CurrentFileOpened = true;
    const fs::path header = dir.write("A.h", kNoHeader);
    run({header.string()});

    expectRunFailed();
    EXPECT_EQ(conclusionEntries(log()),
              std::vector<std::string>{entry(
                  header.string(), std::string("is current open file:, Error:") + kNoIdfSection)});
}

TEST_F(RunDriverTest, AListEntryWithoutFolderEndsTheRun) {
    writeSeeds();
    dir.write("B.x01", "plot");
    run({"A.h", (dir / "B.h").string()});

    expectRunFailed();
    EXPECT_TRUE(fs::exists(dir / "B.x01"));
    ASSERT_EQ(conclusionEntries(log()).size(), 1u);
    EXPECT_EQ(conclusionEntries(log())[0].rfind("#  A.h  - is current open file:, Error:", 0), 0u);
}

TEST_F(RunDriverTest, StartvtlRaisesWhatEndedTheRunUnderItsName) {
    try {
        Variablen().ErrorList.emplace();
        Variablen().IsoFileList = {(dir / "A.h").string()};
        RunDriver::startvtl(host, steps);
        FAIL() << "the run went on without seed files";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kOwnError);
        EXPECT_EQ(e.source(), "startvtl");
        EXPECT_EQ(e.description(), "i3d-Seedfile not found");
    }
    EXPECT_TRUE(Variablen().RunError);
    EXPECT_FALSE(Variablen().StepError);
}

// --- The watchdog and restarting MicroStation ----------------------------------------------------

class RunDriverProcessFakesTest : public RunDriverTest {
protected:
    test::FakeProcesses processes;
    platform::ScopedProcesses useProcesses{processes};
    test::FakeWindowSystem windows;
    platform::ScopedWindows useWindows{windows};
};

// The message names the run log where it really is. The header file ends with MicroStation
// killed, here in the fake process table.
TEST_F(RunDriverProcessFakesTest, ASeedCopyThatNeverAppearsSkipsTheHeaderFileAndNamesTheLog) {
    writeSeeds();
    const fs::path header = dir / "P1001.h";
    fs::copy_file(VTL_SAMPLES_DIR "/project/P1001.h", header);
    // The copy's command runs in the fake process table, so no overview ever appears.
    processes.add(101, 1, "ustation.exe");
    test::FakeClock clock;
    ScopedClock useClock{clock};
    run({header.string()});

    expectRunFailed();
    const std::string overview = (dir / "P1001.vtl").string();
    EXPECT_NE(log().find(overview + " does not exist  -  See " + Variablen().logfile + "\r\n"),
              std::string::npos)
        << log();
    EXPECT_GE(clock.sleptMs(), 120000);
    EXPECT_EQ(processes.terminated(), std::vector<int32_t>{101});
}

TEST_F(RunDriverProcessFakesTest, TheWatchdogKillsEveryMicroStationAndNothingElse) {
    processes.add(101, 1, "ustation.exe");
    processes.add(102, 1, "USTATION.EXE");
    processes.add(103, 1, "VTL.exe");
    RunDriver::killMstnTimer().start(60000);
    RunDriver::killMstnTimer_Timer();

    EXPECT_EQ(processes.terminated(), (std::vector<int32_t>{101, 102}));
    EXPECT_FALSE(RunDriver::killMstnTimer().isActive());
    EXPECT_EQ(RunDriver::killMstnTimer().interval(), 0);
    EXPECT_EQ(RunDriver::killMstnTimer().objectName(), "killMstnTimer");
}

TEST_F(RunDriverProcessFakesTest, TheWatchdogOnlyLogsItsOwnFailure) {
    Variablen().ErrorList.emplace();
    processes.failListing(Error(err::PermissionDenied, "", "Permission denied"));
    EXPECT_NO_THROW(RunDriver::killMstnTimer_Timer());
    EXPECT_NE(log().find("Permission denied"), std::string::npos);
    EXPECT_TRUE(Variablen().ErrorList->empty());
}

TEST_F(RunDriverProcessFakesTest, RestartingOutsideARunFailsWithoutKillingAnything) {
    processes.add(101, 1, "ustation.exe");
    std::shared_ptr<mstn::Application> app;
    try {
        RunDriver::restartMSTN(app, "/iso/A.vtl");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.source(), "restartMSTN");
        EXPECT_EQ(e.description(), "MicroStation can only be restarted during a run");
    }
    EXPECT_TRUE(processes.terminated().empty());
}

}  // namespace
}  // namespace vtl

// The watchdog is a timer: it needs the application's event loop.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

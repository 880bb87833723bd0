// Whole runs against the stand-in MicroStation: the key-ins each header file gets, the steps the
// options choose, a header file that fails on its own, and the watchdog. These tests start and
// kill processes named ustation.exe, so they hold the shared lock.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>

#include "RunDriverTestFakes.h"
#include "StandInTools.h"
#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "common/modProcess.h"
#include "common/mstnmacro.h"
#include "generator/RunDriver.h"
#include "generator/Variablen.h"
#include "mstn/Protocol.h"
#include "mstn/RemoteApplication.h"
#include "platform/Processes.h"
#include "support/StandInKill.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using test::conclusionEntries;
using test::entry;
using test::kStandIn;
using test::readFile;
using test::Received;

int countStandIns() {
    int n = 0;
    for (const auto& e : platform::processes().list()) n += e.imageName == "ustation.exe";
    return n;
}

std::vector<std::string> keyins(const std::vector<Received>& received) {
    std::vector<std::string> texts;
    for (const Received& r : received) texts.push_back(r.keyin);
    return texts;
}

class RunDriverProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::killStandIns();
        resetRunState();
        FileOperationModule::TempFolder = dir.str();
        RunState& s = Variablen();
        s.inifile = (dir / "vtl.ini").string();
        s.logfile = (dir / "vtl.log").string();
        test::newSeeds(dir / "seed");
        fs::create_directories(dir / "iso");
        writeIni("yes");
        for (const char* name : {"A", "B"}) {
            fs::copy_file(VTL_SAMPLES_DIR "/project/P1001.h", iso(name, ".h"));
            s.IsoFileList.push_back(iso(name, ".h"));
        }
        s.IsoFileLast = 1;
        host.mstnPath = kStandIn;
    }
    void TearDown() override {
        RunDriver::setWatchdogInterval(RunDriver::kWatchdogIntervalMs);
        test::killStandIns();
        FileOperationModule::TempFolder.clear();
        resetRunState();
    }

    void writeIni(const std::string& autochangelevel) {
        dir.write(
            "vtl.ini",
            "[Vistrel]\nseedfile=" + (dir / "seed/vtlseed.dgn").string() +
                "\npipelv=10\npipeco=3\npipewt=2\npipelc=0\nautochangelevel=" + autochangelevel +
                "\n[IsoCoverSheet]\nICSseedfile=" + (dir / "seed/icsseed.dgn").string() +
                "\n[I3D]\nI3Dseedfile=" + (dir / "seed/i3dseed.dgn").string() + "\n");
    }
    void options(int16_t vtl, int16_t pellmark, int16_t ics, int16_t i3d) {
        RunState& s = Variablen();
        s.createVTL = vtl;
        s.Pellmark = pellmark;
        s.createICS = ics;
        s.createI3D = i3d;
    }
    std::string iso(const std::string& name, const std::string& extension) const {
        return (dir / "iso" / (name + extension)).string();
    }
    std::vector<std::string> openingKeyins(const std::string& name, bool changeLevel) const {
        std::vector<std::string> sent = {"newfile " + iso(name, ".vtl"),
                                         "fit all;selview all;reset;file", "lv=10;co=3;wt=2;lc=0"};
        if (changeLevel) sent.push_back("choose all;change level;choose none");
        return sent;
    }
    std::vector<Received> received() const {
        return test::keyinsReceived(home.path() / "ustation-journal.log");
    }
    std::string log() const { return readFile(Variablen().logfile); }

    // The closing message reports errors exactly when the conclusion lists some.
    void expectMessageAgreesWithConclusion() {
        ASSERT_EQ(host.messages.size(), 1u);
        const bool errors =
            conclusionEntries(log()) != std::vector<std::string>{"# no errors occured"};
        EXPECT_EQ(host.messages[0],
                  errors ? "Vistrel completed with errors - see logfile: " + Variablen().logfile
                         : "Vistrel  completed successful");
    }

    test::ScopedPlatformHome home;
    test::TempDir dir;
    test::FakeRunHost host;
    test::RecordingSteps steps;
};

TEST_F(RunDriverProcessTest, EachHeaderFileGetsAFreshMicroStationAndTheChosenStepsInOrder) {
    options(1, 1, 1, 1);
    // Only exactly "no" turns the level change off.
    writeIni("No");
    host.plotter = "\\\\plotserver\\iso-a3";
    RunDriver::Start_Click(host, steps);

    std::vector<std::string> expectedKeyins = openingKeyins("A", true);
    for (const std::string& keyin : openingKeyins("B", true)) expectedKeyins.push_back(keyin);
    const std::vector<Received> sent = received();
    EXPECT_EQ(keyins(sent), expectedKeyins);
    ASSERT_FALSE(sent.empty());
    EXPECT_NE(sent.front().pid, sent.back().pid);
    const std::string journal = readFile(home.path() / "ustation-journal.log");
    EXPECT_EQ(journal.find("UNKNOWN"), std::string::npos) << journal;
    std::vector<std::string> expectedSteps;
    for (const std::string name : {"A", "B"}) {
        for (const std::string& step :
             {std::string("leitung_einzeichnen(True)"), std::string("VTLhineinkopieren"),
              std::string("startPellmark"), std::string("findI3DimportFaktor"),
              std::string("createI3Dfile"), std::string("lineEndNumber"),
              std::string("IsoCoverSheet"), std::string("Gridfile_zerlegen"),
              std::string("find_endpoint_diff"), std::string("searchidf"),
              std::string("placeTabelle"), "iplotiso(" + iso(name, ".ics") + ")"}) {
            expectedSteps.push_back(name + ":" + step);
        }
    }
    EXPECT_EQ(steps.calls, expectedSteps);
    EXPECT_EQ(conclusionEntries(log()), std::vector<std::string>{"# no errors occured"});
    expectMessageAgreesWithConclusion();
    EXPECT_TRUE(fs::exists(iso("A", ".vtl")));
    EXPECT_TRUE(fs::exists(iso("B", ".vtl")));
    EXPECT_EQ(countStandIns(), 0);
    EXPECT_FALSE(RunDriver::killMstnTimer().isActive());
    EXPECT_FALSE(MSTNApp);
}

// A value that would carry a key-in of its own reaches no MicroStation at all.
TEST_F(RunDriverProcessTest, AnInjectedConfigurationValueSendsNoKeyin) {
    options(0, 0, 0, 0);
    INIFileModule::WriteINI(Variablen().inifile, "Vistrel", "pipelv", "10;XINJ");
    RunDriver::Start_Click(host, steps);

    EXPECT_TRUE(received().empty());
    EXPECT_TRUE(steps.calls.empty());
    EXPECT_EQ(countStandIns(), 0);
    expectMessageAgreesWithConclusion();
}

TEST_F(RunDriverProcessTest, AWriteProtectedOverviewSkipsOnlyItsHeaderFile) {
    options(0, 0, 0, 0);
    writeIni("no");
    const fs::path old = dir.write("iso/A.vtl", "the old overview");
    fs::permissions(old, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    RunDriver::Start_Click(host, steps);

    EXPECT_EQ(keyins(received()), openingKeyins("B", false));
    EXPECT_EQ(steps.calls, std::vector<std::string>{"B:leitung_einzeichnen(True)"});
    EXPECT_EQ(readFile(old), "the old overview");
    EXPECT_NE(log().find("Can not delete old file  " + old.string() + "\r\n"), std::string::npos);
    EXPECT_EQ(
        conclusionEntries(log()),
        std::vector<std::string>{entry(old.string(), "Can not delete old file  " + old.string())});
    expectMessageAgreesWithConclusion();
}

TEST_F(RunDriverProcessTest, AFailingStepEndsOnlyItsHeaderFile) {
    options(0, 0, 1, 0);
    steps.failStep = "IsoCoverSheet";
    steps.failFile = 0;
    steps.failWith = [] {
        Variablen().StepError = true;
        throw Error(kOwnError, "IsoCoverSheet", "The iso cover sheet could not be made");
    };
    RunDriver::Start_Click(host, steps);

    EXPECT_EQ(steps.calls,
              (std::vector<std::string>{"A:leitung_einzeichnen(True)", "A:lineEndNumber",
                                        "A:IsoCoverSheet", "B:leitung_einzeichnen(True)",
                                        "B:lineEndNumber", "B:IsoCoverSheet", "B:Gridfile_zerlegen",
                                        "B:find_endpoint_diff", "B:searchidf", "B:placeTabelle"}));
    const std::string failure = "The iso cover sheet could not be made";
    EXPECT_NE(log().find("\n" + failure + "\r\n"), std::string::npos);
    EXPECT_EQ(conclusionEntries(log()),
              std::vector<std::string>{
                  entry(iso("A", ".vtl"), "is current open file:, Error:" + failure)});
    expectMessageAgreesWithConclusion();
    EXPECT_FALSE(Variablen().StepError);
    EXPECT_EQ(Variablen().CurrentFile, iso("B", ".vtl"));
}

// The first file's drawing was the last one opened, but the second header file failed before
// its own drawing was: the conclusion names the header file that failed.
TEST_F(RunDriverProcessTest, AHeaderFileFailingBeforeItsDrawingOpensIsConcludedUnderItsName) {
    options(0, 0, 0, 0);
    writeIni("no");
    dir.write("iso/B.h", "no ISOGEN header\n");
    RunDriver::Start_Click(host, steps);

    EXPECT_EQ(keyins(received()), openingKeyins("A", false));
    EXPECT_EQ(
        conclusionEntries(log()),
        std::vector<std::string>{entry(
            iso("B", ".h"), "is current open file:, Error:IDF order im h-File nicht gefunden")});
    expectMessageAgreesWithConclusion();
}

TEST_F(RunDriverProcessTest, TheWatchdogKillsAStalledMicroStationAndTheNextFileGetsAFreshOne) {
    options(0, 0, 0, 0);
    RunDriver::setWatchdogInterval(1500);
    steps.onDraw = [] {
        if (Variablen().IsoFileIndex != 0) return;
        try {
            mstn::Channel channel(mstn::wire::endpoint());
            channel.call(mstn::wire::kApplicationObject, "TestStall", {60000});
            MSTNApp->MbeSendCommand("NULL");
        } catch (...) {
            Variablen().StepError = true;
            throw;
        }
    };
    QElapsedTimer timer;
    timer.start();
    RunDriver::Start_Click(host, steps);

    EXPECT_LT(timer.elapsed(), 30000);
    const std::vector<Received> sent = received();
    ASSERT_EQ(sent.size(), 9u) << log();
    EXPECT_EQ(sent[4].keyin, "NULL");
    EXPECT_EQ(sent[5].keyin, "newfile " + iso("B", ".vtl"));
    EXPECT_NE(sent[4].pid, sent[5].pid);
    EXPECT_EQ(steps.calls, (std::vector<std::string>{"A:leitung_einzeichnen(True)",
                                                     "B:leitung_einzeichnen(True)"}));
    const std::vector<std::string> entries = conclusionEntries(log());
    ASSERT_EQ(entries.size(), 1u) << log();
    EXPECT_EQ(entries[0].rfind("#  " + iso("A", ".vtl") + "  - is current open file:, Error:", 0),
              0u);
    expectMessageAgreesWithConclusion();
    EXPECT_EQ(countStandIns(), 0);
}

}  // namespace
}  // namespace vtl

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

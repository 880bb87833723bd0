// The stand-in MicroStation as its own process, attached and ended as the programs do it.
// These tests start and kill processes named ustation.exe, so they hold the shared lock.
#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>

#include "ServerChecks.h"
#include "common/FileOperationModule.h"
#include "common/modMSTN.h"
#include "common/modProcess.h"
#include "common/mstnmacro.h"
#include "dgn/GdalTools.h"
#include "mstn/RemoteApplication.h"
#include "platform/Processes.h"
#include "platform/WindowSystem.h"
#include "support/StandInKill.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;

const std::string kStandIn = VTL_STANDINS_DIR "/ustation.exe";

int countStandIns() {
    int n = 0;
    for (const auto& entry : platform::processes().list()) n += entry.imageName == "ustation.exe";
    return n;
}

std::string standInTitle() {
    for (const auto& window : platform::windows().topLevelWindows()) {
        if (platform::hasClass(window, "MSTNTop")) return window.title;
    }
    return "";
}

// Runs the stand-in's tool modes as a person does from a shell.
std::pair<int, std::string> tool(const QStringList& args) {
    QProcess process;
    process.start(QString::fromStdString(kStandIn), args);
    process.waitForFinished(20000);
    return {process.exitCode(),
            (process.readAllStandardOutput() + process.readAllStandardError()).toStdString()};
}

class UstationProcessTest : public ::testing::Test {
protected:
    void SetUp() override { test::killStandIns(); }
    void TearDown() override {
        MSTNApp.reset();
        test::killStandIns();
    }
    // Waits until the new title shows, as the programs' window check does.
    bool titleShows(const std::string& expected) {
        for (int i = 0; i < 100; ++i) {
            if (standInTitle() == expected) return true;
            QThread::msleep(20);
        }
        return false;
    }

    test::ScopedPlatformHome home;
    test::TempDir dir;
};

TEST_F(UstationProcessTest, OpenStartsOneInstanceAndAttachesToItAgain) {
    auto first = modMSTN::MSTNOpen(kStandIn);
    EXPECT_EQ(countStandIns(), 1);
    EXPECT_TRUE(titleShows("MicroStation"));
    auto second = modMSTN::MSTNOpen(kStandIn);
    EXPECT_EQ(countStandIns(), 1);
    second->MbeSendCommand("NULL");
    EXPECT_TRUE(test::killStandIns());
    test::expectServerGone(*first);  // a killed MicroStation answers no more
}

TEST_F(UstationProcessTest, NewfileRetitlesTheWindowAndExitEndsTheProcess) {
    fs::path design = dir / "line one.vtl";
    ASSERT_EQ(tool({"--new", QString::fromStdString(design.string())}).first, 0);
    auto app = modMSTN::MSTNOpen(kStandIn);
    app->MbeSendCommand("newfile " + design.string());
    EXPECT_EQ(standInTitle(), "MicroStation - line one.vtl");
    EXPECT_THROW(app->MbeSendCommand("newfile " + (dir / "missing.dgn").string()), Error);
    EXPECT_EQ(standInTitle(), "MicroStation - line one.vtl");
    app->MbeSendCommand("exit");
    for (int i = 0; i < 100 && countStandIns() > 0; ++i) QThread::msleep(20);
    EXPECT_EQ(countStandIns(), 0);
}

TEST_F(UstationProcessTest, DrawnElementsAreWrittenAtOnceAndReadByGdal) {
    fs::path design = dir / "drawn.dgn";
    ASSERT_EQ(tool({"--new", QString::fromStdString(design.string())}).first, 0);
    auto app = modMSTN::MSTNOpen(kStandIn);
    app->MbeSendCommand("newfile " + design.string());
    app->MbeSendCommand("lv=5;co=3;wt=2;place lstring;xy=0,0;xy=10,0;xy=10,5;reset");
    // Killed without saving, as the programs end it: the element is on disk already.
    test::killStandIns();
    std::string listing = test::ogrinfoListing(design);
    EXPECT_NE(listing.find("LINESTRING (0 0,10 0,10 5)"), std::string::npos) << listing;
    EXPECT_NE(listing.find("Level (Integer) = 5"), std::string::npos) << listing;
    EXPECT_NE(listing.find("ColorIndex (Integer) = 3"), std::string::npos) << listing;
    EXPECT_NE(listing.find("Weight (Integer) = 2"), std::string::npos) << listing;
    auto [code, dump] = tool({"--dump", QString::fromStdString(design.string())});
    EXPECT_EQ(code, 0);
    EXPECT_NE(dump.find("10"), std::string::npos) << dump;
    fs::path picture = dir / "drawn.png";
    EXPECT_EQ(tool({"--render", QString::fromStdString(design.string()),
                    QString::fromStdString(picture.string())})
                  .first,
              0);
    EXPECT_GT(fs::file_size(picture), 0u);
}

TEST_F(UstationProcessTest, TheJournalShowsTheKeyinsSentFromAShell) {
    auto app = modMSTN::MSTNOpen(kStandIn);
    EXPECT_EQ(tool({"--keyin", "NULL;no such command"}).first, 0);
    std::string journal = test::readFile(home.path() / "ustation-journal.log");
    EXPECT_NE(journal.find("keyin NULL"), std::string::npos) << journal;
    EXPECT_NE(journal.find("UNKNOWN keyin no such command"), std::string::npos) << journal;
}

TEST_F(UstationProcessTest, KeyinFromAShellWithoutMicroStationFailsClearly) {
    auto [code, output] = tool({"--keyin", "NULL"});
    EXPECT_EQ(code, 1);
    EXPECT_NE(output.find("no MicroStation is running"), std::string::npos) << output;
}

TEST_F(UstationProcessTest, MacroRunsToItsEndAndLeavesNoFiles) {
    test::ScopedEnv tmp("TMP", dir.str());
    fs::path design = dir / "macro.dgn";
    ASSERT_EQ(tool({"--new", QString::fromStdString(design.string())}).first, 0);
    MSTNApp = modMSTN::MSTNOpen(kStandIn);
    MSTNApp->MbeSendCommand("newfile " + design.string());
    mstnmacro::RunMSTNMacro(
        "MbeSendCommand \"place lstring\"\r\nMbeSendCommand \"xy=1,1\"\r\n"
        "MbeSendCommand \"xy=2,2\"\r\nMbeSendCommand \"reset\"");
    EXPECT_FALSE(fs::exists(dir / "macro.bas"));
    EXPECT_FALSE(fs::exists(dir / "macro.ba"));
    EXPECT_NE(test::ogrinfoListing(design).find("(1 1,2 2)"), std::string::npos);
}

TEST_F(UstationProcessTest, ForeignFilesOpenAndAReplacedTextSurvivesAKill) {
    fs::path csv = dir.write("in.csv",
                             "WKT,Text,Level,ColorIndex,Weight\n"
                             "\"LINESTRING (0 0,10 0)\",,5,3,2\n"
                             "\"POINT (5 5)\",Hello,3,2,0\n");
    fs::path foreign = dir / "gdal.dgn";
    test::ogr2ogrDgn(csv, foreign);
    fs::path seed = dir / "seed_2d.dgn";
    fs::copy_file("/usr/share/gdal/seed_2d.dgn", seed);
    auto app = modMSTN::MSTNOpen(kStandIn);
    app->MbeSendCommand("newfile " + seed.string());
    EXPECT_EQ(standInTitle(), "MicroStation - seed_2d.dgn");
    app->MbeSendCommand("newfile " + foreign.string());
    auto element = app->MbeElement();
    int32_t position = element->fromFile(0);
    while (position >= 0 && element->Type() != 17) {
        position = element->fromFile(position + element->fileSize());
    }
    ASSERT_GE(position, 0);
    std::string text;
    EXPECT_EQ(element->GetString(text), 0);
    EXPECT_EQ(text, "Hello");
    element->setString("Hello, a longer text");
    element->Rewrite();
    test::killStandIns();  // SIGKILL: nothing is saved on the way out
    std::vector<test::OgrFeature> texts = test::ofType(test::ogrFeatures(foreign), 17);
    EXPECT_EQ(texts.size(), 1u);
    for (const auto& f : texts) EXPECT_EQ(f.field("Text"), "Hello, a longer text");
    auto [code, dump] = tool({"--dump", QString::fromStdString(foreign.string())});
    EXPECT_EQ(code, 0);
    EXPECT_NE(dump.find("Hello, a longer text"), std::string::npos) << dump;
}

TEST_F(UstationProcessTest, TimersFireWhileACallWaitsForAStalledStandIn) {
    auto app = modMSTN::MSTNOpen(kStandIn);
    test::expectTimersFireDuringStall(500, "MbeSendCommand", {"NULL"});
}

}  // namespace
}  // namespace vtl

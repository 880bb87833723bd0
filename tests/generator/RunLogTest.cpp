#include <gtest/gtest.h>

#include <filesystem>

#include "common/FileOperationModule.h"
#include "core/Error.h"
#include "generator/LOGModule.h"
#include "generator/RunLog.h"
#include "generator/Variablen.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using LOGModule::WriteLog;
using test::readFile;

constexpr char kHead[] =
    "**************************************************\r\n"
    " Vistrel                www.brelvik.example\r\n"
    " Start Logfile  am 07.03.2024  um 09:05:02\r\n"
    "**************************************************\r\n";

std::tm fixedMoment() {
    std::tm moment{};
    moment.tm_year = 124;
    moment.tm_mon = 2;
    moment.tm_mday = 7;
    moment.tm_hour = 9;
    moment.tm_min = 5;
    moment.tm_sec = 2;
    return moment;
}

class RunLogTest : public ::testing::Test {
protected:
    RunLogTest() {
        resetRunState();
        FileOperationModule::TempFolder = dir.str();
        RunLog::setLocalTimeSource(fixedMoment);
        useLog(dir / "vtl.log");
    }
    ~RunLogTest() override {
        RunLog::setLocalTimeSource(nullptr);
        FileOperationModule::TempFolder.clear();
        resetRunState();
    }

    void useLog(const fs::path& file) { Variablen().logfile = file.string(); }
    std::string log() const { return readFile(Variablen().logfile); }

    test::TempDir dir;
};

TEST_F(RunLogTest, ANewLogHasTheHeadAndThePlaceholder) {
    RunLog::startLogFile();
    EXPECT_EQ(log(), std::string(kHead) + "%ErrorField%\r\n");
}

TEST_F(RunLogTest, ARunWithoutErrorsConcludesSo) {
    RunLog::startLogFile();
    Variablen().ErrorList.emplace();
    WriteLog("copying seed", "");
    RunLog::writeErrorsToLog();
    EXPECT_EQ(log(), std::string(kHead) +
                         "############# Error conclusion ##############\r\n"
                         "#\r\n"
                         "# no errors occured\r\n"
                         "#\r\n"
                         "#############################################\r\n"
                         "\r\n"
                         "copying seed\r\n"
                         "\r\n");
}

TEST_F(RunLogTest, TaggedEntriesAreConcludedInOrderAtEveryPlaceholder) {
    RunLog::startLogFile();
    Variablen().ErrorList.emplace();
    WriteLog("i3d-Seedfile not spezified", "-");
    WriteLog("untagged line", "");
    WriteLog("Can not delete old file  /iso/a.vtl", "/iso/a.vtl");
    LOGModule::AddErrorEntry("/iso/a.ics - Error occured");
    WriteLog("%ErrorField%", "");  // a command's output that carries the placeholder
    RunLog::writeErrorsToLog();

    const std::string conclusion =
        "############# Error conclusion ##############\r\n"
        "#\r\n"
        "#  -  - i3d-Seedfile not spezified\r\n"
        "#  /iso/a.vtl  - Can not delete old file  /iso/a.vtl\r\n"
        "/iso/a.ics - Error occured\r\n"
        "#\r\n"
        "#############################################\r\n";
    EXPECT_EQ(log(), std::string(kHead) + conclusion + "\r\n" +
                         "i3d-Seedfile not spezified\r\n"
                         "untagged line\r\n"
                         "Can not delete old file  /iso/a.vtl\r\n" +
                         conclusion + "\r\n\r\n");
}

TEST_F(RunLogTest, WriteLogWithATagNeedsTheRunsErrorList) {
    try {
        WriteLog("watchdog", "/iso/a.vtl");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 91);
    }
    EXPECT_FALSE(fs::exists(Variablen().logfile));
    WriteLog("watchdog", "");
    EXPECT_EQ(log(), "watchdog\r\n");
}

TEST_F(RunLogTest, ALogDeletedDuringTheRunKeepsItsErrorAndWritesNothing) {
    RunLog::startLogFile();
    Variablen().ErrorList.emplace();
    fs::remove(Variablen().logfile);
    try {
        RunLog::writeErrorsToLog();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.source(), "writeErrorsToLog:ReadFile2String");
        EXPECT_EQ(e.description(), "File '" + Variablen().logfile + "' not exists");
    }
    EXPECT_FALSE(fs::exists(Variablen().logfile));
}

TEST_F(RunLogTest, WithoutAnErrorListTheLogKeepsItsPlaceholder) {
    RunLog::startLogFile();
    EXPECT_THROW(RunLog::writeErrorsToLog(), Error);
    EXPECT_EQ(log(), std::string(kHead) + "%ErrorField%\r\n");
}

TEST_F(RunLogTest, ReadFile2StringKeepsTheBytes) {
    const std::string bytes("a\r\nb\nc\0d\xff", 9);
    EXPECT_EQ(RunLog::ReadFile2String(dir.write("raw.bin", bytes).string()), bytes);
    const fs::path folder = dir / "sub";
    fs::create_directory(folder);
    try {
        RunLog::ReadFile2String(folder.string());
        FAIL() << "a folder is no file";
    } catch (const Error& e) {
        EXPECT_EQ(e.source(), "ReadFile2String");
        EXPECT_EQ(e.description(), "File '" + folder.string() + "' not exists");
    }
}

// The backup copy runs through the command interpreter.
class RunLogBackupTest : public RunLogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RunLogBackupTest, ASecondStartKeepsTheFirstLogWithItsConclusionAsBak) {
    fs::create_directories(dir / GetParam());
    useLog(dir / GetParam() / "vtl.log");
    RunLog::startLogFile();
    EXPECT_FALSE(fs::exists(Variablen().logfile + ".bak"));  // no log yet: nothing to keep
    Variablen().ErrorList.emplace();
    WriteLog("Error opening /iso/a.vtl", "/iso/a.vtl");
    RunLog::writeErrorsToLog();
    const std::string firstRun = log();

    RunLog::startLogFile();
    EXPECT_EQ(readFile(Variablen().logfile + ".bak"), firstRun);
    EXPECT_EQ(log(), std::string(kHead) + "%ErrorField%\r\n");
}

INSTANTIATE_TEST_SUITE_P(Folders, RunLogBackupTest, ::testing::Values("logs", "log folder"));

}  // namespace
}  // namespace vtl

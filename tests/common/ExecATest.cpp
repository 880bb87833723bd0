#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/FileOperationModule.h"
#include "core/LogStream.h"
#include "platform/Processes.h"
#include "support/FakeClock.h"
#include "support/FakePlatform.h"
#include "support/LastErrorRecord.h"
#include "support/TempDir.h"

namespace vtl::FileOperationModule {
namespace {

namespace fs = std::filesystem;

using test::entryNames;
using test::lastErrorRecord;

// ExecA with a fake process table: nothing runs, the batch file and the start are inspected.
class ExecAFake : public ::testing::Test {
protected:
    ExecAFake() { TempFolder = temp.str(); }
    ~ExecAFake() override { TempFolder.clear(); }

    test::TempDir temp;
    test::FakeProcesses table;
    platform::ScopedProcesses scoped{table};
    test::FakeClock fakeClock;
    ScopedClock scopedClock{fakeClock};
    int32_t taskId = 0;
};

TEST_F(ExecAFake, WithoutWaitTheBatchFileStaysAndHoldsTheQuotedLogPath) {
    EXPECT_EQ(ExecA("copy a b", "/logs/run log.txt", 0, "", taskId, false), -1);
    ASSERT_EQ(table.starts().size(), 1u);
    const test::FakeProcesses::Start& start = table.starts()[0];
    EXPECT_EQ(taskId, 40000);
    ASSERT_EQ(start.argv.size(), 3u);
    EXPECT_EQ(fs::path(start.argv[0]).filename(), "cmd.exe");
    EXPECT_EQ(start.argv[1], "/c");
    // The batch file's path goes into the command line quoted.
    ASSERT_TRUE(start.argv[2].starts_with('"') && start.argv[2].ends_with('"'));
    const fs::path batch = start.argv[2].substr(1, start.argv[2].size() - 2);
    EXPECT_EQ(batch.parent_path(), temp.path());
    EXPECT_TRUE(start.options.detached);
    EXPECT_EQ(test::readFile(batch), "copy a b >> \"/logs/run log.txt\" 2>&1\r\n");

    ExecA("del x", "", 0, "", taskId, false);
    const std::string& second = table.starts()[1].argv[2];
    EXPECT_EQ(test::readFile(second.substr(1, second.size() - 2)), "del x\r\n");
}

TEST_F(ExecAFake, BatchNamesDifferAndStartWithTheProcessId) {
    ExecA("del a", "", 0, "", taskId, false);
    ExecA("del b", "", 0, "", taskId, false);
    const std::string prefix = std::to_string(::getpid());
    std::vector<std::string> names = entryNames(temp.path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_NE(names[0], names[1]);
    for (const std::string& name : names) {
        EXPECT_EQ(name.rfind(prefix, 0), 0u) << name;
        EXPECT_TRUE(name.ends_with(".bat")) << name;
    }
}

TEST_F(ExecAFake, BatchFolderFallsBackFromBatchDirToTempFolderToTemp) {
    test::TempDir batchDir, tempEnv;
    test::ScopedEnv env("TEMP", tempEnv.str());
    ExecA("del a", "", 0, batchDir.str(), taskId, false);
    EXPECT_EQ(entryNames(batchDir.path()).size(), 1u);
    TempFolder = (temp / "missing").string();
    ExecA("del a", "", 0, "  ", taskId, false);
    EXPECT_EQ(entryNames(tempEnv.path()).size(), 1u);
}

TEST_F(ExecAFake, AnEmptyTempCountsAsUnset) {
    test::TempDir tmpdir;
    test::ScopedEnv env("TEMP", "");
    test::ScopedEnv fallback("TMPDIR", tmpdir.str());
    TempFolder.clear();
    ExecA("del a", "", 0, "", taskId, false);
    EXPECT_EQ(entryNames(tmpdir.path()).size(), 1u);
}

TEST_F(ExecAFake, WaitPollsEvery50msHandlingEventsAndRemovesTheBatchFile) {
    table.setChildRun(3, 5);
    EXPECT_EQ(ExecA("del a", "", 0, "", taskId, true), 5);
    EXPECT_EQ(fakeClock.eventCalls(), 3);
    EXPECT_EQ(fakeClock.sleptMs(), 150);
    EXPECT_TRUE(entryNames(temp.path()).empty());
    EXPECT_EQ(lastErrorRecord().number, 0);
}

TEST_F(ExecAFake, AFailureStaysInTheRecordAfterTheBatchFileIsRemoved) {
    EXPECT_EQ(ExecA("del a", "", 0, (temp / "missing").string(), taskId, true), -1);
    EXPECT_EQ(taskId, -1);
    test::LastErrorRecord r = lastErrorRecord();
    EXPECT_NE(r.number, 0);
    EXPECT_EQ(r.source.rfind("ExecA", 0), 0u) << r.source;
    EXPECT_TRUE(table.starts().empty());
}

TEST_F(ExecAFake, ABatchFileThatCannotBeStartedIsRemovedAlsoWithoutWait) {
    const fs::path quoted = temp / "a \"quoted\" folder";
    fs::create_directory(quoted);
    EXPECT_EQ(ExecA("del a", "", 0, quoted.string(), taskId, false), -1);
    EXPECT_EQ(taskId, -1);
    EXPECT_EQ(lastErrorRecord().number, 1);
    EXPECT_TRUE(table.starts().empty());
    EXPECT_TRUE(entryNames(quoted).empty());
}

TEST_F(ExecAFake, MultiLineCommandsAndQuotesInTheLogPathAreRefused) {
    EXPECT_EQ(ExecA("del a\r\ndel b", "", 0, "", taskId, true), -1);
    EXPECT_EQ(lastErrorRecord().number, 1);
    EXPECT_EQ(ExecA("del a", "log\".txt", 0, "", taskId, false), -1);
    EXPECT_EQ(lastErrorRecord().number, 1);
    EXPECT_TRUE(table.starts().empty());
}

// ExecA running the command interpreter for real.
TEST(ExecA, AppendsTheCommandsOutputToTheNamedLog) {
    test::TempDir dir;
    fs::create_directory(dir / "my logs");
    fs::path log = dir.write("my logs/run log.txt", "earlier line\n");
    fs::path source = dir.write("seed file.dgn", "seed");
    const std::string command =
        "copy \"" + source.string() + "\" \"" + (dir / "out.dgn").string() + "\"";
    int32_t taskId = 0;
    EXPECT_EQ(ExecA(command, log.string(), 0, dir.str(), taskId, true), 0);
    EXPECT_GT(taskId, 0);
    EXPECT_EQ(test::readFile(dir / "out.dgn"), "seed");
    EXPECT_EQ(test::readFile(log), "earlier line\n        1 file(s) copied.\r\n");
    // Nothing else appeared beside the files: the blanks split no path.
    EXPECT_EQ(entryNames(dir.path()),
              (std::vector<std::string>{"my logs", "out.dgn", "seed file.dgn"}));
    EXPECT_EQ(entryNames(dir / "my logs"), (std::vector<std::string>{"run log.txt"}));
}

// Lines the program appended to the log and not yet written out come before the command's.
TEST(ExecA, TheProgramsLinesInTheLogComeBeforeTheCommandsOutput) {
    test::TempDir dir;
    const std::string log = (dir / "run.log").string();
    fs::path source = dir.write("seed.dgn", "seed");
    logstream::append(log, "the program's line\r\n");
    int32_t taskId = 0;
    EXPECT_EQ(ExecA("copy \"" + source.string() + "\" \"" + (dir / "out.dgn").string() + "\"", log,
                    0, dir.str(), taskId, true),
              0);
    logstream::append(log, "the next line\r\n");
    logstream::close();
    const std::string text = test::readFile(log);
    EXPECT_EQ(text.find("the program's line\r\n        1 file(s) copied."), 0u) << text;
    EXPECT_TRUE(text.ends_with("\nthe next line\r\n")) << text;
}

TEST(ExecA, ReturnsTheCommandsExitCode) {
    test::TempDir dir;
    fs::path log = dir / "log.txt";
    int32_t taskId = 0;
    EXPECT_EQ(ExecA("del \"" + (dir / "missing.dgn").string() + "\"", log.string(), 0, dir.str(),
                    taskId, true),
              1);
    EXPECT_NE(test::readFile(log).find("Could Not Find"), std::string::npos);
}

}  // namespace
}  // namespace vtl::FileOperationModule

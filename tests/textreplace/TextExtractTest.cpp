// The extraction of design files into a configuration workbook against the stand-in
// MicroStation's session in the test's process; openpyxl reads what was written. And the wait
// for MicroStation's end, on a faked process table and clock.
#include <gtest/gtest.h>

#include <filesystem>

#include "ToolFixture.h"
#include "ToolRuns.h"
#include "platform/AtomicFile.h"
#include "platform/MessageBoxes.h"
#include "support/ErrorOf.h"
#include "support/FakeClock.h"
#include "support/FakePlatform.h"
#include "textreplace/ConfigLookup.h"
#include "textreplace/MSTNSession.h"
#include "textreplace/TextExtract.h"

namespace vtl::tarnwell {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const char kHeader[] = "('Find', 'Replace', 'Level', 'Color', 'Weight')";
const char kFormats[] = "@ @ n True";

class TextExtractTest : public ::testing::Test {
protected:
    void TearDown() override { CloseConfigRecordset(); }

    fs::path output() const { return tool.dir / "texts.xls"; }

    test::ScopedTool tool;
    vtl::test::ScopedPlatformHome home;
    test::InProcessPrograms programs;
    ScopedOutsidePrograms scopedPrograms{programs};
    platform::RecordingMessageBoxes messages;
    platform::ScopedMessageBoxes scopedMessages{messages};
};

TEST_F(TextExtractTest, EachTextOfAFileIsARowOncePerLevelColourAndWeight) {
    const fs::path first = test::writeDrawing(
        tool.dir / "one.dgn", {{"12|5|3|0", "12|5|3|0", "12|6|3|0", "O'Neil|1|1|1", "'quoted|1|1|1",
                                "1e400|1|1|1", "   |1|1|1"},
                               {"PUMP|2|2|2", "12|5|3|0"},
                               {"in a cell|1|1|1"}});
    const fs::path second = test::writeDrawing(tool.dir / "two.dgn", {{"12|5|3|0", "new|0|0|0"}});
    DGN2XLS(first.string(), output().string(), true);
    DGN2XLS(second.string(), output().string(), false);

    // Texts that read as numbers, or start with a "'", are kept as they stand, as text.
    EXPECT_EQ(test::readWorkbookRows(output()),
              (Texts{kHeader, "('12', '12', 5, 3, 0)", "('12', '12', 6, 3, 0)",
                     "(\"O'Neil\", \"O'Neil\", 1, 1, 1)", "(\"'quoted\", \"'quoted\", 1, 1, 1)",
                     "('1e400', '1e400', 1, 1, 1)", "('PUMP', 'PUMP', 2, 2, 2)",
                     "('12', '12', 5, 3, 0)", "('new', 'new', 0, 0, 0)", kFormats}));
    const std::string one = "'" + first.string() + "'", out = "'" + output().string() + "'";
    EXPECT_EQ(Texts(tool.events.begin(), tool.events.begin() + 4),
              (Texts{"Importing DGN file: " + one + " into excel file: " + out + " ...",
                     "Creating new excel workbook: " + out + " ...",
                     "Saving current Excel Workbook ...", "6 lines imported successfully"}));
    EXPECT_EQ(tool.events[5], "Using existing excel workbook: " + out + " ...");
    EXPECT_EQ(tool.events.back(), "2 lines imported successfully");
    ASSERT_EQ(programs.sessions.size(), 2u);
    for (const auto& session : programs.sessions) {
        EXPECT_TRUE(session->quitRequested());
        EXPECT_EQ(session->Visible(), 0);
    }
    EXPECT_EQ(programs.excel.journal.back(), "Quit");
}

// A replacement run earlier in the session left its table loaded.
TEST_F(TextExtractTest, IdenticalFilesGiveTheSameRowsAfterAReplacementRun) {
    SearchInit(
        test::writeConfigWorkbook(tool.dir / "cfg.xlsx", {"'PUMP', 'P-1', 1, 1, 1"}).string());
    const fs::path a = test::writeDrawing(tool.dir / "a.dgn", {{"PUMP|1|1|1", "VALVE|1|1|1"}});
    const fs::path b = test::writeDrawing(tool.dir / "b.dgn", {{"PUMP|1|1|1", "VALVE|1|1|1"}});
    DGN2XLS(a.string(), output().string(), true);
    DGN2XLS(b.string(), output().string(), false);
    EXPECT_EQ(test::readWorkbookRows(output()),
              (Texts{kHeader, "('PUMP', 'PUMP', 1, 1, 1)", "('VALVE', 'VALVE', 1, 1, 1)",
                     "('PUMP', 'PUMP', 1, 1, 1)", "('VALVE', 'VALVE', 1, 1, 1)", kFormats}));
}

// The workbook the first file loads leaves out only the texts it holds on that level, colour
// and weight.
TEST_F(TextExtractTest, ATextIsAlreadyConfiguredOnlyOnItsLevelColourAndWeight) {
    test::writeConfigWorkbook(output(), {"'PUMP', 'P-1', 1, 2, 3"});
    const fs::path a = test::writeDrawing(
        tool.dir / "a.dgn", {{"PUMP|1|2|3", "PUMP|9|2|3", "PUMP|1|9|3", "PUMP|1|2|9"}});
    DGN2XLS(a.string(), output().string(), true);
    EXPECT_EQ(test::readWorkbookRows(output()),
              (Texts{kHeader, "('PUMP', 'P-1', 1, 2, 3)", "('PUMP', 'PUMP', 9, 2, 3)",
                     "('PUMP', 'PUMP', 1, 9, 3)", "('PUMP', 'PUMP', 1, 2, 9)", kFormats}));
}

TEST_F(TextExtractTest, AnExistingWorkbookIsReplacedOnlyWhenTheUserAgrees) {
    const fs::path existing = tool.dir.write("texts.xls", "the user's own workbook");
    messages.answer(platform::vbNo);
    EXPECT_FALSE(PrepareOutputWorkbook(existing.string()));
    EXPECT_EQ(vtl::test::readFile(existing), "the user's own workbook");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Overwrite file " + existing.string() + "?");
    EXPECT_EQ(messages.messages()[0].style, 36);
    {
        platform::FileLock lock(existing, platform::FileLock::Mode::Exclusive);
        messages.answer(platform::vbYes);
        const Error e = vtl::test::errorOf([&] { PrepareOutputWorkbook(existing.string()); });
        EXPECT_EQ(e.description(), "File '" + existing.string() + "' is already in use");
        EXPECT_EQ(e.source(), "IsFileAlreadyInUse");
        EXPECT_TRUE(fs::exists(existing));
    }
    messages.answer(platform::vbYes);
    EXPECT_TRUE(PrepareOutputWorkbook(existing.string()));
    EXPECT_FALSE(fs::exists(existing));
    EXPECT_TRUE(PrepareOutputWorkbook(existing.string()));  // nothing to ask about now
    EXPECT_EQ(messages.messages().size(), 3u);
}

TEST_F(TextExtractTest, AFailureKeepsTheRowsOfEarlierFilesAndQuitsBothPrograms) {
    const fs::path a = test::writeDrawing(tool.dir / "a.dgn", {{"PUMP|1|1|1"}});
    DGN2XLS(a.string(), output().string(), true);
    const Texts saved = test::readWorkbookRows(output());

    programs.failAttach = Error(1, "MSTNOpen", "MicroStation EXE-File not defined");
    Error e = vtl::test::errorOf([&] { DGN2XLS(a.string(), output().string(), false); });
    EXPECT_EQ(e.number(), 1);
    EXPECT_EQ(e.source(), "DGN2XLS: MSTNOpen");
    EXPECT_EQ(e.description(), "MicroStation EXE-File not defined");
    EXPECT_EQ(programs.excel.journal.back(), "Quit");
    EXPECT_EQ(test::readWorkbookRows(output()), saved);

    programs.excel.installed = false;
    e = vtl::test::errorOf([&] { DGN2XLS(a.string(), output().string(), false); });
    EXPECT_EQ(e.number(), 1);
    EXPECT_EQ(e.source(), "DGN2XLS");
    EXPECT_EQ(e.description(), "Microsoft Excel not found or not correct installed");
    EXPECT_EQ(programs.sessions.size(), 1u);
    EXPECT_EQ(test::readWorkbookRows(output()), saved);

    const fs::path random = tool.dir.write("random.dgn", "no drawing");
    programs.excel.installed = true;
    e = vtl::test::errorOf([&] { DGN2XLS(random.string(), output().string(), false); });
    EXPECT_NE(e.description().find("is not a DGN V7 design file"), std::string::npos);
    EXPECT_TRUE(programs.sessions.back()->quitRequested());
    EXPECT_EQ(test::readWorkbookRows(output()), saved);
    EXPECT_EQ(vtl::test::readFile(random), "no drawing");
}

TEST(Wait4ExitingMSTNTest, MicroStationIsGivenThirtySecondsToEndAndThenKilled) {
    test::ScopedTool tool;
    vtl::test::FakeClock clock;
    ScopedClock scopedClock(clock);
    vtl::test::FakeProcesses processes;
    platform::ScopedProcesses scopedProcesses(processes);

    Wait4ExitingMSTN();  // none runs: one pause
    EXPECT_EQ(clock.sleptMs(), 1000);

    processes.add(4711, 1, "ustation.exe");
    clock.onProcessEvents([&](int64_t) {
        if (clock.sleptMs() >= 4000) processes.terminate(4711);
    });
    Wait4ExitingMSTN();  // ends after three more seconds
    EXPECT_EQ(clock.sleptMs(), 1000 + 4000);
    EXPECT_TRUE(tool.events.empty());

    clock.onProcessEvents({});
    processes.add(4712, 1, "USTATION.EXE");
    Wait4ExitingMSTN();  // never ends
    EXPECT_EQ(clock.sleptMs(), 5000 + 1000 + 30000 + 500);
    EXPECT_EQ(processes.terminated(), (std::vector<int32_t>{4711, 4712}));
    EXPECT_EQ(tool.events,
              (Texts{"Exiting MicroStation timeout. MicroStation process will be killed."}));

    processes.failListing(Error(5, "", "Access denied"));
    const Error e = vtl::test::errorOf([] { Wait4ExitingMSTN(); });
    EXPECT_EQ(e.source(), "Wait4ExitingMSTN:IsExeExisting:IsAppRunning");
}

}  // namespace
}  // namespace vtl::tarnwell

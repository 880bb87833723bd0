// The replacement of one design file against the stand-in MicroStation's session in the test's
// process: which texts change, in which order the events tell it, what the drawing holds
// afterwards as GDAL reads it, and the files that are refused before MicroStation starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ToolFixture.h"
#include "ToolRuns.h"
#include "core/Text.h"
#include "support/ErrorOf.h"
#include "textreplace/ConfigLookup.h"
#include "textreplace/TextReplace.h"

namespace vtl::tarnwell {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

Texts sorted(Texts texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

class TextReplaceTest : public ::testing::Test {
protected:
    void TearDown() override { CloseConfigRecordset(); }

    fs::path workbook() {
        return test::writeConfigWorkbook(
            tool.dir / "cfg.xlsx", {"'A-100', 'B-100', 5, 3, 0", "'A-100', 'D-100', 6, 3, 0",
                                    "'PUMP', 'P-1', 1, 1, 1", "\"O'Neil\", \"O'Brien\", 2, 2, 2",
                                    "'blank', '   ', 1, 1, 1", "'grow', 'grow grow', 4, 4, 4"});
    }
    // The journal's key-ins without their process numbers.
    Texts keyins() const {
        Texts sent;
        for (const std::string& line :
             text::split(vtl::test::readFile(home.path() / "ustation-journal.log"), '\n')) {
            const size_t at = line.find("] keyin ");
            if (at != std::string::npos) sent.push_back(line.substr(at + 8));
        }
        return sent;
    }

    test::ScopedTool tool;
    vtl::test::ScopedPlatformHome home;
    test::InProcessPrograms programs;
    ScopedOutsidePrograms scopedPrograms{programs};
};

TEST_F(TextReplaceTest, EveryMatchingTextAndNodeLineIsReplacedOnceAndCellsAreLeftAlone) {
    const fs::path dgn = test::writeDrawing(
        tool.dir / "plan.dgn", {{"A-100|5|3|0", "A-100|6|3|0", "A-100|5|3|1", "keep|5|3|0",
                                 "O'Neil|2|2|2", "blank|1|1|1", "grow|4|4|4"},
                                {"PUMP|1|1|1", "A-100|5|3|0"},
                                {"A-100|5|3|0"}});
    XLS2DGN(workbook().string(), dgn.string(), true);

    const std::string file = "'" + dgn.string() + "'";
    EXPECT_EQ(tool.events,
              (Texts{"Replacing text in DGN file: " + file + " ...",
                     "Replacing:  'A-100'  with:  'B-100'", "Replacing:  'A-100'  with:  'D-100'",
                     "Replacing:  'O'Neil'  with:  'O'Brien'",
                     "Replacing:  'grow'  with:  'grow grow'", "Replacing:  'PUMP'  with:  'P-1'",
                     "Replacing:  'A-100'  with:  'B-100'", "Done " + std::string(66, '-')}));
    // The grown text moved to the end of the file once and was not visited there again.
    EXPECT_EQ(
        sorted(test::textsOf(dgn)),
        sorted({"B-100 5 3 0", "D-100 6 3 0", "A-100 5 3 1", "keep 5 3 0", "O'Brien 2 2 2",
                "blank 1 1 1", "grow grow 4 4 4", "P-1 1 1 1", "B-100 5 3 0", "A-100 5 3 0"}));
    EXPECT_EQ(keyins(), (Texts{"newfile " + dgn.string(), "compress", "filedesign"}));
    ASSERT_EQ(programs.sessions.size(), 1u);
    EXPECT_TRUE(programs.sessions[0]->quitRequested());
}

// A grown text moves to the end of the file; met there again it would be replaced again.
TEST_F(TextReplaceTest, EachTextIsReplacedOnceEvenWhenItsReplacementIsFoundAgain) {
    const fs::path wb = test::writeConfigWorkbook(
        tool.dir / "chain.xlsx", {"'A', 'AAAA', 0, 0, 0", "'AAAA', 'AAAAAAAA', 0, 0, 0"});
    const fs::path first = test::writeDrawing(tool.dir / "one.dgn", {{"A|0|0|0", "AAAA|0|0|0"}});
    const fs::path second = test::writeDrawing(tool.dir / "two.dgn", {{"AAAA|0|0|0", "A|0|0|0"}});
    XLS2DGN(wb.string(), first.string(), true);
    XLS2DGN(wb.string(), second.string(), false);  // the table of the first file is kept
    EXPECT_EQ(sorted(test::textsOf(first)), (Texts{"AAAA 0 0 0", "AAAAAAAA 0 0 0"}));
    EXPECT_EQ(sorted(test::textsOf(second)), (Texts{"AAAA 0 0 0", "AAAAAAAA 0 0 0"}));
    EXPECT_EQ(programs.excel.journal.size(), 3u);  // one Excel for the whole run
}

TEST_F(TextReplaceTest, ATextTakesAReplacementOfTheLongestTextV7Holds) {
    const std::string longest(255, 'x');
    const fs::path wb = test::writeConfigWorkbook(
        tool.dir / "long.xlsx",
        {"'A', '" + longest + "', 0, 0, 0", "'B', '" + longest + "y', 0, 0, 0"});
    const fs::path dgn = test::writeDrawing(tool.dir / "long.dgn", {{}, {"A|0|0|0"}});
    XLS2DGN(wb.string(), dgn.string(), true);
    EXPECT_EQ(test::textsOf(dgn), (Texts{longest + " 0 0 0"}));
    // One more character than V7 holds: the file stays as it was.
    const fs::path other = test::writeDrawing(tool.dir / "longer.dgn", {{"B|0|0|0"}});
    const std::string image = vtl::test::readFile(other);
    const Error e = vtl::test::errorOf([&] { XLS2DGN(wb.string(), other.string(), false); });
    EXPECT_EQ(e.source().substr(0, 7), "XLS2DGN");
    EXPECT_NE(e.description().find("255"), std::string::npos) << e.description();
    EXPECT_EQ(vtl::test::readFile(other), image);
}

TEST_F(TextReplaceTest, AFileOrWorkbookThatCannotBeUsedFailsBeforeMicroStationStarts) {
    const fs::path dgn = test::writeDrawing(tool.dir / "plan.dgn", {{"A-100|5|3|0"}});
    const std::string cfg = workbook().string();
    const fs::path missing = tool.dir / "missing.dgn";
    Error e = vtl::test::errorOf([&] { XLS2DGN(cfg, missing.string(), true); });
    EXPECT_EQ(e.number(), 1);
    EXPECT_EQ(e.source(), "XLS2DGN");
    EXPECT_EQ(e.description(), "DGN file: '" + missing.string() + "' not exists");
    const fs::path semicolon = test::writeDrawing(tool.dir / "a;b.dgn", {{"A-100|5|3|0"}});
    e = vtl::test::errorOf([&] { XLS2DGN(cfg, semicolon.string(), true); });
    EXPECT_EQ(e.description(), "DGN file: '" + semicolon.string() +
                                   "' cannot be opened in MicroStation: its path holds a ';'");
    e = vtl::test::errorOf([&] { XLS2DGN("", dgn.string(), true); });
    EXPECT_EQ(e.description(), "Excel file not defined");
    const std::string noFolder = (tool.dir / "gone" / "cfg.xls").string();
    e = vtl::test::errorOf([&] { XLS2DGN(noFolder, dgn.string(), true); });
    EXPECT_EQ(e.description(), "Directory to create excel file: '" + noFolder + "' not exists");
    e = vtl::test::errorOf([&] { XLS2DGN("cfg.xls", dgn.string(), true); });
    EXPECT_EQ(e.description(), "Directory to create excel file: 'cfg.xls' not exists");
    const fs::path headers = test::writeConfigWorkbook(tool.dir / "headers.xlsx", {});
    e = vtl::test::errorOf([&] { XLS2DGN(headers.string(), dgn.string(), true); });
    EXPECT_EQ(e.source(), "XLS2DGN");
    EXPECT_EQ(e.description(), "Nothing to replace defined");
    e = vtl::test::errorOf([&] { XLS2DGN((tool.dir / "none.xlsx").string(), dgn.string(), true); });
    EXPECT_EQ(e.source(), "XLS2DGN");
    EXPECT_EQ(e.description(),
              "Excel config file: '" + (tool.dir / "none.xlsx").string() + "' not exists");
    EXPECT_TRUE(programs.sessions.empty());
    EXPECT_EQ(test::textsOf(dgn), (Texts{"A-100 5 3 0"}));
}

TEST_F(TextReplaceTest, ADesignFileMicroStationCannotOpenOrWriteIsLeftAsItWas) {
    const std::string cfg = workbook().string();
    const fs::path v7 = test::writeDrawing(tool.dir / "plan.dgn", {{"A-100|5|3|0", "keep|1|1|1"}});
    const std::string image = vtl::test::readFile(v7);
    struct Bad {
        std::string name, content, says;
    };
    const Bad bad[] = {
        {"v8.dgn", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
         "is not a DGN V7 design file"},
        {"random.dgn", "random bytes, no drawing at all", "is not a DGN V7 design file"},
        {"cut.dgn", image.substr(0, image.find("keep") - 10), "is cut short"}};
    for (const Bad& b : bad) {
        const fs::path file = tool.dir.write(b.name, b.content);
        const Error e = vtl::test::errorOf([&] { XLS2DGN(cfg, file.string(), true); });
        EXPECT_EQ(e.source().substr(0, 7), "XLS2DGN") << b.name;
        EXPECT_NE(e.description().find(b.says), std::string::npos) << e.description();
        EXPECT_EQ(vtl::test::readFile(file), b.content) << b.name;
    }
    fs::permissions(v7, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Error e = vtl::test::errorOf([&] { XLS2DGN(cfg, v7.string(), true); });
    EXPECT_EQ(e.number(), 70);
    EXPECT_EQ(e.description(), "The design file \"" + v7.string() + "\" is read-only");
    EXPECT_EQ(vtl::test::readFile(v7), image);
    for (const auto& session : programs.sessions) EXPECT_TRUE(session->quitRequested());
    EXPECT_EQ(tool.events.back(), "Replacing:  'A-100'  with:  'B-100'");  // and no "Done"
}

}  // namespace
}  // namespace vtl::tarnwell

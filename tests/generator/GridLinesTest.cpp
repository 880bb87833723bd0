// The grid file read into GridTable, its log block and parallel check, and the nearest grid lines
// of the free pipe ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Error.h"
#include "generator/GridLines.h"
#include "generator/Variablen.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using test::errorOf;

using Lines = std::vector<std::string>;
using test::TempDir;

// A grid line as grid files write it, in fixed columns: 72 characters.
std::string gridLine(const std::string& kind, const std::string& name, const Lines& values) {
    std::string line = kind + "  " + name;
    line.resize(12, ' ');
    for (const std::string& v : values) line += std::string(10 - v.size(), ' ') + v;
    return line;
}

Lines row(const GridData& grid, int g, int last = 10) {
    Lines values;
    for (int column = 0; column <= last; ++column) values.push_back(grid.GridTable(g, column));
    return values;
}

// --- Reading -------------------------------------------------------------------------------------

TEST(GridFileTest, GridLinesAreRowsInFileOrderWithTheirNumbersInDrawingUnits) {
    const std::string text = "FW PROJECT GRID OF THE DEMO PLANT\r\n\r\n" +
                             gridLine("3", "A", {"1000", "0", "0", "1000", "8000", "0"}) + "\r\n" +
                             gridLine("1", "X", {"0", "0", "0", "0", "0", "0"}) + "\r\n" +
                             "3  B  800000  0  0  800000  8000  0\r\n" +
                             gridLine("2", "1", {"0", "-4000", "0", "80000", "-4000", "0"}) +
                             "\r\n";
    GridData grid;
    parseGridText(grid, text, 1000);
    ASSERT_EQ(grid.GridCount, 2);
    EXPECT_EQ(row(grid, 1),
              (Lines{"3", "A", "0.0125", "0", "0", "0.0125", "0.1", "0", "", "", ""}));
    EXPECT_EQ(row(grid, 2), (Lines{"2", "1", "0", "-0.05", "0", "1", "-0.05", "0", "", "", ""}));
    EXPECT_EQ(row(grid, 0), Lines(11, ""));
}

TEST(GridFileTest, ALineIsAGridLineFromItsFiftyFirstCharacterOnAndWithKindTwoOrThree) {
    std::string fifty = "3  A  1000  0  0  1000  8000  0";
    fifty.resize(50, ' ');
    const std::string text = fifty + "\n" + fifty + " \n" +
                             gridLine("4", "Z", {"1", "2", "3", "4", "5", "6"}) + "\n" +
                             gridLine("33", "Z", {"1", "2", "3", "4", "5", "6"}) + "\n";
    GridData grid;
    parseGridText(grid, text, 1000);
    ASSERT_EQ(grid.GridCount, 1);
    EXPECT_EQ(grid.GridTable(1, 1), "A");
}

TEST(GridFileTest, TheTablesLimitsAreTheRuntimesIndexError) {
    GridData grid;
    const std::string twelve =
        gridLine("3", "A", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    EXPECT_EQ(errorOf([&] { parseGridText(grid, twelve, 1000); }).number(), 9);
    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += gridLine("3", "G", {"0", "0", "0", "0", "80", "0"}) + "\n";
    EXPECT_EQ(errorOf([&] { parseGridText(grid, many, 1000); }).number(), 9);
    EXPECT_EQ(errorOf([&] {
                  parseGridText(grid, gridLine("3", "A", {"1", "0", "0", "1", "8", "0"}), 0);
              }).description(),
              "Division by zero");
}

TEST(GridFileTest, TheDumpShowsColumnsZeroToEightInPrintZones) {
    GridData grid;
    parseGridText(grid, gridLine("3", "A", {"1000", "0", "0", "1000", "8000", "0"}), 1000);
    const std::string b13(13, ' ');
    EXPECT_EQ(gridDump(grid), (Lines{"======== Begin Gridlines ==========", "",
                                     "3" + b13 + "A" + b13 + "0.0125" + std::string(8, ' ') + "0" +
                                         b13 + "0" + b13 + "0.0125" + std::string(8, ' ') + "0.1" +
                                         std::string(11, ' ') + "0" + b13,
                                     "======== End Gridlines ============"}));
}

// --- The whole step ------------------------------------------------------------------------------

class GridFileStepTest : public ::testing::Test {
protected:
    void read(const std::string& text) {
        const std::string file = dir.write("FW_project.dat", text).string();
        Gridfile_zerlegen(grid, file, 1000, [this](const Lines& lines) {
            log.insert(log.end(), lines.begin(), lines.end());
        });
    }
    TempDir dir;
    GridData grid;
    Lines log;
};

TEST_F(GridFileStepTest, ASkewGridLineFailsAfterTheDumpIsWritten) {
    const std::string text = gridLine("3", "A", {"0", "0", "0", "0", "8000", "0"}) + "\n" +
                             gridLine("2", "7", {"0", "0", "0", "8000", "40", "0"}) + "\n" +
                             gridLine("3", "B", {"0", "0", "0", "80", "8000", "0"}) + "\n";
    const Error e = errorOf([&] { read(text); });
    EXPECT_EQ(e.number(), 1);
    EXPECT_EQ(e.description(), "Gridlines not parallel - GridLine: 7");
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log.back(), "======== End Gridlines ============");
}

TEST_F(GridFileStepTest, EqualNumbersWrittenDifferentlyAreParallel) {
    read(gridLine("3", "A", {"1000", "0", "0", "1000.00", "8000", "0"}) + "\n" +
         gridLine("2", "1", {"0", "+2E3", "0", "8000", "2000", "0"}) + "\n");
    EXPECT_EQ(grid.GridTable(1, 5), "0.0125");
    EXPECT_EQ(grid.GridTable(2, 3), "0.025");
}

TEST_F(GridFileStepTest, AMissingGridFileIsNamed) {
    const std::string file = (dir / "none.dat").string();
    const Error e = errorOf([&] { Gridfile_zerlegen(grid, file, 1000, {}); });
    EXPECT_EQ(e.number(), 1);
    EXPECT_EQ(e.description(), "Gridfile not found  -  " + file);
}

TEST_F(GridFileStepTest, OnTheRunStateAFailureSetsStepErrorAndNamesTheStep) {
    resetRunState();
    Variablen().Gridfile = (dir / "none.dat").string();
    const Error e = errorOf([] { Gridfile_zerlegen(); });
    EXPECT_EQ(e.source(), "Gridfile_zerlegen");
    EXPECT_TRUE(Variablen().StepError);
    resetRunState();
}

// --- Nearest grid lines --------------------------------------------------------------------------

class EndpointDiffTest : public ::testing::Test {
protected:
    // A grid row in drawing units: kind, name, X and Y of both ends.
    void line(const std::string& kind, const std::string& name, const std::string& x1,
              const std::string& y1, const std::string& x2, const std::string& y2) {
        const int g = ++grid.GridCount;
        const Lines values{kind, name, x1, y1, "0", x2, y2, "0"};
        for (size_t c = 0; c < values.size(); ++c) grid.GridTable.set(g, int(c), values[c]);
    }
    void end(const std::string& x, const std::string& y) {
        const int r = ++count;
        ends.set(r, 3, x);
        ends.set(r, 4, y);
        ends.set(r, 5, "3.1");
    }
    Lines columns(int r) const {
        return {ends(r, 15), ends(r, 16), ends(r, 17), ends(r, 18), ends(r, 19), ends(r, 20)};
    }
    GridData grid;
    RunTable ends;
    int32_t count = 0;
};

TEST_F(EndpointDiffTest, EachEndGetsTheNearestLineOfEachKindWithItsSignedOffset) {
    line("3", "A", "0", "0", "0", "50");
    line("3", "B", "10", "0", "10", "50");
    line("3", "C", "20", "0", "20", "50");
    line("2", "1", "0", "0", "30", "0");
    line("2", "2", "0", "8", "30", "8");
    end("13.5", "5");
    end("-4.25", "7.5");
    for (int column = 15; column <= 20; ++column) ends.set(1, column, "old");
    find_endpoint_diff(ends, count, grid, 999999999999999);
    EXPECT_EQ(columns(1), (Lines{"", "B", "3.5", "2", "-3", ""}));
    EXPECT_EQ(columns(2), (Lines{"", "A", "-4.25", "2", "-0.5", ""}));
}

TEST_F(EndpointDiffTest, OfTwoEquallyNearLinesTheEarlierOneIsTaken) {
    line("3", "Q", "20", "0", "20", "50");
    line("3", "P", "10", "0", "10", "50");
    end("15", "5");
    find_endpoint_diff(ends, count, grid, 999999999999999);
    EXPECT_EQ(ends(1, 16), "Q");
    EXPECT_EQ(ends(1, 17), "-5");
}

TEST_F(EndpointDiffTest, OnlyLinesWhoseWidenedExtentHoldsTheEndCompeteWhicheverWayTheyRun) {
    line("2", "1", "0", "0", "30", "0");
    line("3", "H", "10", "50", "10", "0");  // written from high to low
    line("3", "K", "11", "50", "11", "20");
    end("40", "5");   // beyond line 1 and inside H only
    end("33", "20");  // on the end of K: not inside it
    find_endpoint_diff(ends, count, grid, 0);
    EXPECT_EQ(columns(1), (Lines{"", "H", "30", "", "", ""}));
    EXPECT_EQ(columns(2), (Lines{"", "H", "23", "", "", ""}));
    find_endpoint_diff(ends, count, grid, 5);
    EXPECT_EQ(columns(1), (Lines{"", "H", "30", "", "", ""}));
    EXPECT_EQ(columns(2), (Lines{"", "K", "22", "1", "20", ""}));
}

}  // namespace
}  // namespace vtl

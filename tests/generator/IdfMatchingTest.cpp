// The IDF file read into joined lines with its origin, its log block, and the texts of the text
// records matched to the free pipe ends.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "generator/IdfMatching.h"
#include "generator/Variablen.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using test::errorOf;

using Lines = std::vector<std::string>;

std::string joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// --- Reading -------------------------------------------------------------------------------------

TEST(IdfFileTest, ContinuationLinesJoinTheLineBeforeAndTheLastOriginCounts) {
    IdfData idf;
    parseIdfText(
        idf,
        joined({"  -30 FIRST  ", "   -1 PART TWO   ", "", "   300  1  2  3  0  0  0  0  0  0  0  0",
                "         -1 stays a line of its own", "  -1   leads, so it continues",
                "   300  4.5  -2  0.25  0  0  0  0  0  0  0  0",
                "   300  9  9  9  0  0  0  0  0  0  0"}));
    ASSERT_EQ(idf.IdfLineCount, 5);
    EXPECT_EQ(idf.IdfLines,
              (Lines{"", "  -30 FIRSTPART TWO", "   300  1  2  3  0  0  0  0  0  0  0  0",
                     "         -1 stays a line of its own leads, so it continues",
                     "   300  4.5  -2  0.25  0  0  0  0  0  0  0  0",
                     "   300  9  9  9  0  0  0  0  0  0  0"}));
    // The last line has eleven fields only: no origin record.
    EXPECT_EQ(idf.IdfOriginX, 450000);
    EXPECT_EQ(idf.IdfOriginY, -200000);
    EXPECT_EQ(idf.IdfOriginZ, 25000);
}

TEST(IdfFileTest, WithoutAnOriginRecordTheOriginIsOneAndAFileStartsAfresh) {
    IdfData idf;
    parseIdfText(idf, joined({"   300  4  4  4  0  0  0  0  0  0  0  0", "a", "b"}));
    parseIdfText(idf, "   -1 nothing before it\n  -30 TEXT\n");
    EXPECT_EQ(idf.IdfLines, (Lines{"", "   -1 nothing before it", "  -30 TEXT"}));
    EXPECT_EQ(idf.IdfOriginX, 1);
    EXPECT_EQ(idf.IdfOriginY, 1);
    EXPECT_EQ(idf.IdfOriginZ, 1);
}

TEST(IdfFileTest, MoreThanTwentyThousandJoinedLinesAreTheRuntimesIndexError) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "   100\n   -1 more\n";
    IdfData idf;
    parseIdfText(idf, text);
    EXPECT_EQ(idf.IdfLineCount, 20000);
    EXPECT_EQ(errorOf([&] { parseIdfText(idf, text + "   100\n"); }).number(), 9);
}

TEST(IdfFileTest, TheDumpHoldsTheJoinedLines) {
    IdfData idf;
    parseIdfText(idf, "  -30 A\n   -1 B\n   100 1\n");
    EXPECT_EQ(idfDump(idf), (Lines{"======== Begin IDFFile ==========", "", "  -30 AB", "   100 1",
                                   "======== End IDFFile ============"}));
}

// --- Matching ------------------------------------------------------------------------------------

constexpr char kOrigin[] = "   300  0  0  0  0  0  0  0  0  0  0  0";

// A coordinate record: two points in IDF units, then five further fields.
std::string coordinates(const std::string& first, const std::string& second) {
    return "   100  " + first + "  " + second + "  150  0  0  0  1";
}

class IdfMatchTest : public ::testing::Test {
protected:
    void end(const std::string& x, const std::string& y, const std::string& z) {
        const int r = ++count;
        ends.set(r, 3, x);
        ends.set(r, 4, y);
        ends.set(r, 5, z);
    }
    void match(const Lines& lines) {
        parseIdfText(idf, joined(lines));
        matchIdfTexts(ends, count, idf, settings);
    }
    Lines texts() const {
        Lines values;
        for (int r = 1; r <= count; ++r) values.push_back(ends(r, 20));
        return values;
    }
    IdfData idf;
    RunTable ends;
    int32_t count = 0;
    IdfMatchSettings settings{1000, 0.01, 0, 0, 0};
};

TEST_F(IdfMatchTest, AnEndAtEitherPointOfACoordinateRecordNearATextRecordTakesItsText) {
    end("1.24", "2.61", "3.1");
    end("1.39", "2.61", "3.10");
    end("1.39", "2.61", "3.2");
    match({kOrigin, coordinates("124000  261000  310000", "139000  261000  310000"),
           "  -30   FLANGE$150NB$ A1B"});
    EXPECT_EQ(texts(), (Lines{"  FLANGE  150NB   A1B", "  FLANGE  150NB   A1B", ""}));
}

TEST_F(IdfMatchTest, TheWindowReachesSixLinesEitherSideWithinTheFile) {
    end("1", "1", "1");
    end("2", "2", "2");
    end("3", "3", "3");
    end("4", "4", "4");
    const std::string filler = "   200";
    Lines lines{"  -30 START", coordinates("100000  100000  100000", "0  0  0"),
                coordinates("200000  200000  200000", "0  0  0")};
    lines.insert(lines.end(), 5, filler);
    lines.push_back("  -31 MIDDLE");  // line 9
    lines.insert(lines.end(), 5, filler);
    lines.push_back(coordinates("300000  300000  300000", "0  0  0"));  // line 15
    lines.push_back(coordinates("400000  400000  400000", "0  0  0"));
    lines.insert(lines.end(), 6, filler);
    lines.push_back("  -30 END");  // line 23, the last
    match(lines);
    // Lines 3 and 15 lie six lines from MIDDLE, lines 2 and 16 seven.
    EXPECT_EQ(texts(), (Lines{"START", "MIDDLE", "MIDDLE", ""}));
}

TEST_F(IdfMatchTest, TheLastMatchingTextRecordWins) {
    end("1", "1", "1");
    match({"  -30 EARLIER", coordinates("100000  100000  100000", "0  0  0"), "  -30 LATER"});
    EXPECT_EQ(texts(), (Lines{"LATER"}));
    settings.TABaccuracy = 1e9;
    end("-500", "0", "8000");
    match({"  -30 ONE", coordinates("0  0  0", "0  0  0"), "  -30 TWO", "   200", "   200",
           "   200", "   200", "   200", "   200", "   200", "  -30 THREE"});
    EXPECT_EQ(texts(), (Lines{"TWO", "TWO"}));
}

TEST_F(IdfMatchTest, AShorterFileSeesNoLineOfTheFileBeforeIt) {
    end("1", "1", "1");
    Lines longer(10, "   200");
    longer[9] = coordinates("100000  100000  100000", "0  0  0");
    match(longer);
    match({"   200", "   200", "   200", "  -30 SHORT"});
    EXPECT_EQ(idf.IdfLines.size(), 5u);
    EXPECT_EQ(texts(), (Lines{""}));
}

TEST_F(IdfMatchTest, DistancesAreStrictlyBelowTheAccuracyAfterTheShiftAndTheOrigin) {
    end("1.24", "0", "0");
    end("1.74", "0", "0");
    end("1.26", "0", "0");
    match({kOrigin, coordinates("124400  0  0", "0  0  0"), "  -30 NEAR"});
    EXPECT_EQ(texts(), (Lines{"NEAR", "", ""}));
    settings.DVCS_X = 0.5;
    ends.set(1, 20, "");
    match({kOrigin, coordinates("124000  0  0", "0  0  0"), "  -30 SHIFTED"});
    EXPECT_EQ(texts(), (Lines{"", "SHIFTED", ""}));
    // Without an origin record every coordinate is one IDF unit further on.
    settings.DVCS_X = 0;
    match({coordinates("125999  0  0", "0  0  0"), "  -30 ORIGIN"});
    EXPECT_EQ(texts(), (Lines{"", "SHIFTED", "ORIGIN"}));
}

TEST_F(IdfMatchTest, OnlyRecordsWithTwelveFieldsNotStartingWithAMinusHoldCoordinates) {
    end("1", "1", "1");
    match({"  -99  100000  100000  100000  0  0  0  0  0  0  0  0", "  -30 MINUS",
           "   100  100000  100000  100000  0  0  0  0  0  0  0", "  -30 ELEVEN"});
    EXPECT_EQ(texts(), (Lines{""}));
}

TEST_F(IdfMatchTest, ACoordinateThatIsNoNumberFailsOnlyWhereItIsUsed) {
    const Lines lines{coordinates("100000  1O0000  100000", "0  0  0"), "  -30 TEXT"};
    match(lines);  // no pipe ends
    end("1", "1", "1");
    const Error e = errorOf([&] { match(lines); });
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.description(), "Type mismatch");
    const Lines far{coordinates("1O0000  0  0", "0  0  0"),
                    "",
                    "   200",
                    "   200",
                    "   200",
                    "   200",
                    "   200",
                    "   200",
                    "  -30 FAR"};
    match(far);
}

// --- The whole step ------------------------------------------------------------------------------

class SearchIdfTest : public ::testing::Test {
protected:
    SearchIdfTest() {
        resetRunState();
        s.isopath = dir.str() + "/";
        s.IsoName = "P1";
        s.logfile = (dir / "vtl.log").string();
    }
    ~SearchIdfTest() override { resetRunState(); }
    test::TempDir dir;
    RunState& s = Variablen();
};

TEST_F(SearchIdfTest, AMissingIdfFileIsNamedAndLeavesNoLinesOfTheFileBefore) {
    parseIdfText(s, "  -30 OLD\n");
    const Error e = errorOf([] { searchidf(); });
    EXPECT_EQ(e.description(), "IDF File not found  -  " + dir.str() + "/P1.idf");
    EXPECT_EQ(e.source(), "searchidf");
    EXPECT_TRUE(s.StepError);
    EXPECT_EQ(s.IdfLineCount, 0);
}

TEST_F(SearchIdfTest, TheFileIsDumpedToTheLogAndMatched) {
    s.Unitfactor = 1000;
    s.TABaccuracy = 0.01;
    s.LineEndCount = 1;
    s.LineEndTable.set(1, 3, "1");
    s.LineEndTable.set(1, 4, "2");
    s.LineEndTable.set(1, 5, "3");
    dir.write("P1.idf", std::string(kOrigin) + "\r\n" +
                            coordinates("100000  200000  300000", "0  0  0") +
                            "\r\n  -30 P1-E1\r\n");
    searchidf();
    EXPECT_EQ(s.LineEndTable(1, 20), "P1-E1");
    EXPECT_EQ(test::readFile(dir / "vtl.log"),
              "======== Begin IDFFile ==========\r\n\r\n" + std::string(kOrigin) + "\r\n" +
                  coordinates("100000  200000  300000", "0  0  0") +
                  "\r\n  -30 P1-E1\r\n======== End IDFFile ============\r\n");
}

}  // namespace
}  // namespace vtl

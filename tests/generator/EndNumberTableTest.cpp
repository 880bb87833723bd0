// The end-number table: its values, its log block, the key-ins that draw it into the open cover
// sheet and the run of the cover-sheet macro, against the recording MicroStation.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "StepTest.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "core/Error.h"
#include "generator/EndNumberTable.h"
#include "generator/Variablen.h"
#include "support/FakeMicroStation.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

TEST(TableValuesTest, OffsetsAndElevationAreScaledAndRoundedWithHalvesGoingUp) {
    RunTable t;
    t.set(1, 16, "A");
    t.set(1, 17, "2.5");
    t.set(1, 18, "1");
    t.set(1, 19, "-2.5");
    t.set(1, 5, "0.0125");
    tableValues(t, 1, 1, 0);
    EXPECT_EQ((Lines{t(1, 17), t(1, 19), t(1, 5)}), (Lines{"3", "-2", "0"}));
    t.set(1, 17, "0.0125");
    t.set(1, 19, "-0.00125");
    t.set(1, 5, "3.1");
    tableValues(t, 1, 1000, 1);
    EXPECT_EQ((Lines{t(1, 17), t(1, 19), t(1, 5)}), (Lines{"12.5", "-1.2", "3100"}));
}

TEST(TableValuesTest, AnEndWithoutAGridLineInEitherDirectionShowsNoGridLine) {
    RunTable t;
    t.set(1, 16, "A");
    t.set(1, 17, "2.5");
    t.set(1, 5, "3.1");
    t.set(2, 18, "1");
    t.set(2, 19, "4");
    t.set(2, 5, "3.1");
    tableValues(t, 2, 1, 2);
    for (int r : {1, 2}) {
        EXPECT_EQ((Lines{t(r, 16), t(r, 17), t(r, 18), t(r, 19), t(r, 5)}),
                  (Lines{"NO GRIDLINE", "", "NO GRIDLINE", "", ""}));
    }
}

TEST(TableValuesTest, ARoundingBeyondTheRangeOfNumbersIsAnOverflow) {
    RunTable t;
    t.set(1, 16, "A");
    t.set(1, 18, "1");
    t.set(1, 17, "1");
    try {
        tableValues(t, 1, 1, 400);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::Overflow);
    }
}

class PlaceTabelleTest : public test::StepTest {
protected:
    PlaceTabelleTest() {
        RunState& s = Variablen();
        s.isopath = dir.str() + "/";
        s.IsoName = "P1";
        s.ICSmacro = dir.write("icsmacro.bas", "Sub main\r\nEnd Sub\r\n").string();
        s.TABtextJustification = "LC";
        s.TABtextco = "2";
        s.TABtextlv = "21";
        s.TABtextwt = "0";
        s.TABtextlc = "0";
        s.TABtexttx = "3";
        s.TABtexttw = "2.5";
        s.TABtextft = "1";
        s.TABlineheight = "100";
        s.TABlinespacing = "-8";
        s.TABnumberpoint = "10";
        s.TABlabelpoint = "25";
        s.TABXpoint = "60";
        s.TABYpoint = "90";
        s.TABZpoint = "120";
        s.TABround = 2;
        s.TABfactor = 1;
    }
    // A free pipe end with its grid columns; "" leaves a grid column empty.
    void end(const Lines& kindRunXYZ, const Lines& grid, const std::string& idfText) {
        RunState& s = Variablen();
        const int r = ++s.LineEndCount;
        const int columns[] = {0, 1, 3, 4, 5};
        for (int i = 0; i < 5; ++i) s.LineEndTable.set(r, columns[i], kindRunXYZ[i]);
        for (int i = 0; i < 4; ++i) s.LineEndTable.set(r, 16 + i, grid[i]);
        s.LineEndTable.set(r, 20, idfText);
    }
    Lines macroKeyins() const {
        return {"rf=" + dir.str() + "/P1.i01,i01;reset", "macro " + Variablen().ICSmacro,
                "REFERENCE DETACH i01", "fit all;dx=0"};
    }
    std::string log() const { return test::readFile(Variablen().logfile); }
    // What the delete command of the compiled macro, which is not there, adds to the log.
    std::string noTwin() const { return "Could Not Find " + dir.str() + "/icsmacro.ba\r\n"; }
};

const char kSettings[] = "reset;ACTIVE TXJ LC;aa=0;co=2;lv=21;wt=0;lc=0;tw=2.5;tx=3;tw=2.5;ft=1";

TEST_F(PlaceTabelleTest, EachEndIsARowOfFiveTextsAtTheColumnsAndRowsGiven) {
    end({"FLAN", "R0001", "1.24", "2.61", "3.1"}, {"B", "3.456", "2", "-2.5"}, "  FLANGE  150NB ");
    end({"PIPE", "R0017", "28.24", "23.11", "3.1"}, {"C", "-0.25", "", ""}, "");
    placeTabelle();
    Lines expected{"set parseall off;file",
                   kSettings,
                   "place text;1;xy=10,100",
                   "place text;FLANGE  150NB;xy=25,100",
                   "place text;B  3.46;xy=60,100",
                   "place text;2  -2.5;xy=90,100",
                   "place text;3.1;xy=120,100",
                   "place text;2;xy=10,92",
                   "place text;;xy=25,92",
                   "place text;NO GRIDLINE;xy=60,92",
                   "place text;NO GRIDLINE;xy=90,92",
                   "place text;;xy=120,92",
                   "reset;select;reset"};
    const Lines macro = macroKeyins();
    expected.insert(expected.end(), macro.begin(), macro.end());
    EXPECT_EQ(fake->keyins, expected);
    EXPECT_FALSE(Variablen().StepError);
}

TEST_F(PlaceTabelleTest, TheLogBlockShowsEachRowInPrintZones) {
    end({"FLAN", "R0001", "1.24", "2.61", "3.1"}, {"B", "3.456", "2", "-2.5"}, "E1");
    placeTabelle();
    const auto b = [](int n) { return std::string(n, ' '); };
    EXPECT_EQ(log(), "======== Begin Endnumber ==========\r\n\r\n 1" + b(12) + "1.24" + b(10) +
                         "2.61" + b(10) + "3.1" + b(11) + "   Grid: B" + b(4) + "3.46" + b(10) +
                         "2" + b(13) + "-2.5" + b(10) + "E1" + b(12) + "Bauteil: FLAN" + b(1) +
                         "R0001\r\n======== End Endnumber ============\r\n" + noTwin());
}

TEST_F(PlaceTabelleTest, WithoutEndsTheTableIsEmptyAndTheMacroStillRuns) {
    placeTabelle();
    Lines expected{"set parseall off;file", kSettings, "reset;select;reset"};
    const Lines macro = macroKeyins();
    expected.insert(expected.end(), macro.begin(), macro.end());
    EXPECT_EQ(fake->keyins, expected);
    EXPECT_EQ(log(),
              "======== Begin Endnumber ==========\r\n\r\n"
              "======== End Endnumber ============\r\n" +
                  noTwin());
}

TEST_F(PlaceTabelleTest, TextsFromTheFilesArePlacedAsTextsNotAsFurtherKeyins) {
    end({"FLAN", "R0001", "1", "2", "3"}, {"A;B", "1", "2", "2"}, "P1;exit \xC4");
    placeTabelle();
    ASSERT_GE(fake->keyins.size(), 5u);
    EXPECT_EQ(fake->keyins[3], "place text;P1,exit \xC3\x84;xy=25,100");
    EXPECT_EQ(fake->keyins[4], "place text;A,B  1;xy=60,100");
}

TEST_F(PlaceTabelleTest, AMissingMacroFailsAfterTheTableIsDrawn) {
    for (const std::string& macro : {std::string(), dir.str() + "/none.bas"}) {
        fake->keyins.clear();
        Variablen().ICSmacro = macro;
        Variablen().StepError = false;
        try {
            placeTabelle();
            FAIL();
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 1);
            EXPECT_EQ(e.description(), "ICSmacro nicht vorhanden, siehe INI-File - " + macro);
            EXPECT_EQ(e.source(), "placeTabelle");
        }
        EXPECT_TRUE(Variablen().StepError);
        ASSERT_FALSE(fake->keyins.empty());
        EXPECT_EQ(fake->keyins.back(), "reset;select;reset");
    }
}

TEST_F(PlaceTabelleTest, OnlyTheCompiledTwinOfABasMacroIsDeletedBeforeItRuns) {
    const fs::path twin = dir.write("icsmacro.ba", "compiled");
    placeTabelle();
    EXPECT_FALSE(fs::exists(twin));
    EXPECT_TRUE(fs::exists(Variablen().ICSmacro));

    Variablen().ICSmacro = dir.write("cover.mac", "Sub main\r\nEnd Sub\r\n").string();
    const fs::path unrelated = dir.write("cover.ma", "the user's");
    fake->keyins.clear();
    placeTabelle();
    EXPECT_TRUE(fs::exists(unrelated));
    ASSERT_FALSE(fake->keyins.empty());
    EXPECT_EQ(fake->keyins[fake->keyins.size() - 3], "macro " + Variablen().ICSmacro);
}

}  // namespace
}  // namespace vtl

#include <gtest/gtest.h>

#include "common/mstnmacro.h"
#include "generator/OverviewDrawing.h"
#include "generator/Variablen.h"
#include "support/FakeMicroStation.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using Keyins = std::vector<std::string>;

class OverviewDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetRunState();
        fake = std::make_shared<test::FakeMicroStation>();
        MSTNApp = fake;
        Variablen().inifile = (dir / "project.ini").string();
    }
    void TearDown() override {
        MSTNApp.reset();
        resetRunState();
    }
    // Appends a TopoTable row: kind, run, x, y (z "0").
    int row(const std::string& kind, const std::string& run, const std::string& x,
            const std::string& y) {
        RunState& s = Variablen();
        int r = ++s.TopoCount;
        s.TopoTable.set(r, 0, kind);
        s.TopoTable.set(r, 1, run);
        s.TopoTable.set(r, 3, x);
        s.TopoTable.set(r, 4, y);
        s.TopoTable.set(r, 5, "0");
        return r;
    }
    void cellSettings(const std::string& minLineLength, const std::string& scale = "2") {
        std::string library = dir.write("marker.cel", "library").string();
        dir.write("project.ini", "[Cell]\r\nCELFile=" + library +
                                     "\r\nCellName=MARKER\r\nScaleFactor=" + scale +
                                     "\r\nMinLineLength=" + minLineLength + "\r\n");
    }
    // The key-ins between the opening "fit all;dx=0" and the closing save.
    Keyins drawn() const {
        if (fake->keyins.size() < 2) return {};
        return Keyins(fake->keyins.begin() + 1, fake->keyins.end() - 1);
    }

    test::TempDir dir;
    std::shared_ptr<test::FakeMicroStation> fake;
};

const char kSave[] = "reset;select;fit all;dx=0;reset;compress design;file";

TEST_F(OverviewDrawingTest, ARunThroughItsLeadingPointStartsOnceAndRedrawsFromTheLeadingPoint) {
    row("PIPE", "1", "5", "5");  // leading block: L
    Variablen().TopoBlockEnd = 1;
    row("PIPE", "1", "1", "1");
    row("PIPE", "1", "2", "2");
    row("PIPE", "1", "3", "3");
    leitung_einzeichnen(false);
    ASSERT_FALSE(fake->keyins.empty());
    EXPECT_EQ(fake->keyins.front(), "fit all;dx=0");
    EXPECT_EQ(fake->keyins.back(), kSave);
    EXPECT_EQ(drawn(), (Keyins{"reset;place lstring", "xy=1,1,0", "xy=5,5,0", "xy=2,2,0", "reset",
                               "xy=5,5,0", "xy=3,3,0"}));
}

TEST_F(OverviewDrawingTest, RunsWithoutLeadingPointsAndDifferentKeysStartTheirOwnLineStrings) {
    row("PIPE", "1", "1", "1");
    row("PIPE", "1", "2", "2");
    row("PIPE", "1", "3", "3");
    row("ELBO", "1", "4", "4");
    leitung_einzeichnen(false);
    EXPECT_EQ(drawn(), (Keyins{"reset;place lstring", "xy=1,1,0", "xy=2,2,0", "reset", "xy=3,3,0",
                               "reset;place lstring", "xy=4,4,0"}));
}

TEST_F(OverviewDrawingTest, FilteredRowsAreNotDrawnAndNeverJoinTwoRuns) {
    Variablen().NotUsedComponent = "FLANGE,VALVE";
    row("PIPE", "1", "1", "1");
    row("PIPE", "1", "2", "2");
    row("PIPE", "2", "0.00", "7");  // first row of run 2 filtered out
    row("PIPE", "2", "8", "8");
    row("Dash", "3", "9", "9");
    row("VALV", "4", "6", "6");    // "VALV" occurs inside "VALVE": suppressed
    row("flange", "5", "7", "7");  // case differs: drawn
    leitung_einzeichnen(false);
    EXPECT_EQ(drawn(), (Keyins{"reset;place lstring", "xy=1,1,0", "xy=2,2,0", "reset;place lstring",
                               "xy=8,8,0", "reset;place lstring", "xy=7,7,0"}));
}

// The filtered middle row's point is unknown: no segment runs from the first row across it to
// the third; the third is drawn from the leading point, as a further row of the run is.
TEST_F(OverviewDrawingTest, AFilteredRowInsideARunBreaksItsLineString) {
    row("PIPE", "1", "5", "5");  // leading block: L
    Variablen().TopoBlockEnd = 1;
    row("PIPE", "1", "1", "1");
    row("PIPE", "1", "0.00", "2");
    row("PIPE", "1", "3", "3");
    row("PIPE", "1", "4", "4");
    row("ELBO", "2", "6", "6");
    row("ELBO", "2", "7", "0.00");
    row("ELBO", "2", "8", "8");
    leitung_einzeichnen(false);
    EXPECT_EQ(drawn(), (Keyins{"reset;place lstring", "xy=1,1,0", "xy=5,5,0", "reset", "xy=5,5,0",
                               "xy=3,3,0", "reset", "xy=5,5,0", "xy=4,4,0", "reset;place lstring",
                               "xy=6,6,0", "reset", "xy=8,8,0"}));
}

TEST_F(OverviewDrawingTest, TheCellGoesToTheCentreOfASmallPipelineWithItsScale) {
    cellSettings("100");
    row("PIPE", "1", "0", "10");
    row("PIPE", "1", "30", "50");
    row("PIPE", "2", "0.00", "500");  // filtered: not in the extent
    leitung_einzeichnen(true);
    const std::string library = (dir / "marker.cel").string();
    Keyins expected{"RESET;ATTACH LIBRARY " + library + ";", "ACTIVE CELL MARKER;", "as=2;",
                    "xy=15,30;RESET;"};
    ASSERT_GE(fake->keyins.size(), 5u);
    Keyins tail(fake->keyins.end() - 5, fake->keyins.end() - 1);
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(fake->keyins.back(), kSave);
}

TEST_F(OverviewDrawingTest, NoCellForALongPipelineAMissingLimitOrWithoutTheCellOption) {
    row("PIPE", "1", "0", "0");
    row("PIPE", "1", "30", "40");  // diagonal exactly 50
    auto cellKeyins = [&] {
        int n = 0;
        for (const auto& k : fake->keyins) n += k.rfind("ACTIVE CELL", 0) == 0;
        return n;
    };
    cellSettings("50");
    leitung_einzeichnen(true);
    EXPECT_EQ(cellKeyins(), 0);
    cellSettings("not a number");
    leitung_einzeichnen(true);
    EXPECT_EQ(cellKeyins(), 0);
    // Words such as "inf" are no numbers of a setting either, nor is one beyond a double.
    for (const char* none : {"inf", "1e999"}) {
        cellSettings(none);
        leitung_einzeichnen(true);
        EXPECT_EQ(cellKeyins(), 0) << none;
    }
    // A number with an exponent is a number: 1e2 is 100.
    fake->keyins.clear();
    cellSettings("1e2");
    leitung_einzeichnen(true);
    EXPECT_EQ(cellKeyins(), 1);
    // A doubled sign is no number either: the scale "+-7" counts as none.
    fake->keyins.clear();
    cellSettings("100", "+-7");
    leitung_einzeichnen(true);
    EXPECT_EQ(cellKeyins(), 1);
    for (const auto& k : fake->keyins) EXPECT_NE(k.rfind("as=", 0), 0u) << k;
    fake->keyins.clear();
    cellSettings("50.5", "0");
    leitung_einzeichnen(false);
    EXPECT_EQ(cellKeyins(), 0);
    leitung_einzeichnen(true);
    EXPECT_EQ(cellKeyins(), 1);
    for (const auto& k : fake->keyins) EXPECT_NE(k.rfind("as=", 0), 0u) << k;
}

// A coordinate that no IDF row replaced reaches the key-ins as the header file has it.
TEST_F(OverviewDrawingTest, ACoordinateThatIsNoNumberFailsTheStepBeforeItIsSent) {
    row("PIPE", "1", "1", "1");
    row("PIPE", "1", "2;exit", "2");
    try {
        leitung_einzeichnen(false);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(),
                  "The coordinate of PIPE 1 in the header file '2;exit' cannot be sent to "
                  "MicroStation: a ';' would start a key-in of its own");
        EXPECT_EQ(e.source(), "leitung_einzeichnen");
    }
    EXPECT_TRUE(Variablen().StepError);
    EXPECT_EQ(fake->keyins, (Keyins{"fit all;dx=0", "reset;place lstring", "xy=1,1,0"}));

    // Neither a doubled sign nor a word the number conversion knows is a coordinate.
    for (const char* bad : {"+-7", "inf", "1,5", ""}) {
        resetRunState();
        MSTNApp = fake;
        row("PIPE", "1", "1", bad);
        EXPECT_THROW(leitung_einzeichnen(false), Error) << bad;
    }
}

TEST_F(OverviewDrawingTest, AFailedKeyinSetsStepErrorAndSkipsTheSave) {
    row("PIPE", "1", "1", "1");
    row("PIPE", "1", "2", "2");
    fake->failOnCall(3,
                     Error(462, "", "The remote server machine does not exist or is unavailable"));
    try {
        leitung_einzeichnen(false);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 462);
        EXPECT_EQ(e.source(), "leitung_einzeichnen");
    }
    EXPECT_TRUE(Variablen().StepError);
    for (const auto& k : fake->keyins) EXPECT_NE(k, kSave);
}

}  // namespace
}  // namespace vtl

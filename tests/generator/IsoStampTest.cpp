// The overview stamp into the iso drawings and the plot commands, against the recording
// MicroStation: which drawings are stamped, the key-ins of a stamp, plot names and command lines.
#include <gtest/gtest.h>

#include "RunDriverTestFakes.h"
#include "common/mstnmacro.h"
#include "generator/IsoDrawings.h"
#include "generator/IsoPlot.h"
#include "generator/OverviewCopies.h"
#include "generator/Variablen.h"
#include "support/FakeMicroStation.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using Keyins = std::vector<std::string>;

TEST(IsoDrawingsTest, OnlySheetsWithTwoDigitsAreListedInTheSameOrderEveryTime) {
    test::TempDir dir;
    for (const char* name : {"P1.i12", "P1.i1a", "P1.idf", "P1.I02", "P1.i01", "P1.i1", "P1.i001",
                             "P10.i01", "P1.vtl", "P1.h"}) {
        dir.write(name, "");
    }
    EXPECT_EQ(isoDrawingNames(dir.str() + "/", "P1"), (Keyins{"P1.i01", "P1.I02", "P1.i12"}));
    EXPECT_TRUE(isoDrawingNames((dir / "missing/").string(), "P1").empty());
}

TEST(IsoPlotTest, PlotNamesKeepTheSheetNumber) {
    EXPECT_EQ(plotName("/iso/x.i07"), "x_007");
    EXPECT_EQ(plotName("/iso/A-100.i03"), "A-100_003");
    EXPECT_EQ(plotName("/iso/x.ics"), "x_000");
    // The test for a cover sheet is case-sensitive.
    EXPECT_EQ(plotName("/iso/x.ICS"), "x_0CS");
    EXPECT_EQ(plotName("/iso folder/with blank.i01 "), "with blank_001");
    EXPECT_THROW(plotName("/iso/.i"), Error);
}

TEST(IsoPlotTest, TheCommandsOfAPlotQuoteEveryPath) {
    EXPECT_EQ(plotCommands("/iso/x.i07", "\\\\srv\\iso-a3", "/cfg/iparmfile.i", "/tmp/x_007.i"),
              (std::vector<PlotCommand>{
                  {"copy \"/cfg/iparmfile.i\" \"/tmp/x_007.i\"", true},
                  {"iplot modify -queue=\"\\\\srv\\iso-a3\" \"/tmp/x_007.i\"", true},
                  {"iplot modify -design=\"/iso/x.i07\" \"/tmp/x_007.i\"", true},
                  {"iplot generate \"/tmp/x_007.i\"", true},
                  {"iplot submit \"/tmp/x_007.i\"", true},
                  {"del \"/tmp/x_007.m\"", false},
              }));
    // A cover sheet is plotted without its references.
    EXPECT_EQ(plotCommands("/my iso/x.ics", "\\\\srv\\q", "/cfg/p.i", "/tmp/x_000.i")[3].command,
              "iplot modify -detach[iplot_all] \"/tmp/x_000.i\"");
    EXPECT_EQ(plotCommands("/iso/x.ICS", "\\\\srv\\q", "/cfg/p.i", "/tmp/x_0CS.i")[3].command,
              "iplot generate \"/tmp/x_0CS.i\"");
    // A quote cannot be carried through a command line.
    EXPECT_THROW(plotCommands("/iso/\"x\".i01", "q", "/cfg/p.i", "/tmp/x.i"), Error);
}

// The main window as the stamp sees it: MicroStation's title shows the file it opened last.
class StampHost : public test::FakeRunHost {
public:
    explicit StampHost(test::FakeMicroStation& ms) : ms_(ms) {}
    bool Window_exist(const std::string& text) override {
        return text::ifind("MicroStation - " + ms_.openFile(), text) != std::string::npos;
    }

private:
    test::FakeMicroStation& ms_;
};

class StampTest : public ::testing::Test {
protected:
    StampTest() {
        resetRunState();
        MSTNApp = fake;
        RunState& s = Variablen();
        s.ErrorList.emplace();
        s.logfile = (dir / "vtl.log").string();
        s.isopath = dir.str() + "/";
        s.IsoName = "P1001";
        s.VtlFile = s.isopath + "P1001.vtl";
        s.mstnseedview = "vtl";
        s.refscale = "1:1";
        s.refpoint = "102,60";
        s.pipelv = "10";
        s.delLevel = "10";
    }
    ~StampTest() override {
        MSTNApp.reset();
        resetRunState();
    }

    test::TempDir dir;
    std::shared_ptr<test::FakeMicroStation> fake = std::make_shared<test::FakeMicroStation>();
    StampHost host{*fake};
};

TEST_F(StampTest, EachIsoDrawingGetsTheOverviewAttachedCopiedDetachedAndSaved) {
    dir.write("P1001.i02", "");
    dir.write("P1001.i01", "");
    dir.write("P1001.idf", "");
    VTLhineinkopieren(host);
    const std::string p = dir.str() + "/";
    const Keyins stamp = {
        "lock fence void overlap;set weight on;selview all",
        "reference locate off all",
        "REFERENCE DETACH vtl",
        "rf=" + p + "P1001.vtl,vtl;Vistrel;vtl;1:1;xy=102,60",
        "reference locate on vtl",
        "lv=62;lv=10",
        "of=1-63;selview all",
        "on=10;selview all",
        "place fence;xy=0;dx=0.001",
        "fence change unlock;dx=0",
        "fence delete;dx=0",
        "fence copy;xy=0;dx=0;reset",
        "reference locate on all",
        "lv=63;on=1-63;selview all",
        "REFERENCE DETACH vtl",
        "lock fence inside;place fence;dx=0",
        "set fill off;selview all",
        "reset;fit all;dx=0;reset;compress design;file",
    };
    Keyins expected = {"newfile " + p + "P1001.i01"};
    expected.insert(expected.end(), stamp.begin(), stamp.end());
    expected.push_back("newfile " + p + "P1001.i02");
    expected.insert(expected.end(), stamp.begin(), stamp.end());
    EXPECT_EQ(fake->keyins, expected);
    EXPECT_EQ(Variablen().CurrentFile, p + "P1001.i02");
    EXPECT_FALSE(Variablen().StepError);
    EXPECT_FALSE(Variablen().RunError);
    EXPECT_TRUE(Variablen().ErrorList->empty());
}

TEST_F(StampTest, NoQueueGivenAsANetworkPathPlotsNothing) {
    dir.write("P1001.i01", "");
    std::filesystem::create_directory(dir / "tmp");
    test::ScopedEnv tmp("TMP", (dir / "tmp").string());
    for (const char* plotter : {"No Plot", "A4-local", "\\plotserver\\single"}) {
        host.plotter = plotter;
        VTLhineinkopieren(host);
        EXPECT_FALSE(Variablen().StepError);
    }
    EXPECT_TRUE(test::entryNames(dir / "tmp").empty());
    EXPECT_FALSE(isNetworkQueue("No Plot"));
    EXPECT_TRUE(isNetworkQueue("\\\\plotserver\\iso-a3"));
}

// A plot that does not reach the queue is named with its drawing, and the stamp goes on.
TEST_F(StampTest, ADrawingNotPlottedIsNamedInTheConclusion) {
    dir.write("P1001.i01", "");
    std::filesystem::create_directory(dir / "tmp");
    test::ScopedEnv tmp("TMP", (dir / "tmp").string());
    test::ScopedPlatformHome home;
    Variablen().IParmfile = (dir / "missing.i").string();
    host.plotter = "\\\\plotserver\\iso-a3";
    VTLhineinkopieren(host);

    EXPECT_FALSE(Variablen().StepError);
    EXPECT_TRUE(Variablen().RunError);
    EXPECT_EQ(*Variablen().ErrorList,
              Keyins{"#  " + dir.str() + "/P1001.i01  - Not plotted: copy \"" + dir.str() +
                     "/missing.i\" \"" + dir.str() + "/tmp/P1001_001.i\" - exit code 1"});
}

TEST_F(StampTest, AFailedKeyinEndsTheStampWithItsNameInTheSource) {
    dir.write("P1001.i01", "");
    dir.write("P1001.i02", "");
    fake->failOnCall(3, Error(err::AutomationError, "MicroStation", "Automation error"));
    try {
        VTLhineinkopieren(host);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::AutomationError);
        EXPECT_EQ(e.source(), "VTLhineinkopieren:MicroStation");
    }
    EXPECT_TRUE(Variablen().StepError);
    EXPECT_EQ(fake->keyins.size(), 2u);
    EXPECT_EQ(Variablen().CurrentFile, dir.str() + "/P1001.i01");
}

}  // namespace
}  // namespace vtl

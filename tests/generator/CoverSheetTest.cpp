// The line-end numbers and the cover sheet: their key-in sequences against the recording
// MicroStation, and the failures each reports in its own way.
#include <gtest/gtest.h>

#include <filesystem>

#include "RunDriverTestFakes.h"
#include "StepTest.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "generator/CoverSheet.h"
#include "generator/Variablen.h"
#include "support/ErrorOf.h"
#include "support/FakeMicroStation.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using Keyins = std::vector<std::string>;

void setEnd(RunTable& table, int row, const std::string& x, const std::string& y) {
    table.set(row, 0, "FLAN");
    table.set(row, 1, "R1");
    table.set(row, 3, x);
    table.set(row, 4, y);
    table.set(row, 5, "3.1");
}

class CoverSheetTest : public test::StepTest {
protected:
    CoverSheetTest() {
        RunState& s = Variablen();
        s.TmpFolder = (dir / "tmp").string();
        s.ErrorList.emplace();
        s.IsoName = "P1";
        s.VtlFile = dir.write("iso/P1.vtl", "overview").string();
        s.IcsFile = (dir / "iso/P1.ics").string();
        s.ICSseedfile = dir.write("seed/ics.dgn", "cover sheet seed").string();
        s.ICSrefscale = "1:2";
        s.ICSrefpoint = "100,50";
        s.I3DrefscaleScaled = "100:27";
        s.I3Drefscale = "100:1000";
        s.I3Drefpoint = "300,40";
        s.mstnseedview = "vtl";
        s.pipelv = "10";
        s.delLevel = "62";
    }

    std::string log() const { return test::readFile(Variablen().logfile); }

    // The line-end text settings of the built-in defaults.
    void defaultTextSettings() {
        RunState& s = Variablen();
        s.LENtextJustification = "CC";
        s.LENtextco = s.LENtextlv = s.LENtextwt = s.LENtextft = "1";
        s.LENtextlc = "0";
        s.LENtexttw = "4";
        s.LENtexttx = "5";
    }

    Keyins coverSheetKeyins(bool with3dView) const {
        Keyins k = {"newfile " + Variablen().IcsFile,
                    "lock fence void overlap;set weight on;selview all",
                    "reference locate off all"};
        if (with3dView) {
            k.push_back("REFERENCE DETACH i3d");
            k.push_back("rf=" + (dir / "tmp/I3D2D.dgn").string() +
                        ",i3d;Vistrel;i3d;100:27;xy=300,40");
        }
        const Keyins rest = {"REFERENCE DETACH vtl",
                             "rf=" + Variablen().VtlFile + ",vtl;Vistrel;vtl;1:2;xy=100,50",
                             "reference locate on vtl",
                             "lv=62;lv=10",
                             "of=1-63;selview all",
                             "on=62;selview all",
                             "place fence;xy=0;dx=0.001",
                             "fence change unlock;dx=0",
                             "fence delete;dx=0",
                             "fence copy;xy=0;dx=0;reset;select",
                             "reference locate on all",
                             "lv=63;on=1-63;selview all",
                             "REFERENCE DETACH vtl",
                             "REFERENCE DETACH i3d",
                             "lock fence inside;place fence;dx=0",
                             "set fill off;selview all",
                             "reset;fit all;dx=0;reset;select;compress design;file"};
        k.insert(k.end(), rest.begin(), rest.end());
        return k;
    }

    test::ShowingRunHost host;
};

TEST_F(CoverSheetTest, EachFreeEndGetsItsRowNumberAtItsPlace) {
    defaultTextSettings();
    RunState& s = Variablen();
    for (int row = 1; row <= 11; ++row) setEnd(s.LineEndTable, row, "1", "2");
    setEnd(s.LineEndTable, 12, "105.3", "-20.0");
    s.LineEndCount = 12;
    lineEndNumber(host);
    ASSERT_EQ(fake->keyins.size(), 14u);
    EXPECT_EQ(fake->keyins[0], "newfile " + s.VtlFile);
    EXPECT_EQ(fake->keyins[1], "reset;ACTIVE TXJ CC;aa=0;co=1;lv=1;wt=1;lc=0;tw=4;tx=5;tw=4;ft=1");
    EXPECT_EQ(fake->keyins[2], "place text;1;xy=1,2;reset");
    EXPECT_EQ(fake->keyins[13], "place text;12;xy=105.3,-20.0;reset");
    EXPECT_EQ(host.asked, std::vector<std::string>{"P1.vtl"});
    EXPECT_EQ(s.CurrentFile, s.VtlFile);
}

TEST_F(CoverSheetTest, NoFreeEndsLeaveOnlyTheOpeningAndTheSymbology) {
    defaultTextSettings();
    lineEndNumber(host);
    EXPECT_EQ(fake->keyins,
              (Keyins{"newfile " + Variablen().VtlFile,
                      "reset;ACTIVE TXJ CC;aa=0;co=1;lv=1;wt=1;lc=0;tw=4;tx=5;tw=4;ft=1"}));
}

TEST_F(CoverSheetTest, AnOverviewNotShownOrAnEndThatIsNoNumberFailsTheNumbers) {
    RunState& s = Variablen();
    host.shows = false;
    Error e = test::errorOf([this] { lineEndNumber(host); });
    EXPECT_EQ(e.description(), "Error opening " + s.VtlFile);
    EXPECT_EQ(e.source(), "lineEndNumber");
    EXPECT_TRUE(s.StepError);

    host.shows = true;
    setEnd(s.LineEndTable, 1, "1;exit", "2");
    s.LineEndCount = 1;
    e = test::errorOf([this] { lineEndNumber(host); });
    EXPECT_EQ(e.description(),
              "The coordinate of FLAN R1 in the header file '1;exit' cannot be sent to "
              "MicroStation: a ';' would start a key-in of its own");
    EXPECT_EQ(fake->keyins.back().find("place text"), std::string::npos);
}

TEST_F(CoverSheetTest, TheCoverSheetAttachesCopiesAndDetachesBothReferences) {
    RunState& s = Variablen();
    dir.write("iso/P1.ics", "the old cover sheet");
    s.createI3D = 1;
    s.I3d2dMade = true;
    IsoCoverSheet(host);
    EXPECT_EQ(fake->keyins, coverSheetKeyins(true));
    EXPECT_EQ(test::readFile(s.IcsFile), "cover sheet seed");
    EXPECT_EQ(host.asked, std::vector<std::string>{"P1.ics"});
    EXPECT_EQ(s.CurrentFile, s.IcsFile);
    EXPECT_TRUE(s.ErrorList->empty());
}

TEST_F(CoverSheetTest, WithoutTheThreeDViewOnlyItsDetachIsSent) {
    Variablen().createI3D = 0;
    IsoCoverSheet(host);
    EXPECT_EQ(fake->keyins, coverSheetKeyins(false));
}

// The working file in TMP may hold the view of an earlier header file: the cover sheet does not
// take it for this one's.
TEST_F(CoverSheetTest, AThreeDViewNotMadeForThisHeaderFileIsNotAttached) {
    RunState& s = Variablen();
    s.createI3D = 1;
    s.I3d2dMade = false;
    const Error e = test::errorOf([this] { IsoCoverSheet(host); });
    EXPECT_EQ(e.description(), s.IcsFile + " - Error occured");
    EXPECT_EQ(fake->keyins.back(), "REFERENCE DETACH i3d");
    EXPECT_NE(log().find("The 3-D view of P1 was not made, so it cannot be attached to the cover "
                         "sheet\r\n"),
              std::string::npos);
}

// The replacement description names only the file; its cause is logged before it. Outside a
// run MicroStation cannot be restarted, which the step goes past (the process tests see the
// restart).
TEST_F(CoverSheetTest, AFailureLogsItsCauseAndIsRaisedAsTheFilesError) {
    RunState& s = Variablen();
    const fs::path old = dir.write("iso/P1.ics", "the old cover sheet");
    fs::permissions(old, fs::perms::owner_read);
    const Error e = test::errorOf([this] { IsoCoverSheet(host); });
    EXPECT_EQ(e.number(), kOwnError);
    EXPECT_EQ(e.description(), s.IcsFile + " - Error occured");
    EXPECT_EQ(e.source(), "IsoCoverSheet");
    EXPECT_TRUE(s.StepError);
    EXPECT_EQ(*s.ErrorList, std::vector<std::string>{s.IcsFile + " - Error occured"});
    EXPECT_EQ(log(), "Can not delete old file  " + s.IcsFile + "\r\n");
    EXPECT_TRUE(fake->keyins.empty());
    EXPECT_EQ(test::readFile(old), "the old cover sheet");
}

}  // namespace
}  // namespace vtl

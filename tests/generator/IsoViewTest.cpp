// The 3-D iso view: the import factor with its log line, the label box, sort and layout worked by
// hand, and the whole key-in sequence of createI3Dfile against the recording MicroStation, whose
// 2-D conversion the test performs by writing the working file.
#include <gtest/gtest.h>

#include <filesystem>

#include "RunDriverTestFakes.h"
#include "StepTest.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "generator/IsoView.h"
#include "generator/Variablen.h"
#include "support/ErrorOf.h"
#include "support/FakeMicroStation.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using Keyins = std::vector<std::string>;
using test::FakeElement;

constexpr char kSave[] = "reset;select;fit all;dx=0;reset;compress design;file";

void setRow(RunTable& table, int row, const std::string& x, const std::string& y,
            const std::string& z) {
    table.set(row, 0, "PIPE");
    table.set(row, 1, "R1");
    table.set(row, 3, x);
    table.set(row, 4, y);
    table.set(row, 5, z);
}

class IsoViewTest : public test::StepTest {
protected:
    IsoViewTest() {
        RunState& s = Variablen();
        s.TmpFolder = (dir / "tmp").string();
        fs::create_directories(s.TmpFolder);
    }

    std::string log() const { return test::readFile(Variablen().logfile); }
    std::string working() const { return (dir / "tmp/I3D2D.dgn").string(); }

    // A pipeline of two points, two free ends, the sample's symbology and a factor of 2.
    void setUpDrawing() {
        RunState& s = Variablen();
        s.I3Dseedfile = dir.write("seed/i3d.dgn", "3-D seed").string();
        s.I3dFile = dir.write("iso/P1.I3D", "the old 3-D view").string();
        s.View_direction = "iso";
        s.pipelv = "10";
        s.pipeco = "3";
        s.pipewt = "2";
        s.pipelc = "0";
        s.I3DLENtextJustification = "CC";
        s.I3DLENtextco = s.I3DLENtextlv = s.I3DLENtextwt = s.I3DLENtextft = "1";
        s.I3DLENtextlc = "0";
        s.I3DLENtexttx = s.I3DLENtexttw = "0.01";
        s.i3dimportfaktor = 2;
        setRow(s.TopoTable, 1, "1", "2", "3");
        setRow(s.TopoTable, 2, "4", "5", "6");
        s.TopoCount = 2;
        setRow(s.LineEndTable, 1, "1", "2", "3");
        setRow(s.LineEndTable, 2, "7", "8", "9");
        s.LineEndCount = 2;
        dir.write("tmp/I3D2D.dgn", "the view of an earlier header file");
        fake->onKeyin = [this](const std::string& keyin) {
            if (keyin == "MDL LOAD cnvdgn") staleAtConversion = fs::exists(working());
            if (keyin == "MBE1 CLOSEMODAL OK" && converts) dir.write("tmp/I3D2D.dgn", "2-D");
        };
    }

    // The 3-D key-ins up to and including the conversion.
    Keyins drawingKeyins() const {
        const std::string tmp = (dir / "tmp").string();
        return {"newfile " + Variablen().I3dFile,
                "reset;view off all;view on 1;window arrange;view iso;selview 1;file",
                "lv=10;co=3;wt=2;lc=0",
                "fit all;dx=0",
                "reset;place lstring",
                "xy=1,2,3",
                "xy=4,5,6",
                kSave,
                "reset;fit all;selview 1;file;ACTIVE TXJ CC;aa=0;co=1;lv=1;wt=1;lc=0;tw=0.02;"
                "tx=0.02;tw=0.02;ft=1",
                "place text;1;xy=1,2,3;reset",
                "place text;2;xy=7,8,9;reset",
                kSave,
                "MDL LOAD cnvdgn",
                "MDL COMMAND MGDSHOOK,fileList_setFilterCmd *.dgn",
                "MDL COMMAND MGDSHOOK,fileList_setDirectoryCmd " + tmp + "/",
                "MDL COMMAND MGDSHOOK,fileList_setFileNameCmd I3D2D.dgn",
                "MBE1 CLOSEMODAL OK",
                "newfile " + working(),
                "RESET;"};
    }

    test::ShowingRunHost host;
    bool converts = true;
    bool staleAtConversion = true;
};

const Keyins kClosing = {"reset;choose all;lv=62;lv=10;change level;choose none",
                         "reset;view off all;view on 1;window arrange;fit all;selview 1;file",
                         "reset;save view i3d,i3d;selview 1;file"};

// --- The factor ----------------------------------------------------------------------------------

TEST_F(IsoViewTest, TheFactorIsTheLargestAxisRangeOverAThousandAndRescalesTheReferenceScale) {
    RunState& s = Variablen();
    // X: 100.5 and |-600.5| (range 500); Y: 200 and 1400 (1200), "12" too short and "0.00" zero;
    // Z: 50 and 350 (300).
    setRow(s.TopoTable, 1, "100.5", "200", "50");
    setRow(s.TopoTable, 2, "-600.5", "1400", "350");
    setRow(s.TopoTable, 3, "0.00", "12", "0.00");
    setRow(s.TopoTable, 4, "300", "0.00", "100");
    s.TopoCount = 4;
    s.I3Drefscale = "1:7";
    findI3DimportFaktor();
    EXPECT_DOUBLE_EQ(s.i3dimportfaktor, 1.2);
    EXPECT_EQ(s.I3DrefscaleScaled, "1:8.4");
    EXPECT_EQ(s.I3Drefscale, "1:7") << "the next header file starts from the configured scale";
    EXPECT_EQ(log(), "\r\ni3dimportfaktor = 1.2          Berechneter I3Drefscale = 1:8.4\r\n");

    // The next header file: Y range 2000 gives 2, from 1:7 again.
    setRow(s.TopoTable, 2, "-600.5", "2200", "350");
    findI3DimportFaktor();
    EXPECT_EQ(s.I3DrefscaleScaled, "1:14");
}

TEST_F(IsoViewTest, AScaleWithoutAColonAfterItsFirstCharacterStays) {
    EXPECT_EQ(scaledRefScale("1:7", 1.2), "1:8.4");
    EXPECT_EQ(scaledRefScale("100:1000", 0.027), "100:27");
    EXPECT_EQ(scaledRefScale("7", 1.2), "7");
    EXPECT_EQ(scaledRefScale(":7", 1.2), ":7");
    EXPECT_EQ(scaledRefScale("Im_INI-File_nicht_definiert", 1.2), "Im_INI-File_nicht_definiert");
    try {
        scaledRefScale("1:seven", 1.2);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 13);
    }
}

// A single point has no size: rather than a scale of "1:0" and labels of height 0, the configured
// values stay, and the log says why.
TEST_F(IsoViewTest, APipelineWithoutSizeKeepsTheConfiguredValuesAndSaysSo) {
    RunState& s = Variablen();
    setRow(s.TopoTable, 1, "150", "250", "350");
    s.TopoCount = 1;
    s.I3Drefscale = "1:7";
    findI3DimportFaktor();
    EXPECT_EQ(s.i3dimportfaktor, 1);
    EXPECT_EQ(s.I3DrefscaleScaled, "1:7");
    EXPECT_EQ(log(),
              "\r\nNo coordinate of the header file gives the size of the pipeline: the configured "
              "I3Drefscale and label sizes are used\r\n"
              "i3dimportfaktor = 1          Berechneter I3Drefscale = 1:7\r\n");
}

TEST_F(IsoViewTest, ACoordinateThatIsNoNumberFailsTheStep) {
    RunState& s = Variablen();
    setRow(s.TopoTable, 1, "150", "2x0", "350");
    s.TopoCount = 1;
    const Error e = test::errorOf(findI3DimportFaktor);
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.source(), "findI3DimportFaktor");
    EXPECT_TRUE(s.StepError);
    EXPECT_EQ(log(), "");
}

// --- Box, sort and layout ------------------------------------------------------------------------

// The first line string sets the box; a later one reaching past both of its sides widens both.
TEST(LabelBoxTest, EachEndWidensTheBoxOnBothSidesOfEachAxis) {
    LabelBox box;
    box.take({0, 0, 0}, {10, 10, 0});
    box.take({-5, 3, 0}, {20, 4, 0});
    box.take({2, 12, 0}, {3, -1, 0});
    EXPECT_EQ(box.minX, -5);
    EXPECT_EQ(box.maxX, 20);
    EXPECT_EQ(box.minY, -1);
    EXPECT_EQ(box.maxY, 12);
    box.grow(0.5);
    EXPECT_EQ(box.minX, -5.5);
    EXPECT_EQ(box.maxX, 20.5);
    EXPECT_EQ(box.minY, -1.5);
    EXPECT_EQ(box.maxY, 12.5);
}

TEST(SortArrayTest, HighestFirstAndEqualHeightsNotExchangedWithEachOther) {
    std::vector<TextLabel> labels = {{0, 10, "a"}, {0, 5, "b"}, {0, 8, "c"}};
    SortArray(labels);
    EXPECT_EQ(labels[0].Text + labels[1].Text + labels[2].Text, "acb");
    // i = 0 takes "y" (10); "x" and "z" (5 each) keep their order.
    labels = {{0, 5, "x"}, {0, 10, "y"}, {0, 5, "z"}};
    SortArray(labels);
    EXPECT_EQ(labels[0].Text + labels[1].Text + labels[2].Text, "yxz");
}

TEST(PlaceLabelsTest, EachColumnGoesDownFromThreeHeightsAboveItsFirstLabel) {
    LabelBox box;
    box.take({0, 0, 0}, {100, 50, 0});
    // All three nearer the upper right corner (100, 50); text height 2.
    const std::vector<TextLabel> sorted = {{90, 10, "1"}, {95, 8, "3"}, {92, 5, "2"}};
    const std::vector<LabelPlacement> placed = placeLabels(sorted, box, 2);
    ASSERT_EQ(placed.size(), 3u);
    const double heights[] = {16, 10, 4};
    for (size_t n = 0; n < 3; ++n) {
        EXPECT_EQ(placed[n].textX, 100);
        EXPECT_EQ(placed[n].leaderX, 99);
        EXPECT_EQ(placed[n].height, heights[n]);
    }
}

TEST(PlaceLabelsTest, ALabelAsFarFromBothCornersGoesLeftAndTheColumnsRunApart) {
    LabelBox box;
    box.take({0, 0, 0}, {100, 50, 0});
    const std::vector<TextLabel> sorted = {{90, 45, "r"}, {50, 25, "tie"}, {10, 5, "l"}};
    const std::vector<LabelPlacement> placed = placeLabels(sorted, box, 2);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(placed[0].textX, 100);
    EXPECT_EQ(placed[0].height, 51);
    EXPECT_EQ(placed[1].textX, 0);
    EXPECT_EQ(placed[1].leaderX, 1);
    EXPECT_EQ(placed[1].height, 31);
    EXPECT_EQ(placed[2].textX, 0);
    EXPECT_EQ(placed[2].height, 25);
}

// --- The drawings --------------------------------------------------------------------------------

TEST_F(IsoViewTest, TheViewIsDrawnConvertedAndItsLabelsLaidOutInTwoColumns) {
    setUpDrawing();
    // The converted drawing: texts "1" and "2", two line strings and a line that is no label box.
    fake->designs[working()] = {
        {.type = 17, .origin = {10, 20, 0}, .size = 60, .text = "1"},
        {.type = 4, .size = 52, .start = {0, 0, 0}, .end = {40, 25, 0}},
        {.type = 3, .size = 52, .start = {100, 100, 0}, .end = {200, 200, 0}},
        {.type = 17, .origin = {30, 5, 0}, .size = 60, .text = "2"},
        {.type = 4, .size = 60, .start = {5, -5, 0}, .end = {45, 30, 0}}};
    createI3Dfile(host);

    // Box -0.08 to 45.08 and -5.08 to 30.08 (the end points grown by 4 heights of 0.02). "1" at
    // (10, 20) is nearer the lower left corner, "2" at (30, 5) the upper right.
    Keyins expected = drawingKeyins();
    for (const char* keyin :
         {"RESET;",
          "MDL U SELECTBY;",
          "MDL L SELECTBY;",
          "SELECTBY LEVEL ALL;",
          "SELECTBY TYPE NONE;",
          "SELECTBY TYPE TEXT;",
          "SELECTBY OPTIONS SELECTION;",
          "SELECTBY MODE INCLUSIVE;",
          "SELECTBY EXECUTE;",
          "DELETE ELEMENT;",
          "DX=0;",
          "RESET;",
          "reset;fit all;selview 1;file;ACTIVE TXJ CC;aa=0;lv=1;wt=1;lc=0;tw=0.02;tx=0.02;tw=0.02;"
          "ft=1",
          "active style=0;active weight=0;active color=0;PLACE LINE;",
          "xy=10,20;",
          "xy=-0.07,20.06;RESET",
          "lc=0;wt=1;co=1;place text;1;xy=-0.08,20.06;reset",
          "active style=0;active weight=0;active color=0;PLACE LINE;",
          "xy=30,5;",
          "xy=45.07,5.06;RESET",
          "lc=0;wt=1;co=1;place text;2;xy=45.08,5.06;reset",
          kSave}) {
        expected.push_back(keyin);
    }
    expected.insert(expected.end(), kClosing.begin(), kClosing.end());
    EXPECT_EQ(fake->keyins, expected);
    EXPECT_EQ(host.asked, (std::vector<std::string>{"P1.I3D", "I3D2D.dgn"}));
    EXPECT_EQ(test::readFile(Variablen().I3dFile), "3-D seed");
    EXPECT_FALSE(staleAtConversion) << "the earlier working file is gone before the conversion";
    EXPECT_EQ(Variablen().CurrentFile, working());
    EXPECT_TRUE(Variablen().I3d2dMade);
}

TEST_F(IsoViewTest, WithoutTextsNothingIsDeletedOrLaidOut) {
    setUpDrawing();
    fake->designs[working()] = {{.type = 4, .size = 52, .start = {0, 0, 0}, .end = {40, 25, 0}}};
    createI3Dfile(host);
    Keyins expected = drawingKeyins();
    expected.insert(expected.end(), kClosing.begin(), kClosing.end());
    EXPECT_EQ(fake->keyins, expected);
}

// A ";" would end the key-in and run the rest of the text as a key-in of its own.
TEST_F(IsoViewTest, ATextHoldingASemicolonIsPlacedWithACommaAndLogged) {
    setUpDrawing();
    fake->designs[working()] = {{.type = 17, .origin = {10, 20, 0}, .size = 60, .text = "A;exit"}};
    createI3Dfile(host);
    ASSERT_GE(fake->keyins.size(), 5u);
    const std::string text = fake->keyins[fake->keyins.size() - 5];
    EXPECT_EQ(text, "lc=0;wt=1;co=1;place text;A,exit;xy=0.08,20.06;reset");
    EXPECT_NE(log().find("The text 'A;exit' of the 3-D view is placed as 'A,exit': a key-in "
                         "cannot carry a ';'\r\n"),
              std::string::npos);
}

TEST_F(IsoViewTest, AConversionThatWritesNothingFailsInsteadOfUsingAnOlderView) {
    setUpDrawing();
    converts = false;
    const Error e = test::errorOf([this] { createI3Dfile(host); });
    EXPECT_EQ(e.number(), kOwnError);
    EXPECT_EQ(e.description(),
              "The 2-D conversion of " + Variablen().I3dFile + " did not write " + working());
    EXPECT_EQ(e.source(), "createI3Dfile");
    EXPECT_TRUE(Variablen().StepError);
    EXPECT_FALSE(Variablen().I3d2dMade);
    EXPECT_FALSE(fs::exists(working()));
    EXPECT_EQ(fake->keyins.back(), "MBE1 CLOSEMODAL OK");
}

TEST_F(IsoViewTest, AnOldViewThatCannotBeDeletedStopsTheStepBeforeAnythingIsDrawn) {
    setUpDrawing();
    fs::permissions(Variablen().I3dFile, fs::perms::owner_read);
    const Error e = test::errorOf([this] { createI3Dfile(host); });
    EXPECT_EQ(e.description(), "Can not delete old file  " + Variablen().I3dFile);
    EXPECT_EQ(e.source(), "createI3Dfile");
    EXPECT_TRUE(fake->keyins.empty());
    EXPECT_EQ(Variablen().CurrentFile, Variablen().I3dFile);
}

TEST_F(IsoViewTest, AMissingSeedOrAViewNotShownFailsTheStep) {
    setUpDrawing();
    const std::string seed = Variablen().I3Dseedfile;
    fs::remove(seed);
    EXPECT_EQ(test::errorOf([this] { createI3Dfile(host); }).description(),
              "File not found " + seed);
    EXPECT_TRUE(fake->keyins.empty());

    dir.write("seed/i3d.dgn", "3-D seed");
    host.shows = false;
    EXPECT_EQ(test::errorOf([this] { createI3Dfile(host); }).description(),
              "Error opening " + Variablen().I3dFile);
    EXPECT_EQ(fake->keyins, Keyins{"newfile " + Variablen().I3dFile});
}

}  // namespace
}  // namespace vtl

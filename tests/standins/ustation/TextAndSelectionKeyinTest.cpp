// Texts in the active text settings, lines, and SELECTBY with DELETE ELEMENT, run on a session
// and read back by GDAL's ogrinfo and through the element walk.
#include <filesystem>

#include "EngineFixture.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

using vtl::test::ofType;
using vtl::test::OgrFeature;
using vtl::test::ogrFeatures;

using TextAndSelectionKeyinTest = EngineTest;

// The text settings the line-end numbers take: centre-centre, width 4, size 5 (which sets the
// width too, so the width follows it again), font 1.
TEST_F(TextAndSelectionKeyinTest, TextsTakeTheActiveSizeFontAndJustification) {
    open(newFile("text.dgn"));
    app->MbeSendCommand("ACTIVE TXJ CC;aa=0;co=1;lv=20;wt=1;lc=0;tw=4;tx=5;tw=4;ft=1");
    app->MbeSendCommand("place text;12;xy=100,50;reset");
    // Left bottom, size 5 alone: width and height 5.
    app->MbeSendCommand("active txj lb;tx=5;place text;7;xy=10,10;reset");

    const std::vector<OgrFeature> texts = ofType(ogrFeatures(dir / "text.dgn"), 17);
    ASSERT_EQ(texts.size(), 2u);
    // "12" is 2 x 4 wide and 5 high; its centre is the point: lower left 96, 47.5.
    EXPECT_EQ(texts[0].field("Text"), "12");
    EXPECT_EQ(texts[0].coordinates(), (std::vector<double>{96, 47.5}));
    EXPECT_EQ(texts[0].number("Level"), 20);
    // GDAL names font 1 "WORKING".
    EXPECT_NE(texts[0].style.find("f:WORKING"), std::string::npos) << texts[0].style;
    EXPECT_EQ(texts[1].coordinates(), (std::vector<double>{10, 10}));

    // The element walk gives the point the text was placed at, as far as the stored sizes (in
    // thousandths of 6 UORs) tell it.
    auto e = app->MbeElement();
    std::vector<mstn::Point> origins;
    for (int32_t p = e->fromFile(0); p >= 0; p = e->fromFile(p + e->fileSize())) {
        mstn::Point origin;
        if (e->Type() == 17 && e->GetOrigin(origin) == 0) origins.push_back(origin);
    }
    ASSERT_EQ(origins.size(), 2u);
    EXPECT_NEAR(origins[0].x, 100, 1e-6);
    EXPECT_NEAR(origins[0].y, 50, 1e-6);
    EXPECT_NEAR(origins[1].x, 10, 1e-6);
}

// Turned by 90 degrees about its lower left corner, "AB" (width 1, height 2) centred at (10, 10)
// has its lower left corner at (11, 9).
TEST_F(TextAndSelectionKeyinTest, TheActiveAngleTurnsTheTextAboutItsPoint) {
    open(newFile("angle.dgn"));
    app->MbeSendCommand("active txj cc;th=2;tw=1;aa=90;place text;AB;xy=10,10;reset");
    const std::vector<OgrFeature> texts = ofType(ogrFeatures(dir / "angle.dgn"), 17);
    ASSERT_EQ(texts.size(), 1u);
    const std::vector<double> at = texts[0].coordinates();
    ASSERT_EQ(at.size(), 2u);
    EXPECT_NEAR(at[0], 11, 1e-3);
    EXPECT_NEAR(at[1], 9, 1e-3);
    EXPECT_NE(texts[0].style.find("a:90"), std::string::npos) << texts[0].style;
}

TEST_F(TextAndSelectionKeyinTest, BadTextSettingsAreRefusedAndKeepTheActiveValues) {
    open(newFile("bad.dgn"));
    app->MbeSendCommand("tx=2;active txj XX;tx=0;tw=-1;ft=256;aa=east");
    app->MbeSendCommand("place text;A;xy=0,0;reset");
    const std::vector<OgrFeature> texts = ofType(ogrFeatures(dir / "bad.dgn"), 17);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].coordinates(), (std::vector<double>{0, 0}));
    EXPECT_NE(texts[0].style.find("s:2.000g"), std::string::npos) << texts[0].style;
    EXPECT_TRUE(journalHas("note key-in ignored, no such justification: ACTIVE TXJ XX"));
    EXPECT_TRUE(journalHas("note key-in ignored, the value is not a positive number: tx=0"));
    EXPECT_TRUE(journalHas("note key-in ignored, not a number: aa=east"));
}

// The leaders of the 3-D view's labels: each "PLACE LINE" with two points is one line, in the
// symbology the long forms of the settings set.
TEST_F(TextAndSelectionKeyinTest, PlaceLineDrawsLinesInTheSettingsOfTheLongForms) {
    open(newFile("line.dgn"));
    app->MbeSendCommand("co=5;wt=3;lc=2");
    app->MbeSendCommand("active style=0;active weight=0;active color=0;PLACE LINE;");
    app->MbeSendCommand("xy=1,2;");
    app->MbeSendCommand("xy=-3.5,4;RESET");
    app->MbeSendCommand("place line;xy=0,0;xy=1,0;xy=1,1;reset;xy=9,9");

    const std::vector<OgrFeature> lines = ofType(ogrFeatures(dir / "line.dgn"), 3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].coordinates(), (std::vector<double>{1, 2, -3.5, 4}));
    EXPECT_EQ(lines[0].number("ColorIndex"), 0);
    EXPECT_EQ(lines[0].number("Weight"), 0);
    EXPECT_EQ(lines[0].number("Style"), 0);
    EXPECT_EQ(lines[1].coordinates(), (std::vector<double>{0, 0, 1, 0}));
    EXPECT_EQ(lines[2].coordinates(), (std::vector<double>{1, 0, 1, 1}));
}

// The label layout's deletion of every text: SELECTBY chooses them, DELETE ELEMENT deletes them.
TEST_F(TextAndSelectionKeyinTest, SelectByTextsAndDeleteElementRemoveOnlyTheTexts) {
    open(newFile("select.dgn"));
    app->MbeSendCommand("lv=3;place lstring;xy=0,0;xy=5,5;reset;place text;1;xy=1,1;reset");
    app->MbeSendCommand("lv=4;place text;2;xy=2,2;reset;place node;N;xy=3,3;reset");
    for (const char* keyin :
         {"RESET;", "MDL U SELECTBY;", "MDL L SELECTBY;", "SELECTBY LEVEL ALL;",
          "SELECTBY TYPE NONE;", "SELECTBY TYPE TEXT;", "SELECTBY OPTIONS SELECTION;",
          "SELECTBY MODE INCLUSIVE;", "SELECTBY EXECUTE;", "DELETE ELEMENT;", "DX=0;", "RESET;"}) {
        app->MbeSendCommand(keyin);
    }
    const std::vector<OgrFeature> features = ogrFeatures(dir / "select.dgn");
    EXPECT_EQ(ofType(features, 4).size(), 1u);
    // The node's line is a component of the node, not a text of its own.
    const std::vector<OgrFeature> texts = ofType(features, 17);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].field("Text"), "N");
    EXPECT_TRUE(journalHas("note SELECTBY selected 2 elements"));
}

TEST_F(TextAndSelectionKeyinTest, SelectByNeedsItsApplicationAndHonoursLevelsAndMode) {
    open(newFile("levels.dgn"));
    app->MbeSendCommand("lv=3;place line;xy=0,0;xy=1,1;reset;lv=4;place line;xy=2,2;xy=3,3;reset");
    app->MbeSendCommand("SELECTBY EXECUTE;DELETE ELEMENT");
    EXPECT_TRUE(journalHas("note key-in ignored, SELECTBY is not loaded: SELECTBY EXECUTE"));
    app->MbeSendCommand(
        "MDL LOAD SELECTBY;SELECTBY LEVEL NONE;SELECTBY LEVEL 3;SELECTBY MODE "
        "EXCLUSIVE;SELECTBY EXECUTE;DELETE ELEMENT");
    const std::vector<OgrFeature> lines = ofType(ogrFeatures(dir / "levels.dgn"), 3);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].number("Level"), 3);
    app->MbeSendCommand("SELECTBY TYPE ROUND");
    EXPECT_TRUE(journalHas("note key-in ignored, no such element type: SELECTBY TYPE ROUND"));
}

}  // namespace
}  // namespace vtl::ustation::test

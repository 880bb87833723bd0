// Key-ins run on a session without a socket; GDAL's ogrinfo reads back what they drew.
#include <algorithm>
#include <filesystem>

#include "EngineFixture.h"
#include "core/Error.h"
#include "dgn/DesignFile.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;
using vtl::test::ofType;
using vtl::test::OgrFeature;
using vtl::test::ogrFeatures;

using KeyinCommandTest = EngineTest;

TEST_F(KeyinCommandTest, DrawsLineStringTextAndTextNodeWithTheActiveSymbology) {
    open(newFile("draw.dgn"));
    app->MbeSendCommand("lv=5;co=3;wt=2;lc=1;place lstring;xy=1,2;xy=3.5,4;dx=1,-1;reset");
    app->MbeSendCommand("LV=7;CO=4;WT=0;LC=0;PLACE TEXT;Hello world;XY=10,20;reset");
    app->MbeSendCommand("lv=9;co=6;nn=12;place node;First line;Second line;xy=30,40;NULL");

    std::vector<OgrFeature> features = ogrFeatures(dir / "draw.dgn");
    std::vector<OgrFeature> strings = ofType(features, 4);
    ASSERT_EQ(strings.size(), 1u);
    EXPECT_EQ(strings[0].number("Level"), 5);
    EXPECT_EQ(strings[0].number("ColorIndex"), 3);
    EXPECT_EQ(strings[0].number("Weight"), 2);
    EXPECT_EQ(strings[0].number("Style"), 1);
    EXPECT_EQ(strings[0].coordinates(), (std::vector<double>{1, 2, 3.5, 4, 4.5, 3}));

    std::vector<OgrFeature> texts = ofType(features, 17);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].field("Text"), "Hello world");
    EXPECT_EQ(texts[0].number("Level"), 7);
    EXPECT_EQ(texts[0].number("ColorIndex"), 4);
    EXPECT_EQ(texts[0].coordinates(), (std::vector<double>{10, 20}));
    EXPECT_EQ(texts[1].field("Text"), "First line");
    EXPECT_EQ(texts[2].field("Text"), "Second line");
    for (int i : {1, 2}) {
        EXPECT_EQ(texts[i].number("Level"), 9);
        EXPECT_EQ(texts[i].number("ColorIndex"), 6);
        EXPECT_EQ(texts[i].coordinates()[0], 30);
    }
    EXPECT_GT(texts[1].coordinates()[1], texts[2].coordinates()[1]);
}

TEST_F(KeyinCommandTest, ResetAndOtherCommandsEndTheLineStringOnlyFromTwoPoints) {
    open(newFile("ends.dgn"));
    app->MbeSendCommand("place lstring;xy=0,0;xy=1,1;reset;xy=2,2;xy=3,3");
    app->MbeSendCommand("place text;T;xy=5,5");  // the next command ends the second string
    app->MbeSendCommand("place lstring;xy=9,9;reset;NULL;xy=7,7;xy=8,8");  // one point: nothing

    std::vector<OgrFeature> features = ogrFeatures(dir / "ends.dgn");
    std::vector<OgrFeature> strings = ofType(features, 4);
    ASSERT_EQ(strings.size(), 2u);
    EXPECT_EQ(strings[0].coordinates(), (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(strings[1].coordinates(), (std::vector<double>{2, 2, 3, 3}));
    EXPECT_EQ(ofType(features, 17).size(), 1u);
    EXPECT_EQ(features.size(), 3u);
}

TEST_F(KeyinCommandTest, TextIsTakenOnlyRightAfterPlaceText) {
    open(newFile("text.dgn"));
    // After the reset, "select" and "fit all" are no new text, and the data point "dx=0",
    // taken by the view command, places nothing.
    app->MbeSendCommand("place text;12;xy=1,1;reset;select;fit all;dx=0;reset");
    app->MbeSendCommand("place text;;xy=3,3");  // an empty text places nothing

    std::vector<OgrFeature> texts = ofType(ogrFeatures(dir / "text.dgn"), 17);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].field("Text"), "12");
    EXPECT_FALSE(journalHas("UNKNOWN keyin fit all"));
}

TEST_F(KeyinCommandTest, ParseAllIsASettingThatLeavesTheReadingOfKeyinsAlone) {
    open(newFile("parseall.dgn"));
    app->MbeSendCommand("set parseall off;place text;PIPE;xy=2,2;place text;fit all;xy=3,3;reset");
    app->MbeSendCommand("set parseall on;place text;reset;xy=4,4");

    std::vector<OgrFeature> texts = ofType(ogrFeatures(dir / "parseall.dgn"), 17);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].field("Text"), "PIPE");
    EXPECT_FALSE(journalHas("UNKNOWN keyin set parseall off"));
    EXPECT_FALSE(journalHas("UNKNOWN keyin set parseall on"));
}

TEST_F(KeyinCommandTest, ANodeWhoseLinesWouldLeaveTheDesignPlaneIsNotPlaced) {
    open(newFile("edge.dgn"));
    app->MbeSendCommand("nn=4;place node;A;B;xy=0,-214748");  // the second line falls off
    EXPECT_TRUE(ofType(ogrFeatures(dir / "edge.dgn"), 17).empty());
    EXPECT_TRUE(journalHas("note node not placed, its lines leave the design plane"));
    app->MbeSendCommand("xy=0,-214740");
    std::vector<OgrFeature> texts = ofType(ogrFeatures(dir / "edge.dgn"), 17);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].field("Text"), "B");
    dgn::DesignFile design = dgn::DesignFile::open(dir / "edge.dgn");
    for (const dgn::Record& r : design.records()) {
        if (const auto* node = std::get_if<dgn::TextNodeBody>(&r.element.body)) {
            EXPECT_EQ(node->nodeNumber, 4);  // the node that was not placed took no number
        }
    }
}

TEST_F(KeyinCommandTest, ThreeDimensionalFilesKeepZAndTwoDimensionalOnesDropIt) {
    open(newFile("flat.dgn"));
    app->MbeSendCommand("place lstring;xy=1,2,3;xy=4,5,6;reset");
    open(newFile("deep.dgn", true));
    app->MbeSendCommand("place lstring;xy=1,2,3;xy=4,5,6;dx=1,1,1;reset");

    std::vector<OgrFeature> flat = ofType(ogrFeatures(dir / "flat.dgn"), 4);
    ASSERT_EQ(flat.size(), 1u);
    EXPECT_EQ(flat[0].kind(), "LINESTRING");
    EXPECT_EQ(flat[0].coordinates(), (std::vector<double>{1, 2, 4, 5}));
    std::vector<OgrFeature> deep = ofType(ogrFeatures(dir / "deep.dgn"), 4);
    ASSERT_EQ(deep.size(), 1u);
    EXPECT_EQ(deep[0].coordinates(), (std::vector<double>{1, 2, 3, 4, 5, 6, 5, 6, 7}));
}

TEST_F(KeyinCommandTest, DrawsIntoSeedFilesWrittenElsewhereInTheirOwnUnits) {
    for (const char* seed : {"seed_2d.dgn", "seed_3d.dgn"}) {
        fs::path file = dir / seed;
        fs::copy_file(fs::path("/usr/share/gdal") / seed, file);
        open(file);
        app->MbeSendCommand("place lstring;xy=1.25,2,3;xy=-4,5.5,6;reset");
        std::vector<OgrFeature> strings = ofType(ogrFeatures(file), 4);
        ASSERT_EQ(strings.size(), 1u) << seed;
        std::vector<double> expected = {1.25, 2, -4, 5.5};
        if (std::string(seed) == "seed_3d.dgn") expected = {1.25, 2, 3, -4, 5.5, 6};
        EXPECT_EQ(strings[0].coordinates(), expected) << seed;
    }
}

TEST_F(KeyinCommandTest, DataPointsAndResetsFromMembersActLikeKeyins) {
    open(newFile("members.dgn"));
    app->MbeSendCommand("place lstring");
    app->mbeSendDataPoint({1, 1, 0});
    app->mbeSendDataPoint({2, 3, 0});
    app->MbeSendReset();
    std::vector<OgrFeature> strings = ofType(ogrFeatures(dir / "members.dgn"), 4);
    ASSERT_EQ(strings.size(), 1u);
    EXPECT_EQ(strings[0].coordinates(), (std::vector<double>{1, 1, 2, 3}));
}

TEST_F(KeyinCommandTest, JournalHoldsEveryKeyinInOrderWithUnknownOnesMarked) {
    app->MbeSendCommand("reset;  RENDER PHONG ;;place lstring;");
    app->MbeSendkeyin("xy=1.5,2");
    app->MbeSendCommand("lv=99");
    std::vector<std::string> lines = journalLines();
    std::vector<std::string> expected = {"keyin reset", "keyin RENDER PHONG",
                                         "UNKNOWN keyin RENDER PHONG", "keyin place lstring",
                                         "keyin xy=1.5,2"};
    ASSERT_GE(lines.size(), expected.size() + 2);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), expected);
    EXPECT_EQ(lines.back(),
              "note key-in ignored, the value is not a whole number from 1 to 63: lv=99");
}

TEST_F(KeyinCommandTest, InvalidSettingsKeepTheActiveValues) {
    open(newFile("keep.dgn"));
    app->MbeSendCommand("lv=4;co=2;lv=0;co=abc;wt=32;lc=8;place lstring;xy=0,0;xy=1,0;reset");
    std::vector<OgrFeature> strings = ofType(ogrFeatures(dir / "keep.dgn"), 4);
    ASSERT_EQ(strings.size(), 1u);
    EXPECT_EQ(strings[0].number("Level"), 4);
    EXPECT_EQ(strings[0].number("ColorIndex"), 2);
    EXPECT_EQ(strings[0].number("Weight"), 0);
    EXPECT_EQ(strings[0].number("Style"), 0);
}

TEST_F(KeyinCommandTest, NewfileRefusesBadFilesAndKeepsThePreviousFile) {
    fs::path good = newFile("good.dgn");
    open(good);
    std::string seed = vtl::test::readFile(good);
    std::string wrongLength = seed;
    wrongLength[1536 + 3] = 0x7F;  // the second element claims more words than the file holds
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"text.dgn", "this is no design file at all"},
        {"short.dgn", seed.substr(0, 1600)},
        {"length.dgn", wrongLength},
    };
    for (const auto& [name, content] : bad) {
        fs::path file = dir.write(name, content);
        try {
            open(file);
            ADD_FAILURE() << name << " was opened";
        } catch (const Error& e) {
            EXPECT_NE(e.description().find(name), std::string::npos) << e.description();
        }
        EXPECT_EQ(app->designFile(), good.string());
        EXPECT_EQ(vtl::test::readFile(file), content) << name;
    }
    dgn::DesignFile::createLibrary(dir / "cells.cel", dgn::Dimension::Two);
    EXPECT_THROW(open(dir / "cells.cel"), Error);
    EXPECT_THROW(open(dir / "missing.dgn"), Error);
    EXPECT_EQ(app->designFile(), good.string());
    std::vector<std::string> lines = journalLines();
    EXPECT_EQ(
        lines.back().rfind("note key-in failed: newfile " + (dir / "missing.dgn").string(), 0), 0u);
}

TEST_F(KeyinCommandTest, NewfileTakesPathsWithBlanks) {
    fs::path file = newFile("with blanks in name.dgn");
    app->MbeSendCommand("NEWFILE   " + file.string());
    EXPECT_EQ(app->designFile(), file.string());
}

TEST_F(KeyinCommandTest, SaveKeepsTheActiveSettingsWithTheFile) {
    fs::path first = newFile("first.dgn");
    open(first);
    app->MbeSendCommand("lv=12;co=7;wt=3;lc=2;filedesign");
    open(newFile("second.dgn"));
    app->MbeSendCommand("lv=1;co=1");
    open(first);
    app->MbeSendCommand("place lstring;xy=0,0;xy=1,1;reset");
    std::vector<OgrFeature> strings = ofType(ogrFeatures(first), 4);
    ASSERT_EQ(strings.size(), 1u);
    EXPECT_EQ(strings[0].number("Level"), 12);
    EXPECT_EQ(strings[0].number("ColorIndex"), 7);
    EXPECT_EQ(strings[0].number("Weight"), 3);
    EXPECT_EQ(strings[0].number("Style"), 2);
}

TEST_F(KeyinCommandTest, CompressRemovesDeletedElements) {
    fs::path file = newFile("compress.dgn");
    open(file);
    app->MbeSendCommand("place text;old;xy=0,0;reset");
    auto element = app->MbeElement();
    int32_t position = element->fromFile(0);
    while (position >= 0 && element->Type() != 17)
        position = element->fromFile(position + element->fileSize());
    ASSERT_GE(position, 0);
    element->setString("a longer text than before");
    element->Rewrite();  // grows: the old text stays as a deleted element
    auto deletedIn = [&] {
        dgn::DesignFile design = dgn::DesignFile::open(file);
        const auto& records = design.records();
        return std::count_if(records.begin(), records.end(),
                             [](const dgn::Record& r) { return r.element.deleted; });
    };
    ASSERT_EQ(deletedIn(), 1);
    app->MbeSendCommand("compress;file");
    EXPECT_EQ(deletedIn(), 0);
    std::vector<OgrFeature> texts = ofType(ogrFeatures(file), 17);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].field("Text"), "a longer text than before");
}

TEST_F(KeyinCommandTest, ExitAndQuitEndTheSessionAndNothingRunsAfterExit) {
    open(newFile("exit.dgn"));
    EXPECT_FALSE(app->quitRequested());
    app->MbeSendCommand("place lstring;xy=0,0;xy=1,1;exit;xy=2,2");
    EXPECT_TRUE(app->quitRequested());
    std::vector<OgrFeature> strings = ofType(ogrFeatures(dir / "exit.dgn"), 4);
    ASSERT_EQ(strings.size(), 1u);  // exit ended the command, which made the element
    EXPECT_EQ(strings[0].coordinates(), (std::vector<double>{0, 0, 1, 1}));
    EXPECT_NE(journalLines().back(), "keyin xy=2,2");

    auto other = createSession(journal);
    other->Quit();
    EXPECT_TRUE(other->quitRequested());
}

TEST_F(KeyinCommandTest, ConfigurationVariablesNameTheShippedColorTableAndDataFolder) {
    fs::path table = app->MbeGetConfigVar("MS_DEFCTBL");
    EXPECT_EQ(table.parent_path().parent_path(), home.path());
    EXPECT_EQ(fs::file_size(table), 768u);
    std::string data = app->MbeGetConfigVar("ms_data");
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_EQ(fs::path(data + "color.tbl"), table);
    EXPECT_EQ(app->MbeGetConfigVar("MS_NOTDEFINED"), "");
    std::string bytes = vtl::test::readFile(table);
    EXPECT_EQ(bytes.substr(0, 3), std::string("\xff\xff\xff"));     // 0 white
    EXPECT_EQ(bytes.substr(9, 3), std::string("\xff\x00\x00", 3));  // 3 red
}

TEST_F(KeyinCommandTest, VisibleKeepsWhatWasSet) {
    EXPECT_EQ(app->Visible(), 1);
    app->setVisible(0);
    EXPECT_EQ(app->Visible(), 0);
    app->setVisible(-1);
    EXPECT_EQ(app->Visible(), 1);
}

}  // namespace
}  // namespace vtl::ustation::test

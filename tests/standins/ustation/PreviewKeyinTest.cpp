// The key-ins the configuration wizard's previews send, each string one call as the wizard
// sends it: the scratch level cleared through a fence over the whole view, a sample line
// deleted where it starts, lines of three-number points in a 2-D file, and the redraw. GDAL's
// ogrinfo reads back what is left.
#include <filesystem>

#include "EngineFixture.h"
#include "Tools.h"
#include "engine/SessionApplication.h"
#include "engine/Views.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;
using vtl::test::OgrFeature;
using vtl::test::ogrFeatures;

class PreviewKeyinTest : public EngineTest {
protected:
    // A sheet: its border on level 1 from (0, 0) to (420, 297), and a note on level 40.
    fs::path sheet() {
        const fs::path file = newFile("sheet.dgn");
        open(file);
        app->MbeSendCommand("lv=1;co=0;place lstring;xy=0,0;xy=420,0;xy=420,297;reset");
        app->MbeSendCommand("lv=40;place text;NOTE;xy=100,100;null");
        return file;
    }
    // What the journal marks: unknown key-ins and key-ins ignored or failed.
    std::vector<std::string> marked() const {
        std::vector<std::string> found;
        for (const std::string& line : journalLines()) {
            if (line.rfind("UNKNOWN", 0) == 0 || line.find("ignored") != std::string::npos ||
                line.find("failed") != std::string::npos) {
                found.push_back(line);
            }
        }
        return found;
    }
    // Each element as "type@level", and a line's points.
    std::vector<std::string> elements(const fs::path& file) {
        std::vector<std::string> found;
        for (const OgrFeature& f : ogrFeatures(file)) {
            found.push_back(f.field("Type") + "@" + f.field("Level"));
            if (f.field("Type") == "3") found.back() += " " + f.geometry;
        }
        return found;
    }
    void clearScratch(const std::string& level) {
        app->MbeSendCommand("NULL;LV=" + level + ";OF=1-63;SELVIEW ALL;ON=" + level +
                            ";SELVIEW ALL;");
        app->MbeSendCommand(
            "LOCK FENCE OVERLAP;PLACE FENCE ALLFILES;SELVIEW ALL;FENCE DELETE;DX=0;ON=1-63;"
            "SELVIEW ALL;PLACE FENCE;NULL");
    }
};

TEST_F(PreviewKeyinTest, ScratchClearingDeletesEverythingOnItsLevelAndShowsAllLevelsAgain) {
    const fs::path file = sheet();
    app->MbeSendCommand("NULL;CO=3;LV=40;LC=2;WT=4;TX=2;TW=2");
    app->MbeSendCommand("NULL;LV=40;PLACE TEXT;1;XY=210,148.5;LV=7;NULL");
    app->MbeSendCommand("NULL;PLACE LINE;XY=0,0;XY=420,297;NULL");  // level 7 now
    ASSERT_EQ(elements(file),
              (std::vector<std::string>{"4@1", "17@40", "17@40", "3@7 LINESTRING (0 0,420 297)"}));
    clearScratch("40");
    EXPECT_EQ(elements(file), (std::vector<std::string>{"4@1", "3@7 LINESTRING (0 0,420 297)"}));
    EXPECT_EQ(marked(), std::vector<std::string>{});
    // Every level shows again in every view.
    auto& session = dynamic_cast<SessionApplication&>(*app);
    for (int level = 1; level <= 63; ++level) {
        EXPECT_TRUE(levelShown(session.views()[0].levels, level)) << level;
        EXPECT_TRUE(levelShown(session.views()[7].levels, level)) << level;
    }
    // The fence is gone: a fence delete now takes nothing.
    app->MbeSendCommand("FENCE DELETE;DX=0");
    EXPECT_EQ(elements(file).size(), 2u);
}

// The pipe preview's line starts at the drawing's lower left corner, where the border starts
// too: the newer element there, the sample line, is the one deleted.
TEST_F(PreviewKeyinTest, TheSampleLineIsDeletedAtItsStartAndTheBorderStays) {
    const fs::path file = sheet();
    app->MbeSendCommand("NULL;CO=3;LV=40;LC=2;WT=4");
    app->MbeSendCommand("NULL;PLACE LINE;XY=0,0;XY=420,297;NULL");
    const std::vector<OgrFeature> drawn = ogrFeatures(file);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[2].number("ColorIndex"), 3);
    EXPECT_EQ(drawn[2].number("Style"), 2);
    EXPECT_EQ(drawn[2].number("Weight"), 4);
    app->MbeSendCommand("NULL;DELETE ELEMENT;XY=0,0;DX=0");
    EXPECT_EQ(elements(file), (std::vector<std::string>{"4@1", "17@40"}));
    app->MbeSendCommand("FIT ALL;UPDATE ALL");
    EXPECT_EQ(marked(), std::vector<std::string>{});
}

// The cross over the overview seed's extent that the 3-D view's 2-D copy gets: points of three
// numbers, of which a 2-D file keeps x and y.
TEST_F(PreviewKeyinTest, LinesOfThreeNumberPointsLieFlatInA2dFile) {
    const fs::path file = newFile("I3D2D.dgn");
    open(file);
    app->MbeSendCommand("NULL;CO=1;LV=40;LC=0;WT=0");
    app->MbeSendCommand("NULL;PLACE LINE;XY=10,10,10;XY=4010,2510,4010;NULL");
    app->MbeSendCommand("NULL;PLACE LINE;XY=4010,10,10;XY=10,2510,4010;NULL");
    EXPECT_EQ(elements(file), (std::vector<std::string>{"3@40 LINESTRING (10 10,4010 2510)",
                                                        "3@40 LINESTRING (4010 10,10 2510)"}));
    EXPECT_EQ(marked(), std::vector<std::string>{});
}

// The marker cell lies on the scratch level it is placed on, so clearing that level removes it
// with its elements, which keep their own level (5) and colour.
TEST_F(PreviewKeyinTest, AMarkerCellPlacedOnTheScratchLevelIsClearedWithIt) {
    const fs::path source = newFile("marker.dgn");
    open(source);
    app->MbeSendCommand("lv=5;co=2;wt=1;place lstring;xy=-1,0;xy=1,0;reset");
    const fs::path library = dir / "marker.cel";
    makeCell(library.string(), "MARKER", source.string());
    const fs::path file = sheet();
    for (const char* scale : {"0.5", "2"}) {
        app->MbeSendCommand("NULL;LV=63;ATTACH LIBRARY " + library.string() + ";");
        app->MbeSendCommand("ACTIVE CELL MARKER;");
        app->MbeSendCommand(std::string("as=") + scale + ";");
        app->MbeSendCommand("XY=210,148.5;NULL");
    }
    const std::vector<OgrFeature> cells = ogrFeatures(file);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[2].number("Level"), 5);
    EXPECT_EQ(cells[2].number("ColorIndex"), 2);
    EXPECT_EQ(cells[3].coordinates(), (std::vector<double>{208, 148.5, 212, 148.5}));
    clearScratch("63");
    EXPECT_EQ(elements(file), (std::vector<std::string>{"4@1", "17@40"}));
    EXPECT_EQ(marked(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vtl::ustation::test

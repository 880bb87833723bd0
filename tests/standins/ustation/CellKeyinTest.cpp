// Cells and the selection set: the key-ins that attach a cell library, place its cells, choose
// elements and change their level, and the tool that makes a cell from a design file. GDAL's
// ogrinfo reads back what they wrote.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "EngineFixture.h"
#include "Tools.h"
#include "core/Error.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;
using vtl::test::OgrFeature;
using vtl::test::ogrFeatures;

struct Symbology {
    int level, color, weight;
};

void expectDrawn(const OgrFeature& f, Symbology s, const std::vector<double>& coordinates) {
    EXPECT_EQ(f.number("Level"), s.level) << f.geometry;
    EXPECT_EQ(f.number("ColorIndex"), s.color) << f.geometry;
    EXPECT_EQ(f.number("Weight"), s.weight) << f.geometry;
    EXPECT_EQ(f.coordinates(), coordinates) << f.geometry;
}

std::vector<const dgn::CellBody*> cellHeaders(const dgn::DesignFile& design) {
    std::vector<const dgn::CellBody*> cells;
    for (const dgn::Record& r : design.records()) {
        const auto* cell = std::get_if<dgn::CellBody>(&r.element.body);
        if (cell && !r.element.deleted) cells.push_back(cell);
    }
    return cells;
}

class CellKeyinTest : public EngineTest {
protected:
    // A cell library with the cell MARKER drawn by key-ins on level 5, colour 2, weight 1: a
    // cross of two line strings through the origin and a text, made with the cell tool.
    fs::path markerLibrary(const std::string& name = "marker.cel") {
        const fs::path source = newFile("marker-" + name + ".dgn");
        open(source);
        app->MbeSendCommand("lv=5;co=2;wt=1;place lstring;xy=-1,0;xy=1,0;reset");
        app->MbeSendCommand("place lstring;xy=0,-1;xy=0,1;reset;place text;M;xy=0.5,0.5;null");
        const fs::path library = dir / name;
        makeCell(library.string(), "Marker", source.string());
        return library;
    }

    size_t unknownKeyins() const {
        const std::vector<std::string> lines = journalLines();
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [](const auto& l) {
            return l.rfind("UNKNOWN", 0) == 0 || l.rfind("note key-in failed", 0) == 0;
        }));
    }
};

// The key-ins the run driver and the overview drawing send, each string one call.
TEST_F(CellKeyinTest, OverviewKeyinsDrawThePipeAndPlaceTheScaledMarkerAtItsPoint) {
    const fs::path library = markerLibrary();
    const fs::path overview = newFile("overview.dgn");
    for (const std::string& keyins : {
             "newfile " + overview.string(),
             std::string("fit all;selview all;reset;file"),
             std::string("lv=10;co=3;wt=2;lc=0"),
             std::string("choose all;change level;choose none"),
             std::string("fit all;dx=0"),
             std::string("reset;place lstring"),
             std::string("xy=0,0,0"),
             std::string("xy=10,2,0"),
             std::string("reset"),
             "RESET;ATTACH LIBRARY " + library.string() + ";",
             std::string("ACTIVE CELL MARKER;"),
             std::string("as=2.5;"),
             std::string("xy=5,1;RESET;"),
             std::string("reset;select;fit all;dx=0;reset;compress design;file"),
         }) {
        app->MbeSendCommand(keyins);
    }

    const std::vector<OgrFeature> features = ogrFeatures(overview);
    ASSERT_EQ(features.size(), 4u);  // the pipe, and the cell's three elements once
    expectDrawn(features[0], {10, 3, 2}, {0, 0, 10, 2});
    expectDrawn(features[1], {5, 2, 1}, {2.5, 1, 7.5, 1});
    expectDrawn(features[2], {5, 2, 1}, {5, -1.5, 5, 3.5});
    expectDrawn(features[3], {5, 2, 1}, {6.25, 2.25});
    EXPECT_EQ(features[3].field("Text"), "M");
    EXPECT_EQ(unknownKeyins(), 0u);

    const dgn::DesignFile design = dgn::DesignFile::open(overview);
    const auto cells = cellHeaders(design);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0]->name, "MARKER");
    EXPECT_EQ(cells[0]->origin, design.header().toUors(5, 1));
    EXPECT_EQ(cells[0]->transform[0], std::lround(2.5 * dgn::kTransformUnit));
    EXPECT_EQ(cells[0]->transform[4], std::lround(2.5 * dgn::kTransformUnit));
    const dgn::DesignFile source = dgn::DesignFile::open(dir / "marker-marker.cel.dgn");
    auto textHeight = [](const dgn::DesignFile& file) {
        for (const dgn::Record& r : file.records()) {
            if (const auto* text = std::get_if<dgn::TextBody>(&r.element.body)) {
                return text->heightMult;
            }
        }
        return 0;
    };
    EXPECT_EQ(textHeight(design), std::lround(2.5 * textHeight(source)));
}

TEST_F(CellKeyinTest, UnknownCellsAndUnusableLibrariesPlaceNothingAndAreJournaled) {
    const fs::path library = markerLibrary();
    const fs::path drawing = newFile("drawing.dgn");
    const fs::path text = dir.write("notes.cel", "no cell library");
    open(drawing);
    app->MbeSendCommand("ACTIVE CELL marker;xy=1,1");  // no library yet
    app->MbeSendCommand("ATTACH LIBRARY " + drawing.string());
    app->MbeSendCommand("ATTACH LIBRARY " + text.string() + ";xy=2,2");
    app->MbeSendCommand("ATTACH LIBRARY " + (dir / "missing.cel").string() + ";xy=3,3");
    EXPECT_TRUE(ogrFeatures(drawing).empty());
    EXPECT_TRUE(journalHas("note cell marker not placed, no cell library is attached"));
    EXPECT_EQ(vtl::test::readFile(text), "no cell library");

    // The active cell is kept while the library lacks it, and placed from the next one.
    const fs::path other = markerLibrary("with blanks in name.cel");
    const fs::path empty = dir / "empty.cel";
    dgn::DesignFile::createLibrary(empty, dgn::Dimension::Two);
    app->MbeSendCommand("newfile " + drawing.string());
    app->MbeSendCommand("ATTACH LIBRARY " + library.string() + ";ACTIVE CELL VTLMARK;xy=4,4");
    app->MbeSendCommand("ATTACH LIBRARY " + empty.string() + ";ACTIVE CELL Marker;xy=5,5");
    EXPECT_TRUE(ogrFeatures(drawing).empty());
    EXPECT_TRUE(journalHas("note cell VTLMARK not placed, the library " + library.string() +
                           " has no such cell"));
    app->MbeSendCommand("ATTACH LIBRARY   " + other.string() + ";xy=6,6");
    const std::vector<OgrFeature> features = ogrFeatures(drawing);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0].coordinates(), (std::vector<double>{5, 6, 7, 6}));
    EXPECT_EQ(unknownKeyins(), 0u);
    const std::vector<std::string> lines = journalLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const auto& l) {
                                return l.rfind("note cell library not attached: ", 0) == 0;
                            }),
              3);
}

TEST_F(CellKeyinTest, ResetEndsPlacingAndViewCommandsTakeTheDataPointsMeanwhile) {
    const fs::path library = markerLibrary();
    const fs::path drawing = newFile("views.dgn");
    open(drawing);
    app->MbeSendCommand("ATTACH LIBRARY " + library.string() + ";ACTIVE CELL MARKER");
    app->MbeSendCommand("fit all;dx=0;xy=7,7;selview 1");  // views picked, nothing placed
    app->MbeSendCommand("reset;xy=10,0");  // the reset ends the view command: placed here
    app->MbeSendCommand("reset;xy=20,0");  // this reset ends placing
    app->MbeSendCommand("select;xy=30,0");

    const std::vector<OgrFeature> features = ogrFeatures(drawing);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0].coordinates(), (std::vector<double>{9, 0, 11, 0}));
    EXPECT_EQ(unknownKeyins(), 0u);
}

TEST_F(CellKeyinTest, ActiveScaleTakesOneOrTwoPositiveFactors) {
    const fs::path library = markerLibrary();
    const fs::path drawing = newFile("scale.dgn");
    open(drawing);
    app->MbeSendCommand("as=2,0.5;as=0;as=-1;as=abc;as=1,2,3;as=");
    app->MbeSendCommand("ATTACH LIBRARY " + library.string() + ";ACTIVE CELL MARKER;xy=0,0");
    const std::vector<OgrFeature> features = ogrFeatures(drawing);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0].coordinates(), (std::vector<double>{-2, 0, 2, 0}));
    EXPECT_EQ(features[1].coordinates(), (std::vector<double>{0, -0.5, 0, 0.5}));
    EXPECT_TRUE(
        journalHas("note key-in ignored, the scale is not one or two positive numbers: "
                   "as=1,2,3"));
}

TEST_F(CellKeyinTest, ChangeLevelMovesTheChosenElementsAtOnceAndKeepsTheirSymbology) {
    const fs::path library = markerLibrary();
    const fs::path drawing = newFile("levels.dgn");
    open(drawing);
    app->MbeSendCommand("lv=3;co=4;wt=2;place lstring;xy=0,0;xy=1,1;reset");
    app->MbeSendCommand("lv=7;co=1;nn=3;place node;A;B;xy=5,5;null");
    app->MbeSendCommand("ATTACH LIBRARY " + library.string() + ";ACTIVE CELL MARKER;xy=9,9");
    const std::string stateBefore = vtl::test::readFile(drawing);
    app->MbeSendCommand("lv=12;choose all;change level;choose none");
    app->MbeSendCommand("lv=20;change level");  // nothing chosen: nothing changes

    const std::vector<OgrFeature> features = ogrFeatures(drawing);  // read without a save
    ASSERT_EQ(features.size(), 6u);
    for (const OgrFeature& f : features) EXPECT_EQ(f.number("Level"), 12) << f.geometry;
    EXPECT_EQ(features[0].number("ColorIndex"), 4);
    EXPECT_EQ(features[1].field("Text"), "A");
    EXPECT_EQ(features[3].number("ColorIndex"), 2);  // the cell's own colour
    // Changed in place: the file did not grow.
    EXPECT_EQ(vtl::test::readFile(drawing).size(), stateBefore.size());
    EXPECT_TRUE(journalHas("note no level changed, no element is chosen"));
    EXPECT_EQ(unknownKeyins(), 0u);
}

// A text line deleted on its own inside its node (as other programs delete one) does not come
// back when the node changes level.
TEST_F(CellKeyinTest, ChangeLevelLeavesADeletedComponentDeleted) {
    const fs::path drawing = newFile("deleted-line.dgn");
    open(drawing);
    app->MbeSendCommand("lv=7;nn=3;place node;A;B;C;xy=5,5;null");
    open(newFile("other.dgn"));
    uint64_t lineB = 0;
    const dgn::DesignFile written = dgn::DesignFile::open(drawing);
    for (const dgn::Record& r : written.records()) {
        const std::string* text = dgn::textOf(r.element);
        if (text && *text == "B") lineB = r.position;
    }
    ASSERT_GT(lineB, 0u);
    std::string bytes = vtl::test::readFile(drawing);
    bytes[lineB + 1] = static_cast<char>(bytes[lineB + 1] | 0x80);
    dir.write("deleted-line.dgn", bytes);

    open(drawing);
    app->MbeSendCommand("lv=12;choose all;change level;choose none");
    const std::vector<OgrFeature> features = ogrFeatures(drawing);
    ASSERT_EQ(features.size(), 2u);
    EXPECT_EQ(features[0].field("Text"), "A");
    EXPECT_EQ(features[1].field("Text"), "C");
    for (const OgrFeature& f : features) EXPECT_EQ(f.number("Level"), 12) << f.geometry;
    EXPECT_TRUE(dgn::DesignFile::open(drawing).at(lineB)->element.deleted);
}

TEST_F(CellKeyinTest, SavedFileKeepsTheLibraryCellAndScale) {
    const fs::path library = markerLibrary();
    const fs::path first = newFile("first.dgn");
    open(first);
    app->MbeSendCommand("ATTACH LIBRARY " + library.string() + ";ACTIVE CELL marker;as=3;file");
    open(newFile("second.dgn"));
    open(first);
    app->MbeSendCommand("ACTIVE CELL marker;xy=0,0");
    const std::vector<OgrFeature> features = ogrFeatures(first);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0].coordinates(), (std::vector<double>{-3, 0, 3, 0}));
}

using MakeCellTest = CellKeyinTest;

TEST_F(MakeCellTest, MakesA2DLibraryAroundTheGlobalOriginAndReplacesACellOfTheSameName) {
    // GDAL's seed has feet and a global origin far from the UORs' zero.
    const fs::path seed = dir / "seed_2d.dgn";
    fs::copy_file("/usr/share/gdal/seed_2d.dgn", seed);
    open(seed);
    app->MbeSendCommand("lv=4;co=6;place lstring;xy=1,1;xy=2,1;reset");
    const fs::path library = dir / "made.cel";
    makeCell(library.string(), "pipe", seed.string());
    const double uors = dgn::DesignFile::open(seed).header().uorPerMaster();
    std::vector<OgrFeature> cells = ogrFeatures(library);  // a library has no units: UORs
    ASSERT_EQ(cells.size(), 1u);
    expectDrawn(cells[0], {4, 6, 0}, {uors, uors, 2 * uors, uors});
    EXPECT_EQ(dgn::DesignFile::open(library).dimension(), dgn::Dimension::Two);

    app->MbeSendCommand("place lstring;xy=0,0;xy=0,3;reset");
    makeCell(library.string(), "OTHER", seed.string());
    makeCell(library.string(), "PIPE", seed.string());
    const dgn::DesignFile made = dgn::DesignFile::open(library);
    std::vector<std::string> names;
    for (const dgn::Record& r : made.records()) {
        if (const auto* cell = std::get_if<dgn::CellLibraryBody>(&r.element.body)) {
            names.push_back(cell->name);
        }
        EXPECT_FALSE(r.element.deleted);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"OTHER", "PIPE"}));
    EXPECT_EQ(ogrFeatures(library).size(), 4u);
}

TEST_F(MakeCellTest, RefusesWhatCannotBecomeACellAndLeavesTheLibraryAsItWas) {
    const fs::path library = markerLibrary();
    const std::string before = vtl::test::readFile(library);
    const fs::path empty = newFile("empty.dgn");
    const fs::path deep = newFile("deep.dgn", true);
    open(deep);
    app->MbeSendCommand("place lstring;xy=0,0,0;xy=1,1,1;reset");
    const fs::path flat = dir / "marker-marker.cel.dgn";
    const std::vector<std::vector<std::string>> refused = {
        {library.string(), "VTLMARK", flat.string()},  // longer than a cell name can be
        {library.string(), "A-B", flat.string()},
        {library.string(), " ", flat.string()},
        {library.string(), "EMPTY", empty.string()},
        {library.string(), "DEEP", deep.string()},  // a 3-D cell for a 2-D library
        {library.string(), "SELF", library.string()},
        {library.string(), "GONE", (dir / "missing.dgn").string()},
        {flat.string(), "MARKER", deep.string()},  // a design file is no library
    };
    const std::string flatBefore = vtl::test::readFile(flat);
    for (const auto& args : refused) {
        EXPECT_THROW(makeCell(args[0], args[1], args[2]), Error) << args[1];
    }
    EXPECT_EQ(vtl::test::readFile(library), before);
    EXPECT_EQ(vtl::test::readFile(flat), flatBefore);
    EXPECT_FALSE(fs::exists(dir / "new.cel"));
    EXPECT_THROW(makeCell((dir / "new.cel").string(), "EMPTY", empty.string()), Error);
    EXPECT_FALSE(fs::exists(dir / "new.cel"));
}

// The sample project's files the build makes: seeds of the right dimension, and the marker
// cell placed from its library.
TEST_F(MakeCellTest, BuiltSampleSeedsOpenAndTheMarkerCellPlaces) {
    const fs::path seeds = fs::path(VTL_OUT_DIR).parent_path() / "samples/project/seed";
    EXPECT_EQ(dgn::DesignFile::open(seeds / "vtlseed.dgn").dimension(), dgn::Dimension::Two);
    EXPECT_EQ(dgn::DesignFile::open(seeds / "icsseed.dgn").dimension(), dgn::Dimension::Two);
    EXPECT_EQ(dgn::DesignFile::open(seeds / "i3dseed.dgn").dimension(), dgn::Dimension::Three);
    EXPECT_TRUE(ogrFeatures(seeds / "i3dseed.dgn").empty());
    // The overview's seed has the plant (its outline, then the grid lines A to F and 1 to 4 of
    // the sample's grid file, each with its label) and the view the references show, the cover
    // sheet's seed its frame.
    const std::vector<OgrFeature> plant = ogrFeatures(seeds / "vtlseed.dgn");
    ASSERT_EQ(plant.size(), 21u);
    EXPECT_EQ(plant[0].number("Type"), 6);
    EXPECT_EQ(plant[0].number("Level"), 5);
    EXPECT_EQ(plant[0].number("ColorIndex"), 7);
    EXPECT_EQ(plant[0].coordinates(),
              (std::vector<double>{-4, -4, 34, -4, 34, 28, -4, 28, -4, -4}));
    EXPECT_EQ(plant[1].coordinates(), (std::vector<double>{0, -2, 0, 26}));
    EXPECT_EQ(plant[2].field("Text"), "A");
    EXPECT_EQ(plant[11].coordinates(), (std::vector<double>{30, -2, 30, 26}));
    EXPECT_EQ(plant[12].field("Text"), "F");
    EXPECT_EQ(plant[13].coordinates(), (std::vector<double>{-2, 0, 32, 0}));
    EXPECT_EQ(plant[14].field("Text"), "1");
    EXPECT_EQ(plant[19].coordinates(), (std::vector<double>{-2, 24, 32, 24}));
    EXPECT_EQ(plant[20].field("Text"), "4");
    for (size_t n = 1; n < plant.size(); ++n) {
        EXPECT_EQ(plant[n].number("Type"), n % 2 == 1 ? 3 : 17) << plant[n].geometry;
        EXPECT_EQ(plant[n].number("Level"), 6) << plant[n].geometry;
        EXPECT_EQ(plant[n].number("ColorIndex"), 1) << plant[n].geometry;
    }
    EXPECT_TRUE(dgn::findSavedView(dgn::DesignFile::open(seeds / "vtlseed.dgn"), "vtl"));
    const std::vector<OgrFeature> sheet = ogrFeatures(seeds / "icsseed.dgn");
    ASSERT_EQ(sheet.size(), 10u) << "frame, border, title block, two titles, note, four cut marks";
    EXPECT_EQ(sheet[0].coordinates(), (std::vector<double>{0, 0, 420, 0, 420, 297, 0, 297, 0, 0}));
    // The cut marks' end points span the whole sheet, which the frame's closed shape does not.
    EXPECT_EQ(sheet[6].coordinates(), (std::vector<double>{5, 0, 0, 0, 0, 5}));
    EXPECT_EQ(sheet[9].coordinates(), (std::vector<double>{415, 297, 420, 297, 420, 292}));
    const fs::path overview = dir / "overview.dgn";
    fs::copy_file(seeds / "vtlseed.dgn", overview);
    open(overview);
    app->MbeSendCommand("RESET;ATTACH LIBRARY " + (seeds / "vtl.cel").string() + ";");
    app->MbeSendCommand("ACTIVE CELL MARKER;");
    app->MbeSendCommand("xy=100,50;RESET;");
    const std::vector<OgrFeature> features = ogrFeatures(overview);
    ASSERT_EQ(features.size(), 24u) << "the plant's 21 elements and the cell's 3";
    EXPECT_EQ(features[21].coordinates(), (std::vector<double>{97, 50, 103, 50}));
    EXPECT_EQ(features[23].kind(), "POLYGON");
}

}  // namespace
}  // namespace vtl::ustation::test

// Views and the 2-D conversion: the view key-ins stored in the design header as V7 keeps views,
// the saved view, the conversion of 3-D files (the stand-in's, GDAL's seed and one ogr2ogr
// wrote) through view 1 read back by ogrinfo, and pictures drawn through view 1.
#include <QGuiApplication>
#include <cmath>
#include <filesystem>

#include "EngineFixture.h"
#include "Render.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"
#include "dgn/Rotation.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;
using vtl::test::ofType;
using vtl::test::OgrFeature;
using vtl::test::ogrFeatures;

// Hand-worked values of the isometric view: its rows are the view's axes.
const double kR2 = std::sqrt(0.5);      // 0.7071
const double kR6 = 1 / std::sqrt(6.0);  // 0.4082
const double kR3 = 1 / std::sqrt(3.0);  // 0.5774

class ThreeDViewTest : public EngineTest {
protected:
    // The conversion as the 3-D view step drives it, into the test's folder.
    void convert(const std::string& name = "I3D2D.dgn") {
        for (const std::string& keyin :
             {std::string("MDL LOAD cnvdgn"),
              std::string("MDL COMMAND MGDSHOOK,fileList_setFilterCmd *.dgn"),
              "MDL COMMAND MGDSHOOK,fileList_setDirectoryCmd " + dir.str() + "/",
              "MDL COMMAND MGDSHOOK,fileList_setFileNameCmd " + name,
              std::string("MBE1 CLOSEMODAL OK")}) {
            app->MbeSendCommand(keyin);
        }
    }

    static void expectNear(const std::vector<double>& got, const std::vector<double>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-3) << i;
    }
};

TEST_F(ThreeDViewTest, TheViewKeyinsTurnViewOneAndTheSaveKeepsItInTheDesignHeader) {
    const fs::path file = newFile("view.I3D", true);
    open(file);
    app->MbeSendCommand("reset;view off all;view on 1;window arrange;view iso;selview 1;file");
    const std::array<dgn::ViewInfo, 8> views = dgn::DesignFile::open(file).headerViews();
    const std::array<double, 9> iso = {kR2, kR2, 0, -kR6, kR6, 2 * kR6, kR3, -kR3, kR3};
    for (size_t k = 0; k < 9; ++k) EXPECT_NEAR(views[0].rotation[k], iso[k], 1e-12) << k;
    EXPECT_TRUE(views[0].flags & dgn::kViewOn);
    for (size_t v = 1; v < 8; ++v) {
        EXPECT_FALSE(views[v].flags & dgn::kViewOn) << v + 1;
        EXPECT_EQ(views[v].rotation, dgn::kIdentity) << v + 1;
    }
    EXPECT_FALSE(journalHas("UNKNOWN keyin window arrange"));
}

// Elements from (10, 20) to (50, 40): the view takes them with a border of 2.5 % of each side.
TEST_F(ThreeDViewTest, FitAllFramesTheDrawingAndSaveViewStoresTheView) {
    const fs::path file = newFile("fit.dgn");
    open(file);
    app->MbeSendCommand("place lstring;xy=10,20;xy=50,40;reset");
    app->MbeSendCommand("fit all;selview 1;file");
    app->MbeSendCommand("reset;save view i3d,i3d;selview 1;file");
    const dgn::DesignFile design = dgn::DesignFile::open(file);
    const dgn::ViewInfo view = design.headerViews()[0];
    EXPECT_EQ(view.origin, design.header().toUors(9, 19.5));
    EXPECT_EQ(view.delta, (dgn::Point{420000, 210000, 0}));
    const std::optional<dgn::StoredView> saved = dgn::findSavedView(design, "I3D");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->body.description, "I3D");
    ASSERT_EQ(saved->body.views.size(), 1u);
    EXPECT_EQ(saved->body.views[0], view);
    // GDAL reads the file as before: the saved view is no graphic element.
    EXPECT_EQ(ogrFeatures(file).size(), 1u);
}

TEST_F(ThreeDViewTest, TheConversionWritesEveryElementSeenThroughViewOneInto2d) {
    const fs::path file = newFile("pipe.I3D", true);
    open(file);
    app->MbeSendCommand("view iso;selview 1;file");
    app->MbeSendCommand("place lstring;xy=0,0,0;xy=10,0,0;xy=10,10,0;xy=10,10,10;reset");
    app->MbeSendCommand("place line;xy=0,0,0;xy=0,0,5;reset");
    app->MbeSendCommand("ACTIVE TXJ LB;tx=1;place text;7;xy=10,10,10;reset");
    convert();

    const fs::path flat = dir / "I3D2D.dgn";
    EXPECT_EQ(dgn::DesignFile::open(flat).dimension(), dgn::Dimension::Two);
    const std::vector<OgrFeature> features = ogrFeatures(flat);
    ASSERT_EQ(features.size(), 3u);
    // x: 0.7071 (x + y); y: 0.4082 (y - x) + 0.8165 z.
    EXPECT_EQ(features[0].kind(), "LINESTRING");
    expectNear(features[0].coordinates(), {0, 0, 7.0711, -4.0825, 14.1421, 0, 14.1421, 8.1650});
    expectNear(features[1].coordinates(), {0, 0, 0, 4.0825});
    // The text lies flat in the view, so it keeps its size and reads upright.
    EXPECT_EQ(features[2].field("Text"), "7");
    expectNear(features[2].coordinates(), {14.1421, 8.1650});
    EXPECT_EQ(features[2].style.find(",a:"), std::string::npos) << features[2].style;
    EXPECT_TRUE(journalHas("note converted " + file.string() + " to 2-D: " + flat.string()));
    // The 3-D file stays open and unchanged.
    EXPECT_EQ(ofType(ogrFeatures(file), 4)[0].kind(), "LINESTRING Z");
}

TEST_F(ThreeDViewTest, GdalsSeedAndAFileOgr2ogrWroteOpenAndConvert) {
    const fs::path seed = dir / "seed_3d.dgn";
    fs::copy_file("/usr/share/gdal/seed_3d.dgn", seed);
    open(seed);
    app->MbeSendCommand("view front;selview 1;place lstring;xy=1,2,3;xy=4,5,6;reset");
    convert("fromseed.dgn");
    // The front view: x stays, y is the height.
    expectNear(ogrFeatures(dir / "fromseed.dgn")[0].coordinates(), {1, 3, 4, 6});

    const fs::path foreign = dir / "foreign.dgn";
    vtl::test::ogr2ogrDgn(dir.write("in.csv", "WKT,Level\n\"LINESTRING Z (1 2 3,4 6 8)\",5\n"),
                          foreign, true);
    open(foreign);
    convert("fromforeign.dgn");  // its view 1 looks from the top
    expectNear(ogrFeatures(dir / "fromforeign.dgn")[0].coordinates(), {1, 2, 4, 6});
}

TEST_F(ThreeDViewTest, NoConversionWithoutADialogAnOpen3dFileOrAFileName) {
    open(newFile("flat.dgn"));
    app->MbeSendCommand("MDL COMMAND MGDSHOOK,fileList_setFileNameCmd x.dgn;MBE1 CLOSEMODAL OK");
    EXPECT_TRUE(
        journalHas("note no file dialog is open for MDL COMMAND "
                   "MGDSHOOK,fileList_setFileNameCmd x.dgn"));
    EXPECT_TRUE(journalHas("note no modal dialog is open to close"));
    convert("x.dgn");
    EXPECT_TRUE(journalHas("note nothing converted, no 3-D design file is open"));
    open(newFile("deep.I3D", true));
    app->MbeSendCommand("MDL LOAD cnvdgn;MBE1 CLOSEMODAL OK");
    EXPECT_TRUE(journalHas("note nothing converted, the dialog names no file"));
    app->MbeSendCommand("MDL LOAD cnvdgn;MDL COMMAND MGDSHOOK,fileList_setFileNameCmd y.dgn");
    app->MbeSendCommand("MBE1 CLOSEMODAL CANCEL");
    EXPECT_FALSE(fs::exists(dir / "x.dgn"));
    EXPECT_FALSE(fs::exists(dir / "y.dgn"));
}

TEST_F(ThreeDViewTest, LevelDisplayWeightAndFillBelongToTheSelectedViews) {
    const fs::path file = newFile("levels.dgn");
    open(file);
    app->MbeSendCommand("of=1-63;selview all");
    app->MbeSendCommand("on=5,7-9;selview 1");
    app->MbeSendCommand("set weight off;selview 1;set fill off;selview all;of=4;selview 2");
    app->MbeSendCommand("on=64;selview 1;file");
    EXPECT_TRUE(journalHas("note key-in ignored, not a list of levels from 1 to 63: on=64"));
    const std::array<dgn::ViewInfo, 8> views = dgn::DesignFile::open(file).headerViews();
    // Levels 5, 7, 8 and 9 are bits 4, 6, 7 and 8; level 64, which no list names, stays on.
    EXPECT_EQ(views[0].levels, (std::array<uint16_t, 4>{0x01D0, 0, 0, 0x8000}));
    EXPECT_EQ(views[1].levels, (std::array<uint16_t, 4>{0, 0, 0, 0x8000}));
    EXPECT_EQ(views[0].flags & 0x0008, 0);
    EXPECT_NE(views[1].flags & 0x0008, 0);
    // Fill display has no place in the design header: the stand-in keeps it with its settings.
    EXPECT_NE(vtl::test::readFile(file).find("viewFill=00000000"), std::string::npos);
}

// The rest of the pictures: a vertical pipe seen from the top is a point, from the front a line;
// a level view 1 does not display is not drawn.
TEST_F(ThreeDViewTest, PicturesShowThe3dFileThroughViewOneAndOnlyItsDisplayedLevels) {
    int argc = 1;
    char name[] = "three_d_view_test";
    char* argv[] = {name, nullptr};
    QGuiApplication qt(argc, argv);
    auto coloured = [](const QImage& image, auto test) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) n += test(image.pixelColor(x, y));
        }
        return n;
    };
    auto red = [](const QColor& c) { return c.red() > 100 && c.green() < 80; };
    auto green = [](const QColor& c) { return c.green() > 100 && c.red() < 80; };
    const fs::path file = newFile("riser.I3D", true);
    open(file);
    app->MbeSendCommand("lv=1;co=3;place lstring;xy=0,0,0;xy=0,0,10;reset");
    app->MbeSendCommand("lv=2;co=2;place lstring;xy=1,0,0;xy=1,0,10;reset;file");
    const int fromTop = coloured(renderDesign(file.string(), QSize(200, 200)), red);
    app->MbeSendCommand("view front;selview 1;file");
    const QImage front = renderDesign(file.string(), QSize(200, 200));
    EXPECT_GT(coloured(front, red), 10 * (fromTop + 1));
    EXPECT_GT(coloured(front, green), 100);
    app->MbeSendCommand("of=2;selview 1;file");
    EXPECT_EQ(coloured(renderDesign(file.string(), QSize(200, 200)), green), 0);
}

}  // namespace
}  // namespace vtl::ustation::test

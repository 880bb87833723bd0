// The tool modes: new files, the one-line dump and the picture of a design file.
#include <QColor>
#include <QGuiApplication>
#include <filesystem>
#include <set>
#include <sstream>

#include "EngineFixture.h"
#include "Render.h"
#include "Tools.h"
#include "core/Error.h"
#include "engine/ColorTable.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;

using ToolsTest = EngineTest;

TEST_F(ToolsTest, NewDesignWritesEmptyFilesGdalReadsAndNeverOverwrites) {
    fs::path flat = newFile("flat.dgn");
    fs::path deep = newFile("deep.dgn", true);
    EXPECT_TRUE(vtl::test::ogrFeatures(flat).empty());
    EXPECT_TRUE(vtl::test::ogrFeatures(deep).empty());
    std::string before = vtl::test::readFile(flat);
    EXPECT_THROW(newDesign(flat.string(), true), Error);
    EXPECT_EQ(vtl::test::readFile(flat), before);
}

TEST_F(ToolsTest, DumpListsOneLinePerElement) {
    fs::path file = newFile("dump.dgn");
    open(file);
    app->MbeSendCommand("lv=5;co=3;wt=2;lc=1;place lstring;xy=1,2;xy=3,4;reset");
    app->MbeSendCommand("lv=1;co=0;wt=0;lc=0;place text;Hi there;xy=0.5,-1");
    std::ostringstream out;
    dumpDesign(file.string(), out);
    std::string dump = out.str();
    EXPECT_NE(dump.find(" type=4 level=5 color=3 weight=2 style=1 points=(1,2) (3,4)\n"),
              std::string::npos)
        << dump;
    EXPECT_NE(
        dump.find(" type=17 level=1 color=0 weight=0 style=0 origin=(0.5,-1) text=\"Hi there\"\n"),
        std::string::npos)
        << dump;
    EXPECT_EQ(dump.rfind("0 type=9 ", 0), 0u) << dump;
    EXPECT_THROW(dumpDesign((dir / "missing.dgn").string(), out), Error);
}

TEST_F(ToolsTest, RenderDrawsElementsInTheirColoursOnBlack) {
    int argc = 1;
    char name[] = "tools_test";
    char* argv[] = {name, nullptr};
    QGuiApplication qt(argc, argv);
    fs::path file = newFile("render.dgn");
    open(file);
    app->MbeSendCommand("co=3;wt=3;place lstring;xy=0,0;xy=10,0;xy=10,5;reset");
    app->MbeSendCommand("co=2;place text;Label;xy=1,1");
    QImage image = renderDesign(file.string(), QSize(200, 150));
    ASSERT_EQ(image.size(), QSize(200, 150));
    // Edges and letters are smoothed, so pixels count by their strongest channel.
    int reds = 0, greens = 0, others = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (c.red() > 100 && c.green() < 50 && c.blue() < 50) {
                ++reds;
            } else if (c.green() > 100 && c.red() < 50 && c.blue() < 50) {
                ++greens;
            } else if (c != Qt::black) {
                ++others;
            }
        }
    }
    EXPECT_GT(reds, 300);
    EXPECT_GT(greens, 5);
    EXPECT_LT(others, greens + reds);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    // Far out, the text is too small to read and shows as a bar of its colour.
    app->MbeSendCommand("co=3;place lstring;xy=2000,-2000;xy=2100,-2000;reset");
    const QImage far = renderDesign(file.string(), QSize(200, 150));
    int farGreens = 0;
    for (int y = 0; y < far.height(); ++y) {
        for (int x = 0; x < far.width(); ++x) farGreens += far.pixelColor(x, y).green() > 60;
    }
    EXPECT_GT(farGreens, 0);
    // A file that cannot be read gives a picture that says so, never an exception.
    QImage broken = renderDesign((dir / "missing.dgn").string(), QSize(200, 150));
    EXPECT_EQ(broken.size(), QSize(200, 150));
}

TEST_F(ToolsTest, TheShippedColourTableStartsWithTheClassicColoursAndEndsBlack) {
    const ColorTable& table = defaultColorTable();
    EXPECT_EQ(table[0], QColor(Qt::white));
    EXPECT_EQ(table[1], QColor(Qt::blue));
    EXPECT_EQ(table[3], QColor(Qt::red));
    EXPECT_EQ(table[255], QColor(Qt::black));
    std::set<QRgb> distinct;
    for (const QColor& c : table) distinct.insert(c.rgb());
    EXPECT_GT(distinct.size(), 200u);
    EXPECT_EQ(activeColorTable(), table);
}

}  // namespace
}  // namespace vtl::ustation::test

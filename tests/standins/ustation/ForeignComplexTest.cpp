// Chains and shapes that GDAL's writer made, on its 2-D and 3-D seeds. GDAL sets the complex bit
// on their headers, and its 3-D design header carries it too; the bit marks a component only
// inside a complex element, so the walk, the dump and the selection see every one of them.
#include <sstream>

#include "EngineFixture.h"
#include "Tools.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;
using mstn::Application;
using vtl::test::OgrFeature;

// A line string of 150 vertices, more than one element holds, so GDAL writes a chain of line
// strings; the outline of a 40 by 40 square through 160 vertices, a complex shape; and a line
// string of two vertices.
std::string csvOfChainShapeAndLine() {
    std::string chain, ring;
    for (int i = 0; i < 150; ++i)
        chain += (i ? "," : "") + std::to_string(i) + " " + std::to_string(i % 7);
    auto vertex = [&](int x, int y) { ring += std::to_string(x) + " " + std::to_string(y) + ","; };
    for (int i = 0; i < 40; ++i) vertex(i, 0);
    for (int i = 0; i < 40; ++i) vertex(40, i);
    for (int i = 0; i < 40; ++i) vertex(40 - i, 40);
    for (int i = 0; i < 40; ++i) vertex(0, 40 - i);
    return "WKT,Level\n\"LINESTRING (" + chain + ")\",5\n\"POLYGON ((" + ring + "0 0))\",6\n" +
           "\"LINESTRING (0 0,1 1)\",7\n";
}

class ForeignComplexTest : public EngineTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        file = dir / "gdal.dgn";
        vtl::test::ogr2ogrDgn(dir.write("in.csv", csvOfChainShapeAndLine()), file, GetParam());
        open(file);
    }

    std::string point(double x, double y) const {
        auto n = [](double v) { return std::to_string(static_cast<int>(v)); };
        return "(" + n(x) + "," + n(y) + (GetParam() ? ",0)" : ")");
    }

    fs::path file;
};

TEST_P(ForeignComplexTest, WalkVisitsTheDesignHeaderChainShapeAndLineWithTheirComponents) {
    const auto visited = walk();
    ASSERT_FALSE(visited.empty());
    EXPECT_EQ(visited.front(), (std::pair<int32_t, int32_t>{0, 9}));
    std::vector<int32_t> graphic;
    size_t chain = 0;
    for (size_t k = 0; k < visited.size(); ++k) {
        const int32_t t = visited[k].second;
        if (t == 4 || t == 12 || t == 14) graphic.push_back(t);
        if (t == 12) chain = k;
    }
    ASSERT_EQ(graphic, (std::vector<int32_t>{12, 14, 4}));

    auto e = app->MbeElement();
    ASSERT_EQ(e->fromFile(visited[chain].first), visited[chain].first);
    EXPECT_EQ(e->Level(), 5);
    EXPECT_EQ(e->fromFile(visited[chain].first + e->fileSize()), visited[chain + 1].first);
    e->fromFile(visited[chain].first);
    mstn::Point start, end, first, last;
    int components = 0;
    while (e->nextComponent() == Application::MBE_Success) {
        EXPECT_EQ(e->Type(), 4);
        ASSERT_EQ(e->getEndPoints(start, end), Application::MBE_Success);
        if (components++ == 0) first = start;
        last = end;
    }
    EXPECT_GE(components, 2);
    EXPECT_EQ(point(first.x, first.y), point(0, 0));
    EXPECT_EQ(point(last.x, last.y), point(149, 2));
}

TEST_P(ForeignComplexTest, DumpCallsOnlyTheElementsInsideAChainOrShapeComponents) {
    std::ostringstream out;
    dumpDesign(file.string(), out);
    std::istringstream lines(out.str());
    std::vector<std::string> headers, components, alone;
    std::string previous, line;
    for (; std::getline(lines, line); previous = line) {
        const bool component = line.find(" component") != std::string::npos;
        if (line.find(" type=12 ") != std::string::npos ||
            line.find(" type=14 ") != std::string::npos) {
            EXPECT_FALSE(component) << line;
            headers.push_back(line);
        }
        if (line.rfind("0 type=9 ", 0) == 0) {
            EXPECT_FALSE(component) << line;
        }
        if (line.find(" type=4 ") == std::string::npos) continue;
        (component ? components : alone).push_back(line);
    }
    EXPECT_EQ(headers.size(), 2u);
    EXPECT_GE(components.size(), 4u);
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_NE(alone[0].find(" level=7 "), std::string::npos) << alone[0];
    EXPECT_NE(alone[0].find("points=" + point(0, 0) + " " + point(1, 1)), std::string::npos)
        << alone[0];
}

TEST_P(ForeignComplexTest, ChooseAllAndChangeLevelMoveTheChainAndShapeToo) {
    app->MbeSendCommand("lv=12;choose all;change level;choose none");
    const std::vector<OgrFeature> features = vtl::test::ogrFeatures(file);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0].number("Type"), 12);
    EXPECT_EQ(features[1].number("Type"), 14);
    EXPECT_EQ(features[2].number("Type"), 4);
    for (const OgrFeature& f : features) EXPECT_EQ(f.number("Level"), 12) << f.geometry;
    EXPECT_EQ(features[1].coordinates().size(), (GetParam() ? 3u : 2u) * 161);
}

INSTANTIATE_TEST_SUITE_P(TwoAndThreeD, ForeignComplexTest, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "ThreeD" : "TwoD"; });

}  // namespace
}  // namespace vtl::ustation::test

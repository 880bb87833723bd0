// The sample project's header files parse into the tables the demo draws from.
#include <gtest/gtest.h>

#include <set>

#include "generator/Hfile_zerlegen.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

const std::string kSamples = VTL_SAMPLES_DIR "/project/";

HeaderData parseSample(const std::string& name, const std::string& base) {
    HeaderData h;
    h.HText = test::readFile(kSamples + name);
    Hfile_zerlegen(h, {kSamples + name, kSamples, base}, 1000, {});
    return h;
}

std::set<std::string> runs(const HeaderData& h, const std::string& kind) {
    std::set<std::string> found;
    for (int r = 1; r <= h.TopoCount; ++r) {
        if (h.TopoTable(r, 0) == kind) found.insert(h.TopoTable(r, 1));
    }
    return found;
}

TEST(HeaderSamplesTest, PlainHeader) {
    HeaderData h = parseSample("P1001.h", "P1001");
    EXPECT_EQ(h.TopoCount, 39);
    EXPECT_EQ(h.TopoBlockEnd, 4);
    EXPECT_EQ(h.IdfCount, 18);
    EXPECT_EQ(runs(h, "Dash"), (std::set<std::string>{"R0017"}));
    // Snapped onto the exact IDF end point.
    EXPECT_EQ(h.TopoTable(5, 1), "R0001");
    EXPECT_EQ(h.TopoTable(5, 3), "1.237");
    EXPECT_EQ(h.TopoTable(5, 4), "2.613");
    EXPECT_EQ(h.TopoTable(5, 5), "3.104");
    ASSERT_EQ(h.LineEndCount, 3);
    EXPECT_EQ(h.LineEndTable(1, 1), "R0001");
    EXPECT_EQ(h.LineEndTable(2, 1), "R0011");
    // The dashed continuation's free end stands for the pipe it leads on from.
    EXPECT_EQ(h.LineEndTable(3, 1), "R0016");
    EXPECT_EQ(h.LineEndTable(3, 2), "E2");
    EXPECT_EQ(h.LineEndTable(3, 3), "26.237");
}

TEST(HeaderSamplesTest, HeaderWithContinuationFiles) {
    HeaderData h = parseSample("P2002.h1", "P2002");
    EXPECT_EQ(h.TopoCount, 32);
    EXPECT_EQ(h.TopoBlockEnd, 4);
    EXPECT_EQ(h.IdfCount, 12);
    // The dashed runs are named in the continuation files only.
    EXPECT_EQ(runs(h, "Dash"), (std::set<std::string>{"R0113", "R0114"}));
    ASSERT_EQ(h.LineEndCount, 2);
    EXPECT_EQ(h.LineEndTable(1, 1), "R0101");
    EXPECT_EQ(h.LineEndTable(2, 1), "R0112");
}

}  // namespace
}  // namespace vtl

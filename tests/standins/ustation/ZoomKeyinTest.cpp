// "zoom out extended": the view named, or the next one selected, shows twice its area around
// the same centre, and the save keeps it in the design header.
#include <filesystem>

#include "EngineFixture.h"
#include "dgn/DesignFile.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;

class ZoomKeyinTest : public EngineTest {
protected:
    void SetUp() override {
        file = newFile("zoom.dgn");
        open(file);
        app->MbeSendCommand("place lstring;xy=0,0;xy=100,50;reset");
        app->MbeSendCommand("fit all;selview 1;fit all;selview 2;file");
        fitted = dgn::DesignFile::open(file).headerViews()[0];
    }
    dgn::ViewInfo view(int number) {
        return dgn::DesignFile::open(file).headerViews()[static_cast<size_t>(number - 1)];
    }

    fs::path file;
    dgn::ViewInfo fitted;
};

TEST_F(ZoomKeyinTest, TheNamedViewShowsTwiceItsAreaAroundItsCentre) {
    app->MbeSendCommand("zoom out extended 1;file");
    const dgn::ViewInfo zoomed = view(1);
    EXPECT_EQ(zoomed.delta.x, 2 * fitted.delta.x);
    EXPECT_EQ(zoomed.delta.y, 2 * fitted.delta.y);
    EXPECT_NEAR(zoomed.origin.x, fitted.origin.x - fitted.delta.x / 2.0, 1);
    EXPECT_NEAR(zoomed.origin.y, fitted.origin.y - fitted.delta.y / 2.0, 1);
    EXPECT_EQ(view(2).delta, fitted.delta);
    EXPECT_FALSE(journalHas("UNKNOWN keyin zoom out extended 1"));
}

TEST_F(ZoomKeyinTest, WithoutANumberItZoomsTheViewSelectedNext) {
    app->MbeSendCommand("zoom out extended;selview 2;file");
    EXPECT_EQ(view(2).delta.x, 2 * fitted.delta.x);
    EXPECT_EQ(view(1).delta, fitted.delta);
    app->MbeSendCommand("zoom out extended 9");
    EXPECT_TRUE(journalHas("UNKNOWN keyin zoom out extended 9"));
}

}  // namespace
}  // namespace vtl::ustation::test

// The wizard's DGN procedures against a recording MicroStation: the extent of the master file
// and its displayed references, the colour table file, and the copy of a drawing with its
// reference files (copied by the command interpreter, a blank in a path included).
#include <gtest/gtest.h>

#include <filesystem>

#include "core/Error.h"
#include "generator/Variablen.h"
#include "support/FakeMicroStation.h"
#include "support/TempDir.h"
#include "wizard/VTLWizardBase.h"

namespace vtl::VTLWizardBase {
namespace {

using test::FakeElement;
using test::FakeMicroStation;
using test::FakeReference;
using test::TempDir;

FakeElement line(double x0, double y0, double x1, double y1) {
    FakeElement e{3, 0, {}, 24};
    e.start = {x0, y0, 0};
    e.end = {x1, y1, 0};
    return e;
}

const FakeElement kText{17, 0, {}, 60};

TEST(GetDGNFileLimits, TheFirstElementWithEndPointsSetsAllFourValues) {
    FakeMicroStation app;
    app.designs[""] = {kText, line(0, 0, 10, 5)};
    double xmax = 99, xmin = 99, ymax = 99, ymin = 99;
    GetDGNFileLimits(xmax, xmin, ymax, ymin, app);
    EXPECT_EQ((Extent{xmax, xmin, ymax, ymin}), (Extent{10, 0, 5, 0}));
}

TEST(GetDGNFileLimits, WithoutEndPointsTheValuesStayAsPassedIn) {
    FakeMicroStation app;
    app.designs[""] = {kText};
    double xmax = 1, xmin = 2, ymax = 3, ymin = 4;
    GetDGNFileLimits(xmax, xmin, ymax, ymin, app);
    EXPECT_EQ((Extent{xmax, xmin, ymax, ymin}), (Extent{1, 2, 3, 4}));
}

TEST(GetDGNFileLimits, OnlyDisplayedFoundActiveReferencesCount) {
    FakeMicroStation app;
    app.designs[""] = {line(0, 0, 10, 5)};
    app.designs["off.dgn"] = {line(-50, 0, 0, 0)};
    app.designs["gone.dgn"] = {line(0, -70, 0, 0)};
    app.designs["idle.dgn"] = {line(0, 0, 0, 80)};
    app.designs["shown.dgn"] = {line(20, 30, 40, 60)};
    app.references = {{"off.dgn", true, false, false},
                      {"gone.dgn", true, true, true},
                      {"idle.dgn", false, false, true},
                      {"shown.dgn", true, false, true}};
    double xmax = 0, xmin = 0, ymax = 0, ymin = 0;
    GetDGNFileLimits(xmax, xmin, ymax, ymin, app);
    EXPECT_EQ((Extent{xmax, xmin, ymax, ymin}), (Extent{40, 0, 60, 0}));
}

TEST(GetDGNFileLimits, AFailureZeroesTheValuesAndNamesTheProcedure) {
    FakeMicroStation app;
    app.failOnCall(1, Error(440, "MicroStation", "Automation error"));
    double xmax = 1, xmin = 1, ymax = 1, ymin = 1;
    try {
        GetDGNFileLimits(xmax, xmin, ymax, ymin, app);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.source(), "GetDGNFileLimits");
        EXPECT_EQ(e.description(), "Automation error");
    }
    EXPECT_EQ((Extent{xmax, xmin, ymax, ymin}), Extent{});
}

TEST(GetColorTable, AWholeTableGetsOneEntryMoreHoldingZeros) {
    TempDir dir;
    std::string bytes;
    for (int k = 0; k < 256; ++k) bytes += {static_cast<char>(k), static_cast<char>(k / 2), '\x07'};
    std::vector<ColorRecord> table;
    GetColorTable(dir.write("color.tbl", bytes).string(), table);
    ASSERT_EQ(table.size(), 257u);
    EXPECT_EQ(table[0], (ColorRecord{0, 0, 7}));
    EXPECT_EQ(table[200], (ColorRecord{200, 100, 7}));
    EXPECT_EQ(table[256], (ColorRecord{0, 0, 0}));
}

TEST(GetColorTable, ShortAndEmptyFilesGiveWhatIsLeftInTheLastEntry) {
    TempDir dir;
    std::vector<ColorRecord> table;
    GetColorTable(dir.write("seven.tbl", "\x01\x02\x03\x04\x05\x06\x09").string(), table);
    EXPECT_EQ(table, (std::vector<ColorRecord>{{1, 2, 3}, {4, 5, 6}, {9, 0, 0}}));
    GetColorTable(dir.write("empty.tbl", "").string(), table);
    EXPECT_EQ(table, (std::vector<ColorRecord>{{0, 0, 0}}));
}

TEST(GetColorTable, AMissingFileLeavesNoEntry) {
    std::vector<ColorRecord> table{{1, 1, 1}};
    try {
        GetColorTable("/no/such/color.tbl", table);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.source(), "GetColorTable");
        EXPECT_EQ(e.description(), "Color Table file: '/no/such/color.tbl' not found");
    }
    EXPECT_TRUE(table.empty());
}

TEST(GetColorTable, ATableLongerThanTheRecordIndexHoldsOverflows) {
    TempDir dir;
    std::vector<ColorRecord> table;
    EXPECT_NO_THROW(GetColorTable(dir.write("full.tbl", std::string(32768, 'a')).string(), table));
    EXPECT_EQ(table.size(), 10923u);
    try {
        GetColorTable(dir.write("long.tbl", std::string(32769, 'a')).string(), table);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "Overflow");
    }
    EXPECT_TRUE(table.empty());
}

class CopyDGNWithRefFilesTest : public ::testing::Test {
protected:
    ~CopyDGNWithRefFilesTest() override { resetRunState(); }
    std::shared_ptr<mstn::Application> attach() {
        ++attached;
        return app;
    }

    TempDir dir;
    std::shared_ptr<FakeMicroStation> app = std::make_shared<FakeMicroStation>();
    int attached = 0;
    Attach attacher = [this] { return attach(); };
};

TEST_F(CopyDGNWithRefFilesTest, CopiesTheDrawingAndItsShownReferencesWithBlanksInTheirPaths) {
    const auto source = dir.write("p/seed.dgn", "seed");
    const auto shown = dir.write("refs with blanks/key plan.dgn", "shown");
    const auto off = dir.write("refs/off.dgn", "off");
    std::filesystem::create_directories(dir / "t");
    app->references = {{shown.string()},
                       {off.string(), true, false, false},
                       {(dir / "refs/gone.dgn").string(), true, true, true}};
    CopyDGNWithRefFiles(source.string(), (dir / "t").string(), attacher);
    EXPECT_EQ(test::entryNames(dir / "t"), (std::vector<std::string>{"key plan.dgn", "seed.dgn"}));
    EXPECT_EQ(test::readFile(dir / "t/key plan.dgn"), "shown");
    // The source itself is opened, to read its references, and MicroStation is told to end.
    EXPECT_EQ(app->keyins, (std::vector<std::string>{"NEWFILE " + source.string(), "exit"}));
    EXPECT_EQ(app->visible, 0);
    EXPECT_EQ(Variablen().CurrentFile, source.string());
}

TEST_F(CopyDGNWithRefFilesTest, AMissingFileFailsBeforeMicroStationIsTouched) {
    try {
        CopyDGNWithRefFiles((dir / "none.dgn").string(), dir.str(), attacher);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(),
                  "File to copy: '" + (dir / "none.dgn").string() + "' not exists");
    }
    EXPECT_EQ(attached, 0);
}

// A copy that failed would leave an older working copy in use.
TEST_F(CopyDGNWithRefFilesTest, AFailedCopyOfTheDrawingIsAnError) {
    const auto source = dir.write("p/seed.dgn", "seed");
    EXPECT_THROW(CopyDGNWithRefFiles(source.string(), (dir / "missing-folder").string(), attacher),
                 Error);
    EXPECT_EQ(attached, 0);
}

TEST_F(CopyDGNWithRefFilesTest, MicroStationIsToldToEndAlsoAfterAFailure) {
    const auto source = dir.write("p/seed.dgn", "seed");
    std::filesystem::create_directories(dir / "t");
    app->failOnCall(2, Error(440, "MicroStation", "Automation error"));  // the NEWFILE
    try {
        CopyDGNWithRefFiles(source.string(), (dir / "t").string(), attacher);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(), "Automation error");
    }
    EXPECT_EQ(app->keyins, std::vector<std::string>{"exit"});
}

}  // namespace
}  // namespace vtl::VTLWizardBase

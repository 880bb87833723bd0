// The cover sheet and the 3-D view end to end: the main window runs the sample header files with
// both options checked against the stand-in MicroStation, and GDAL reads what the run left: the
// 3-D view in 3-D, its 2-D conversion projected through the isometric view with the labels laid
// out, and the cover sheet holding the overview and the 2-D view through their references' scale
// and origin, with no reference left attached. The test starts and kills processes named
// ustation.exe, so it holds the shared lock.
#include <algorithm>
#include <cmath>

#include "RunDriverTestFakes.h"
#include "SampleRunFixture.h"
#include "core/Numbers.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"
#include "generator/DefaultRunSteps.h"
#include "standins/dgn/GdalTools.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using test::ofType;
using test::OgrFeature;
using test::ogrFeatures;

// The program's steps up to the cover sheet; the grid, IDF and table steps after it have their
// own tests and are only recorded here.
class ProgramStepsUpToTheCoverSheet : public DefaultRunSteps {
public:
    std::vector<std::string> later;
    void Gridfile_zerlegen() override { later.push_back("Gridfile_zerlegen"); }
    void find_endpoint_diff() override { later.push_back("find_endpoint_diff"); }
    void searchidf() override { later.push_back("searchidf"); }
    void placeTabelle() override { later.push_back("placeTabelle"); }
    void iplotiso(const std::string&) override { later.push_back("iplotiso"); }
};

using Points = std::vector<std::array<double, 2>>;

Points pairs(const std::vector<double>& xy) {
    Points points;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) points.push_back({xy[i], xy[i + 1]});
    return points;
}

bool near(const Points& a, const Points& b, double tolerance) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::abs(a[i][0] - b[i][0]) > tolerance || std::abs(a[i][1] - b[i][1]) > tolerance) {
            return false;
        }
    }
    return true;
}

// Whether some line string of the list has these points.
bool holds(const std::vector<OgrFeature>& strings, const Points& points, double tolerance) {
    return std::any_of(strings.begin(), strings.end(), [&](const OgrFeature& f) {
        return near(pairs(f.coordinates()), points, tolerance);
    });
}

// The isometric view: x to the lower right, y to the upper right, z up.
std::array<double, 2> iso(double x, double y, double z) {
    return {(x + y) / std::sqrt(2.0), (y - x) / std::sqrt(6.0) + 2 * z / std::sqrt(6.0)};
}

// The pipeline's size in thousands of m: the largest range of the absolute coordinates of an
// axis, texts of two characters and zeros left out.
double factorOf(const HeaderData& h) {
    double largest = 0;
    for (int column = 3; column <= 5; ++column) {
        double low = 1e300, high = 0;
        for (int row = 1; row <= h.TopoCount; ++row) {
            const std::string& text = h.TopoTable(row, column);
            const double v = std::abs(num::leadingNumber(text));
            if (text.size() <= 2 || v == 0) continue;
            low = std::min(low, v);
            high = std::max(high, v);
        }
        largest = std::max(largest, high - low);
    }
    return largest / 1000;
}

class CoverSheetEndToEnd : public test::SampleRunFixture {
protected:
    void SetUp() override {
        test::SampleRunFixture::SetUp();
        if (IsSkipped()) return;
        // The cover sheet with the 3-D view; the iso-drawing steps are tested on their own.
        options("0", "1", "1", "0");
    }

    ProgramStepsUpToTheCoverSheet sheetSteps;
};

TEST_F(CoverSheetEndToEnd, TheSampleBatchMakesTheThreeDViewAndTheCoverSheet) {
    runFromTheWindow(sheetSteps, {"P1001.h", "P2002.h1"});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Vistrel  completed successful"});
    const std::string log = test::readFile(logfile());
    EXPECT_EQ(test::conclusionEntries(log), std::vector<std::string>{"# no errors occured"});
    EXPECT_EQ(test::readFile(home.path() / "ustation-journal.log").find("UNKNOWN"),
              std::string::npos);
    EXPECT_EQ(sheetSteps.later.size(), 8u) << "the steps after the cover sheet ran for both files";

    // The log names each factor and the scale it gives (100:1000 rescaled).
    for (const auto& [header, name] : {std::pair{"P1001.h", "P1001"}, {"P2002.h1", "P2002"}}) {
        SCOPED_TRACE(name);
        const HeaderData h = parsed(header, name);
        const double factor = factorOf(h);
        EXPECT_NE(log.find("\r\ni3dimportfaktor = " + num::text(factor) +
                           "          Berechneter I3Drefscale = 100:" + num::text(factor * 1000) +
                           "\r\n"),
                  std::string::npos);

        // The 3-D view: 3-D line strings, and the number of each free end at its 3-D point.
        const std::vector<OgrFeature> view = ogrFeatures(project(std::string(name) + ".I3D"));
        const std::vector<OgrFeature> pipes = ofType(view, 4);
        ASSERT_FALSE(pipes.empty());
        for (const OgrFeature& f : pipes) EXPECT_EQ(f.kind(), "LINESTRING Z") << f.geometry;
        const std::vector<OgrFeature> numbers = ofType(view, 17);
        ASSERT_EQ(numbers.size(), static_cast<size_t>(h.LineEndCount));
        for (int end = 1; end <= h.LineEndCount; ++end) {
            EXPECT_EQ(numbers[end - 1].field("Text"), std::to_string(end));
            EXPECT_EQ(numbers[end - 1].kind(), "POINT Z");
        }
    }
}

// The last header file's 2-D view stays in TMP: every line string of its 3-D view projected, the
// numbers beside it, each with a leader from its pipe end, and the view saved for the cover sheet.
TEST_F(CoverSheetEndToEnd, TheTwoDViewIsTheIsometricProjectionWithItsLabelsLaidOut) {
    runFromTheWindow(sheetSteps, {"P2002.h1"});
    ASSERT_FALSE(HasFatalFailure());
    const HeaderData h = parsed("P2002.h1", "P2002");
    const fs::path flat = dir / "I3D2D.dgn";
    const std::vector<OgrFeature> features = ogrFeatures(flat);
    const std::vector<OgrFeature> strings = ofType(features, 4);
    for (const OgrFeature& pipe : ofType(ogrFeatures(project("P2002.I3D")), 4)) {
        const std::vector<double> xyz = pipe.coordinates();
        Points projected;
        for (size_t i = 0; i + 2 < xyz.size(); i += 3) {
            projected.push_back(iso(xyz[i], xyz[i + 1], xyz[i + 2]));
        }
        EXPECT_TRUE(holds(strings, projected, 2e-4)) << pipe.geometry;
    }
    ASSERT_FALSE(strings.empty());
    EXPECT_EQ(strings.front().kind(), "LINESTRING");
    const std::vector<OgrFeature> labels = ofType(features, 17);
    const std::vector<OgrFeature> leaders = ofType(features, 3);
    ASSERT_EQ(labels.size(), static_cast<size_t>(h.LineEndCount));
    ASSERT_EQ(leaders.size(), labels.size());
    for (int end = 1; end <= h.LineEndCount; ++end) {
        const std::array<double, 2> at = iso(num::leadingNumber(h.LineEndTable(end, 3)),
                                             num::leadingNumber(h.LineEndTable(end, 4)),
                                             num::leadingNumber(h.LineEndTable(end, 5)));
        const bool led = std::any_of(leaders.begin(), leaders.end(), [&](const OgrFeature& l) {
            const Points ends = pairs(l.coordinates());
            return std::hypot(ends[0][0] - at[0], ends[0][1] - at[1]) < 1e-2;
        });
        EXPECT_TRUE(led) << "no leader from the end of number " << end;
    }
    const std::optional<dgn::StoredView> saved =
        dgn::findSavedView(dgn::DesignFile::open(flat), "i3d");
    ASSERT_TRUE(saved);
}

// The overview's saved view VTL ((-10, -5) to (40, 35), its centre (15, 15)) shows four times
// enlarged with its centre at (300, 200), the plant around the pipes; the seed's note on the
// delete level is gone.
TEST_F(CoverSheetEndToEnd, TheCoverSheetHoldsTheOverviewThroughItsReferenceAndNoAttachment) {
    runFromTheWindow(sheetSteps, {"P1001.h"});
    ASSERT_FALSE(HasFatalFailure());
    const fs::path sheet = project("P1001.ics");
    const std::vector<OgrFeature> features = ogrFeatures(sheet);
    const std::vector<OgrFeature> strings = ofType(features, 4);
    for (const OgrFeature& pipe : ofType(ogrFeatures(project("P1001.vtl")), 4)) {
        Points onSheet;
        for (const auto& [x, y] : pairs(pipe.coordinates())) {
            onSheet.push_back({300 + 4 * (x - 15), 200 + 4 * (y - 15)});
        }
        EXPECT_TRUE(holds(strings, onSheet, 1e-3)) << pipe.geometry;
    }
    // The seed's frame and title block, the overview's numbers, the view's labels and leaders;
    // the plant's outline (-4, -4) to (34, 28) of the overview, its 10 grid lines and their labels.
    EXPECT_TRUE(holds(ofType(features, 6), {{0, 0}, {420, 0}, {420, 297}, {0, 297}, {0, 0}}, 1e-9));
    EXPECT_TRUE(holds(ofType(features, 6),
                      {{224, 124}, {376, 124}, {376, 252}, {224, 252}, {224, 124}}, 1e-3));
    const HeaderData h = parsed("P1001.h", "P1001");
    std::vector<std::string> texts;
    for (const OgrFeature& t : ofType(features, 17)) texts.push_back(t.field("Text"));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "1"), 3) << "a number, a label, a grid line's";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "F"), 1) << "a grid line's label";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "PLACEHOLDER - REPLACED BY THE RUN"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "ISO COVER SHEET"), 1);
    EXPECT_EQ(ofType(features, 3).size(), static_cast<size_t>(h.LineEndCount) + 10);
    EXPECT_TRUE(dgn::references(dgn::DesignFile::open(sheet)).empty());
}

// A cover sheet that cannot be replaced fails its header file: its cause is logged, the error
// list names the file, and the next header file gets its cover sheet from a fresh MicroStation.
TEST_F(CoverSheetEndToEnd, ACoverSheetThatCannotBeReplacedFailsOnlyItsHeaderFile) {
    const fs::path old = dir.write("samples/project/P1001.ics", "the old cover sheet");
    fs::permissions(old, fs::perms::owner_read);
    runFromTheWindow(sheetSteps, {"P1001.h", "P2002.h1"});
    ASSERT_FALSE(HasFatalFailure());
    const std::string failed = old.string() + " - Error occured";
    EXPECT_EQ(messages.texts(), std::vector<std::string>{
                                    "Vistrel completed with errors - see logfile: " + logfile()});
    const std::string log = test::readFile(logfile());
    EXPECT_NE(log.find("Can not delete old file  " + old.string() + "\r\n" + failed + "\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(test::conclusionEntries(log),
              (std::vector<std::string>{
                  failed, test::entry(old.string(), "is current open file:, Error:" + failed)}));
    EXPECT_EQ(test::readFile(old), "the old cover sheet");
    EXPECT_TRUE(fs::exists(project("P2002.ics")));
    EXPECT_EQ(sheetSteps.later.size(), 4u) << "only the second header file went on past its sheet";
}

}  // namespace
}  // namespace vtl

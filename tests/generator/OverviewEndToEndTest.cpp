// The overview drawing end to end: the main window runs the sample header files against the
// stand-in MicroStation on a copy of the sample project, as the demo does, and the drawings are
// read back through the stand-in's journal, its dump and GDAL. What each drawing should hold is
// worked out here from the parsed run tables, run by run. The test starts and kills processes
// named ustation.exe, so it holds the shared lock.
#include <QProcess>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "RunDriverTestFakes.h"
#include "SampleRunFixture.h"
#include "common/INIFileModule.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "generator/DefaultRunSteps.h"
#include "generator/Hfile_zerlegen.h"
#include "standins/dgn/GdalTools.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using test::kStandIn;

const std::string kSave = "reset;select;fit all;dx=0;reset;compress design;file";
// The elements of the sample's overview seed.
constexpr size_t kPlant = 21;

struct Vertex {
    double x = 0, y = 0;
};

// A drawn point: its key-in and where it lands in the 2-D overview.
struct Point {
    std::string keyin;
    Vertex at;
};

// What leitung_einzeichnen should leave: its key-ins and line strings, and the cell's place.
struct Expected {
    std::vector<std::string> keyins;
    std::vector<std::vector<Vertex>> lineStrings;
    std::optional<Vertex> cell;
};

// The sample's settings, as the configuration INI of the copy holds them.
struct Settings {
    std::string ini;
    std::string notUsed, level, color, weight, style;
    std::string library, cellName, scale;
    double minLength = 0;

    explicit Settings(std::string file) : ini(std::move(file)) {
        notUsed = read("Vistrel", "NotUsedComponent");
        level = read("Vistrel", "pipelv");
        color = read("Vistrel", "pipeco");
        weight = read("Vistrel", "pipewt");
        style = read("Vistrel", "pipelc");
        library = read("Cell", "CELFile");
        cellName = read("Cell", "CellName");
        scale = read("Cell", "ScaleFactor");
        minLength = num::leadingNumber(read("Cell", "MinLineLength"));
    }
    std::string read(const std::string& section, const std::string& key) const {
        return INIFileModule::ReadINI(ini, section, key, "");
    }
};

std::string key(const HeaderData& h, int row) {
    return h.TopoTable(row, 0) + h.TopoTable(row, 1);
}

bool drawn(const HeaderData& h, int row, const Settings& settings) {
    const std::string& kind = h.TopoTable(row, 0);
    return settings.notUsed.find(kind) == std::string::npos && kind != "Dash" &&
           h.TopoTable(row, 3) != "0.00" && h.TopoTable(row, 4) != "0.00";
}

Point pointOf(const HeaderData& h, int row) {
    const RunTable& t = h.TopoTable;
    return {"xy=" + t(row, 3) + "," + t(row, 4) + "," + t(row, 5),
            {num::leadingNumber(t(row, 3)), num::leadingNumber(t(row, 4))}};
}

// A drawn row of a run; after a filtered row the line string it was in ends.
struct RunRow {
    int row = 0;
    bool afterBreak = false;
};

// The drawn rows after the leading block, cut into runs: a run is a stretch of drawn rows of
// one key.
std::vector<std::vector<RunRow>> runsOf(const HeaderData& h, const Settings& settings) {
    std::vector<std::vector<RunRow>> runs;
    bool broken = false;
    for (int row = h.TopoBlockEnd + 1; row <= h.TopoCount; ++row) {
        if (!drawn(h, row, settings)) {
            broken = true;
            continue;
        }
        if (runs.empty() || key(h, runs.back().back().row) != key(h, row)) runs.emplace_back();
        runs.back().push_back({row, broken});
        broken = false;
    }
    return runs;
}

// One line string: its key-ins follow the opening key-in, its vertices become the element
// unless there are fewer than two.
void addLineString(Expected& e, const std::string& opening, const std::vector<Point>& points) {
    e.keyins.push_back(opening);
    std::vector<Vertex> vertices;
    for (const Point& p : points) {
        e.keyins.push_back(p.keyin);
        vertices.push_back(p.at);
    }
    if (vertices.size() >= 2) e.lineStrings.push_back(vertices);
}

// The first two rows of a run with the run's leading points between them; every further row,
// and a second row after a filtered one, from the leading points to itself.
void addRun(Expected& e, const HeaderData& h, const std::vector<RunRow>& rows) {
    std::vector<Point> leading;
    for (int row = 1; row <= h.TopoBlockEnd; ++row) {
        if (key(h, row) == key(h, rows.front().row)) leading.push_back(pointOf(h, row));
    }
    std::vector<Point> first{pointOf(h, rows[0].row)};
    first.insert(first.end(), leading.begin(), leading.end());
    const bool secondJoins = rows.size() > 1 && !rows[1].afterBreak;
    if (secondJoins) first.push_back(pointOf(h, rows[1].row));
    addLineString(e, "reset;place lstring", first);
    for (size_t n = secondJoins ? 2 : 1; n < rows.size(); ++n) {
        std::vector<Point> further = leading;
        further.push_back(pointOf(h, rows[n].row));
        addLineString(e, "reset", further);
    }
}

// The marker cell goes to the centre of the extent of every drawn row, leading block included,
// when the extent's diagonal is below MinLineLength.
void addCell(Expected& e, const HeaderData& h, const Settings& settings) {
    std::optional<Vertex> low, high;
    for (int row = 1; row <= h.TopoCount; ++row) {
        if (!drawn(h, row, settings)) continue;
        const Vertex v = pointOf(h, row).at;
        low = low ? Vertex{std::min(low->x, v.x), std::min(low->y, v.y)} : v;
        high = high ? Vertex{std::max(high->x, v.x), std::max(high->y, v.y)} : v;
    }
    if (!low || std::hypot(high->x - low->x, high->y - low->y) >= settings.minLength) return;
    e.cell = Vertex{(low->x + high->x) / 2, (low->y + high->y) / 2};
    e.keyins.push_back("RESET;ATTACH LIBRARY " + settings.library + ";");
    e.keyins.push_back("ACTIVE CELL " + settings.cellName + ";");
    e.keyins.push_back("as=" + settings.scale + ";");
    e.keyins.push_back("xy=" + num::text(e.cell->x) + "," + num::text(e.cell->y) + ";RESET;");
}

Expected expectedDrawing(const HeaderData& h, const Settings& settings) {
    Expected e;
    e.keyins.push_back("fit all;dx=0");
    for (const std::vector<RunRow>& rows : runsOf(h, settings)) addRun(e, h, rows);
    addCell(e, h, settings);
    e.keyins.push_back(kSave);
    return e;
}

// The key-ins sent through the automation call, by the process that received them, in the
// order the processes first appear in the journal.
std::vector<std::vector<std::string>> keyinsByProcess(const fs::path& journal) {
    std::vector<std::string> order;
    std::map<std::string, std::vector<std::string>> sent;
    for (const test::Received& received : test::keyinsReceived(journal)) {
        if (!sent.contains(received.pid)) order.push_back(received.pid);
        sent[received.pid].push_back(received.keyin);
    }
    std::vector<std::vector<std::string>> byProcess;
    for (const std::string& pid : order) byProcess.push_back(sent[pid]);
    return byProcess;
}

std::string dumpOf(const fs::path& design) {
    QProcess process;
    process.start(QString::fromStdString(kStandIn),
                  {"--dump", QString::fromStdString(design.string())});
    EXPECT_TRUE(process.waitForFinished(20000));
    return process.readAllStandardOutput().toStdString();
}

class OverviewEndToEnd : public test::SampleRunFixture {
protected:
    void SetUp() override {
        test::SampleRunFixture::SetUp();
        if (IsSkipped()) return;
        // The overview alone: the other steps are tested on their own.
        options("0", "0", "0", "0");
        settings.emplace(ini());
    }

    void expectPipeSymbology(const test::OgrFeature& f) const {
        EXPECT_EQ(f.field("Level"), settings->level) << f.geometry;
        EXPECT_EQ(f.field("ColorIndex"), settings->color) << f.geometry;
        EXPECT_EQ(f.field("Weight"), settings->weight) << f.geometry;
        EXPECT_EQ(f.field("Style"), settings->style) << f.geometry;
    }

    // The seed's plant (its outline, then 10 grid lines and their labels) keeps its colours and
    // goes to the pipe level with everything else the copy of the seed holds.
    void expectPlant(const std::vector<test::OgrFeature>& features) const {
        ASSERT_GE(features.size(), kPlant);
        EXPECT_EQ(features[0].number("Type"), 6);
        EXPECT_EQ(features[0].coordinates(),
                  (std::vector<double>{-4, -4, 34, -4, 34, 28, -4, 28, -4, -4}));
        for (size_t n = 0; n < kPlant; ++n) {
            EXPECT_EQ(features[n].field("Level"), settings->level) << features[n].geometry;
            EXPECT_EQ(features[n].number("ColorIndex"), n == 0 ? 7 : 1) << features[n].geometry;
        }
        EXPECT_EQ(features[kPlant - 1].field("Text"), "4");
    }

    // GDAL lists the seed's plant, the line strings, then the cell's elements in their own
    // symbology.
    void expectDesign(const fs::path& design, const Expected& e) const {
        const std::vector<test::OgrFeature> all = test::ogrFeatures(design);
        expectPlant(all);
        if (HasFatalFailure()) return;
        const std::vector<test::OgrFeature> features(all.begin() + kPlant, all.end());
        ASSERT_GE(features.size(), e.lineStrings.size());
        if (!e.cell) {
            EXPECT_EQ(features.size(), e.lineStrings.size());
        }
        for (size_t n = 0; n < e.lineStrings.size(); ++n) {
            const test::OgrFeature& f = features[n];
            EXPECT_EQ(f.number("Type"), 4) << f.geometry;
            expectPipeSymbology(f);
            const std::vector<double> xy = f.coordinates();
            ASSERT_EQ(xy.size(), 2 * e.lineStrings[n].size()) << f.geometry;
            for (size_t v = 0; v < e.lineStrings[n].size(); ++v) {
                EXPECT_NEAR(xy[2 * v], e.lineStrings[n][v].x, 1e-9) << f.geometry;
                EXPECT_NEAR(xy[2 * v + 1], e.lineStrings[n][v].y, 1e-9) << f.geometry;
            }
        }
        if (e.cell) {
            expectCell(design, {features.begin() + e.lineStrings.size(), features.end()}, *e.cell);
        }
    }

    // The cell's elements keep the symbology they have in the library; the marker is symmetric
    // about its origin, so their extent is centred on the cell's place.
    void expectCell(const fs::path& design, const std::vector<test::OgrFeature>& placed,
                    const Vertex& at) const {
        const std::vector<test::OgrFeature> inLibrary = test::ogrFeatures(settings->library);
        ASSERT_EQ(placed.size(), inLibrary.size());
        std::vector<double> xs, ys;
        for (size_t n = 0; n < placed.size(); ++n) {
            for (const char* field : {"Type", "Level", "ColorIndex", "Weight", "Style"}) {
                EXPECT_EQ(placed[n].field(field), inLibrary[n].field(field)) << field;
            }
            const std::vector<double> xy = placed[n].coordinates();
            for (size_t v = 0; v + 1 < xy.size(); v += 2) {
                xs.push_back(xy[v]);
                ys.push_back(xy[v + 1]);
            }
        }
        ASSERT_FALSE(xs.empty());
        EXPECT_NEAR((*std::ranges::min_element(xs) + *std::ranges::max_element(xs)) / 2, at.x,
                    1e-9);
        EXPECT_NEAR((*std::ranges::min_element(ys) + *std::ranges::max_element(ys)) / 2, at.y,
                    1e-9);
        const std::string dump = dumpOf(design);
        EXPECT_NE(dump.find("name=\"" + settings->cellName + "\" origin=(" + num::text(at.x) + "," +
                            num::text(at.y) + ")"),
                  std::string::npos)
            << dump;
    }

    DefaultRunSteps programSteps;
    std::optional<Settings> settings;
};

TEST_F(OverviewEndToEnd, TheSampleBatchDrawsEachPipelineAndMarksOnlyTheSmallOne) {
    struct Sample {
        std::string header, name;
        bool marked;
    };
    // P2002 (three header files, dashed runs at the end) is the smaller pipeline.
    const std::vector<Sample> batch = {{"P1001.h", "P1001", false}, {"P2002.h1", "P2002", true}};
    runFromTheWindow(programSteps, {batch[0].header, batch[1].header});
    ASSERT_FALSE(HasFatalFailure());

    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Vistrel  completed successful"});
    const std::string log = test::readFile(logfile());
    EXPECT_EQ(test::conclusionEntries(log), std::vector<std::string>{"# no errors occured"});
    const fs::path journal = home.path() / "ustation-journal.log";
    EXPECT_EQ(test::readFile(journal).find("UNKNOWN"), std::string::npos);
    const std::vector<std::vector<std::string>> sent = keyinsByProcess(journal);
    ASSERT_EQ(sent.size(), batch.size()) << "a fresh MicroStation for each header file";

    for (size_t n = 0; n < batch.size(); ++n) {
        SCOPED_TRACE(batch[n].header);
        std::vector<std::string> dump;
        const HeaderData h = parsed(batch[n].header, batch[n].name, &dump);
        const Expected e = expectedDrawing(h, *settings);
        EXPECT_EQ(e.cell.has_value(), batch[n].marked) << "MinLineLength " << settings->minLength;

        const fs::path design = project(batch[n].name + ".vtl");
        std::vector<std::string> keyins = {"newfile " + design.string(),
                                           "fit all;selview all;reset;file",
                                           "lv=" + settings->level + ";co=" + settings->color +
                                               ";wt=" + settings->weight + ";lc=" + settings->style,
                                           "choose all;change level;choose none"};
        keyins.insert(keyins.end(), e.keyins.begin(), e.keyins.end());
        EXPECT_EQ(sent[n], keyins);
        expectDesign(design, e);
        ASSERT_GT(dump.size(), 2u);
        EXPECT_NE(log.find(text::join(dump, "\r\n") + "\r\n"), std::string::npos);
    }
}

}  // namespace
}  // namespace vtl

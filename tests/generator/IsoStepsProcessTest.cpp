// The iso-drawing steps of a run against the stand-ins: the overview stamped into the iso
// drawings, node texts filled from a workbook in a MicroStation of their own, and the stamped
// drawings plotted into a plot queue, with a drawing that cannot be opened on the way. GDAL reads
// the drawings back. These tests start and kill processes named ustation.exe, so they hold the
// shared lock.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>

#include "RunDriverTestFakes.h"
#include "StandInTools.h"
#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "common/mstnmacro.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"
#include "generator/DefaultRunSteps.h"
#include "generator/RunDriver.h"
#include "generator/Variablen.h"
#include "standins/dgn/GdalTools.h"
#include "support/StandInKill.h"
#include "support/TempDir.h"
#include "support/TextWorkbook.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::conclusionEntries;
using test::readFile;

constexpr char kQueue[] = "\\\\plotserver\\iso a3";

// The text nodes of a drawing by number, with their lines.
std::map<int, Lines> nodeLines(const fs::path& file) {
    dgn::DesignFile design = dgn::DesignFile::open(file);
    std::map<int, Lines> nodes;
    for (const dgn::Record& r : design.records()) {
        const auto* node = std::get_if<dgn::TextNodeBody>(&r.element.body);
        if (!node || r.element.deleted || r.component) continue;
        Lines& lines = nodes[node->nodeNumber];
        for (const dgn::Record* line : design.components(r))
            lines.push_back(*dgn::textOf(line->element));
    }
    return nodes;
}

class IsoStepsProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::killStandIns();
        resetRunState();
        fs::create_directories(dir / "tmp");
        FileOperationModule::TempFolder = (dir / "tmp").string();
        RunState& s = Variablen();
        s.inifile = (dir / "vtl.ini").string();
        s.logfile = (dir / "tmp/vtl.log").string();
        test::newSeeds(dir / "seed");
        fs::create_directories(iso);
        fs::copy_file(VTL_SAMPLES_DIR "/project/P1001.h", iso / "A.h");
        for (const char* sheet : {"i01", "i02"}) {
            fs::copy_file(fs::path(VTL_BUILT_SAMPLES_DIR "/project/P1001.") += sheet,
                          iso / (std::string("A.") + sheet));
        }
        fs::copy_file(VTL_SAMPLES_DIR "/project/plot/iparmfile.i", dir / "iparmfile.i");
        dir.write("vtl.ini",
                  "[Vistrel]\nseedfile=" + (dir / "seed/vtlseed.dgn").string() +
                      "\npipelv=10\npipeco=3\npipewt=2\npipelc=0\ndelLevel=10\nmstnseedview=vtl\n"
                      "refscale=1:1\nrefpoint=102,60\n[IsoCoverSheet]\nICSseedfile=" +
                      (dir / "seed/icsseed.dgn").string() +
                      "\n[I3D]\nI3Dseedfile=" + (dir / "seed/i3dseed.dgn").string() +
                      "\n[IPlot]\nIParmfile=" + (dir / "iparmfile.i").string() + "\n");
        s.IsoFileList = {(iso / "A.h").string()};
        s.IsoFileLast = 0;
        host.mstnPath = test::kStandIn;
    }
    void TearDown() override {
        test::killStandIns();
        FileOperationModule::TempFolder.clear();
        resetRunState();
    }

    void options(int16_t vtl, int16_t pellmark) {
        Variablen().createVTL = vtl;
        Variablen().Pellmark = pellmark;
    }
    void run() { RunDriver::Start_Click(host, steps); }
    Lines log() const {
        return text::split(text::replaceAll(readFile(Variablen().logfile), "\r\n", "\n"), '\n');
    }
    bool logHas(const std::string& line) const {
        const Lines lines = log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // The process that received a key-in first, as the journal names it.
    std::string receiver(const std::string& keyin) const {
        for (const test::Received& r : test::keyinsReceived(home.path() / "ustation-journal.log")) {
            if (r.keyin == keyin) return r.pid;
        }
        return "";
    }
    std::string path(const std::string& name) const { return (iso / name).string(); }

    test::ScopedPlatformHome home;
    test::TempDir dir;
    test::ScopedEnv tmp{"TMP", (dir / "tmp").string()};
    // A folder with a blank: every path of the plot commands has to hold together.
    fs::path iso = dir / "iso sheets";
    test::FakeRunHost host;
    DefaultRunSteps steps;
};

TEST_F(IsoStepsProcessTest, TheIsoDrawingsGetTheTextsOfTheirWorkbookRows) {
    host.excelfile = (dir / "nodes.xlsx").string();
    test::writeTextWorkbook(host.excelfile,
                            {{"filename", "nn=4", "NN=5", "Pos nn=6", "nn=1000", "nn=9"},
                             {"A.i01", "R1", "2024-05-14", "K. Brenner", "never", "Approved"}});
    const std::string workbookBytes = readFile(host.excelfile);
    options(0, 1);
    run();

    EXPECT_EQ(host.messages, Lines{RunDriver::kRunSucceeded});
    EXPECT_EQ(conclusionEntries(readFile(Variablen().logfile)), Lines{"# no errors occured"});
    const std::string a1 = path("A.i01"), a2 = path("A.i02");
    const Lines expected = {
        "Node header 'nn=1000' in column 5 is no node number from 0 to 999 - column not used",
        "Filling nodes in file: '" + a1 + "' ...",
        "Node: 4 filled with: 'R1'",
        "Node: 5 filled with: '2024-05-14'",
        "Node: 6 filled with: 'K. Brenner'",
        "Node: 9 in file: '" + a1 + "' was not found",
        "Filling nodes in file: '" + a2 + "' ...",
        "File: '" + a2 + "' in Excel file: '" + host.excelfile + "' not defined",
    };
    const Lines lines = log();
    auto first = std::find(lines.begin(), lines.end(), expected.front());
    ASSERT_NE(first, lines.end()) << readFile(Variablen().logfile);
    ASSERT_LE(expected.size(), static_cast<size_t>(lines.end() - first));
    EXPECT_EQ(Lines(first, first + static_cast<long>(expected.size())), expected);

    std::map<int, Lines> nodes = nodeLines(a1);
    EXPECT_EQ(nodes[1], Lines{"P1001-ISO-01"});
    EXPECT_EQ(nodes[4], Lines{"R1"});
    EXPECT_EQ(nodes[5], Lines{"2024-05-14"});
    EXPECT_EQ(nodes[6], Lines{"K. Brenner"});
    EXPECT_TRUE(nodes[7].empty());
    EXPECT_EQ(nodes.size(), 8u);
    EXPECT_TRUE(nodeLines(a2)[4].empty());
    std::vector<std::string> texts;
    for (const auto& f : test::ofType(test::ogrFeatures(a1), 17)) texts.push_back(f.field("Text"));
    for (const char* filled : {"R1", "2024-05-14", "K. Brenner"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), filled), texts.end()) << filled;
    }
    // The run's MicroStation, the filling's own and a fresh one for the steps after it.
    EXPECT_NE(receiver("newfile " + path("A.vtl")), "");
    EXPECT_NE(receiver("newfile " + a1), receiver("newfile " + path("A.vtl")));
    EXPECT_EQ(readFile(host.excelfile), workbookBytes);
}

TEST_F(IsoStepsProcessTest, StampedDrawingsArePlottedAndOneThatDoesNotOpenIsSkipped) {
    fs::copy_file(iso / "A.i02", iso / "A.i03");
    fs::remove(iso / "A.i02");
    fs::path notDesign = iso / "A.i02";
    std::filesystem::copy_file(VTL_SAMPLES_DIR "/project/P1001.h", notDesign);
    const fs::path queue = home.path() / "plotqueues/plotserver/iso a3";
    fs::create_directories(queue);
    host.plotter = kQueue;
    options(1, 0);
    run();

    EXPECT_EQ(conclusionEntries(readFile(Variablen().logfile)),
              Lines{"#  " + path("A.i02") + "  - Error at file " + path("A.i02") +
                    " - The file \"" + path("A.i02") +
                    "\" is not a DGN V7 design file or cell library"});
    EXPECT_EQ(test::entryNames(queue), (Lines{"A_001.png", "A_003.png"}));
    QImage plot(QString::fromStdString((queue / "A_001.png").string()), "PNG");
    EXPECT_EQ(plot.width(), 1024);
    // The parameter copies stay in TMP, their metafiles do not.
    const std::string copy = readFile(dir / "tmp/A_003.i");
    EXPECT_NE(copy.find("queue=" + std::string(kQueue)), std::string::npos) << copy;
    EXPECT_NE(copy.find("design=" + path("A.i03")), std::string::npos) << copy;
    EXPECT_FALSE(fs::exists(dir / "tmp/A_003.m"));
    EXPECT_TRUE(logHas("iplot: plot A_003.png submitted to queue " + std::string(kQueue)));
    // The drawing after the one that failed is stamped in a fresh MicroStation.
    EXPECT_NE(receiver("newfile " + path("A.i03")), receiver("newfile " + path("A.i01")));
    EXPECT_EQ(readFile(notDesign), readFile(VTL_SAMPLES_DIR "/project/P1001.h"));
}

// MicroStation as the run drives it, ended (as a user closes it) on the way: once the drawing
// is opened, right before the key-in named.
class EndingMicroStation : public mstn::Application {
public:
    EndingMicroStation(std::shared_ptr<mstn::Application> app, std::string drawing,
                       std::string keyin)
        : app_(std::move(app)), drawing_(std::move(drawing)), keyin_(std::move(keyin)) {}

    void MbeSendCommand(const std::string& keyin) override {
        if (keyin == "newfile " + drawing_) armed_ = true;
        if (armed_ && keyin == keyin_) test::killStandIns();
        app_->MbeSendCommand(keyin);
    }
    void MbeSendkeyin(const std::string& k) override { app_->MbeSendkeyin(k); }
    void MbeSetAppVariable(const std::string& a, const std::string& v, double x) override {
        app_->MbeSetAppVariable(a, v, x);
    }
    void MbeSendAppMessage(const std::string& a, const std::string& m) override {
        app_->MbeSendAppMessage(a, m);
    }
    void MbeSendReset() override { app_->MbeSendReset(); }
    void mbeSendDataPoint(const mstn::Point& p) override { app_->mbeSendDataPoint(p); }
    int32_t MbeCExpressionLong(const std::string& e) override {
        return app_->MbeCExpressionLong(e);
    }
    std::string MbeGetConfigVar(const std::string& n) override { return app_->MbeGetConfigVar(n); }
    std::shared_ptr<mstn::Element> MbeElement() override { return app_->MbeElement(); }
    std::shared_ptr<mstn::RefFiles> MbeRefFiles() override { return app_->MbeRefFiles(); }
    int32_t Visible() override { return app_->Visible(); }
    void setVisible(int32_t v) override { app_->setVisible(v); }
    void Quit() override { app_->Quit(); }

private:
    std::shared_ptr<mstn::Application> app_;
    std::string drawing_, keyin_;
    bool armed_ = false;
};

// The run's steps with MicroStation ending while the drawing is stamped.
struct EndingSteps : DefaultRunSteps {
    EndingSteps(std::string d, std::string k) : drawing(std::move(d)), keyin(std::move(k)) {}
    void VTLhineinkopieren() override {
        MSTNApp = std::make_shared<EndingMicroStation>(MSTNApp, drawing, keyin);
        DefaultRunSteps::VTLhineinkopieren();
    }
    std::string drawing, keyin;
};

// Killed after the fence delete, the drawing is half stamped: the old overview copy deleted,
// the reference attached. Run again, it is the drawing a clean run makes.
TEST_F(IsoStepsProcessTest, AStampCutShortByMicroStationEndingIsNamedAndARerunMendsIt) {
    fs::copy_file(VTL_BUILT_SAMPLES_DIR "/project/seed/vtlseed.dgn", dir / "seed/vtlseed.dgn",
                  fs::copy_options::overwrite_existing);
    options(1, 0);
    run();
    const std::string clean = test::ogrinfoListing(iso / "A.i02");
    fs::copy_file(fs::path(VTL_BUILT_SAMPLES_DIR "/project/P1001.i02"), iso / "A.i02",
                  fs::copy_options::overwrite_existing);

    EndingSteps ending(path("A.i02"), "fence copy;xy=0;dx=0;reset");
    RunDriver::Start_Click(host, ending);
    EXPECT_EQ(conclusionEntries(readFile(Variablen().logfile)),
              Lines{"#  " + path("A.i02") +
                    "  - is current open file:, Error:The remote server machine does not exist "
                    "or is unavailable"});
    EXPECT_NE(test::ogrinfoListing(iso / "A.i02"), clean);

    run();
    EXPECT_EQ(host.messages.back(), RunDriver::kRunSucceeded);
    EXPECT_EQ(test::ogrinfoListing(iso / "A.i02"), clean);
}

TEST_F(IsoStepsProcessTest, MicroStationEndingBeforeADrawingOpensIsNamedWithTheDrawing) {
    options(1, 0);
    EndingSteps ending(path("A.i02"), "newfile " + path("A.i02"));
    RunDriver::Start_Click(host, ending);

    EXPECT_EQ(conclusionEntries(readFile(Variablen().logfile)),
              Lines{"#  " + path("A.i02") + "  - Error at file " + path("A.i02") +
                    " - The remote server machine does not exist or is unavailable"});
    EXPECT_EQ(host.messages.back(),
              "Vistrel completed with errors - see logfile: " + Variablen().logfile);
}

// The features of one level, in file order.
std::vector<test::OgrFeature> onLevel(const std::vector<test::OgrFeature>& features, int level) {
    std::vector<test::OgrFeature> found;
    for (const test::OgrFeature& f : features) {
        if (f.number("Level") == level) found.push_back(f);
    }
    return found;
}

TEST_F(IsoStepsProcessTest, ADrawingStampedTwiceHoldsOneCopyOfTheOverviewAndNoAttachment) {
    // The sample's overview seed holds the plant (outline, grid lines and labels: 21 elements)
    // and the saved view VTL from (-10,-5) to (40,35), centre (15,15). At 1:2 with its centre at
    // (100,70) an overview point (x,y) lands at (100 + (x - 15) / 2, 70 + (y - 15) / 2).
    fs::copy_file(VTL_BUILT_SAMPLES_DIR "/project/seed/vtlseed.dgn", dir / "seed/vtlseed.dgn",
                  fs::copy_options::overwrite_existing);
    INIFileModule::WriteINI(Variablen().inifile, "Vistrel", "refscale", "1:2");
    INIFileModule::WriteINI(Variablen().inifile, "Vistrel", "refpoint", "100,70");
    const std::vector<test::OgrFeature> sheet = test::ogrFeatures(iso / "A.i01");
    ASSERT_TRUE(onLevel(sheet, 10).empty());
    options(1, 0);
    run();
    run();
    EXPECT_EQ(host.messages, (Lines{RunDriver::kRunSucceeded, RunDriver::kRunSucceeded}));

    const dgn::DesignFile stamped = dgn::DesignFile::open(iso / "A.i01");
    EXPECT_TRUE(dgn::references(stamped).empty());
    const std::vector<test::OgrFeature> features = test::ogrFeatures(iso / "A.i01");
    const std::vector<test::OgrFeature> pipes = onLevel(test::ogrFeatures(iso / "A.vtl"), 10);
    const std::vector<test::OgrFeature> copies = onLevel(features, 10);
    ASSERT_GT(pipes.size(), 21u) << "the plant moved to the pipe level, then the pipes";
    ASSERT_EQ(copies.size(), pipes.size());
    const std::vector<double> outline = {90.5, 60.5, 109.5, 60.5, 109.5,
                                         76.5, 90.5, 76.5,  90.5, 60.5};
    ASSERT_EQ(copies[0].coordinates().size(), outline.size()) << copies[0].geometry;
    for (size_t v = 0; v < outline.size(); ++v) {
        EXPECT_NEAR(copies[0].coordinates()[v], outline[v], 1e-3) << copies[0].geometry;
    }
    for (size_t n = 0; n < pipes.size(); ++n) {
        const std::vector<double> from = pipes[n].coordinates(), to = copies[n].coordinates();
        ASSERT_EQ(to.size(), from.size()) << copies[n].geometry;
        for (size_t v = 0; v + 1 < from.size(); v += 2) {
            EXPECT_NEAR(to[v], 100 + (from[v] - 15) / 2, 1e-3) << copies[n].geometry;
            EXPECT_NEAR(to[v + 1], 70 + (from[v + 1] - 15) / 2, 1e-3) << copies[n].geometry;
        }
        EXPECT_EQ(copies[n].field("ColorIndex"), n == 0 ? "7" : n < 21 ? "1" : "3");
    }
    // The sheet's own elements stay as they were.
    EXPECT_EQ(features.size() - copies.size(), sheet.size());
}

}  // namespace
}  // namespace vtl

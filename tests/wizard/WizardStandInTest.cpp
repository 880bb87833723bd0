// The wizard against the stand-in MicroStation: working copies of a drawing and its references
// (a blank in a reference's path, a reference whose file is gone), the colour table, every page
// prepared, a save that the main program reads back the same after a second save, and the
// previews changing the working copies as the status bars say while the user's files stay as
// they were. These tests start and kill processes named ustation.exe, so they hold the shared
// lock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "WizardFixture.h"
#include "common/INIFileModule.h"
#include "core/Text.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"
#include "generator/ConfigINI.h"
#include "generator/Variablen.h"
#include "standins/dgn/GdalTools.h"
#include "support/StandInKill.h"
#include "support/TempDir.h"

namespace vtl::wizard::test {
namespace {

namespace fs = std::filesystem;
namespace dgn = vtl::dgn;

const std::string kStandIn = VTL_STANDINS_DIR "/ustation.exe";

// A sheet of 420 by 297 with a line across, in a new 2-D design file.
void sheet(const fs::path& file, double x0, double y0) {
    fs::create_directories(file.parent_path());
    dgn::DesignFile d = dgn::DesignFile::create(file, dgn::Dimension::Two);
    const dgn::DesignHeader& h = d.header();
    dgn::Element line = dgn::makeLineString({h.toUors(x0, y0), h.toUors(420, 297)});
    line.level = 5;
    line.symbology = {3, 1, 0};
    d.append(line);
}

void attach(const fs::path& master, const std::string& file, const std::string& logicalName) {
    dgn::DesignFile d = dgn::DesignFile::open(master);
    dgn::ReferenceBody r;
    r.file = file;
    r.logicalName = logicalName;
    dgn::attachReference(d, r);
}

class WizardStandInTest : public ::testing::Test {
protected:
    void SetUp() override {
        vtl::test::killStandIns();
        fs::create_directories(dir / "temp");
        sheet(dir / "seed/vtlseed.dgn", 10, 10);
        sheet(dir / "seed/icsseed.dgn", 0, 0);
        dgn::DesignFile::create(dir / "seed/i3dseed.dgn", dgn::Dimension::Three);
        sheet(dir / "iso/demo.i01", 50, 40);
        sheet(dir / "refs with blanks/frame plan.dgn", 0, 0);
        attach(dir / "iso/demo.i01", (dir / "refs with blanks/frame plan.dgn").string(), "FRAME");
        attach(dir / "iso/demo.i01", (dir / "refs/gone.dgn").string(), "GONE");
        std::ofstream(ini) << "[Vistrel]\nseedfile=" << (dir / "seed/vtlseed.dgn").string()
                           << "\nISOGENIsometryFile=" << (dir / "iso/demo.i01").string()
                           << "\n[IsoCoverSheet]\nicsseedfile="
                           << (dir / "seed/icsseed.dgn").string()
                           << "\n[I3D]\nI3Dseedfile=" << (dir / "seed/i3dseed.dgn").string()
                           << "\n";
        host.mstnPath = kStandIn;
        host.inifile = ini.string();
        host.folder = dir / "program";
    }
    void TearDown() override {
        form.reset();
        MSTNApp.reset();
        vtl::test::killStandIns();
        resetRunState();
    }
    std::unique_ptr<WizardForm> open() {
        auto f = std::make_unique<WizardForm>(host);
        f->Form_Load();
        f->Timer1.tick();
        return f;
    }
    // What the main program reads of the file, as its run log shows it.
    std::string readByTheRun(const std::string& log) {
        Variablen().inifile = ini.string();
        Variablen().logfile = (dir / log).string();
        ReadINIVariables();
        return readFile(dir / log);
    }

    // The master point where a point of the reference shows, through the attachment of that
    // logical name in the master file; fails the test unless exactly one such attachment exists.
    std::array<double, 2> shownAt(const fs::path& master, const std::string& logicalName,
                                  const fs::path& reference, double x, double y) {
        const dgn::DesignFile m = dgn::DesignFile::open(master);
        int found = 0;
        for (const dgn::StoredReference& r : dgn::references(m)) {
            found += r.body.logicalName == logicalName;
        }
        EXPECT_EQ(found, 1) << logicalName;
        const std::optional<dgn::StoredReference> r = dgn::findReference(m, logicalName);
        if (!r) return {};
        const dgn::Point at = dgn::DesignFile::open(reference).header().toUors(x, y);
        const std::array<double, 3> uors = dgn::referenceToMaster(r->body, at);
        const dgn::DesignHeader& h = m.header();
        return {(uors[0] - h.origin[0]) / h.uorPerMaster(),
                (uors[1] - h.origin[1]) / h.uorPerMaster()};
    }
    // The journal's lines that mark a key-in as unknown or not carried out.
    std::vector<std::string> marked() const {
        std::vector<std::string> found;
        std::istringstream journal(readFile(home.path() / "ustation-journal.log"));
        for (std::string line; std::getline(journal, line);) {
            if (line.find("UNKNOWN") != std::string::npos ||
                line.find("ignored") != std::string::npos) {
                found.push_back(line);
            }
        }
        return found;
    }
    long journaled(const std::string& keyin) const {
        std::istringstream journal(readFile(home.path() / "ustation-journal.log"));
        long n = 0;
        for (std::string line; std::getline(journal, line);) {
            n += line.size() > keyin.size() &&
                 line.compare(line.size() - keyin.size(), keyin.size(), keyin) == 0 &&
                 line.find("] keyin ") != std::string::npos;
        }
        return n;
    }

    TempDir dir;
    vtl::test::ScopedPlatformHome home;
    vtl::test::ScopedEnv temp{"TEMP", (dir / "temp").string()};
    fs::path ini = dir / "config.ini";
    FakeHost host;
    platform::RecordingMessageBoxes messages;
    platform::ScopedMessageBoxes scopedMessages{messages};
    std::unique_ptr<WizardForm> form;
};

TEST_F(WizardStandInTest, EveryPageIsPreparedOnWorkingCopiesGdalReadsAsTheSources) {
    form = open();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{});
    const fs::path isoCopy = form->txtISOFile.Tag;
    // The iso drawing's shown reference is copied beside it, the one whose file is gone not.
    EXPECT_EQ(vtl::test::entryNames(isoCopy.parent_path()),
              (std::vector<std::string>{"demo.i01", "frame plan.dgn"}));
    for (const auto& [source, copy] :
         {std::pair{dir / "iso/demo.i01", isoCopy},
          std::pair{dir / "seed/vtlseed.dgn", fs::path(form->txtVTLSeedFile[0]->Tag)},
          std::pair{dir / "seed/icsseed.dgn", fs::path(form->txtICSSeedFile[0]->Tag)}}) {
        const auto expected = vtl::test::ogrFeatures(source);
        const auto found = vtl::test::ogrFeatures(copy);
        ASSERT_EQ(found.size(), expected.size()) << copy;
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].fields, expected[i].fields) << copy;
            EXPECT_EQ(found[i].geometry, expected[i].geometry) << copy;
        }
    }
    // The colour table the stand-in ships, 256 colours, white first.
    ASSERT_EQ(form->lvPipeColor.items().size(), 256u);
    EXPECT_EQ(form->lvPipeColor.items()[0].foreColor, 0xFFFFFFu);
    // The iso drawing with its frame reaches from 0,0 (the frame) to 420,297.
    EXPECT_EQ(form->HScrollVistrel.Min(), 0);
    EXPECT_EQ(form->HScrollVistrel.Max(), 32747);
    EXPECT_DOUBLE_EQ(VTLWizardBase::seedExtent.xmin, 10);

    form->SSTab.setTab(1);
    form->SSTab.setTab(2);
    form->SSTab.setTab(0);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{});
    EXPECT_NE(MSTNApp, nullptr);
    EXPECT_EQ(MSTNApp->Visible(), 1);
}

TEST_F(WizardStandInTest, ASavedConfigurationReadsTheSameAfterTheNextSave) {
    form = open();
    form->icmbPipeWeight.select(5, By::User);
    form->cmbPipeLevel.pick(11);
    form->SSTab.setTab(1);  // leaving the page saves it
    form->TDBGrid.setColumnWidth(2, 77, By::User);
    form->HScrollTab.setValue(4000, By::User);
    form->icmbIso3DStyle.select(3, By::User);
    form->cmdClose.click();
    ASSERT_EQ(messages.texts(), std::vector<std::string>{});
    EXPECT_EQ(INIFileModule::ReadINI(ini.string(), "Vistrel", "pipewt", ""), "4");
    EXPECT_EQ(INIFileModule::ReadINI(ini.string(), "Vistrel", "pipelv", ""), "12");
    EXPECT_EQ(INIFileModule::ReadINI(ini.string(), "I3D", "I3DLENtextlc", ""), "2");
    const std::string first = readByTheRun("first.log");

    // The same values chosen again and saved: the main program reads what it read before.
    form = open();
    form->icmbPipeWeight.select(5, By::User);
    form->SSTab.setTab(2);
    form->icmbIso3DStyle.select(3, By::User);
    form->cmdClose.click();
    EXPECT_EQ(readByTheRun("second.log"), first);
}

// The key plan's bars on the iso drawing: its copy has one attachment of the overview seed's
// copy, its saved view's centre (the seed's line from 10,10 to 420,297 fitted) at the point the
// status bar shows, at its scale.
TEST_F(WizardStandInTest, MovingTheKeyPlansBarsMovesItsReferenceWhereTheStatusBarSays) {
    form = open();
    form->HScrollScaleVistrel.setValue(103, By::User);  // 3:1
    form->HScrollVistrel.setValue(7797, By::User);
    form->VScrollVistrel.setValue(3899, By::User);
    ASSERT_EQ(messages.texts(), std::vector<std::string>{});
    // The drawing with its frame reference is 420 by 297: a bar unit is 420 / 32747 across and
    // 297 / 32747 up.
    const double x = 7797 * 420.0 / 32747, y = 3899 * 297.0 / 32747;
    EXPECT_EQ(form->StatusBar1.panel(1), "Scale (M:R): 3:1");
    EXPECT_EQ(form->StatusBar1.panel(2), "XY: 100.00122,35.36211");
    const fs::path iso = form->txtISOFile.Tag, seed = form->txtVTLSeedFile[0]->Tag;
    const auto centre = shownAt(iso, "VTL", seed, 215, 153.5);
    EXPECT_NEAR(centre[0], x, 1e-3);
    EXPECT_NEAR(centre[1], y, 1e-3);
    const auto corner = shownAt(iso, "VTL", seed, 10, 10);
    EXPECT_NEAR(corner[0], x - 3 * 205, 1e-3);
    EXPECT_NEAR(corner[1], y - 3 * 143.5, 1e-3);
    // On the page "Pipe line" it is detached.
    form->SSTab1.setTab(1);
    EXPECT_FALSE(dgn::findReference(dgn::DesignFile::open(iso), "VTL"));
    EXPECT_EQ(marked(), std::vector<std::string>{});
}

// A colour chosen on the page "Pipe line": one sample line across the key plan's range on the
// scratch level, in that colour; the drawing's own line stays, and leaving the page removes it.
TEST_F(WizardStandInTest, AChosenColourRedrawsTheSampleLineInIt) {
    form = open();
    form->SSTab1.setTab(1);
    form->lvPipeColor.select(6, By::User);
    form->icmbPipeWeight.select(3, By::User);
    ASSERT_EQ(messages.texts(), std::vector<std::string>{});
    const fs::path iso = form->txtISOFile.Tag;
    auto lines = [&iso] {
        std::vector<std::string> found;
        for (const vtl::test::OgrFeature& f : vtl::test::ogrFeatures(iso)) {
            found.push_back(f.field("Type") + "@" + f.field("Level") + " colour " +
                            f.field("ColorIndex") + " weight " + f.field("Weight") + " " +
                            f.geometry);
        }
        return found;
    };
    EXPECT_EQ(lines(),
              (std::vector<std::string>{"4@5 colour 3 weight 1 LINESTRING (50 40,420 297)",
                                        "3@40 colour 5 weight 2 LINESTRING (0 0,420 297)"}));
    EXPECT_EQ(form->StatusBar2.panel(1), "Color: 5");
    form->SSTab1.setTab(0);
    EXPECT_EQ(lines(),
              std::vector<std::string>{"4@5 colour 3 weight 1 LINESTRING (50 40,420 297)"});
    EXPECT_EQ(marked(), std::vector<std::string>{});
}

// A column of the sample grid made wider: the table's texts on the cover sheet's copy move to
// the right of it by its width in twips times gridstep (TABZpoint 72 over the grid's 7200
// twips: 0.01 drawing units per twip).
TEST_F(WizardStandInTest, AWiderGridColumnMovesTheTablesTextsBesideIt) {
    INIFileModule::WriteINI(ini.string(), "IsoCoverSheet", "TABZpoint", "72");
    form = open();
    form->SSTab.setTab(1);
    form->SSTab2.setTab(1);
    form->HScrollTab.setValue(7797, By::User);
    form->VScrollTab.setValue(11026, By::User);
    form->TDBGrid.setRowHeight(300, By::User);
    form->TDBGrid.setColumnWidth(0, 3000, By::User);
    ASSERT_EQ(messages.texts(), std::vector<std::string>{});
    const double x = 7797 * 420.0 / 32747, y = 11026 * 297.0 / 32747;
    EXPECT_EQ(form->StatusBar4.panel(7), "XY: 100.00122,100.00067");
    // The texts on the scratch level in the order drawn: the last record first, field by field.
    auto texts = [this] {
        std::vector<std::pair<std::string, std::vector<double>>> drawn;
        for (const auto& f : vtl::test::ogrFeatures(form->txtICSSeedFile[0]->Tag)) {
            if (f.field("Type") == "17" && f.field("Level") == "40") {
                drawn.emplace_back(f.field("Text"), f.coordinates());
            }
        }
        return drawn;
    };
    auto table = texts();
    ASSERT_EQ(table.size(), 15u);
    EXPECT_EQ((std::vector<std::string>{table[0].first, table[1].first, table[2].first,
                                        table[4].first, table[5].first, table[10].first}),
              (std::vector<std::string>{"1", "Stutzen1", "Grid-Line-1  111", "1", "2", "3"}));
    EXPECT_NEAR(table[0].second[0], x, 1e-3);
    EXPECT_NEAR(table[0].second[1], y, 1e-3);
    EXPECT_NEAR(table[1].second[0], x + 30, 1e-3);
    // Rows twice the row height apart, a twip of it taken as a bar unit up.
    EXPECT_NEAR(table[6].second[1], y + 2 * 300 * 297.0 / 32747, 1e-3);
    EXPECT_NEAR(table[11].second[1], y + 4 * 300 * 297.0 / 32747, 1e-3);
    form->TDBGrid.setColumnWidth(0, 5000, By::User);
    table = texts();
    ASSERT_EQ(table.size(), 15u);
    EXPECT_NEAR(table[1].second[0], x + 50, 1e-3);
    EXPECT_NEAR(table[2].second[0], x + 50 + 14.4, 1e-3);  // the next column is 1440 twips wide
    EXPECT_EQ(marked(), std::vector<std::string>{});
}

// A whole session of previews on every page: the 3-D view's 2-D copy is built once per page
// change and attached at its scale times the overview seed's size, every key-in is carried out,
// and none of the user's files is written.
TEST_F(WizardStandInTest, EveryPreviewLeavesTheUsersFilesAsTheyWere) {
    const std::vector<fs::path> own = {dir / "seed/vtlseed.dgn", dir / "seed/icsseed.dgn",
                                       dir / "seed/i3dseed.dgn", dir / "iso/demo.i01",
                                       dir / "refs with blanks/frame plan.dgn"};
    std::vector<std::string> before;
    for (const fs::path& file : own) before.push_back(readFile(file));
    form = open();
    form->HScrollVistrel.setValue(5000, By::User);
    for (int page : {1, 2}) {
        form->SSTab1.setTab(page);
        form->lvPipeColor.select(page + 2, By::User);
    }
    form->txtCellName.setText("MARKER", By::User);
    form->SSTab.setTab(1);
    EXPECT_EQ(journaled("MDL LOAD cnvdgn"), 1);
    for (int page : {0, 1, 2}) {
        form->SSTab2.setTab(page);
        form->HScrollIsoCoverSheet.setValue(9000 + page, By::User);
        form->lvTabColor.select(4, By::User);
        form->lvLineEndColor.select(5, By::User);
        form->TDBGrid.setColumnWidth(1, 2000 + page, By::User);
    }
    form->SSTab.setTab(2);
    EXPECT_EQ(journaled("MDL LOAD cnvdgn"), 2);
    for (int page : {0, 1}) {
        form->SSTab3.setTab(page);
        form->HScrollScaleIso3D.setValue(95 + page, By::User);
        form->lvIso3DColor.select(7, By::User);
    }
    EXPECT_EQ(journaled("MDL LOAD cnvdgn"), 2);
    form->SSTab3.setTab(0);
    ASSERT_EQ(messages.texts(), std::vector<std::string>{});
    // 1:4 on the bar; the seed is 410 by 287: F = 0.41.
    EXPECT_EQ(form->StatusBar7.panel(1), "Scale (M:R): 1:4");
    const fs::path sheet = form->txtICSSeedFile[0]->Tag, view = form->txtI3DSeedFile.Tag;
    const auto a = shownAt(sheet, "I3D", view, 0, 0), b = shownAt(sheet, "I3D", view, 1.64, 0);
    EXPECT_NEAR(b[0] - a[0], 1, 1e-6);
    // The copy holds the cross over the seed's extent in the pipe's symbology.
    std::vector<std::string> cross;
    for (const auto& f : vtl::test::ogrFeatures(view)) cross.push_back(f.geometry);
    EXPECT_EQ(cross, (std::vector<std::string>{"LINESTRING (10 10,420 297)",
                                               "LINESTRING (420 10,10 297)"}));
    form->cmdClose.click();
    for (size_t i = 0; i < own.size(); ++i) EXPECT_EQ(readFile(own[i]), before[i]) << own[i];
    EXPECT_EQ(marked(), std::vector<std::string>{});
}

// The sample project as the demo sets it up, its grid file and cover-sheet macro missing: a
// session changes the keys its controls write and no other, and creates the two files.
class SampleConfigurationTest : public WizardStandInTest {
protected:
    void SetUp() override {
        vtl::test::killStandIns();
        fs::create_directories(dir / "temp");
        const fs::path samples = dir / "samples";
        for (const char* from : {VTL_SAMPLES_DIR, VTL_BUILT_SAMPLES_DIR}) {
            fs::copy(from, samples,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        ini = samples / "project/vtl-sample.ini";
        original = vtl::text::replaceAll(readFile(ini), "@SAMPLES@", samples.string());
        std::ofstream(ini, std::ios::binary) << original;
        iso = samples / "project/iso";
        fs::remove(iso / "FW_project.dat");
        fs::remove(iso / "icsmacro.bas");
        host.mstnPath = kStandIn;
        host.inifile = ini.string();
        host.folder = dir / "program";
    }
    // The wizard open on the table page of the cover sheet.
    void openOnTheTable() {
        form = open();
        form->SSTab.setTab(1);
        form->SSTab2.setTab(1);
    }
    // Closes the wizard; the INI holds what it held, but for the lines given.
    void closedWith(const std::vector<std::pair<std::string, std::string>>& lines) {
        form->cmdClose.click();
        ASSERT_EQ(messages.texts(), std::vector<std::string>{});
        std::string expected = original;
        for (const auto& [from, to] : lines) {
            ASSERT_NE(expected.find(from + "\n"), std::string::npos) << from;
            expected = vtl::text::replaceAll(expected, from + "\n", to + "\n");
        }
        EXPECT_EQ(readFile(ini), expected);
    }

    std::string original;
    fs::path iso;
};

TEST_F(SampleConfigurationTest, EveryPageVisitedAndClosedLeavesTheINIAsItWas) {
    form = open();
    EXPECT_EQ(form->StatusBar1.panel(1), "Scale (M:R): 7:10");
    EXPECT_EQ(form->StatusBar1.panel(2), "XY: 118,76.5");
    for (int page : {1, 2, 0}) form->SSTab1.setTab(page);
    form->SSTab.setTab(1);
    for (int page : {1, 2, 0}) form->SSTab2.setTab(page);
    EXPECT_EQ(form->StatusBar3.panel(1), "Scale (M:R): 4:1");
    EXPECT_EQ(form->StatusBar7.panel(1), "Scale (M:R): 100:1000");
    EXPECT_EQ(form->StatusBar7.panel(2), "XY: 300,75");
    form->SSTab.setTab(2);
    for (int page : {1, 0}) form->SSTab3.setTab(page);
    form->SSTab.setTab(0);
    closedWith({});
    EXPECT_EQ(readFile(iso / "FW_project.dat"), "");
    EXPECT_EQ(readFile(iso / "icsmacro.bas"), "Sub main\r\nEnd Sub\r\n");
    EXPECT_EQ(marked(), std::vector<std::string>{});
}

// The x of the key plan's point follows the bar, a bar unit 139 / 32747 across the iso drawing;
// its y and the scale stay as configured.
TEST_F(SampleConfigurationTest, ABarWritesItsCoordinateOnly) {
    form = open();
    form->HScrollVistrel.setValue(7797, By::User);
    EXPECT_EQ(form->StatusBar1.panel(1), "Scale (M:R): 7:10");
    EXPECT_EQ(form->StatusBar1.panel(2), "XY: 33.09564,76.5");
    closedWith({{"refpoint=118,76.5", "refpoint=33.09564,76.5"}});
}

TEST_F(SampleConfigurationTest, AColourWritesItsKeyOnly) {
    openOnTheTable();
    form->lvTabColor.select(6, By::User);
    closedWith({{"TABtextco=2", "TABtextco=5"}});
}

TEST_F(SampleConfigurationTest, ANumberWritesItsKeyOnly) {
    form = open();
    form->SSTab.setTab(2);
    form->SSTab3.setTab(1);
    form->txtIso3DHeight.setText("45", By::User);
    closedWith({{"I3DLENtexttx=40", "I3DLENtexttx=45"}});
}

// The column "Connect to" 360 twips wider: the columns right of it move by 360 / 7200 of the
// configured TABZpoint, 200.
TEST_F(SampleConfigurationTest, AColumnWidthMovesTheColumnsRightOfIt) {
    openOnTheTable();
    form->TDBGrid.setColumnWidth(1, form->TDBGrid.columnWidth(1) + 360, By::User);
    closedWith({{"TABXpoint=130", "TABXpoint=140"},
                {"TABYpoint=165", "TABYpoint=175"},
                {"TABZpoint=200", "TABZpoint=210"}});
}

// The configured table runs downwards: with rows of 500 twips (bar units of 297 / 32747 up) it
// still does, in the preview as in the INI.
TEST_F(SampleConfigurationTest, ARowHeightKeepsTheTablesDirection) {
    openOnTheTable();
    form->TDBGrid.setRowHeight(500, By::User);
    std::map<std::string, double> rows;  // the y of each row's number
    for (const auto& f : vtl::test::ogrFeatures(form->txtICSSeedFile[0]->Tag)) {
        if (f.field("Type") == "17" && f.field("Level") == "10") {  // the pipe level
            rows.emplace(f.field("Text"), f.coordinates()[1]);
        }
    }
    EXPECT_NEAR(rows["1"], 250, 1e-3);
    EXPECT_NEAR(rows["2"], 240.930467, 1e-3);
    EXPECT_NEAR(rows["3"], 231.860934, 1e-3);
    closedWith({{"TABlinespacing=-6", "TABlinespacing=-9.06953308700034"}});
}

}  // namespace
}  // namespace vtl::wizard::test

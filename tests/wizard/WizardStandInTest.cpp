// The wizard against the stand-in MicroStation: working copies of a drawing and its references
// (a blank in a reference's path, a reference whose file is gone), the colour table, every page
// prepared, and a save that the main program reads back the same after a second save. These
// tests start and kill processes named ustation.exe, so they hold the shared lock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "WizardFixture.h"
#include "common/INIFileModule.h"
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

}  // namespace
}  // namespace vtl::wizard::test

// A whole run from the main window against the stand-in MicroStation: header file chosen, Start
// pressed, the closing message read. It starts and kills processes named ustation.exe, so it
// holds the shared lock.
#include <QCheckBox>
#include <QPushButton>

#include "VTLWindowFixture.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using test::kStandIn;

class VTLRun : public test::StandInWindowFixture {
protected:
    void SetUp() override {
        test::StandInWindowFixture::SetUp();
        if (IsSkipped()) return;
        test::newSeeds(dir / "seed");
        dir.write("project/config.ini",
                  "[Programm]\ncreateVTL=0\ncreateICS=0\ncreateI3D=0\n[Pellmark]\nPellmark=0\n"
                  "[Vistrel]\nseedfile=" +
                      (dir / "seed/vtlseed.dgn").string() +
                      "\n[IsoCoverSheet]\nICSseedfile=" + (dir / "seed/icsseed.dgn").string() +
                      "\n[I3D]\nI3Dseedfile=" + (dir / "seed/i3dseed.dgn").string() + "\n");
        fs::create_directories(dir / "iso");
        fs::copy_file(VTL_SAMPLES_DIR "/project/P1001.h", dir / "iso/P1001.h");
    }
};

TEST_F(VTLRun, ARunFromTheWindowEndsWithItsMessageAndAnExitDuringItWaitsForTheEnd) {
    VTL& vtl = start();
    vtl.show();
    waitForStartUpTimer();
    EXPECT_EQ(vtl.GetMSTNPath(), kStandIn);
    dialogs.answer((dir / "iso/P1001.h").string());
    QTest::mouseClick(find<QPushButton>("hfilewahl"), Qt::LeftButton);

    bool choiceLocked = false, optionsLive = false, stillOpen = false;
    steps.onOverview = [&] {
        choiceLocked =
            !find<QWidget>("hfilewahl")->isEnabled() && !find<QWidget>("cmbMSTNPath")->isEnabled();
        optionsLive = find<QCheckBox>("createVTL")->isEnabled();
        QTest::mouseClick(find<QPushButton>("Exit"), Qt::LeftButton);
        stillOpen = vtl.isVisible() && programEnds == 0;
    };
    QTest::mouseClick(find<QPushButton>("Start"), Qt::LeftButton);

    EXPECT_EQ(steps.overviews, 1);
    EXPECT_TRUE(choiceLocked);
    EXPECT_TRUE(optionsLive);
    EXPECT_TRUE(stillOpen);
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_EQ(messages.texts().back(), "Vistrel  completed successful");
    EXPECT_TRUE(fs::exists(dir / "iso/P1001.vtl"));
    // The Exit pressed during the run ends the program now that the run is over.
    EXPECT_FALSE(vtl.isVisible());
    EXPECT_EQ(programEnds, 1);
}

}  // namespace
}  // namespace vtl

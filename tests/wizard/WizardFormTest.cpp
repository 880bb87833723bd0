// The wizard's frame without a window: its start-up checks and lists, the sample table, the
// watchdog, the file boxes with their working copies and keys, Browse, and closing.
#include <unistd.h>

#include <array>
#include <filesystem>

#include "WizardFixture.h"

namespace vtl::wizard::test {
namespace {

namespace fs = std::filesystem;

class WizardFormTest : public WizardTest {
protected:
    fs::path wizardFolder() const {
        return dir / "temp" / ("vtl-wizard-" + std::to_string(::getpid()));
    }
};

TEST_F(WizardFormTest, AnotherInstanceEndsTheProgramSilently) {
    host.prevInstance = true;
    EXPECT_FALSE(form->Form_Initialize());
    EXPECT_EQ(host.ended, 1);
    EXPECT_TRUE(messageTexts().empty());
}

TEST_F(WizardFormTest, AnOpenMicroStationEndsTheProgramWithAMessage) {
    EXPECT_FALSE(form->Form_Initialize());  // the fixture's MicroStation window is open
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"Please close first all MicroStation instances"});
    EXPECT_EQ(host.ended, 1);
}

TEST_F(WizardFormTest, StartUpFillsTheListsAndTheSampleTable) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    EXPECT_EQ(form->Timer1.Interval(), 0);
    EXPECT_EQ(form->Timer2.Interval(), 1000);
    for (const ComboBox* level : {&form->cmbPipeLevel, &form->cmbTabLevel}) {
        ASSERT_EQ(level->items().size(), 63u);
        EXPECT_EQ(level->items().front(), "1");
        EXPECT_EQ(level->items().back(), "63");
    }
    EXPECT_EQ(form->icmbTabStyle.items().size(), 8u);
    EXPECT_EQ(form->icmbTabStyle.items()[7].image, 8);
    EXPECT_EQ(form->icmbIso3DWeight.items().size(), 16u);
    ado::Recordset& table = form->sampleTable;
    EXPECT_EQ(table.RecordCount(), 3);
    table.MoveFirst();
    std::vector<std::string> first;
    for (long i = 0; i < table.Fields().Count(); ++i)
        first.push_back(table.Fields()(i).Value().text());
    EXPECT_EQ(first, (std::vector<std::string>{"3", "Stutzen3", "Grid-Line-3  333",
                                               "Grid-Line-C 333", "3"}));
    EXPECT_EQ(table.Fields()(1).Name(), "Connect to");
    EXPECT_EQ(form->TDBGrid.columnCount(), 5);
}

TEST_F(WizardFormTest, TheConfigurationIsTheMainWindowsOrTheProgramsOwn) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    EXPECT_EQ(form->txtVTLConfig.Text(), ini.string());
    EXPECT_EQ(form->txtISOFile.Text(), (dir / "iso/demo.i01").string());
    EXPECT_EQ(form->txtVTLSeedFile[1]->Text(), (dir / "seed/vtlseed.dgn").string());
}

TEST_F(WizardFormTest, AConfigurationInAMissingFolderGivesWayToTheProgramsOwn) {
    host.inifile = "/no/such/folder/a.ini";
    start();
    EXPECT_EQ(form->txtVTLConfig.Text(), (host.folder / "vtl.ini").string());
}

TEST_F(WizardFormTest, EachRoleCopiesIntoItsOwnFolderAndWritesItsKeyOnlyWhenItChanged) {
    // Two seeds of one name do not share a working copy.
    configure("[Vistrel]\nseedfile=" + file("a/seed.dgn", "vistrel") +
              "\nISOGENIsometryFile=" + file("iso/demo.i01") + "\n[IsoCoverSheet]\nicsseedfile=" +
              file("b/seed.dgn", "cover") + "\n[I3D]\nI3Dseedfile=" + file("c/seed.dgn") + "\n");
    const std::string before = readFile(ini);
    drawing(0, 420, 0, 297);
    start();
    EXPECT_EQ(form->txtVTLSeedFile[0]->Tag, (wizardFolder() / "vistrel-seed/seed.dgn").string());
    EXPECT_EQ(form->txtVTLSeedFile[1]->Tag, form->txtVTLSeedFile[0]->Tag);
    EXPECT_EQ(readFile(form->txtVTLSeedFile[0]->Tag), "vistrel");
    EXPECT_EQ(readFile(form->txtICSSeedFile[0]->Tag), "cover");
    EXPECT_EQ(form->txtI3DSeedFile.Tag, (wizardFolder() / "iso3d/I3D2D.dgn").string());
    EXPECT_EQ(readFile(ini), before);  // every box shows what the file holds
}

TEST_F(WizardFormTest, AConfiguredFileThatIsMissingEmptiesItsBoxAndKeepsItsKey) {
    configure(sampleIni());
    INIFileModule::WriteINI(ini.string(), "I3D", "I3Dseedfile", (dir / "gone.dgn").string());
    drawing(0, 420, 0, 297);
    start();
    EXPECT_EQ(form->txtI3DSeedFile.Text(), "");
    EXPECT_EQ(key("I3D", "I3Dseedfile"), (dir / "gone.dgn").string());
    // The user empties the box: that is written.
    form->txtI3DSeedFile.setText(file("seed/other.dgn"), By::User);
    form->txtI3DSeedFile.setText("", By::User);
    EXPECT_EQ(key("I3D", "I3Dseedfile"), "");
}

TEST_F(WizardFormTest, ChoosingASeedSavesThePageFirstThenCopiesAndPreparesThePage) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    form->SSTab.setTab(1);
    form->icmbTabWeight.select(5, By::User);
    fake->keyins.clear();
    const std::string chosen = file("p/seed.dgn", "new seed");
    dialogs.answer(chosen);
    form->btnSelectFile[2]->click();
    EXPECT_EQ(key("IsoCoverSheet", "TABtextwt"), "4");  // the page, saved before the choice
    EXPECT_EQ(dialogs.requests().back().filters.front().patterns,
              std::vector<std::string>{"*.dgn"});
    EXPECT_EQ(dialogs.requests().back().initialDir, (dir / "seed/").string());
    EXPECT_EQ(form->txtVTLSeedFile[0]->Text(), chosen);
    EXPECT_EQ(form->txtVTLSeedFile[1]->Text(), chosen);
    EXPECT_EQ(key("Vistrel", "seedfile"), chosen);
    EXPECT_EQ(readFile(form->txtVTLSeedFile[0]->Tag), "new seed");
    // One copy (the mirror box does not copy again), then the page is prepared afresh.
    EXPECT_EQ(fake->keyins[0], "NEWFILE " + chosen);
    EXPECT_EQ(fake->keyins[1], "exit");
    EXPECT_EQ(fake->keyins[2], "NEWFILE " + form->txtVTLSeedFile[0]->Tag);
    EXPECT_EQ(fake->keyins.back(), "FIT ALL;dx=0");
}

TEST_F(WizardFormTest, ACancelledDialogChangesNothing) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    fake->keyins.clear();
    dialogs.cancel();
    form->btnSelectFile[1]->click();
    EXPECT_EQ(key("Vistrel", "ISOGENIsometryFile"), (dir / "iso/demo.i01").string());
    EXPECT_EQ(key("Vistrel", "pipeco"), "3");  // the page shown is saved all the same
    EXPECT_TRUE(fake->keyins.empty());
    EXPECT_EQ(form->txtISOFile.Text(), (dir / "iso/demo.i01").string());
}

TEST_F(WizardFormTest, OpenHandsTheBoxesFileToTheShellAndShowsItsFailure) {
    vtl::test::FakeShell shell;
    platform::ScopedShell scopedShell(shell);
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    form->btnOpenFile[5]->click();  // the mirror's button opens element 0's file
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].operation, "Open");
    EXPECT_EQ(shell.calls[0].file, (dir / "seed/icsseed.dgn").string());
    shell.result = platform::shellcode::FileNotFound;
    form->btnOpenFile[1]->click();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"File: '" + (dir / "iso/demo.i01").string() +
                                                       "' not found"});
}

// The copy ends the MicroStation the wizard holds: the watchdog must not take that for a crash.
TEST_F(WizardFormTest, TheWatchdogEndsTheProgramOnlyWhenItsMicroStationWentAway) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    form->txtISOFile.setText(file("iso/other.i01"), By::User);
    windows.close(windows.topLevelWindows().front().handle);  // the copy's "exit"
    form->Timer2.tick();
    EXPECT_EQ(host.ended, 0);
    form->SSTab_Click(-1);
    form->Timer2.tick();
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{
                  "MicroStation was closed. Please restart Vistrel Configuration wizard"});
    EXPECT_EQ(host.ended, 1);
}

TEST_F(WizardFormTest, ClosingSavesThePageAndUnloadingRemovesTheWorkingCopies) {
    const std::string chosenFromTemp = file("temp/demo.i01", "the user's own");
    configure(sampleIni());
    INIFileModule::WriteINI(ini.string(), "Vistrel", "ISOGENIsometryFile", chosenFromTemp);
    drawing(0, 420, 0, 297);
    start();
    ASSERT_TRUE(fs::exists(form->txtISOFile.Tag));
    bool closed = false;
    form->window.unload = [&] { closed = true; };
    form->icmbPipeWeight.select(8, By::User);
    fake->keyins.clear();
    form->cmdClose.click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(key("Vistrel", "pipewt"), "7");
    EXPECT_EQ(fake->keyins, std::vector<std::string>{"exit"});
    EXPECT_EQ(MSTNApp, nullptr);
    EXPECT_FALSE(fs::exists(wizardFolder()));
    EXPECT_EQ(readFile(chosenFromTemp), "the user's own");
    EXPECT_EQ(form->sampleTable.State(), ado::adStateClosed);
}

// Garbage shows as the wizard's defaults; none of it is rewritten unless the user changes it.
TEST_F(WizardFormTest, AnINIWithGarbageOpensAndClosesWithoutAChangedKey) {
    configure(sampleIni());
    const std::vector<std::array<const char*, 3>> garbage = {
        {"Vistrel", "pipeco", "red"},         {"Vistrel", "pipewt", "heavy"},
        {"Vistrel", "refpoint", ";;"},        {"Vistrel", "refscale", "x:y"},
        {"IsoCoverSheet", "TABZpoint", "-0"}, {"IsoCoverSheet", "TABlinespacing", "wide"},
        {"IsoCoverSheet", "TABtextlv", "99"}, {"I3D", "I3Drefscale", "::"},
        {"I3D", "I3DLENtexttx", "big"}};
    for (const auto& [section, name, value] : garbage) {
        INIFileModule::WriteINI(ini.string(), section, name, value);
    }
    drawing(0, 420, 0, 297);
    start();
    form->SSTab.setTab(1);
    form->SSTab.setTab(2);
    form->SSTab.setTab(0);
    EXPECT_EQ(form->icmbPipeWeight.selectedText(), "0");
    EXPECT_EQ(form->txtIso3DHeight.Text(), "2");
    form->cmdClose.click();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
    for (const auto& [section, name, value] : garbage) EXPECT_EQ(key(section, name), value) << name;
}

TEST_F(WizardFormTest, ACloseDuringAPageChangeWaitsForItsEnd) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    bool closed = false;
    form->window.unload = [&] { closed = true; };
    bool asked = false;
    fakeClock.onProcessEvents([&](int64_t) {
        if (asked || !form->busy()) return;
        asked = true;
        form->closeRequested();  // the title bar, clicked while the page is prepared
        EXPECT_FALSE(closed);
    });
    form->SSTab.setTab(1);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(closed);
    EXPECT_EQ(fake->keyins.back(), "exit");
}

}  // namespace
}  // namespace vtl::wizard::test

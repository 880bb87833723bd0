// The pages' settings written into the configuration file: the keys and their forms, the table's
// points from the grid, the grid file and cover-sheet macro made beside the iso drawing, and
// nothing for a page that was not loaded from this file.
#include <filesystem>

#include "WizardFixture.h"

namespace vtl::wizard::test {
namespace {

class SaveTabSettingsTest : public WizardTest {
protected:
    SaveTabSettingsTest() {
        configure(sampleIni());
        drawing(0, 32747, 0, 32747);
        start();
    }
    // What the user does on a page: it counts as a change of that page.
    void userPicksWeight(ImageCombo& combo, int weight) { combo.select(weight + 1, By::User); }
    std::string iniText() const { return readFile(ini); }
};

TEST_F(SaveTabSettingsTest, ThePipePageWritesItsKeysAsTheControlsShowThem) {
    form->lvPipeColor.select(6);
    form->cmbPipeLevel.setText("12");
    form->icmbPipeStyle.select(3);
    userPicksWeight(form->icmbPipeWeight, 9);
    form->StatusBar1.setPanel(1, "Scale (M:R): 3:1");
    form->StatusBar1.setPanel(2, "XY: 120.5,-40");
    form->txtCellName.setText("VALVE");
    form->SaveTabSettings(0);
    EXPECT_EQ(key("Vistrel", "pipeco"), "5");
    EXPECT_EQ(key("Vistrel", "pipelv"), "12");
    EXPECT_EQ(key("Vistrel", "pipelc"), "2");
    EXPECT_EQ(key("Vistrel", "pipewt"), "9");
    EXPECT_EQ(key("Vistrel", "refscale"), "3:1");
    EXPECT_EQ(key("Vistrel", "refpoint"), "120.5,-40");
    EXPECT_EQ(key("Cell", "CellName"), "VALVE");
    EXPECT_EQ(key("Cell", "ScaleFactor"), "0.01");
    EXPECT_EQ(key("Cell", "MinLineLength"), "9999");
    EXPECT_EQ(key("Cell", "CELFile"), (dir / "seed/vtl.cel").string());
}

TEST_F(SaveTabSettingsTest, PanelsWithoutAValueAfterAColonLeaveTheirKeys) {
    userPicksWeight(form->icmbPipeWeight, 1);
    form->SaveTabSettings(0);  // the panels still show "Scale (M:R):" and "XY:"
    EXPECT_EQ(key("Vistrel", "refscale"), "<missing>");
    EXPECT_EQ(key("Vistrel", "refpoint"), "<missing>");
    EXPECT_EQ(key("Vistrel", "pipewt"), "1");
}

TEST_F(SaveTabSettingsTest, NothingIsWrittenForAnUnloadedPageOrWithoutAFile) {
    const std::string before = iniText();
    form->SaveTabSettings(1);  // never loaded
    userPicksWeight(form->icmbPipeWeight, 4);
    form->SaveTabSettings(-1);
    EXPECT_EQ(iniText(), before);
    form->txtISOFile.setText("");
    form->SaveTabSettings(0);
    EXPECT_EQ(iniText(), before);
}

TEST_F(SaveTabSettingsTest, TheTableKeysAreTheGridsColumnEdgesFromTheBars) {
    form->SSTab.setTab(1);
    form->HScrollTab.setValue(100);
    form->VScrollTab.setValue(40);
    VTLWizardBase::xstep = 0.5;
    VTLWizardBase::ystep = 0.25;
    VTLWizardBase::gridstep = 2;
    for (int column = 0; column < 4; ++column) {
        form->TDBGrid.setColumnWidth(column, column == 0 ? 100 : 150);
    }
    form->TDBGrid.setRowHeight(255, By::User);
    form->SaveTabSettings(1);
    EXPECT_EQ(key("IsoCoverSheet", "TABnumberpoint"), "50");
    EXPECT_EQ(key("IsoCoverSheet", "TABlabelpoint"), "250");
    EXPECT_EQ(key("IsoCoverSheet", "TABXpoint"), "550");
    EXPECT_EQ(key("IsoCoverSheet", "TABYpoint"), "850");
    EXPECT_EQ(key("IsoCoverSheet", "TABZpoint"), "1150");
    EXPECT_EQ(key("IsoCoverSheet", "TABlineheight"), "10");
    EXPECT_EQ(key("IsoCoverSheet", "TABlinespacing"), "127.5");
    EXPECT_EQ(key("IsoCoverSheet", "TABtextJustification"), "LC");
    EXPECT_EQ(key("IsoCoverSheet", "LENtextJustification"), "CC");
    EXPECT_EQ(key("I3D", "I3DLENtextJustification"), "CC");
    EXPECT_EQ(key("I3D", "I3DLENtextlv"), "40");
}

TEST_F(SaveTabSettingsTest, AMissingGridFileAndMacroAreMadeBesideTheIsoDrawing) {
    INIFileModule::WriteINI(ini.string(), "IsoCoverSheet", "Gridfile", (dir / "gone.dat").string());
    form->SSTab.setTab(1);
    userPicksWeight(form->icmbTabWeight, 2);
    form->SaveTabSettings(1);
    EXPECT_EQ(key("IsoCoverSheet", "Gridfile"), (dir / "iso/FW_project.dat").string());
    EXPECT_EQ(key("IsoCoverSheet", "ICSmacro"), (dir / "iso/icsmacro.bas").string());
    EXPECT_TRUE(std::filesystem::exists(dir / "iso/FW_project.dat"));
    EXPECT_EQ(std::filesystem::file_size(dir / "iso/FW_project.dat"), 0u);
    EXPECT_EQ(readFile(dir / "iso/icsmacro.bas"), "Sub main\r\nEnd Sub\r\n");
}

TEST_F(SaveTabSettingsTest, AnExistingGridFileOrMacroOfThatNameIsKeptAsItIs) {
    file("iso/FW_project.dat", "A 0\n");
    file("iso/icsmacro.bas", "' ours\n");
    form->SSTab.setTab(2);
    userPicksWeight(form->icmbIso3DWeight, 2);
    form->SaveTabSettings(2);
    EXPECT_EQ(readFile(dir / "iso/FW_project.dat"), "A 0\n");
    EXPECT_EQ(readFile(dir / "iso/icsmacro.bas"), "' ours\n");
    EXPECT_EQ(key("IsoCoverSheet", "ICSmacro"), (dir / "iso/icsmacro.bas").string());
    EXPECT_EQ(key("I3D", "I3DLENtextwt"), "2");
}

TEST_F(SaveTabSettingsTest, AMissingCellLibraryKeepsItsKeyUntilAnotherIsChosen) {
    INIFileModule::WriteINI(ini.string(), "Cell", "CELFile", (dir / "gone.cel").string());
    form->SSTab_Click(-1);
    EXPECT_EQ(form->txtCelFile.Text(), "");
    userPicksWeight(form->icmbPipeWeight, 3);
    form->SaveTabSettings(0);
    EXPECT_EQ(key("Cell", "CELFile"), (dir / "gone.cel").string());
    form->txtCelFile.setText(file("other.cel"), By::User);
    form->SaveTabSettings(0);
    EXPECT_EQ(key("Cell", "CELFile"), (dir / "other.cel").string());
}

TEST_F(SaveTabSettingsTest, AnINIThatCannotBeWrittenSaysSoAndStopsAtTheFirstKey) {
    userPicksWeight(form->icmbPipeWeight, 3);
    // A folder where the file was: nothing can be written there, whoever runs the test.
    std::filesystem::remove(ini);
    std::filesystem::create_directory(ini);
    form->SaveTabSettings(0);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"The configuration file '" + ini.string() +
                                                       "' cannot be written"});
    EXPECT_TRUE(form->modified(0));  // still to be saved
}

}  // namespace
}  // namespace vtl::wizard::test

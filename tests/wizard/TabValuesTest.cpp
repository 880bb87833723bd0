// The INI values shown on the pages: the wizard's defaults for what is missing, not numeric or
// out of range, the points and scales on their bars, and the end-number table's grid.
#include <tuple>

#include "WizardFixture.h"

namespace vtl::wizard::test {
namespace {

class TabValuesTest : public WizardTest {
protected:
    // A drawing of 32747 units each way: one unit per bar step.
    TabValuesTest() {
        configure(sampleIni());
        drawing(0, 32747, 0, 32747);
        start();
    }
    void set(const std::string& section, const std::string& name, const std::string& value) {
        INIFileModule::WriteINI(ini.string(), section, name, value);
    }
    // The page shown again with the key's value.
    void show(const std::string& section, const std::string& name, const std::string& value) {
        set(section, name, value);
        form->SSTab_Click(-1);
    }
};

TEST_F(TabValuesTest, ColoursAndLevelsOutsideTheirRangesShowTheDefaults) {
    EXPECT_EQ(form->lvPipeColor.selectedText(), "3");  // missing
    EXPECT_EQ(form->cmbPipeLevel.Text(), "40");
    const std::pair<std::string, std::string> colours[] = {
        {"300", "3"}, {"0", "0"}, {"255", "255"}, {"blue", "3"}, {"-1", "3"}};
    for (const auto& [value, shown] : colours) {
        show("Vistrel", "pipeco", value);
        EXPECT_EQ(form->lvPipeColor.selectedText(), shown) << value;
    }
    const std::pair<std::string, std::string> levels[] = {{"10", "10"}, {"64", "40"}, {"0", "40"}};
    for (const auto& [value, shown] : levels) {
        show("Vistrel", "pipelv", value);
        EXPECT_EQ(form->cmbPipeLevel.Text(), shown) << value;
    }
    EXPECT_TRUE(messageTexts().empty());
}

// Styles 0 to 7 and weights 0 to 15 are what the lists offer, and what is shown.
TEST_F(TabValuesTest, StylesAndWeightsShowEveryValueTheirListsHold) {
    const std::pair<std::string, std::string> weights[] = {
        {"12", "12"}, {"0", "0"}, {"15", "15"}, {"16", "0"}, {"", "0"}};
    for (const auto& [value, shown] : weights) {
        show("Vistrel", "pipewt", value);
        EXPECT_EQ(form->icmbPipeWeight.selectedText(), shown) << value;
    }
    show("Vistrel", "pipelc", "7");
    EXPECT_EQ(form->icmbPipeStyle.selectedText(), "7");
    show("Vistrel", "pipelc", "8");
    EXPECT_EQ(form->icmbPipeStyle.selectedText(), "0");
    form->SSTab.setTab(1);
    EXPECT_EQ(form->icmbTabWeight.selectedText(), "1");  // missing: the table's default
    show("IsoCoverSheet", "TABtextwt", "0");
    EXPECT_EQ(form->icmbTabWeight.selectedText(), "0");
}

// Points beyond the drawing put the bars at their ends; what is no pair of numbers leaves them
// at their starting values.
TEST_F(TabValuesTest, PointsGoToTheBarsNearestPositions) {
    const std::tuple<const char*, int, int> points[] = {
        {"105,148.5", 105, 148},  // 148.5 to the even neighbour
        {"40000,10", 32747, 10}, {"10,-5", 10, 0},      {"letters", 16374, 16374},
        {"10", 16374, 16374},    {"10,x", 16374, 16374}};
    for (const auto& [point, x, y] : points) {
        show("Vistrel", "refpoint", point);
        EXPECT_EQ(form->HScrollVistrel.Value(), x) << point;
        EXPECT_EQ(form->VScrollVistrel.Value(), y) << point;
    }
}

// A scale the bar has no position for goes to the position nearest its ratio.
TEST_F(TabValuesTest, ScalesGoToTheBarsNearestPositions) {
    const std::pair<std::string, int> scales[] = {
        {"2", 102},   {"3:1", 103},   {"1:3", 97},  {"1:1", 99},  {"15:1", 115},
        {"x:1", 102}, {"150:1", 199}, {"1:100", 1}, {"7:10", 98}, {"100:1000", 90}};
    for (const auto& [value, shown] : scales) {
        show("Vistrel", "refscale", value);
        EXPECT_EQ(form->HScrollScaleVistrel.Value(), shown) << value;
    }
}

TEST_F(TabValuesTest, CellBoxesShowTheirTextsOrTheDefaults) {
    set("Cell", "ScaleFactor", "");
    set("Cell", "MinLineLength", "long");
    set("Cell", "CellName", "");
    show("Cell", "CELFile", (dir / "gone.cel").string());
    EXPECT_EQ(form->txtCellScaleFactor.Text(), "0.01");
    EXPECT_EQ(form->txtMinLineLength.Text(), "9999");
    EXPECT_EQ(form->txtCellName.Text(), "");
    EXPECT_EQ(form->txtCelFile.Text(), "");
    show("Cell", "ScaleFactor", "0.5");
    EXPECT_EQ(form->txtCellScaleFactor.Text(), "0.5");
}

TEST_F(TabValuesTest, TheTablesPointsLayTheGridOut) {
    set("IsoCoverSheet", "TABnumberpoint", "100");
    set("IsoCoverSheet", "TABlineheight", "500");
    set("IsoCoverSheet", "TABlabelpoint", "350");
    set("IsoCoverSheet", "TABXpoint", "700");
    set("IsoCoverSheet", "TABYpoint", "950");
    set("IsoCoverSheet", "TABZpoint", "1200");
    set("IsoCoverSheet", "TABlinespacing", "30");
    form->SSTab.setTab(1);
    EXPECT_EQ(form->HScrollTab.Value(), 100);
    EXPECT_EQ(form->VScrollTab.Value(), 500);
    EXPECT_DOUBLE_EQ(VTLWizardBase::gridstep, 1200.0 / 7200);  // the grid's width in twips
    const Grid& g = form->TDBGrid;
    EXPECT_EQ((std::vector<double>{g.columnWidth(0), g.columnWidth(1), g.columnWidth(2),
                                   g.columnWidth(3), g.RowHeight()}),
              (std::vector<double>{1500, 2100, 1500, 1500, 15}));
}

// A table that runs downwards shows its rows' distance in the grid.
TEST_F(TabValuesTest, TableValuesTheGridCannotTakeKeepWhatItShows) {
    set("IsoCoverSheet", "TABnumberpoint", "99999");  // right of the sheet
    set("IsoCoverSheet", "TABZpoint", "0.0");
    set("IsoCoverSheet", "TABXpoint", "10");  // left of the column before it
    set("IsoCoverSheet", "TABlinespacing", "-6");
    form->SSTab.setTab(1);
    EXPECT_TRUE(messageTexts().empty()) << messageTexts().front();
    EXPECT_EQ(form->HScrollTab.Value(), 32747);
    EXPECT_DOUBLE_EQ(VTLWizardBase::gridstep, 300.0 / 7200);
    EXPECT_DOUBLE_EQ(form->TDBGrid.columnWidth(1), 1440);
    EXPECT_DOUBLE_EQ(form->TDBGrid.RowHeight(), 3);
    EXPECT_EQ(form->tableLayout().spacing, "-6");
}

TEST_F(TabValuesTest, TextSizesShowAsReadOrTheirDefaults) {
    set("IsoCoverSheet", "TABtexttx", "");
    set("IsoCoverSheet", "LENtexttw", "0,3");
    set("I3D", "I3DLENtexttx", "1.25");
    form->SSTab.setTab(2);
    EXPECT_EQ(form->txtHeightTab.Text(), "3.5");
    EXPECT_EQ(form->txtWidthTab.Text(), "2.5");
    EXPECT_EQ(form->txtLineEndWidth.Text(), "0.2");
    EXPECT_EQ(form->txtIso3DHeight.Text(), "1.25");
    EXPECT_EQ(form->txtIso3DWidth.Text(), "2");
    EXPECT_EQ(form->lvIso3DColor.selectedText(), "3");
    EXPECT_EQ(form->cmbIso3DLevel.Text(), "40");
}

}  // namespace
}  // namespace vtl::wizard::test

// The page change against a recording MicroStation: the checks of the working files, the key-ins
// that open and measure the drawings, the bars' ranges and starting values, the colour lists,
// and the inner pages' previews.
#include <unistd.h>

#include "WizardFixture.h"
#include "core/Error.h"

namespace vtl::wizard::test {
namespace {

class TabChangeTest : public WizardTest {
protected:
    std::string copyIn(const std::string& role, const std::string& name) const {
        return (dir / "temp" / ("vtl-wizard-" + std::to_string(::getpid())) / role / name).string();
    }
    std::vector<std::string> visibility() const {
        std::vector<std::string> v;
        for (const std::string& call : fake->calls) {
            if (call.rfind("setVisible", 0) == 0) v.push_back(call);
        }
        return v;
    }
    void restart() {
        fake->keyins.clear();
        fake->calls.clear();
        messages.clear();
        previews->calls.clear();
    }
};

TEST_F(TabChangeTest, TheFirstPageOpensSeedAndIsoCopiesAndMeasuresThem) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    EXPECT_TRUE(messageTexts().empty()) << messageTexts().front();
    restart();
    form->SSTab_Click(-1);
    const std::vector<std::string> expected = {
        "NEWFILE " + copyIn("vistrel-seed", "vtlseed.dgn"),
        "RESET;VIEW OFF ALL;VIEW ON 1;WINDOW ARRANGE;FIT ALL;SELVIEW 1;ZOOM OUT EXTENDED 1;FILE",
        "RESET;SAVE VIEW VTL,Vistrel;SELVIEW 1;FILE",
        "NEWFILE " + copyIn("iso", "demo.i01"),
        "REFERENCE DETACH VTL;REFERENCE DETACH I3D",
        "FIT ALL;dx=0"};
    EXPECT_EQ(fake->keyins, expected);
    EXPECT_EQ(visibility(),
              (std::vector<std::string>{"setVisible(0)", "setVisible(0)", "setVisible(1)"}));
    EXPECT_EQ(opened, std::vector<std::string>(opened.size(), host.mstnPath));
    EXPECT_EQ(MSTNApp, fake);
    EXPECT_TRUE(form->txtVTLConfig.Enabled());
    EXPECT_TRUE(form->SSTab.TabEnabled(2));
}

TEST_F(TabChangeTest, BarsMapTheDrawingOntoTheirRangeAndStartInTheMiddle) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    EXPECT_DOUBLE_EQ(VTLWizardBase::xstep, 420.0 / 32747);
    EXPECT_DOUBLE_EQ(VTLWizardBase::ystep, 297.0 / 32747);
    const ScrollBar& h = form->HScrollVistrel;
    EXPECT_EQ((std::vector<int>{h.Min(), h.Max(), h.Value(), h.LargeChange()}),
              (std::vector<int>{0, 32747, 16374, 200}));
    const ScrollBar& v = form->VScrollVistrel;  // from the top (largest y) down
    EXPECT_EQ((std::vector<int>{v.Min(), v.Max(), v.Value()}), (std::vector<int>{32747, 0, 16374}));
    EXPECT_EQ(form->HScrollScaleVistrel.Value(), 102);

    form->SSTab.setTab(1);
    EXPECT_EQ(form->HScrollIsoCoverSheet.Value(), 10916);
    EXPECT_EQ(form->VScrollIsoCoverSheet.Value(), 16374);
    EXPECT_EQ(form->HScrollTab.Value(), 252);
    EXPECT_EQ(form->VScrollTab.Value(), 3275);
    EXPECT_EQ(form->HScrollIso3D.Value(), 26198);
    EXPECT_EQ(form->VScrollIso3D.Value(), 26198);
    EXPECT_EQ(form->HScrollScaleIsoCoverSheet.Value(), 115);  // "15:1", the wizard's default
    EXPECT_EQ(form->HScrollScaleIso3D.Value(), 93);
    EXPECT_EQ(form->HScrollTab.Max(), 32747);
    EXPECT_EQ(form->VScrollTab.Min(), 32747);
}

TEST_F(TabChangeTest, ADrawingAwayFromTheAxesStartsAtTheNearerEnd) {
    configure(sampleIni());
    drawing(900, 1000, 0, 297);
    start();
    // (32747 - 29472) / 2 lies left of the bar: it starts at its left end.
    EXPECT_EQ(form->HScrollVistrel.Min(), 29472);
    EXPECT_EQ(form->HScrollVistrel.Value(), 29472);
    EXPECT_TRUE(messageTexts().empty());

    drawing(-1000, -200, 0, 297);
    form->SSTab_Click(-1);
    EXPECT_EQ(form->HScrollVistrel.Min(), -32747);
    EXPECT_EQ(form->HScrollVistrel.Max(), -6549);
    EXPECT_EQ(form->HScrollVistrel.Value(), -13099);
}

TEST_F(TabChangeTest, AnEmptyDrawingEndsThePageChangeWithDivisionByZero) {
    configure(sampleIni());
    start();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Division by zero"});
    EXPECT_EQ(form->SSTab.Tab(), 0);
    EXPECT_EQ(MSTNApp, nullptr);
    EXPECT_EQ(visibility().back(), "setVisible(0)");  // not shown again after the failure
    EXPECT_TRUE(form->txtVTLConfig.Enabled());
}

TEST_F(TabChangeTest, AMissingSeedReturnsToItsPageWithOneMessage) {
    configure(sampleIni());
    INIFileModule::WriteINI(ini.string(), "Vistrel", "seedfile", "");
    drawing(0, 420, 0, 297);
    start();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Vistrel seed file not defined"});
    EXPECT_EQ(form->SSTab.Tab(), 0);
    EXPECT_EQ(fake->keyins.size(), 2u * 2);  // the copies of the cover-sheet seed and iso drawing
}

TEST_F(TabChangeTest, TheCoverSheetSeedIsCheckedOnItsPagesOnly) {
    configure(sampleIni());
    INIFileModule::WriteINI(ini.string(), "IsoCoverSheet", "icsseedfile",
                            (dir / "gone.dgn").string());
    drawing(0, 420, 0, 297);
    start();
    EXPECT_TRUE(messageTexts().empty());
    form->SSTab.setTab(2);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"IsoCoverSheet seed file not defined"});
    EXPECT_EQ(form->SSTab.Tab(), 1);
}

TEST_F(TabChangeTest, ColourListsShowEachColourOfTheTableInItsColour) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    const auto& items = form->lvPipeColor.items();
    ASSERT_EQ(items.size(), 256u);
    EXPECT_EQ(items[0].text, "0");
    EXPECT_EQ(items[200].text, "200");
    EXPECT_EQ(items[200].foreColor, 0xC83710u);  // record 200 of the fixture's table
    form->SSTab.setTab(1);
    for (const ListView* list : {&form->lvTabColor, &form->lvLineEndColor, &form->lvIso3DColor}) {
        EXPECT_EQ(list->items().size(), 256u) << list->name();
    }
}

TEST_F(TabChangeTest, AMissingColourTableEndsThePageChangeWithItsMessage) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    fake->configVars["MS_DEFCTBL"] = " ";
    fake->configVars["MS_DATA"] = (dir / "nodata").string();
    start();
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"Color Table file: '" + (dir / "nodata").string() +
                                       "/color.tbl' not found"});
}

TEST_F(TabChangeTest, AShortColourTableWithoutTheConfiguredColourSaysSo) {
    configure(sampleIni());  // no pipe colour: the wizard's default, 3
    drawing(0, 420, 0, 297);
    fake->configVars["MS_DEFCTBL"] = file("seven.tbl", "\x01\x02\x03\x04\x05\x06\x07");
    start();
    EXPECT_EQ(form->lvPipeColor.items().size(), 2u);
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"The colour table has no colour 3 (lvPipeColor)"});
}

TEST_F(TabChangeTest, InnerPagesDrawTheirPreviewsInOrder) {
    configure(sampleIni());
    drawing(0, 420, 0, 297);
    start();
    EXPECT_EQ(std::vector<std::string>(previews->calls.end() - 4, previews->calls.end()),
              (std::vector<std::string>{"HScrollVistrel_Change", "txtCellScaleFactor_Change",
                                        "cmbPipeLevel_Click", "HScrollVistrel_Validate"}));
    form->SSTab2.setTab(1);  // shown later with its page
    restart();
    form->SSTab2.setTab(2);
    const std::vector<std::string> both = {
        "txtLineEndHeight_Validate", "txtLineEndWidth_Validate", "HScrollIsoCoverSheet_Change",
        "TDBGrid_ColResize(0)",      "cmbLineEndLevel_Click",    "HScrollVistrel_Validate",
        "cmbIso3DLevel_Click",       "HScrollIso3D_Change",      "HScrollVistrel_Validate"};
    EXPECT_EQ(previews->calls, both);
    restart();
    form->SSTab3.setTab(1);
    std::vector<std::string> fromIso3D = {"txtIso3DHeight_Validate", "txtIso3DWidth_Validate",
                                          "cmbIso3DLevel_Click", "HScrollIso3D_Change",
                                          "HScrollVistrel_Validate"};
    fromIso3D.insert(fromIso3D.end(), both.begin(), both.end());
    fromIso3D.insert(fromIso3D.end() - 3, {"txtIso3DHeight_Validate", "txtIso3DWidth_Validate"});
    EXPECT_EQ(previews->calls, fromIso3D);
    EXPECT_EQ(form->SSTab3.Tag, "");
}

}  // namespace
}  // namespace vtl::wizard::test

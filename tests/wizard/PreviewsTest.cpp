// The previews against a recording MicroStation: for given control states the key-ins each one
// sends, nothing on the pages that do not show it, the 3-D view's copy built once per page
// change, and the numeric boxes on valid, invalid and empty input.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "WizardFixture.h"
#include "support/ErrorOf.h"

namespace vtl::wizard::test {
namespace {

namespace fs = std::filesystem;
using Keyins = std::vector<std::string>;

class PreviewsTest : public WizardTest {
protected:
    PreviewsTest() { form->setPreviews(std::make_unique<MicroStationPreviews>(*form)); }

    std::string copyIn(const std::string& role, const std::string& name) const {
        return (dir / "temp" / ("vtl-wizard-" + std::to_string(::getpid())) / role / name).string();
    }
    // Bars of one drawing unit per bar unit: a drawing from 0 to 32747 each way, the overview
    // seed w by h.
    struct Key {
        const char* section;
        const char* key;
        std::string value;
    };
    void open(const std::vector<Key>& keys = {}, double w = 4000, double h = 2500) {
        configure(sampleIni());
        for (const Key& k : keys) INIFileModule::WriteINI(ini.string(), k.section, k.key, k.value);
        drawing(0, 32747, 0, 32747);
        seed(w, h);
        start();
        ASSERT_EQ(messageTexts(), std::vector<std::string>{});
    }
    void seed(double w, double h) {
        vtl::test::FakeElement line{4, 0, {}, 40};
        line.end = {w, h, 0};
        fake->designs[copyIn("vistrel-seed", "vtlseed.dgn")] = {{9, 0, {}, 1536}, line};
        if (w == 0) fake->designs[copyIn("vistrel-seed", "vtlseed.dgn")].pop_back();
    }
    // The conversion writes the 2-D copy, as MicroStation does.
    void converting() {
        fake->onKeyin = [this](const std::string& keyin) {
            if (keyin == "MBE1 CLOSEMODAL OK") std::ofstream(copyIn("iso3d", "I3D2D.dgn")) << "2-D";
        };
    }
    void restart() {
        fake->keyins.clear();
        fake->calls.clear();
        messages.clear();
    }
    long count(const std::string& keyin) const {
        return std::count(fake->keyins.begin(), fake->keyins.end(), keyin);
    }
    bool sent(const std::string& part) const {
        return std::any_of(fake->keyins.begin(), fake->keyins.end(),
                           [&](const std::string& k) { return k.find(part) != std::string::npos; });
    }
    const Keyins clearing = {
        "NULL;LV=40;OF=1-63;SELVIEW ALL;ON=40;SELVIEW ALL;",
        "LOCK FENCE OVERLAP;PLACE FENCE ALLFILES;SELVIEW ALL;FENCE DELETE;DX=0;ON=1-63;"
        "SELVIEW ALL;PLACE FENCE;NULL"};
};

Keyins joined(Keyins a, const Keyins& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(PreviewsTest, TheKeyPlanFollowsItsBarsWithScaleAndOriginInTheStatusBar) {
    open();
    restart();
    const std::vector<std::pair<int, std::string>> scales = {
        {99, "1:1"},   {100, "1:1"}, {101, "1:1"}, {102, "2:1"},
        {150, "50:1"}, {1, "1:99"},  {93, "1:7"}};
    for (const auto& [value, text] : scales) {
        form->HScrollScaleVistrel.setValue(value, By::User);
        EXPECT_EQ(form->StatusBar1.panel(1), "Scale (M:R): " + text) << value;
    }
    // The bars start in the middle: 32747 / 2 to the even whole number.
    EXPECT_EQ(form->StatusBar1.panel(2), "XY: 16374,16374");
    EXPECT_EQ(Keyins(fake->keyins.end() - 2, fake->keyins.end()),
              (Keyins{"REFERENCE DETACH VTL", "RF=" + copyIn("vistrel-seed", "vtlseed.dgn") +
                                                  ",VTL;Vistrel;VTL;1:7;XY=16374,16374"}));

    // Not on the page "Pipe line": detached only.
    form->SSTab1.setTab(1);
    restart();
    form->HScrollVistrel.setValue(100, By::User);
    EXPECT_EQ(fake->keyins, Keyins{"REFERENCE DETACH VTL"});
    EXPECT_EQ(form->StatusBar1.panel(2), "XY: 100,16374");

    // Without MicroStation nothing is sent and the panels stay.
    MSTNApp.reset();
    restart();
    form->HScrollVistrel.setValue(200, By::User);
    EXPECT_EQ(fake->keyins, Keyins{});
    EXPECT_EQ(form->StatusBar1.panel(2), "XY: 100,16374");
}

TEST_F(PreviewsTest, TheOriginIsTheBarValueTimesTheStep) {
    configure(sampleIni());
    drawing(-16373.5, 16373.5, -16373.5, 16373.5);  // 0.5 per bar unit
    start();
    form->HScrollVistrel.setValue(10, By::User);
    restart();
    form->VScrollVistrel.setValue(-20, By::User);
    EXPECT_EQ(form->StatusBar1.panel(2), "XY: 5,-10");
    EXPECT_EQ(fake->keyins.back(),
              "RF=" + copyIn("vistrel-seed", "vtlseed.dgn") + ",VTL;Vistrel;VTL;2:1;XY=5,-10");
}

TEST_F(PreviewsTest, TheCoverSheetPagesAttachTheKeyPlanAndTheViewWhereTheyShowThem) {
    converting();
    open({{"IsoCoverSheet", "ICSrefscale", "2:1"}});
    form->SSTab.setTab(1);
    ASSERT_EQ(messageTexts(), std::vector<std::string>{});
    const std::string overview =
        "RF=" + copyIn("vistrel-seed", "vtlseed.dgn") + ",VTL;Vistrel;VTL;2:1;XY=";
    const std::string view3d = "RF=" + copyIn("iso3d", "I3D2D.dgn") + ",I3D;Iso3D;I3D;1:28;XY=";
    for (int inner : {0, 1, 2}) {
        form->SSTab2.setTab(inner);
        restart();
        form->HScrollIsoCoverSheet.setValue(100, By::User);
        form->HScrollIso3D.setValue(200, By::User);
        const Keyins attached = {"REFERENCE DETACH VTL", overview + "100,16374",
                                 "REFERENCE DETACH I3D", view3d + "200,26198"};
        const Keyins detachedOnly = {attached[0], attached[2]};
        EXPECT_EQ(fake->keyins, inner == 2 ? detachedOnly : attached) << inner;
        form->HScrollIsoCoverSheet.setValue(0);
        form->HScrollIso3D.setValue(0);
    }
    form->SSTab.setTab(2);
    for (int inner : {0, 1}) {
        form->SSTab3.setTab(inner);
        restart();
        form->VScrollIsoCoverSheet.setValue(300 + inner, By::User);
        form->VScrollIso3D.setValue(400 + inner, By::User);
        EXPECT_EQ(sent("RF="), inner == 0) << inner;
        EXPECT_EQ(count("REFERENCE DETACH VTL") + count("REFERENCE DETACH I3D"), 2) << inner;
    }
    EXPECT_EQ(form->StatusBar7.panel(1), "Scale (M:R): 1:7");  // unscaled
}

TEST_F(PreviewsTest, ThePageChangeBuildsThe3dViewsCopyOnceFromACopyOfItsSeed) {
    converting();
    open();
    const std::string seed = readFile(dir / "seed/i3dseed.dgn");
    restart();
    form->SSTab.setTab(2);
    ASSERT_EQ(messageTexts(), std::vector<std::string>{});
    EXPECT_EQ(count("exit"), 1);
    const auto at = std::find(fake->keyins.begin(), fake->keyins.end(), "exit");
    const Keyins expected = {
        "exit", "NEWFILE " + copyIn("iso3d", "I3Dseed.dgn"), "MDL LOAD cnvdgn",
        "MDL COMMAND MGDSHOOK,fileList_setFilterCmd *.dgn",
        "MDL COMMAND MGDSHOOK,fileList_setDirectoryCmd " + copyIn("iso3d", ""),
        "MDL COMMAND MGDSHOOK,fileList_setFileNameCmd I3D2D.dgn", "MBE1 CLOSEMODAL OK",
        "NEWFILE " + copyIn("iso3d", "I3D2D.dgn"),
        // Nothing deleted in the new copy: no element of the seed at its corner.
        "NULL;CO=3;LV=40;LC=0;WT=0", "NULL;PLACE LINE;XY=0,0,0;XY=4000,2500,4000;NULL",
        "NULL;PLACE LINE;XY=4000,0,0;XY=0,2500,4000;NULL",
        "RESET;VIEW OFF ALL;VIEW ON 1;WINDOW ARRANGE;FIT ALL;SELVIEW 1;ZOOM OUT EXTENDED 1;FILE",
        "RESET;SAVE VIEW I3D,Iso3D;SELVIEW 1;FILE",
        "NEWFILE " + copyIn("coversheet-seed", "icsseed.dgn")};
    ASSERT_LE(expected.size(), static_cast<size_t>(fake->keyins.end() - at));
    EXPECT_EQ(Keyins(at, at + static_cast<long>(expected.size())), expected);
    EXPECT_FALSE(sent("DELETE ELEMENT"));
    EXPECT_EQ(readFile(dir / "seed/i3dseed.dgn"), seed);
    EXPECT_EQ(fake->calls.back(), "setVisible(1)");

    // Moving the view's bars uses the copy: no further rebuild.
    restart();
    form->HScrollScaleIso3D.setValue(98, By::User);
    EXPECT_EQ(fake->keyins,
              (Keyins{"REFERENCE DETACH I3D",
                      "RF=" + copyIn("iso3d", "I3D2D.dgn") + ",I3D;Iso3D;I3D;1:8;XY=26198,26198"}));
    // The next page change builds it again, once.
    restart();
    form->SSTab.setTab(1);
    EXPECT_EQ(count("exit"), 1);
}

TEST_F(PreviewsTest, AFailedConversionLeavesNoCopyAndTheCoverSheetShownAndIsNotTriedAgain) {
    open();
    restart();
    form->SSTab.setTab(1);
    const std::string copy = copyIn("iso3d", "I3D2D.dgn");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{
                                  "The 2-D conversion of the Iso3D seed file '" +
                                  (dir / "seed/i3dseed.dgn").string() + "' did not write " + copy});
    EXPECT_EQ(count("exit"), 1);
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_EQ(fake->openFile(), copyIn("coversheet-seed", "icsseed.dgn"));
    EXPECT_EQ(fake->calls.back(), "setVisible(1)");
    EXPECT_FALSE(sent("RF=" + copy));
    restart();
    form->HScrollIso3D.setValue(5, By::User);
    EXPECT_EQ(fake->keyins, Keyins{"REFERENCE DETACH I3D"});
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
}

TEST_F(PreviewsTest, AnOverviewSeedWithoutExtentGivesOneClearMessageAndNoInfiniteScale) {
    configure(sampleIni());
    drawing(0, 32747, 0, 32747);
    seed(0, 0);
    start();
    restart();
    form->SSTab.setTab(2);
    const std::string message = "The Vistrel seed file '" + (dir / "seed/vtlseed.dgn").string() +
                                "' has no extent (no elements): the 3-D view, which is scaled by "
                                "the seed's size, cannot be shown";
    EXPECT_EQ(messageTexts(), std::vector<std::string>{message});
    EXPECT_FALSE(sent("inf") || sent("nan") || sent("1:0"));
    EXPECT_EQ(count("exit"), 0);
    // The labels of the 3-D view are scaled the same way: the same failure, not told twice on
    // one page; the next page change tells it again.
    form->SSTab3.setTab(1);
    restart();
    form->SSTab_Click(-1);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{message});
    EXPECT_FALSE(sent("TX=inf") || sent("TX=nan"));
}

TEST_F(PreviewsTest, ThePipeLineIsDrawnOnItsPageAndOnlyTheWizardsOwnLineIsDeleted) {
    open();
    restart();
    form->SSTab1.setTab(1);
    // No sample line yet: nothing is deleted at the corner, where the border of a sheet starts.
    EXPECT_FALSE(sent("DELETE ELEMENT"));
    EXPECT_EQ(count("NULL;PLACE LINE;XY=0,0;XY=32747,32747;NULL"), 1);
    restart();
    form->lvPipeColor.select(6, By::User);
    EXPECT_EQ(fake->keyins, (Keyins{"NULL;DELETE ELEMENT;XY=0,0;DX=0", "NULL;CO=5;LV=40;LC=0;WT=0",
                                    "NULL;PLACE LINE;XY=0,0;XY=32747,32747;NULL"}));
    EXPECT_EQ((Keyins{form->StatusBar2.panel(1), form->StatusBar2.panel(2),
                      form->StatusBar2.panel(3), form->StatusBar2.panel(4)}),
              (Keyins{"Color: 5", "Level: 40", "Style: 0", "Weight: 0"}));
    // Leaving the page clears the scratch level, the line with it: no delete at the corner
    // afterwards, however often the page is prepared.
    restart();
    form->SSTab1.setTab(0);
    form->SSTab_Click(-1);
    EXPECT_EQ(count(clearing[1]), 2);
    EXPECT_FALSE(sent("DELETE ELEMENT"));
    EXPECT_FALSE(sent("PLACE LINE"));
}

TEST_F(PreviewsTest, TheCellIsPlacedOnItsPageOnTheScratchLevel) {
    open({{"Cell", "CellName", "MARKER"}, {"Cell", "ScaleFactor", "0.5"}});
    restart();
    form->SSTab1.setTab(2);
    restart();
    form->txtCellName.setText("MARKE", By::User);
    EXPECT_EQ(
        fake->keyins,
        joined(clearing, {"NULL;LV=40;ATTACH LIBRARY " + (dir / "seed/vtl.cel").string() + ";",
                          "ACTIVE CELL MARKE;", "as=0.5;", "XY=16373.5,16373.5;NULL"}));
    // A typed ";" is refused; a cell name that holds one (from the file) is not sent.
    form->txtCellName.setText("MA;exit", By::User);
    EXPECT_EQ(form->txtCellName.Text(), "MAexit");
    restart();
    form->SSTab1.setTab(1);
    EXPECT_FALSE(sent("ACTIVE CELL"));
}

TEST_F(PreviewsTest, ACellNameWithASemicolonFromTheFileIsNotSent) {
    open({{"Cell", "CellName", "M;exit"}});
    restart();
    // The inner page's click passes the failure on; the window shows it.
    EXPECT_EQ(vtl::test::errorOf([&] { form->SSTab1.setTab(2); }).description(),
              "The cell name 'M;exit' cannot be sent to MicroStation: a ';' would start a key-in "
              "of its own");
    EXPECT_EQ(count("exit"), 0);
}

TEST_F(PreviewsTest, LineEndNumbersOnTheCoverSheetGrowWithTheKeyPlansScale) {
    open({{"IsoCoverSheet", "ICSrefscale", "2:1"},
          {"IsoCoverSheet", "LENtexttx", "0.2"},
          {"IsoCoverSheet", "LENtexttw", "0.25"}});
    form->SSTab.setTab(1);
    restart();
    form->cmbLineEndLevel.pick(4);  // on the page "Key plan": the status bar only
    EXPECT_EQ(fake->keyins, Keyins{});
    EXPECT_EQ(form->StatusBar6.panel(2), "Level: 5");
    form->SSTab2.setTab(2);
    restart();
    form->cmbLineEndLevel.pick(5);
    EXPECT_EQ(fake->keyins,
              joined(clearing, {"NULL;CO=1;LV=6;LC=0;WT=1;TX=0.4;TW=0.5",
                                "NULL;LV=40;PLACE TEXT;1;XY=16373.5,16373.5;LV=6;NULL"}));
    EXPECT_EQ(form->StatusBar6.panel(5), "Height: 0.2");
    form->HScrollScaleIsoCoverSheet.setValue(95, By::User);  // 1:5
    form->txtLineEndHeight.setText("0.5", By::User);
    restart();
    form->icmbLineEndStyle.select(3, By::User);
    EXPECT_EQ(fake->keyins[2], "NULL;CO=1;LV=6;LC=2;WT=1;TX=0.1;TW=0.05");
    form->HScrollScaleIsoCoverSheet.setValue(100, By::User);  // 1:1: the texts as typed
    restart();
    form->lvLineEndColor.select(8, By::User);
    EXPECT_EQ(fake->keyins[2], "NULL;CO=7;LV=6;LC=2;WT=1;TX=0.5;TW=0.25");
}

TEST_F(PreviewsTest, LineEndNumbersOfThe3dViewShrinkWithItsScaleAndTheSeedsSize) {
    converting();
    open({{"I3D", "I3DLENtexttx", "2"}, {"I3D", "I3DLENtexttw", "1"}}, 2000, 500);  // F = 2
    form->SSTab.setTab(2);
    restart();
    form->HScrollScaleIso3D.setValue(98, By::User);  // R = 2
    form->cmbIso3DLevel.pick(2);                     // on the page "View": nothing
    EXPECT_FALSE(sent("TX="));
    EXPECT_EQ(form->StatusBar5.panel(2), "Level:");
    form->SSTab3.setTab(1);
    restart();
    form->cmbIso3DLevel.pick(2);
    EXPECT_EQ(fake->keyins,
              joined(clearing, {"NULL;CO=3;LV=3;LC=0;WT=0;TX=0.5;TW=0.25",
                                "NULL;LV=40;PLACE TEXT;1;XY=16373.5,16373.5;LV=3;NULL"}));
    form->HScrollScaleIso3D.setValue(120, By::User);  // R = 1 from 100 on
    restart();
    form->cmbIso3DLevel.pick(2);
    EXPECT_EQ(fake->keyins[2], "NULL;CO=3;LV=3;LC=0;WT=0;TX=1;TW=0.5");
}

TEST_F(PreviewsTest, TheTableIsDrawnCellByCellFromTheLastRecordUp) {
    open({{"IsoCoverSheet", "TABZpoint", "720"}});  // gridstep 720 / 7200 twips = 0.1
    form->SSTab.setTab(1);
    form->SSTab2.setTab(1);
    for (int column = 0; column < 5; ++column) form->TDBGrid.setColumnWidth(column, 1000, By::User);
    form->TDBGrid.setRowHeight(250);
    form->HScrollTab.setValue(10);
    form->VScrollTab.setValue(20);
    restart();
    form->TDBGrid.setColumnWidth(4, 1000, By::User);
    ASSERT_EQ(fake->keyins.size(), 2u + 1 + 15);
    EXPECT_EQ(Keyins(fake->keyins.begin(), fake->keyins.begin() + 6),
              joined(clearing, {"NULL;CO=1;LV=1;LC=0;WT=1;TX=3.5;TW=2.5",
                                "NULL;LV=40;PLACE TEXT;1;XY=10,20;LV=1;NULL",
                                "NULL;LV=40;PLACE TEXT;Stutzen1;XY=110,20;LV=1;NULL",
                                "NULL;LV=40;PLACE TEXT;Grid-Line-1  111;XY=210,20;LV=1;NULL"}));
    EXPECT_EQ(fake->keyins[8], "NULL;LV=40;PLACE TEXT;2;XY=10,520;LV=1;NULL");
    EXPECT_EQ(fake->keyins.back(), "NULL;LV=40;PLACE TEXT;3;XY=410,1020;LV=1;NULL");
    EXPECT_EQ(form->StatusBar4.panel(7), "XY: 10,20");
    EXPECT_EQ(form->sampleTable.BOF(), true);

    // A row resize redraws the same way.
    restart();
    form->TDBGrid.setRowHeight(100, By::User);
    EXPECT_EQ(fake->keyins[8], "NULL;LV=40;PLACE TEXT;2;XY=10,220;LV=1;NULL");

    // On the page "Line end number" nothing is drawn and the status bar stays.
    form->SSTab2.setTab(2);
    restart();
    form->HScrollTab.setValue(30, By::User);
    EXPECT_EQ(fake->keyins, Keyins{});
    EXPECT_EQ(form->StatusBar4.panel(7), "XY: 10,20");
}

TEST_F(PreviewsTest, AResizeDuringADrawingRedrawsOnceMoreAfterIt) {
    open({{"IsoCoverSheet", "TABZpoint", "720"}});
    form->SSTab.setTab(1);
    form->SSTab2.setTab(1);
    restart();
    bool resized = false;
    fakeClock.onProcessEvents([&](int64_t) {
        if (resized) return;
        resized = true;
        form->TDBGrid.setColumnWidth(0, 2000, By::User);
    });
    form->TDBGrid.setColumnWidth(1, 1000, By::User);
    fakeClock.onProcessEvents(nullptr);
    // Two whole drawings one after the other, the second with the new width.
    ASSERT_EQ(fake->keyins.size(), 2u * 18);
    EXPECT_EQ(Keyins(fake->keyins.begin() + 18, fake->keyins.begin() + 20), clearing);
    // The table starts at 252, 3275; the first column was 1440 twips wide, then 2000.
    ASSERT_EQ(form->HScrollTab.Value(), 252);
    ASSERT_EQ(form->VScrollTab.Value(), 3275);
    EXPECT_EQ(fake->keyins[4], "NULL;LV=40;PLACE TEXT;Stutzen1;XY=396,3275;LV=1;NULL");
    EXPECT_EQ(fake->keyins[18 + 4], "NULL;LV=40;PLACE TEXT;Stutzen1;XY=452,3275;LV=1;NULL");
}

TEST_F(PreviewsTest, NumericBoxesHintWhileTypingAndNormaliseWhenLeft) {
    converting();
    open();
    form->SSTab.setTab(1);
    form->SSTab2.setTab(1);
    TextBox& box = form->txtHeightTab;
    for (const char* typed : {"", "   ", "1.5", "-2", "1E3"}) {
        box.setText(typed, By::User);
        box.keyUp('5');
    }
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
    box.setText("1x", By::User);
    box.keyUp('X');
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Numbers only, please");
    EXPECT_EQ(messages.messages()[0].style, platform::vbInformation);
    EXPECT_EQ(box.Text(), "1x");
    // "1,5" is no number to this platform's test: the hint, and a point when the box is left.
    box.setText("1,5", By::User);
    box.keyUp(',');
    EXPECT_EQ(messages.messages().size(), 2u);
    restart();
    box.keyUp(13);  // Enter
    EXPECT_EQ(box.Text(), "1.5");
    EXPECT_TRUE(sent(";TX=1.5;TW=2.5"));
    EXPECT_EQ(fake->keyins.back(), "FIT ALL;UPDATE ALL");

    // Empty or blank: the box's own value, and the preview drawn with it.
    const std::vector<std::pair<TextBox*, std::string>> defaults = {
        {&form->txtHeightTab, "3.5"},      {&form->txtWidthTab, "2.5"},
        {&form->txtLineEndHeight, "0.2"},  {&form->txtLineEndWidth, "0.2"},
        {&form->txtIso3DHeight, "2"},      {&form->txtIso3DWidth, "2"},
        {&form->txtMinLineLength, "9999"}, {&form->txtCellScaleFactor, "0.01"}};
    for (const auto& [numeric, value] : defaults) {
        numeric->setText("  ", By::User);
        numeric->onValidate();
        EXPECT_EQ(numeric->Text(), value) << numeric->name();
    }
    // Letters stay, and the preview is drawn all the same; a ";" cannot be typed.
    restart();
    box.setText("abc;exit", By::User);
    EXPECT_EQ(box.Text(), "abcexit");
    box.onValidate();
    EXPECT_EQ(box.Text(), "abcexit");
    EXPECT_TRUE(sent(";TX=abcexit;TW=2.5"));
    EXPECT_EQ(count("exit"), 0);
}

}  // namespace
}  // namespace vtl::wizard::test

// The page change: the page left is saved, the working files are checked, MicroStation opens
// and measures the page's drawings, the colour lists and bars are set up, the page's INI values
// are shown, and the inner page draws its previews.
#include <cmath>
#include <cstdlib>

#include "WizardForm.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "platform/MessageBoxes.h"

namespace vtl::wizard {

namespace {

using VTLWizardBase::Extent;

// The number the bars map the larger coordinate to, a little below their largest value.
constexpr double kBarReach = 32747;
constexpr long kDivisionByZero = 11;

struct FileCheck {
    long number;
    const char* named;
    const char* undefined;
};

void check(const FileCheck& c, const std::string& text, const std::string& tag) {
    for (const std::string& path : {text, tag}) {
        if (FileOperationModule::IsFileExists(path, 0)) continue;
        raise(c.number, path.empty() ? std::string(c.undefined) : c.named + path + "' not found");
    }
}

// Whole-number arithmetic of the bars, which overflows outside 16 bits.
int16_t whole(double value) {
    return num::toInteger(value);
}

int16_t absolute(int value) {
    return whole(std::abs(static_cast<double>(value)));
}

int16_t minus(int a, int b) {
    return whole(static_cast<double>(a) - b);
}

double divide(double a, double b) {
    if (b == 0) raise(kDivisionByZero, "Division by zero");
    return a / b;
}

// A starting value the formula puts outside the bar (a drawing away from the axes) goes to
// the nearer end, so the page can still be prepared.
void start(ScrollBar& bar, double value) {
    const double low = std::min(bar.Min(), bar.Max()), high = std::max(bar.Min(), bar.Max());
    bar.setValue(whole(std::clamp(value, low, high)));
}

void range(ScrollBar& bar, double max, double min) {
    bar.setMax(whole(max));
    bar.setMin(whole(min));
}

void steps(ScrollBar& bar, int large, int small) {
    bar.setLargeChange(large);
    bar.setSmallChange(small);
}

// abs(Max) - abs(Min) of the bar's whole-number values.
int16_t span(const ScrollBar& bar) {
    return minus(absolute(bar.Max()), absolute(bar.Min()));
}

// The bars of a position: from the drawing's left to its right, and from its top (Min, largest
// y) down to its bottom (Max, smallest y).
void position(ScrollBar& h, ScrollBar& v, const Extent& t) {
    range(h, divide(t.xmax, VTLWizardBase::xstep), divide(t.xmin, VTLWizardBase::xstep));
    range(v, divide(t.ymin, VTLWizardBase::ystep), divide(t.ymax, VTLWizardBase::ystep));
}

// A bar with the range and steps of another, starting where start() puts it.
template <class Start>
void follow(ScrollBar& bar, const ScrollBar& model, Start startAt) {
    bar.setMax(model.Max());
    bar.setMin(model.Min());
    start(bar, startAt(bar));
    steps(bar, model.LargeChange(), model.SmallChange());
}

}  // namespace

void WizardForm::SSTab_Click(int PreviousTab) {
    BusyScope busy(*this);
    std::optional<Error> failure;
    try {
        SetControlsEnabled(false);
        checkFiles();
        MSTNApp.reset();
        FileOperationModule::DeleteFileA(txtI3DSeedFile.Tag, false);
        previews_->newPage();
        SaveTabSettings(PreviousTab);
        MSTNApp = attach();
        prepareSeed();
        const Extent target = openTarget();
        setSteps(target);
        setUpPage(colourTable(), target);
        if (MSTNApp) MSTNApp->MbeSendCommand("FIT ALL;dx=0");
    } catch (...) {
        failure = toError(std::current_exception());
    }
    if (failure) failed(*failure);
    if (MSTNApp) {
        try {
            MSTNApp->setVisible(1);
            if (window.besideMicroStation) window.besideMicroStation();
        } catch (...) {  // a MicroStation that just went is found by the next page change
            MSTNApp.reset();
        }
    }
    SetControlsEnabled(true);
}

void WizardForm::checkFiles() {
    check({2, "Vistrel seed file: '", "Vistrel seed file not defined"}, txtVTLSeedFile[0]->Text(),
          txtVTLSeedFile[0]->Tag);
    check({2, "ISOGEN Isometry file: '", "ISOGEN Isometry file not defined"}, txtISOFile.Text(),
          txtISOFile.Tag);
    if (SSTab.Tab() <= 0) return;
    check({3, "IsoCoverSheet seed file: '", "IsoCoverSheet seed file not defined"},
          txtICSSeedFile[0]->Text(), txtICSSeedFile[0]->Tag);
    const std::string i3d = txtI3DSeedFile.Text();
    if (!FileOperationModule::IsFileExists(i3d, 0)) {
        raise(4, i3d.empty() ? "Iso3D seed file not defined"
                             : "Iso3D seed file: '" + i3d + "' not found");
    }
}

// The seed's copy is measured and saved with view 1 fitted as the view "VTL", which the key
// plan's reference names.
void WizardForm::prepareSeed() {
    MSTNApp->MbeSendCommand("NEWFILE " + txtVTLSeedFile[0]->Tag);
    MSTNApp->setVisible(0);
    Extent& seed = VTLWizardBase::seedExtent;
    seed = {};
    VTLWizardBase::GetDGNFileLimits(seed.xmax, seed.xmin, seed.ymax, seed.ymin, *MSTNApp);
    MSTNApp->MbeSendCommand(
        "RESET;VIEW OFF ALL;VIEW ON 1;WINDOW ARRANGE;FIT ALL;SELVIEW 1;ZOOM OUT EXTENDED 1;FILE");
    MSTNApp->MbeSendCommand("RESET;SAVE VIEW VTL,Vistrel;SELVIEW 1;FILE");
}

// The previews of an earlier visit are detached before the drawing is measured, so they do not
// count towards its extent.
Extent WizardForm::openTarget() {
    const std::string target = SSTab.Tab() == 0 ? txtISOFile.Tag : txtICSSeedFile[0]->Tag;
    MSTNApp->MbeSendCommand("NEWFILE " + target);
    MSTNApp->setVisible(0);
    MSTNApp->MbeSendCommand("REFERENCE DETACH VTL;REFERENCE DETACH I3D");
    Extent e;
    VTLWizardBase::GetDGNFileLimits(e.xmax, e.xmin, e.ymax, e.ymin, *MSTNApp);
    return e;
}

void WizardForm::setSteps(const Extent& t) {
    VTLWizardBase::xstep =
        std::abs(std::abs(t.xmax) > std::abs(t.xmin) ? t.xmax : t.xmin) / kBarReach;
    VTLWizardBase::ystep =
        std::abs(std::abs(t.ymax) > std::abs(t.ymin) ? t.ymax : t.ymin) / kBarReach;
}

std::vector<VTLWizardBase::ColorRecord> WizardForm::colourTable() {
    std::string file = text::trim(MSTNApp->MbeGetConfigVar("MS_DEFCTBL"));
    if (file.empty()) file = MSTNApp->MbeGetConfigVar("MS_DATA") + "/color.tbl";
    std::vector<VTLWizardBase::ColorRecord> table;
    VTLWizardBase::GetColorTable(file, table);
    return table;
}

void WizardForm::setUpPage(const std::vector<VTLWizardBase::ColorRecord>& table,
                           const Extent& target) {
    const int tab = SSTab.Tab();
    if (tab == kPageVistrel) {
        fillColours(table, {&lvPipeColor});
        setUpVistrelBars(target);
        loadTabValues(tab);
        SSTab1_Click(SSTab1.Tab());
    } else if (tab == kPageIsoCoverSheet || tab == kPageIso3D) {
        fillColours(table, {&lvTabColor, &lvLineEndColor, &lvIso3DColor});
        setUpCoverSheetBars(target);
        loadTabValues(tab);
        SSTab2_Click(SSTab2.Tab());
        SSTab3_Click(SSTab3.Tab());
    }
}

// Item n shows colour n in that colour; the entry after the last whole record gets no item.
void WizardForm::fillColours(const std::vector<VTLWizardBase::ColorRecord>& table,
                             const std::vector<ListView*>& lists) {
    for (ListView* list : lists) list->Clear();
    for (size_t i = 1; i < table.size(); ++i) {
        const VTLWizardBase::ColorRecord& c = table[i - 1];
        const uint32_t rgb = (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
        for (ListView* list : lists) list->Add({std::to_string(i - 1), rgb});
        clock().processEvents();
    }
    for (ListView* list : lists) {
        if (!list->items().empty()) list->select(1);
    }
}

void WizardForm::setUpVistrelBars(const Extent& t) {
    ScrollBar &h = HScrollVistrel, &v = VScrollVistrel;
    position(h, v, t);
    start(h, span(h) / 2.0);
    steps(h, 200, 200);
    start(v, minus(absolute(v.Min()), absolute(v.Max())) / 2.0);
    steps(v, 200, 200);
    range(HScrollScaleVistrel, 199, 1);
    start(HScrollScaleVistrel, 102);
}

void WizardForm::setUpCoverSheetBars(const Extent& t) {
    ScrollBar &h = HScrollIsoCoverSheet, &v = VScrollIsoCoverSheet;
    position(h, v, t);
    start(h, span(h) / 3.0 + h.Min());
    steps(h, 200, 200);
    start(v, minus(absolute(v.Min()), absolute(v.Max())) / 2.0);
    steps(v, 200, 200);
    range(HScrollScaleIsoCoverSheet, 199, 1);
    start(HScrollScaleIsoCoverSheet, 150);
    follow(HScrollTab, h, [](const ScrollBar& b) { return span(b) / 130.0 + b.Min(); });
    follow(VScrollTab, v, [](const ScrollBar& b) { return b.Max() - span(b) / 10.0; });
    follow(HScrollIso3D, h, [](const ScrollBar& b) { return b.Max() - span(b) / 5.0; });
    follow(VScrollIso3D, v, [](const ScrollBar& b) { return span(b) / 5.0 + b.Min(); });
    HScrollScaleIso3D.setMax(HScrollScaleIsoCoverSheet.Max());
    HScrollScaleIso3D.setMin(HScrollScaleIsoCoverSheet.Min());
    start(HScrollScaleIso3D, 93);
}

// The page of the failing file is shown again (its own preparation runs and reports what it
// finds), then the failure is reported, once.
void WizardForm::failed(const Error& error) {
    MSTNApp.reset();
    const int page = error.number() == 2   ? 0
                     : error.number() == 3 ? 1
                     : error.number() == 4 ? 2
                                           : -1;
    const bool outer = !reporting_;
    if (outer) reporting_ = error.description();
    if (page >= 0) SSTab.setTab(page);
    if (outer) reporting_.reset();
    if (!outer && error.description() == *reporting_) return;
    platform::MsgBox(error.description(), platform::vbExclamation);
}

// --- Inner pages
// -----------------------------------------------------------------------------------

void WizardForm::SSTab1_Click(int) {
    previews_->HScrollVistrel_Change();
    previews_->txtCellScaleFactor_Change();
    previews_->cmbPipeLevel_Click();
    previews_->HScrollVistrel_Validate();
}

void WizardForm::SSTab2_Click(int) {
    if (SSTab2.Tab() == 1) {
        previews_->txtHeightTab_Validate();
        previews_->txtWidthTab_Validate();
    } else if (SSTab2.Tab() == 2) {
        previews_->txtLineEndHeight_Validate();
        previews_->txtLineEndWidth_Validate();
    }
    previews_->HScrollIsoCoverSheet_Change();
    previews_->TDBGrid_ColResize(TDBGrid.Col());
    previews_->cmbLineEndLevel_Click();
    previews_->HScrollVistrel_Validate();
    SSTab3.Tag = "1";
    SSTab3_Click(SSTab3.Tab());
    SSTab3.Tag = "";
}

void WizardForm::SSTab3_Click(int) {
    if (SSTab3.Tab() == 1) {
        previews_->txtIso3DHeight_Validate();
        previews_->txtIso3DWidth_Validate();
    }
    previews_->cmbIso3DLevel_Click();
    previews_->HScrollIso3D_Change();
    previews_->HScrollVistrel_Validate();
    if (SSTab3.Tag != "1") SSTab2_Click(SSTab2.Tab());
}

}  // namespace vtl::wizard

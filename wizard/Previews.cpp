// The symbology previews: a sample pipe line, the marker cell and sample line-end numbers drawn
// in the page's working drawing with the chosen colour, level, style, weight and text size, and
// the clearing of the scratch level they are drawn on. The pipe level is that scratch level.
#include "Previews.h"

#include "PreviewKeyins.h"
#include "WizardForm.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "platform/MessageBoxes.h"

namespace vtl::wizard {

namespace {

using VTLWizardBase::xstep;
using VTLWizardBase::ystep;

// The middle of the sheet a pair of position bars spans.
std::string sheetCentre(const ScrollBar& h, const ScrollBar& v) {
    return preview::point((std::abs(h.Max()) - std::abs(h.Min())) / 2.0 * xstep,
                          (std::abs(v.Min()) - std::abs(v.Max())) / 2.0 * ystep);
}

// Numbers as the numeric boxes hold them: the leading number, 0 when there is none.
double Val(const std::string& text) {
    return num::leadingNumber(text);
}

}  // namespace

// The colour only when one is chosen; height and width for texts.
void MicroStationPreviews::showSymbology(const SymbologyControls& s) {
    if (s.colour.selected() > 0) s.status.setPanel(1, "Color: " + s.colour.selectedText());
    s.status.setPanel(2, "Level: " + s.level.Text());
    s.status.setPanel(3, "Style: " + s.style.selectedText());
    s.status.setPanel(4, "Weight: " + s.weight.selectedText());
    if (s.height) s.status.setPanel(5, "Height: " + s.height->Text());
    if (s.width) s.status.setPanel(6, "Width: " + s.width->Text());
}

std::string MicroStationPreviews::symbologyKeyin(const SymbologyControls& s) {
    return preview::symbology(s.colour.selectedText(), s.level.Text(), s.style.selectedText(),
                              s.weight.selectedText());
}

std::string MicroStationPreviews::scratchLevel() {
    return form_.cmbPipeLevel.Text();
}

// The drawing the page's previews are drawn in.
std::string MicroStationPreviews::openDrawing() {
    return form_.SSTab.Tab() == kPageVistrel ? form_.txtISOFile.Tag : form_.txtICSSeedFile[0]->Tag;
}

void MicroStationPreviews::clearScratch() {
    const std::string level = scratchLevel();
    for (const std::string& keyin : preview::scratchClearing(level)) sendKeyin(keyin);
    if (sampleLine_ && sampleLine_->level == level && sampleLine_->file == openDrawing()) {
        sampleLine_.reset();
    }
}

void MicroStationPreviews::sampleText(const std::string& at, const ComboBox& level) {
    sendKeyin(preview::sampleText(scratchLevel(), at, level.Text()));
}

// Shows a failure, unless it is the one shown last time and nothing has worked since, or one
// already shown on this page: a page change calls a preview several times, and one message is
// enough.
void MicroStationPreviews::guarded(std::optional<std::string>& last, int style,
                                   void (MicroStationPreviews::*preview)()) {
    try {
        (this->*preview)();
        last.reset();
        return;
    } catch (...) {
        const std::string message = toError(std::current_exception()).description();
        const bool shown = last == message || shownOnPage_.count(message) > 0;
        last = message;
        if (shown) return;
        shownOnPage_.insert(message);
        platform::MsgBox(message, style);
    }
}

void MicroStationPreviews::newPage() {
    rebuilt_ = false;
    shownOnPage_.clear();
    for (auto* failure : {&iso3DFailure_, &lineEndFailure_, &iso3DLabelFailure_, &tableFailure_}) {
        failure->reset();
    }
}

// --- The sample pipe line --------------------------------------------------------------------

void MicroStationPreviews::cmbPipeLevel_Click() {
    if (!MSTNApp) return;
    const SymbologyControls s = form_.pipeSymbology();
    showSymbology(s);
    if (form_.SSTab.Tab() != kPageVistrel) return;
    const ScrollBar &h = form_.HScrollVistrel, &v = form_.VScrollVistrel;
    const std::string corner = preview::point(h.Min() * xstep, v.Max() * ystep);
    // The line of an earlier call is found at its start; only the wizard's own line is deleted.
    if (sampleLine_ && sampleLine_->file == openDrawing()) {
        sendKeyin(preview::deleteElementAt(corner));
        sampleLine_.reset();
    }
    if (form_.SSTab1.Tab() != 1) return;
    sendKeyin(symbologyKeyin(s));
    sendKeyin("NULL;PLACE LINE;XY=" + corner +
              ";XY=" + preview::point(h.Max() * xstep, v.Min() * ystep) + ";NULL");
    sampleLine_ = SampleLine{openDrawing(), s.level.Text()};
}

// --- The marker cell -------------------------------------------------------------------------

void MicroStationPreviews::txtCellScaleFactor_Change() {
    if (!MSTNApp || form_.SSTab.Tab() != kPageVistrel) return;
    clearScratch();
    const std::string& library = form_.txtCelFile.Text();
    if (form_.SSTab1.Tab() != 2 || !FileOperationModule::IsFileExists(library, 0)) return;
    using preview::keyinSafe;
    const std::string& name = keyinSafe(form_.txtCellName.Text(), "cell name");
    const std::string& scale = keyinSafe(form_.txtCellScaleFactor.Text(), "scale factor");
    const std::string at = preview::point(form_.HScrollVistrel.Max() * xstep / 2,
                                          form_.VScrollVistrel.Min() * ystep / 2);
    sendKeyin("NULL;LV=" + scratchLevel() + ";ATTACH LIBRARY " +
              keyinSafe(library, "cell library") + ";");
    sendKeyin("ACTIVE CELL " + name + ";");
    sendKeyin("as=" + scale + ";");
    sendKeyin("XY=" + at + ";NULL");
}

// --- Sample line-end numbers -----------------------------------------------------------------

void MicroStationPreviews::cmbLineEndLevel_Click() {
    if (!MSTNApp) return;
    guarded(lineEndFailure_, platform::vbOKOnly, &MicroStationPreviews::lineEndSample);
}

// The texts of the cover sheet grow with the key plan's scale: at 2:1 twice the size, at 1:5 a
// fifth.
void MicroStationPreviews::lineEndSample() {
    const SymbologyControls s = form_.lineEndSymbology();
    showSymbology(s);
    if (form_.SSTab.Tab() != kPageIsoCoverSheet || form_.SSTab2.Tab() != 2) return;
    clearScratch();
    std::string height = preview::keyinSafe(s.height->Text(), "text height");
    std::string width = preview::keyinSafe(s.width->Text(), "text width");
    const std::string scale = preview::afterColon(form_.StatusBar3.panel(1));
    const size_t colon = scale.find(':');
    if (colon != std::string::npos && scale.find(':', colon + 1) == std::string::npos) {
        const std::optional<double> m = num::parseNumber(scale.substr(0, colon));
        const std::optional<double> r = num::parseNumber(scale.substr(colon + 1));
        if (m && r) {
            const bool larger = *r < *m;
            height = num::text(larger ? Val(height) * *m : Val(height) / *r);
            width = num::text(larger ? Val(width) * *m : Val(width) / *r);
        }
    }
    sendKeyin(symbologyKeyin(s) + ";TX=" + height + ";TW=" + width);
    sampleText(sheetCentre(form_.HScrollIsoCoverSheet, form_.VScrollIsoCoverSheet),
               form_.cmbLineEndLevel);
}

void MicroStationPreviews::cmbIso3DLevel_Click() {
    if (!MSTNApp || form_.SSTab.Tab() != kPageIso3D || form_.SSTab3.Tab() != 1) return;
    guarded(iso3DLabelFailure_, platform::vbOKOnly, &MicroStationPreviews::iso3DSample);
}

// The 3-D view's texts shrink with its scale and with the factor its reference is scaled by.
void MicroStationPreviews::iso3DSample() {
    const SymbologyControls s = form_.iso3DSymbology();
    showSymbology(s);
    clearScratch();
    const double factor = iso3DFactor();
    const int v = form_.HScrollScaleIso3D.Value();
    const double r = v < 100 ? std::abs(100 - v) : 1;
    const std::string height = num::text(Val(s.height->Text()) / (r * factor));
    const std::string width = num::text(Val(s.width->Text()) / (r * factor));
    sendKeyin(symbologyKeyin(s) + ";TX=" + height + ";TW=" + width);
    sampleText(sheetCentre(form_.HScrollIso3D, form_.VScrollIso3D), form_.cmbIso3DLevel);
}

}  // namespace vtl::wizard

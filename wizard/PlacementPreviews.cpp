// The placement previews: the overview seed attached as the reference "VTL" on the iso drawing
// and on the cover sheet, and the 2-D copy of the 3-D seed as "I3D" on the cover sheet, each at
// the origin and scale its bars give; the status bars keep what the page saves.
#include <filesystem>

#include "PreviewKeyins.h"
#include "Previews.h"
#include "WizardForm.h"
#include "common/FileOperationModule.h"
#include "common/modMSTN.h"
#include "common/mstnmacro.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "generator/IsoView.h"
#include "platform/MessageBoxes.h"

namespace vtl::wizard {

namespace {

namespace fs = std::filesystem;
using VTLWizardBase::xstep;
using VTLWizardBase::ystep;

bool exists(const std::string& path) {
    return FileOperationModule::IsFileExists(path, 0);
}

// The 3-D seed is converted from a copy of its own, so that the user's file is never open in
// MicroStation while the wizard works.
constexpr char kSeedCopy[] = "I3Dseed.dgn";

}  // namespace

// Panel 1 the scale, panel 2 the origin: as configured until the user moves their bars, then
// what the bars give, the origin rounded to five places.
void MicroStationPreviews::placement(const ScrollBar& scale, const ScrollBar& h, const ScrollBar& v,
                                     StatusBar& status) {
    status.setPanel(1, "Scale (M:R): " + form_.scaleOf(scale));
    status.setPanel(2, "XY: " + form_.coordinateOf(h, xstep) + "," + form_.coordinateOf(v, ystep));
}

void MicroStationPreviews::HScrollVistrel_Change() {
    WizardForm& f = form_;
    const std::string scale = f.scaleOf(f.HScrollScaleVistrel);
    if (!MSTNApp) return;
    placement(f.HScrollScaleVistrel, f.HScrollVistrel, f.VScrollVistrel, f.StatusBar1);
    if (f.SSTab.Tab() != kPageVistrel) return;
    sendKeyin("REFERENCE DETACH VTL");
    if (f.SSTab1.Tab() != 0) return;
    sendKeyin(preview::attachReference(f.txtVTLSeedFile[0]->Tag, "VTL", "Vistrel", "VTL", scale,
                                       preview::afterColon(f.StatusBar1.panel(2))));
}

void MicroStationPreviews::HScrollIsoCoverSheet_Change() {
    WizardForm& f = form_;
    const std::string scale = f.scaleOf(f.HScrollScaleIsoCoverSheet);
    if (!MSTNApp) return;
    placement(f.HScrollScaleIsoCoverSheet, f.HScrollIsoCoverSheet, f.VScrollIsoCoverSheet,
              f.StatusBar3);
    const int tab = f.SSTab.Tab();
    if (tab != kPageIsoCoverSheet && tab != kPageIso3D) return;
    sendKeyin("REFERENCE DETACH VTL");
    if ((tab == kPageIso3D && f.SSTab3.Tab() == 0) ||
        (tab == kPageIsoCoverSheet && f.SSTab2.Tab() != 2)) {
        sendKeyin(preview::attachReference(f.txtVTLSeedFile[1]->Tag, "VTL", "Vistrel", "VTL", scale,
                                           preview::afterColon(f.StatusBar3.panel(2))));
    }
}

void MicroStationPreviews::HScrollIso3D_Change() {
    if (!MSTNApp) return;
    BusyScope busy(form_);
    guarded(iso3DFailure_, platform::vbExclamation, &MicroStationPreviews::placeIso3D);
}

void MicroStationPreviews::placeIso3D() {
    WizardForm& f = form_;
    placement(f.HScrollScaleIso3D, f.HScrollIso3D, f.VScrollIso3D, f.StatusBar7);
    // The reference is scaled by the size of the overview seed, as the run scales the 3-D
    // view by the size of the pipeline.
    const std::string scale = f.scaleOf(f.HScrollScaleIso3D);
    const size_t colon = scale.find(':');
    const std::string scaled =
        scale.substr(0, colon + 1) +
        num::text(num::leadingNumber(scale.substr(colon + 1)) * iso3DFactor());
    const std::string& copy = f.txtI3DSeedFile.Tag;
    if (!rebuilt_ && !exists(copy) && exists(f.txtI3DSeedFile.Text())) rebuildIso3D();
    const int tab = f.SSTab.Tab();
    if (tab != kPageIsoCoverSheet && tab != kPageIso3D) return;
    sendKeyin("REFERENCE DETACH I3D");
    // Without the copy (a conversion that failed) there is nothing to show.
    if (((tab == kPageIsoCoverSheet && f.SSTab2.Tab() != 2) ||
         (tab == kPageIso3D && f.SSTab3.Tab() == 0)) &&
        exists(copy)) {
        sendKeyin(preview::attachReference(copy, "I3D", "Iso3D", "I3D", scaled,
                                           preview::afterColon(f.StatusBar7.panel(2))));
    }
}

// The larger side of the overview seed in thousands of drawing units. A seed without elements
// has no size to scale by.
double MicroStationPreviews::iso3DFactor() {
    const VTLWizardBase::Extent& seed = VTLWizardBase::seedExtent;
    const double factor = std::max(seed.xmax - seed.xmin, seed.ymax - seed.ymin) / 1000;
    if (!(factor > 0)) {
        raise(kOwnError, "The Vistrel seed file '" + form_.txtVTLSeedFile[0]->Text() +
                             "' has no extent (no elements): the 3-D view, which is scaled by "
                             "the seed's size, cannot be shown");
    }
    return factor;
}

// MicroStation is started afresh for the conversion, which writes the 2-D copy; the copy gets
// a cross over the overview seed's extent in the pipe symbology and the saved view "I3D", and
// the cover sheet opens again. Tried once per page change: a failure leaves no partial copy
// and MicroStation back on the cover sheet, shown.
void MicroStationPreviews::rebuildIso3D() {
    rebuilt_ = true;
    try {
        MSTNApp->MbeSendCommand("exit");
    } catch (...) {  // a MicroStation that is gone needs no exit
    }
    MSTNApp.reset();
    modMSTN::WaitUntilMicroStationGone(VTLWizardBase::kExitTimeoutMs);
    MSTNApp = form_.attach();
    try {
        convertIso3D();
        drawIso3DCross();
    } catch (...) {
        recoverFromRebuild();
        throw;
    }
}

void MicroStationPreviews::convertIso3D() {
    WizardForm& f = form_;
    const std::string& target = f.txtI3DSeedFile.Tag;
    const fs::path seed = fs::path(target).parent_path() / kSeedCopy;
    std::error_code error;
    fs::copy_file(f.txtI3DSeedFile.Text(), seed, fs::copy_options::overwrite_existing, error);
    if (error) throw errnoError(error.value(), f.txtI3DSeedFile.Text());
    sendKeyin("NEWFILE " + seed.string());
    MSTNApp->setVisible(0);
    for (const std::string& keyin : conversionKeyins(target)) sendKeyin(keyin);
    if (!exists(target)) {
        raise(kOwnError, "The 2-D conversion of the Iso3D seed file '" + f.txtI3DSeedFile.Text() +
                             "' did not write " + target);
    }
    sendKeyin("NEWFILE " + target);
    MSTNApp->setVisible(0);
}

// The copy is new: it holds no cross of an earlier call to delete, and a delete at its corner
// would take an element of the 3-D seed instead.
void MicroStationPreviews::drawIso3DCross() {
    WizardForm& f = form_;
    sendKeyin(symbologyKeyin(form_.pipeSymbology()));
    const VTLWizardBase::Extent& e = VTLWizardBase::seedExtent;
    auto at = [](double x, double y, double z) {
        return preview::point(x, y) + "," + num::text(z);
    };
    sendKeyin("NULL;PLACE LINE;XY=" + at(e.xmin, e.ymin, e.xmin) +
              ";XY=" + at(e.xmax, e.ymax, e.xmax) + ";NULL");
    sendKeyin("NULL;PLACE LINE;XY=" + at(e.xmax, e.ymin, e.xmin) +
              ";XY=" + at(e.xmin, e.ymax, e.xmax) + ";NULL");
    sendKeyin(
        "RESET;VIEW OFF ALL;VIEW ON 1;WINDOW ARRANGE;FIT ALL;SELVIEW 1;ZOOM OUT EXTENDED 1;FILE");
    sendKeyin("RESET;SAVE VIEW I3D,Iso3D;SELVIEW 1;FILE");
    sendKeyin("NEWFILE " + f.txtICSSeedFile[1]->Tag);
    MSTNApp->setVisible(1);
    if (f.window.besideMicroStation) f.window.besideMicroStation();
}

void MicroStationPreviews::recoverFromRebuild() {
    FileOperationModule::DeleteFileA(form_.txtI3DSeedFile.Tag, false);
    if (!MSTNApp) return;
    try {
        MSTNApp->MbeSendCommand("NEWFILE " + form_.txtICSSeedFile[1]->Tag);
        MSTNApp->setVisible(1);
    } catch (...) {  // the failure itself is what the user is told
    }
}

void MicroStationPreviews::HScrollVistrel_Validate() {
    if (form_.window.mousePointer) form_.window.mousePointer(11);
    try {
        if (MSTNApp) sendKeyin("FIT ALL;UPDATE ALL");
    } catch (...) {
        if (form_.window.mousePointer) form_.window.mousePointer(0);
        throw;
    }
    if (form_.window.mousePointer) form_.window.mousePointer(0);
}

}  // namespace vtl::wizard

#include "DefaultRunSteps.h"

#include "CoverSheet.h"
#include "IsoPlot.h"
#include "IsoView.h"
#include "NodeFilling.h"
#include "OverviewCopies.h"
#include "OverviewDrawing.h"
#include "RunDriver.h"
#include "RunHost.h"
#include "Variablen.h"
#include "core/Error.h"

namespace vtl {

namespace {

[[noreturn]] void notAvailable(const std::string& what, const std::string& step) {
    Variablen().StepError = true;
    throw Error(kOwnError, step, what + " (" + step + ") is not available yet");
}

}  // namespace

void DefaultRunSteps::leitung_einzeichnen(bool withMarkerCell) {
    vtl::leitung_einzeichnen(withMarkerCell);
}

void DefaultRunSteps::VTLhineinkopieren() {
    vtl::VTLhineinkopieren(RunDriver::host());
}

void DefaultRunSteps::startPellmark() {
    vtl::startPellmark(RunDriver::host().excelFileText(), RunDriver::reattachMSTN);
}

void DefaultRunSteps::findI3DimportFaktor() {
    vtl::findI3DimportFaktor();
}

void DefaultRunSteps::createI3Dfile() {
    vtl::createI3Dfile(RunDriver::host());
}

void DefaultRunSteps::lineEndNumber() {
    vtl::lineEndNumber(RunDriver::host());
}

void DefaultRunSteps::IsoCoverSheet() {
    vtl::IsoCoverSheet(RunDriver::host());
}

void DefaultRunSteps::Gridfile_zerlegen() {
    notAvailable("The grid file reading", "Gridfile_zerlegen");
}

void DefaultRunSteps::find_endpoint_diff() {
    notAvailable("The distances to the grid lines", "find_endpoint_diff");
}

void DefaultRunSteps::searchidf() {
    notAvailable("The IDF matching", "searchidf");
}

void DefaultRunSteps::placeTabelle() {
    notAvailable("The end-number table", "placeTabelle");
}

void DefaultRunSteps::iplotiso(const std::string& file) {
    vtl::iplotiso(file, RunDriver::host().plotterText());
}

}  // namespace vtl

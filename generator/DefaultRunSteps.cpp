#include "DefaultRunSteps.h"

#include "CoverSheet.h"
#include "EndNumberTable.h"
#include "GridLines.h"
#include "IdfMatching.h"
#include "IsoPlot.h"
#include "IsoView.h"
#include "NodeFilling.h"
#include "OverviewCopies.h"
#include "OverviewDrawing.h"
#include "RunDriver.h"
#include "RunHost.h"

namespace vtl {

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
    vtl::Gridfile_zerlegen();
}

void DefaultRunSteps::find_endpoint_diff() {
    vtl::find_endpoint_diff();
}

void DefaultRunSteps::searchidf() {
    vtl::searchidf();
}

void DefaultRunSteps::placeTabelle() {
    vtl::placeTabelle();
}

void DefaultRunSteps::iplotiso(const std::string& file) {
    vtl::iplotiso(file, RunDriver::host().plotterText());
}

}  // namespace vtl

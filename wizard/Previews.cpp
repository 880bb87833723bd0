// The previews are not drawn yet: each entry point below is where its preview goes. What they
// find prepared by the page change: MSTNApp with the page's working drawing open, the bars'
// ranges and starting values, xstep, ystep, gridstep and the overview seed's extent
// (VTLWizardBase), the colour lists, and the working copies in the Tags of the file boxes
// (the 3-D view's 2-D copy is the Tag of txtI3DSeedFile, in a folder of its own).
#include "Previews.h"

namespace vtl::wizard {

void MicroStationPreviews::HScrollVistrel_Change() {}
void MicroStationPreviews::HScrollIsoCoverSheet_Change() {}
void MicroStationPreviews::HScrollIso3D_Change() {}
void MicroStationPreviews::HScrollVistrel_Validate() {}

void MicroStationPreviews::cmbPipeLevel_Click() {}
void MicroStationPreviews::txtCellScaleFactor_Change() {}
void MicroStationPreviews::cmbLineEndLevel_Click() {}
void MicroStationPreviews::cmbIso3DLevel_Click() {}

void MicroStationPreviews::TDBGrid_ColResize(int) {}

void MicroStationPreviews::txtHeightTab_Validate() {}
void MicroStationPreviews::txtWidthTab_Validate() {}
void MicroStationPreviews::txtLineEndHeight_Validate() {}
void MicroStationPreviews::txtLineEndWidth_Validate() {}
void MicroStationPreviews::txtIso3DHeight_Validate() {}
void MicroStationPreviews::txtIso3DWidth_Validate() {}
void MicroStationPreviews::txtMinLineLength_Validate() {}
void MicroStationPreviews::txtCellScaleFactor_Validate() {}

}  // namespace vtl::wizard

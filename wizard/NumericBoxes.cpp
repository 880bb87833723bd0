// The boxes that take decimal numbers: a hint while the user types something else, and on
// Enter or leaving the box the text normalised (a comma becomes a point, an empty box its
// built-in value) and the box's preview redrawn.
#include "Previews.h"
#include "WizardForm.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "platform/MessageBoxes.h"

namespace vtl::wizard {

namespace {

constexpr int kEnter = 13;

}  // namespace

void WizardForm::numericBox_KeyUp(TextBox& box, int KeyCode) {
    if (KeyCode == kEnter) {
        if (box.onValidate) box.onValidate();
        return;
    }
    const std::string& text = box.Text();
    if (text::trim(text).empty() || IsNumeric(text)) return;
    platform::MsgBox("Numbers only, please", platform::vbInformation);
    if (box.setFocus) box.setFocus();
}

void MicroStationPreviews::validateBox(TextBox& box, const char* empty,
                                       void (MicroStationPreviews::*redraw)()) {
    const std::string& text = box.Text();
    box.setText(text::trim(text).empty() ? std::string(empty) : text::replaceAll(text, ",", "."));
    (this->*redraw)();
    HScrollVistrel_Validate();
}

void MicroStationPreviews::tablePreview() {
    TDBGrid_ColResize(form_.TDBGrid.Col());
}

void MicroStationPreviews::txtHeightTab_Validate() {
    validateBox(form_.txtHeightTab, "3.5", &MicroStationPreviews::tablePreview);
}

void MicroStationPreviews::txtWidthTab_Validate() {
    validateBox(form_.txtWidthTab, "2.5", &MicroStationPreviews::tablePreview);
}

void MicroStationPreviews::txtLineEndHeight_Validate() {
    validateBox(form_.txtLineEndHeight, "0.2", &MicroStationPreviews::cmbLineEndLevel_Click);
}

void MicroStationPreviews::txtLineEndWidth_Validate() {
    validateBox(form_.txtLineEndWidth, "0.2", &MicroStationPreviews::cmbLineEndLevel_Click);
}

void MicroStationPreviews::txtIso3DHeight_Validate() {
    validateBox(form_.txtIso3DHeight, "2", &MicroStationPreviews::cmbIso3DLevel_Click);
}

void MicroStationPreviews::txtIso3DWidth_Validate() {
    validateBox(form_.txtIso3DWidth, "2", &MicroStationPreviews::cmbIso3DLevel_Click);
}

// The minimum length has no preview; the scale factor's change draws the cell.
void MicroStationPreviews::txtMinLineLength_Validate() {
    validateBox(form_.txtMinLineLength, "9999", &MicroStationPreviews::none);
}

void MicroStationPreviews::txtCellScaleFactor_Validate() {
    validateBox(form_.txtCellScaleFactor, "0.01", &MicroStationPreviews::none);
}

}  // namespace vtl::wizard

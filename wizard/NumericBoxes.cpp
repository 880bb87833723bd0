// The boxes that take decimal numbers: a hint while the user types something else, and on
// Enter or leaving the box the text normalised (a comma becomes a point, an empty box its
// built-in value) and the box's preview redrawn.
#include <utility>

#include "Previews.h"
#include "WizardForm.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "platform/MessageBoxes.h"

namespace vtl::wizard {

namespace {

constexpr int kEnter = 13;

}  // namespace

std::vector<std::pair<TextBox*, const char*>> WizardForm::numericBoxes() {
    return {{&txtIso3DHeight, "2"},      {&txtIso3DWidth, "2"},        {&txtLineEndHeight, "0.2"},
            {&txtLineEndWidth, "0.2"},   {&txtHeightTab, "3.5"},       {&txtWidthTab, "2.5"},
            {&txtMinLineLength, "9999"}, {&txtCellScaleFactor, "0.01"}};
}

void WizardForm::numericBox_KeyUp(TextBox& box, int KeyCode) {
    if (KeyCode == kEnter) {
        if (box.onValidate) box.onValidate();
        return;
    }
    // A key that changed nothing (a move, a modifier) does not bring the hint back.
    const std::string& text = box.Text();
    if (std::exchange(keyUpText_[&box], text) == text) return;
    if (text::trim(text).empty() || IsNumeric(text)) return;
    platform::MsgBox("Numbers only, please", platform::vbInformation);
    if (box.setFocus) box.setFocus();
}

void MicroStationPreviews::validateBox(TextBox& box, void (MicroStationPreviews::*redraw)()) {
    const std::string& text = box.Text();
    if (!text::trim(text).empty()) {
        box.setText(text::replaceAll(text, ",", "."));
    } else {
        for (const auto& [numeric, empty] : form_.numericBoxes()) {
            if (numeric == &box) box.setText(empty);
        }
    }
    (this->*redraw)();
    HScrollVistrel_Validate();
}

void MicroStationPreviews::tablePreview() {
    TDBGrid_ColResize(form_.TDBGrid.Col());
}

void MicroStationPreviews::txtHeightTab_Validate() {
    validateBox(form_.txtHeightTab, &MicroStationPreviews::tablePreview);
}

void MicroStationPreviews::txtWidthTab_Validate() {
    validateBox(form_.txtWidthTab, &MicroStationPreviews::tablePreview);
}

void MicroStationPreviews::txtLineEndHeight_Validate() {
    validateBox(form_.txtLineEndHeight, &MicroStationPreviews::cmbLineEndLevel_Click);
}

void MicroStationPreviews::txtLineEndWidth_Validate() {
    validateBox(form_.txtLineEndWidth, &MicroStationPreviews::cmbLineEndLevel_Click);
}

void MicroStationPreviews::txtIso3DHeight_Validate() {
    validateBox(form_.txtIso3DHeight, &MicroStationPreviews::cmbIso3DLevel_Click);
}

void MicroStationPreviews::txtIso3DWidth_Validate() {
    validateBox(form_.txtIso3DWidth, &MicroStationPreviews::cmbIso3DLevel_Click);
}

// The minimum length has no preview; the scale factor's change draws the cell.
void MicroStationPreviews::txtMinLineLength_Validate() {
    validateBox(form_.txtMinLineLength, &MicroStationPreviews::none);
}

void MicroStationPreviews::txtCellScaleFactor_Validate() {
    validateBox(form_.txtCellScaleFactor, &MicroStationPreviews::none);
}

}  // namespace vtl::wizard

// The previews the wizard draws in MicroStation as its controls change: one entry point per
// preview, named after the handler that draws it. The page change and the controls' events
// call them; MicroStationPreviews draws them.
#pragma once

namespace vtl::wizard {

class Previews {
public:
    virtual ~Previews() = default;

    // Placement of the key plan on the iso drawing and on the cover sheet, and of the 3-D
    // view on the cover sheet, with their status bars; fit and redraw after a control was left.
    virtual void HScrollVistrel_Change() = 0;
    virtual void HScrollIsoCoverSheet_Change() = 0;
    virtual void HScrollIso3D_Change() = 0;
    virtual void HScrollVistrel_Validate() = 0;

    // The sample pipe line, the marker cell and the sample line-end numbers.
    virtual void cmbPipeLevel_Click() = 0;
    virtual void txtCellScaleFactor_Change() = 0;
    virtual void cmbLineEndLevel_Click() = 0;
    virtual void cmbIso3DLevel_Click() = 0;

    // The end-number table drawn from the sample grid.
    virtual void TDBGrid_ColResize(int column) = 0;

    // The numeric boxes, left by the user or shown with their page: normalised, then the
    // matching preview redrawn.
    virtual void txtHeightTab_Validate() = 0;
    virtual void txtWidthTab_Validate() = 0;
    virtual void txtLineEndHeight_Validate() = 0;
    virtual void txtLineEndWidth_Validate() = 0;
    virtual void txtIso3DHeight_Validate() = 0;
    virtual void txtIso3DWidth_Validate() = 0;
    virtual void txtMinLineLength_Validate() = 0;
    virtual void txtCellScaleFactor_Validate() = 0;
};

class WizardForm;

// The previews in MicroStation. Each is drawn through the form's controls and MSTNApp; none
// is drawn yet.
class MicroStationPreviews : public Previews {
public:
    explicit MicroStationPreviews(WizardForm& form) : form_(form) {}

    void HScrollVistrel_Change() override;
    void HScrollIsoCoverSheet_Change() override;
    void HScrollIso3D_Change() override;
    void HScrollVistrel_Validate() override;
    void cmbPipeLevel_Click() override;
    void txtCellScaleFactor_Change() override;
    void cmbLineEndLevel_Click() override;
    void cmbIso3DLevel_Click() override;
    void TDBGrid_ColResize(int column) override;
    void txtHeightTab_Validate() override;
    void txtWidthTab_Validate() override;
    void txtLineEndHeight_Validate() override;
    void txtLineEndWidth_Validate() override;
    void txtIso3DHeight_Validate() override;
    void txtIso3DWidth_Validate() override;
    void txtMinLineLength_Validate() override;
    void txtCellScaleFactor_Validate() override;

private:
    [[maybe_unused]] WizardForm& form_;
};

}  // namespace vtl::wizard

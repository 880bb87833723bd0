// The previews the wizard draws in MicroStation as its controls change: one entry point per
// preview, named after the handler that draws it. The page change and the controls' events
// call them; MicroStationPreviews draws them.
#pragma once

#include <optional>
#include <set>
#include <string>

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

    // A page change has deleted the 3-D view's 2-D copy: the next placement of the 3-D view
    // builds it again, once.
    virtual void newPage() {}
    // A working copy was made afresh: the samples drawn into the one before are gone with it.
    virtual void newWorkingCopy() {}
};

class WizardForm;
class TextBox;
class ListView;
class ComboBox;
class ImageCombo;
class StatusBar;
struct SymbologyControls;
class ScrollBar;

// The previews in MicroStation. Each is drawn through the form's controls and MSTNApp, which
// the page change has opened on the page's working drawing.
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
    void newPage() override;
    void newWorkingCopy() override { sampleLine_.reset(); }

private:
    void showSymbology(const SymbologyControls& s);
    std::string symbologyKeyin(const SymbologyControls& s);
    std::string scratchLevel();
    std::string openDrawing();
    void clearScratch();
    void sampleText(const std::string& at, const ComboBox& level);
    void lineEndSample();
    void iso3DSample();

    // The placement previews' steps.
    void placement(const ScrollBar& scale, const ScrollBar& h, const ScrollBar& v,
                   StatusBar& status);
    void placeIso3D();
    double iso3DFactor();
    void rebuildIso3D();
    void convertIso3D();
    void drawIso3DCross();
    void recoverFromRebuild();

    void drawTable();
    void drawTableWhileAsked();
    void drawTableRows();

    // Normalises a numeric box, then redraws its preview and the views.
    void validateBox(TextBox& box, void (MicroStationPreviews::*redraw)());
    void tablePreview();
    void none() {}

    // Runs a preview that reports its own failures: each shown once while it repeats, and once
    // per page change however many previews it stops.
    void guarded(std::optional<std::string>& last, int style,
                 void (MicroStationPreviews::*preview)());

    WizardForm& form_;
    // The 3-D view's 2-D copy was built (or tried) since the last page change.
    bool rebuilt_ = false;
    // The sample pipe line the wizard drew: the working copy and the level it lies on. Only it
    // is deleted at the drawing's corner, never an element of the drawing itself.
    struct SampleLine {
        std::string file;
        std::string level;
    };
    std::optional<SampleLine> sampleLine_;
    // The table is being drawn; a redraw asked for meanwhile follows it.
    bool drawingTable_ = false;
    bool drawTableAgain_ = false;
    std::optional<std::string> iso3DFailure_, lineEndFailure_, iso3DLabelFailure_, tableFailure_;
    std::set<std::string> shownOnPage_;
};

}  // namespace vtl::wizard

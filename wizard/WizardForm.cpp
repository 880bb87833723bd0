#include "WizardForm.h"

#include "common/FileOperationModule.h"
#include "common/SleepModule.h"
#include "common/modMSTN.h"
#include "common/mstnmacro.h"
#include "core/Clock.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowSystem.h"

namespace vtl::wizard {

WizardForm::WizardForm(WizardHost& host)
    : MSTNOpen(modMSTN::MSTNOpen),
      host_(host),
      previews_(std::make_unique<MicroStationPreviews>(*this)),
      copies_(env::tempFolder()) {
    for (int i = 0; i < 8; ++i) {
        const std::string index = "(" + std::to_string(i) + ")";
        btnOpenFile.push_back(i == 7 ? nullptr
                                     : std::make_unique<Button>("btnOpenFile" + index, -1));
        btnSelectFile.push_back(std::make_unique<Button>("btnSelectFile" + index, -1));
    }
    for (int i = 0; i < 2; ++i) {
        const std::string index = "(" + std::to_string(i) + ")";
        txtVTLSeedFile[static_cast<size_t>(i)] =
            std::make_unique<TextBox>("txtVTLSeedFile" + index, -1);
        txtICSSeedFile[static_cast<size_t>(i)] =
            std::make_unique<TextBox>("txtICSSeedFile" + index, -1);
    }
    TDBGrid.setColumnCount(5, kGridWidth / 5);
    TDBGrid.setRowHeight(kGridRowHeight);
    buildControlLists();
    wireEvents();
}

WizardForm::~WizardForm() = default;

void WizardForm::setPreviews(std::unique_ptr<Previews> previews) {
    previews_ = std::move(previews);
}

// The window's order: the configuration file, then each page from its file boxes down.
void WizardForm::buildControlLists() {
    auto& o = controls_;
    o = {&txtVTLConfig,
         btnOpenFile[4].get(),
         btnSelectFile[4].get(),
         &SSTab,
         &txtISOFile,
         btnOpenFile[1].get(),
         btnSelectFile[1].get(),
         txtVTLSeedFile[0].get(),
         btnOpenFile[0].get(),
         btnSelectFile[0].get(),
         &SSTab1,
         &HScrollVistrel,
         &VScrollVistrel,
         &HScrollScaleVistrel,
         &StatusBar1,
         &lvPipeColor,
         &cmbPipeLevel,
         &icmbPipeStyle,
         &icmbPipeWeight,
         &StatusBar2,
         &txtCelFile,
         btnSelectFile[7].get(),
         &txtCellName,
         &txtCellScaleFactor,
         &txtMinLineLength,
         txtICSSeedFile[0].get(),
         btnOpenFile[3].get(),
         btnSelectFile[3].get(),
         txtVTLSeedFile[1].get(),
         btnOpenFile[2].get(),
         btnSelectFile[2].get(),
         &SSTab2,
         &HScrollIsoCoverSheet,
         &VScrollIsoCoverSheet,
         &HScrollScaleIsoCoverSheet,
         &StatusBar3,
         &TDBGrid,
         &lvTabColor,
         &cmbTabLevel,
         &icmbTabStyle,
         &icmbTabWeight,
         &txtHeightTab,
         &txtWidthTab,
         &HScrollTab,
         &VScrollTab,
         &StatusBar4,
         &lvLineEndColor,
         &cmbLineEndLevel,
         &icmbLineEndStyle,
         &icmbLineEndWeight,
         &txtLineEndHeight,
         &txtLineEndWidth,
         &StatusBar6,
         &txtI3DSeedFile,
         btnOpenFile[6].get(),
         btnSelectFile[6].get(),
         txtICSSeedFile[1].get(),
         btnOpenFile[5].get(),
         btnSelectFile[5].get(),
         &SSTab3,
         &HScrollIso3D,
         &VScrollIso3D,
         &HScrollScaleIso3D,
         &StatusBar7,
         &lvIso3DColor,
         &cmbIso3DLevel,
         &icmbIso3DStyle,
         &icmbIso3DWeight,
         &txtIso3DHeight,
         &txtIso3DWidth,
         &StatusBar5,
         &Timer1,
         &Timer2};
}

void WizardForm::wireEvents() {
    for (Control* control : controls_) {
        control->userChanged = [this](Control& c) { onUserChange(c); };
    }
    SSTab.onClick = [this](int previous) { SSTab_Click(previous); };
    SSTab1.onClick = [this](int previous) { SSTab1_Click(previous); };
    SSTab2.onClick = [this](int previous) { SSTab2_Click(previous); };
    SSTab3.onClick = [this](int previous) { SSTab3_Click(previous); };
    cmdClose.onClick = [this] { cmdClose_Click(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
    wireFileBoxes();
    wirePreviews();
}

void WizardForm::wireFileBoxes() {
    for (int i = 0; i < 8; ++i) {
        if (btnOpenFile[static_cast<size_t>(i)]) {
            btnOpenFile[static_cast<size_t>(i)]->onClick = [this, i] { btnOpenFile_Click(i); };
        }
        btnSelectFile[static_cast<size_t>(i)]->onClick = [this, i] { btnSelectFile_Click(i); };
    }
    txtVTLConfig.onChange = [this] { txtVTLConfig_Change(); };
    for (int i = 0; i < 2; ++i) {
        txtVTLSeedFile[static_cast<size_t>(i)]->onChange = [this, i] { txtVTLSeedFile_Change(i); };
        txtICSSeedFile[static_cast<size_t>(i)]->onChange = [this, i] { txtICSSeedFile_Change(i); };
    }
    txtISOFile.onChange = [this] { txtISOFile_Change(); };
    txtI3DSeedFile.onChange = [this] { txtI3DSeedFile_Change(); };
}

// The events that only pass on to a preview.
void WizardForm::wirePreviews() {
    auto to = [this](void (Previews::*preview)()) {
        return [this, preview] { (previews_.get()->*preview)(); };
    };
    auto table = [this] { previews_->TDBGrid_ColResize(TDBGrid.Col()); };
    for (ScrollBar* bar : {&HScrollVistrel, &VScrollVistrel, &HScrollScaleVistrel}) {
        bar->onChange = to(&Previews::HScrollVistrel_Change);
    }
    for (ScrollBar* bar :
         {&HScrollIsoCoverSheet, &VScrollIsoCoverSheet, &HScrollScaleIsoCoverSheet}) {
        bar->onChange = to(&Previews::HScrollIsoCoverSheet_Change);
    }
    for (ScrollBar* bar : {&HScrollIso3D, &VScrollIso3D, &HScrollScaleIso3D}) {
        bar->onChange = to(&Previews::HScrollIso3D_Change);
    }
    HScrollTab.onChange = VScrollTab.onChange = table;
    icmbPipeStyle.onClick = icmbPipeWeight.onClick = to(&Previews::cmbPipeLevel_Click);
    lvPipeColor.onItemClick = cmbPipeLevel.onClick = to(&Previews::cmbPipeLevel_Click);
    icmbLineEndStyle.onClick = icmbLineEndWeight.onClick = to(&Previews::cmbLineEndLevel_Click);
    lvLineEndColor.onClick = cmbLineEndLevel.onClick = to(&Previews::cmbLineEndLevel_Click);
    icmbIso3DStyle.onClick = icmbIso3DWeight.onClick = to(&Previews::cmbIso3DLevel_Click);
    lvIso3DColor.onClick = cmbIso3DLevel.onClick = to(&Previews::cmbIso3DLevel_Click);
    icmbTabStyle.onClick = icmbTabWeight.onClick = table;
    lvTabColor.onItemClick = cmbTabLevel.onClick = table;
    TDBGrid.onColResize = [this](int column) {
        gridResized(column);
        previews_->TDBGrid_ColResize(column);
    };
    TDBGrid.onRowResize = [this, table] {
        gridResized(-1);
        table();
    };
    txtCellName.onChange = txtCellScaleFactor.onChange = to(&Previews::txtCellScaleFactor_Change);
    const auto validate = to(&Previews::HScrollVistrel_Validate);
    for (ScrollBar* bar : {&HScrollIso3D, &HScrollIsoCoverSheet, &HScrollTab, &HScrollScaleVistrel,
                           &HScrollScaleIsoCoverSheet, &HScrollScaleIso3D, &VScrollVistrel,
                           &VScrollIsoCoverSheet, &VScrollIso3D, &VScrollTab}) {
        bar->onValidate = validate;
    }
    for (ImageCombo* combo :
         {&icmbPipeStyle, &icmbPipeWeight, &icmbLineEndStyle, &icmbLineEndWeight, &icmbIso3DStyle,
          &icmbIso3DWeight, &icmbTabStyle, &icmbTabWeight}) {
        combo->onValidate = validate;
    }
    for (ListView* list : {&lvPipeColor, &lvTabColor, &lvLineEndColor, &lvIso3DColor}) {
        list->onValidate = validate;
    }
    for (ComboBox* combo : {&cmbPipeLevel, &cmbLineEndLevel, &cmbIso3DLevel, &cmbTabLevel}) {
        combo->onValidate = validate;
    }
    txtHeightTab.onValidate = to(&Previews::txtHeightTab_Validate);
    txtWidthTab.onValidate = to(&Previews::txtWidthTab_Validate);
    txtLineEndHeight.onValidate = to(&Previews::txtLineEndHeight_Validate);
    txtLineEndWidth.onValidate = to(&Previews::txtLineEndWidth_Validate);
    txtIso3DHeight.onValidate = to(&Previews::txtIso3DHeight_Validate);
    txtIso3DWidth.onValidate = to(&Previews::txtIso3DWidth_Validate);
    txtMinLineLength.onValidate = to(&Previews::txtMinLineLength_Validate);
    txtCellScaleFactor.onValidate = to(&Previews::txtCellScaleFactor_Validate);
    // What is typed into these boxes goes into key-ins, where a ";" would start another. The
    // numeric ones show, before a configuration is loaded, what they take when empty.
    for (const auto& [box, empty] : numericBoxes()) {
        box->onKeyUp = [this, box = box](int key) { numericBox_KeyUp(*box, key); };
        box->refused = ";";
        box->setText(empty);
    }
    txtCellName.refused = txtCelFile.refused = ";";
}

void WizardForm::onUserChange(Control& control) {
    if (control.group() >= 0) touched_[static_cast<size_t>(control.group())].insert(control.name());
}

void WizardForm::gridResized(int column) {
    touched_[kPageIsoCoverSheet].insert(gridPart(column));
}

// --- Start-up, watchdog, closing
// ------------------------------------------------------------------

bool WizardForm::Form_Initialize() {
    if (host_.PrevInstance()) {
        host_.endProgram();
        return false;
    }
    if (platform::windows().findByClass(mstn::kMainWindowClass) != 0) {
        platform::MsgBox("Please close first all MicroStation instances", platform::vbExclamation);
        host_.endProgram();
        return false;
    }
    return true;
}

void WizardForm::Form_Load() {
    if (window.setTopMost) window.setTopMost();
    SSTab.setTab(0);
    SSTab1.setTab(0);
    SSTab2.setTab(0);
    SSTab3.setTab(0);
    Timer1.setInterval(1);
    Timer2.setInterval(1000);
}

void WizardForm::Timer1_Timer() {
    BusyScope busy(*this);
    Timer1.setInterval(0);
    SetControlsEnabled(false);
    try {
        fillLists();
        fillSampleTable();
        const std::string ini = host_.Inifile();
        const size_t slash = ini.rfind('/');
        const std::string folder = slash == std::string::npos ? ini : ini.substr(0, slash + 1);
        txtVTLConfig.setText(FileOperationModule::IsFileExists(folder, 1)
                                 ? ini
                                 : (host_.programFolder() / "vtl.ini").string());
    } catch (...) {
        showError(platform::vbExclamation);
    }
    SetControlsEnabled(true);
}

void WizardForm::fillLists() {
    for (ComboBox* combo : {&cmbPipeLevel, &cmbTabLevel, &cmbLineEndLevel, &cmbIso3DLevel}) {
        combo->Clear();
        for (int level = 1; level <= 63; ++level) combo->AddItem(std::to_string(level));
        combo->setText(combo == &cmbPipeLevel ? "63" : "1");
    }
    for (ImageCombo* combo : {&icmbPipeStyle, &icmbTabStyle, &icmbLineEndStyle, &icmbIso3DStyle}) {
        combo->Clear();
        for (int style = 0; style <= 7; ++style) combo->Add({std::to_string(style), style + 1});
        combo->select(1);
    }
    for (ImageCombo* combo :
         {&icmbPipeWeight, &icmbTabWeight, &icmbLineEndWeight, &icmbIso3DWeight}) {
        combo->Clear();
        for (int weight = 0; weight <= 15; ++weight)
            combo->Add({std::to_string(weight), weight + 1});
        combo->select(1);
    }
}

void WizardForm::fillSampleTable() {
    if (sampleTable.State() == ado::adStateOpen) sampleTable.Close();
    sampleTable.setCursorLocation(ado::adUseClient);
    const std::vector<std::string> columns = {"No", "Connect to", "Delta X", "Delta Y",
                                              "Elevation"};
    for (const std::string& column : columns) {
        sampleTable.Fields().Append(column, ado::adVarWChar, 255);
    }
    sampleTable.Open();
    const std::vector<std::vector<ado::Value>> rows = {
        {"3", "Stutzen3", "Grid-Line-3  333", "Grid-Line-C 333", "3"},
        {"2", "Stutzen2", "Grid-Line-2  222", "Grid-Line-B 222", "2"},
        {"1", "Stutzen1", "Grid-Line-1  111", "Grid-Line-A 111", "1"}};
    for (const std::vector<ado::Value>& row : rows) sampleTable.AddNew(columns, row);
    TDBGrid.setColumnCount(sampleTable.Fields().Count(), kGridWidth / 5);
}

void WizardForm::Timer2_Timer() {
    if (MSTNApp && platform::windows().findByClass(mstn::kMainWindowClass) == 0) {
        Timer2.setEnabled(false);
        platform::MsgBox("MicroStation was closed. Please restart Vistrel Configuration wizard",
                         platform::vbExclamation);
        host_.endProgram();
    }
}

void WizardForm::SetControlsEnabled(bool enable) {
    if (!enable && window.mousePointer) window.mousePointer(11);
    for (Control* control : controls_) {
        try {
            if (auto* tabs = dynamic_cast<TabControl*>(control)) {
                for (int page = 0; page < static_cast<int>(tabs->captions().size()); ++page) {
                    tabs->setTabEnabled(page, enable);
                }
            } else {
                control->setEnabled(enable);
            }
        } catch (...) {  // a control that refuses stays as it is
        }
        clock().processEvents();
    }
    if (enable && window.mousePointer) window.mousePointer(0);
}

void WizardForm::cmdClose_Click() {
    SaveTabSettings(SSTab.Tab());
    closeRequested();
}

void WizardForm::closeRequested() {
    if (busy()) {
        closePending_ = true;
        return;
    }
    Form_Unload();
}

void WizardForm::endBusy() {
    if (--busy_ > 0 || !closePending_) return;
    closePending_ = false;
    Form_Unload();
}

void WizardForm::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    SetControlsEnabled(false);
    if (sampleTable.State() == ado::adStateOpen) sampleTable.Close();
    if (MSTNApp) {
        try {
            MSTNApp->MbeSendCommand("exit");
        } catch (...) {  // a MicroStation that is gone needs no exit
        }
        MSTNApp.reset();
    }
    SleepModule::DoSleep(200);
    modMSTN::WaitUntilMicroStationGone(VTLWizardBase::kExitTimeoutMs);
    // The working copies, the 3-D view's 2-D copy and the reference files copied beside them
    // are all in the wizard's own folder.
    copies_.removeAll();
    SetControlsEnabled(true);
    if (window.unload) window.unload();
}

// --- Messages
// ----------------------------------------------------------------------------------------

void WizardForm::showError(int style) {
    platform::MsgBox(toError(std::current_exception()).description(), style);
}

std::shared_ptr<mstn::Application> WizardForm::attach() {
    return MSTNOpen(host_.GetMSTNPath());
}

}  // namespace vtl::wizard

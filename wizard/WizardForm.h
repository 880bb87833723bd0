// frmVTLWizard apart from its widgets: the controls of the configuration wizard with their
// events, its start-up, watchdog, file boxes and working copies, the page change with its INI
// values, and the saving of the pages. The window (frmVTLWizard.h) shows these controls;
// tests drive them directly.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Controls.h"
#include "Previews.h"
#include "VTLWizardBase.h"
#include "WorkingCopies.h"
#include "mstn/Automation.h"
#include "workbook/Recordset.h"

namespace vtl::wizard {

// What the wizard takes from the main program.
class WizardHost {
public:
    virtual ~WizardHost() = default;
    // The MicroStation executable chosen in the main window (VTL.GetMSTNPath).
    virtual std::string GetMSTNPath() = 0;
    // The text of the main window's box with the active configuration INI (VTL.Inifile).
    virtual std::string Inifile() = 0;
    // The folder of the main program.
    virtual std::filesystem::path programFolder() = 0;
    // Another instance of the main program was running when this one started.
    virtual bool PrevInstance() = 0;
    // Ends the whole program.
    virtual void endProgram() = 0;
};

// What the form asks of the window that shows it.
struct WindowHooks {
    std::function<void()> setTopMost;
    // Closes the window (the form has unloaded).
    std::function<void()> unload;
    // 11 hourglass, 0 default.
    std::function<void(int)> mousePointer;
    // MicroStation shows its window: it goes beside the wizard, which stays on top.
    std::function<void()> besideMicroStation;
};

// The pages and their groups of settings.
inline constexpr int kPageVistrel = 0;
inline constexpr int kPageIsoCoverSheet = 1;
inline constexpr int kPageIso3D = 2;

// One symbology's controls: colour list, level, style and weight combos, for texts a height and
// a width box, and the status bar that shows them.
struct SymbologyControls {
    ListView& colour;
    ComboBox& level;
    ImageCombo& style;
    ImageCombo& weight;
    TextBox* height;
    TextBox* width;
    StatusBar& status;
};

class WizardForm {
public:
    explicit WizardForm(WizardHost& host);
    ~WizardForm();
    WizardForm(const WizardForm&) = delete;
    WizardForm& operator=(const WizardForm&) = delete;

    // --- Controls (names as the window shows them) --------------------------------------------
    TextBox txtVTLConfig{"txtVTLConfig", -1};
    std::vector<std::unique_ptr<Button>> btnOpenFile;    // by index; 7 has none
    std::vector<std::unique_ptr<Button>> btnSelectFile;  // by index 0 to 7
    TabControl SSTab{"SSTab", -1, {"Vistrel", "IsoCoverSheet", "Iso3D"}};

    TextBox txtISOFile{"txtISOFile", -1};
    std::array<std::unique_ptr<TextBox>, 2> txtVTLSeedFile;
    std::array<std::unique_ptr<TextBox>, 2> txtICSSeedFile;
    TextBox txtI3DSeedFile{"txtI3DSeedFile", -1};

    TabControl SSTab1{"SSTab1", -1, {"Key plan", "Pipe line", "Cell"}};
    ScrollBar HScrollVistrel{"HScrollVistrel", 0};
    ScrollBar VScrollVistrel{"VScrollVistrel", 0};
    ScrollBar HScrollScaleVistrel{"HScrollScaleVistrel", 0};
    StatusBar StatusBar1{"StatusBar1", 0, {"Scale (M:R):", "XY:"}};
    ListView lvPipeColor{"lvPipeColor", 0};
    ComboBox cmbPipeLevel{"cmbPipeLevel", 0};
    ImageCombo icmbPipeStyle{"icmbPipeStyle", 0};
    ImageCombo icmbPipeWeight{"icmbPipeWeight", 0};
    StatusBar StatusBar2{"StatusBar2", 0, {"Colour:", "Level:", "Style:", "Weight:"}};
    TextBox txtCelFile{"txtCelFile", 0};
    TextBox txtCellName{"txtCellName", 0};
    TextBox txtCellScaleFactor{"txtCellScaleFactor", 0};
    TextBox txtMinLineLength{"txtMinLineLength", 0};

    TabControl SSTab2{"SSTab2", -1, {"Key plan", "Table", "Line end number"}};
    ScrollBar HScrollIsoCoverSheet{"HScrollIsoCoverSheet", 1};
    ScrollBar VScrollIsoCoverSheet{"VScrollIsoCoverSheet", 1};
    ScrollBar HScrollScaleIsoCoverSheet{"HScrollScaleIsoCoverSheet", 1};
    StatusBar StatusBar3{"StatusBar3", 1, {"Scale (M:R):", "XY:"}};
    Grid TDBGrid{"TDBGrid", 1, kGridWidth};
    ListView lvTabColor{"lvTabColor", 1};
    ComboBox cmbTabLevel{"cmbTabLevel", 1};
    ImageCombo icmbTabStyle{"icmbTabStyle", 1};
    ImageCombo icmbTabWeight{"icmbTabWeight", 1};
    TextBox txtHeightTab{"txtHeightTab", 1};
    TextBox txtWidthTab{"txtWidthTab", 1};
    ScrollBar HScrollTab{"HScrollTab", 1};
    ScrollBar VScrollTab{"VScrollTab", 1};
    StatusBar StatusBar4{
        "StatusBar4", 1, {"Colour:", "Level:", "Style:", "Weight:", "Height:", "Width:", "XY:"}};
    ListView lvLineEndColor{"lvLineEndColor", 1};
    ComboBox cmbLineEndLevel{"cmbLineEndLevel", 1};
    ImageCombo icmbLineEndStyle{"icmbLineEndStyle", 1};
    ImageCombo icmbLineEndWeight{"icmbLineEndWeight", 1};
    TextBox txtLineEndHeight{"txtLineEndHeight", 1};
    TextBox txtLineEndWidth{"txtLineEndWidth", 1};
    StatusBar StatusBar6{
        "StatusBar6", 1, {"Colour:", "Level:", "Style:", "Weight:", "Height:", "Width:"}};

    TabControl SSTab3{"SSTab3", -1, {"View", "Line end number"}};
    ScrollBar HScrollIso3D{"HScrollIso3D", 1};
    ScrollBar VScrollIso3D{"VScrollIso3D", 1};
    ScrollBar HScrollScaleIso3D{"HScrollScaleIso3D", 1};
    StatusBar StatusBar7{"StatusBar7", 1, {"Scale (M:R):", "XY:"}};
    ListView lvIso3DColor{"lvIso3DColor", 1};
    ComboBox cmbIso3DLevel{"cmbIso3DLevel", 1};
    ImageCombo icmbIso3DStyle{"icmbIso3DStyle", 1};
    ImageCombo icmbIso3DWeight{"icmbIso3DWeight", 1};
    TextBox txtIso3DHeight{"txtIso3DHeight", 1};
    TextBox txtIso3DWidth{"txtIso3DWidth", 1};
    StatusBar StatusBar5{
        "StatusBar5", 1, {"Colour:", "Level:", "Style:", "Weight:", "Height:", "Width:"}};

    Button cmdClose{"cmdClose", -1};
    Timer Timer1{"Timer1", -1};
    Timer Timer2{"Timer2", -1};

    // The sample table the grid shows.
    ado::Recordset sampleTable;

    // The grid's sizes are in twips (1440 to the inch), as the program's grid reports them: its
    // width 480 pixels of a 96-dpi screen, a row one line of text.
    static constexpr double kGridWidth = 7200;
    static constexpr double kGridRowHeight = 255;

    // --- Seams -----------------------------------------------------------------------------------
    // Attaches to (or starts) MicroStation: modMSTN::MSTNOpen unless a test replaces it.
    std::function<std::shared_ptr<mstn::Application>(const std::string&)> MSTNOpen;
    // The previews the controls' events draw; MicroStationPreviews unless a test replaces it.
    void setPreviews(std::unique_ptr<Previews> previews);
    Previews& previews() { return *previews_; }
    WindowHooks window;
    // Attaches to the MicroStation chosen in the main window, or starts it.
    std::shared_ptr<mstn::Application> attach();
    // The controls in the window's order, which SetControlsEnabled walks.
    const std::vector<Control*>& controls() const { return controls_; }
    const WorkingCopies& workingCopies() const { return copies_; }

    // --- Procedures ------------------------------------------------------------------------------
    // False when the program is to end (another instance, an open MicroStation); checked once
    // per program run, when the window is first created.
    bool Form_Initialize();
    void Form_Load();
    // The unload sequence; also when the window is closed by its title bar.
    void Form_Unload();
    void Timer1_Timer();
    void Timer2_Timer();
    void SetControlsEnabled(bool enable);
    void cmdClose_Click();
    void btnOpenFile_Click(int Index);
    void btnSelectFile_Click(int Index);
    void txtVTLConfig_Change();
    void txtVTLSeedFile_Change(int Index);
    void txtICSSeedFile_Change(int Index);
    void txtISOFile_Change();
    void txtI3DSeedFile_Change();

    // The symbologies of the pipe line, the end-number table and the line-end numbers of the
    // cover sheet and of the 3-D view.
    SymbologyControls pipeSymbology();
    SymbologyControls tableSymbology();
    SymbologyControls lineEndSymbology();
    SymbologyControls iso3DSymbology();
    // The numeric boxes, each with the value an empty box takes: Enter validates, other keys
    // that leave no number show a hint.
    std::vector<std::pair<TextBox*, const char*>> numericBoxes();
    void numericBox_KeyUp(TextBox& box, int KeyCode);

    void SSTab_Click(int PreviousTab);
    void SSTab1_Click(int PreviousTab);
    void SSTab2_Click(int PreviousTab);
    void SSTab3_Click(int PreviousTab);
    // The INI values of the page's group shown in its controls.
    void loadTabValues(int tab);
    void SaveTabSettings(int TabIndex);

    // What the pages show of the configuration. A value keeps the text the INI holds until the
    // user changes a control it comes from; only then does the control's own value take over.
    // The scale a scale bar stands for ("M:R").
    std::string scaleOf(const ScrollBar& bar) const;
    // One coordinate of a point from its position bar, with the bar's step.
    std::string coordinateOf(const ScrollBar& bar, double step) const;
    // The end-number table as the run places it: the x of the columns "No" to "Elevation", the
    // y of the first row and the step to the next row (its sign the direction the rows run).
    struct TableLayout {
        std::array<std::string, 5> columns;
        std::string top;
        std::string spacing;
    };
    TableLayout tableLayout() const;

    // A handler runs that yields to the window's events: a close asked for meanwhile waits.
    bool busy() const { return busy_ > 0; }
    // The title-bar close: unloads now, or when the running handler has ended.
    void closeRequested();
    // The settings of a page group were loaded from this configuration file; only then does
    // leaving or closing write them.
    bool loaded(int group) const { return loaded_[static_cast<size_t>(group)]; }
    // The user has changed a setting of the page group since it was loaded.
    bool modified(int group) const { return !touched_[static_cast<size_t>(group)].empty(); }

private:
    friend class BusyScope;
    void buildControlLists();
    void wireEvents();
    void wireFileBoxes();
    void wirePreviews();
    void onUserChange(Control& control);
    // A column width (0 to 4) or, for -1, the row height of the sample grid changed by the user.
    void gridResized(int column);
    void endBusy();
    void showError(int style);

    // Start-up lists and the sample table.
    void fillLists();
    void fillSampleTable();

    // File boxes.
    TextBox& fileBox(int Index);
    void seedBoxChanged(std::array<std::unique_ptr<TextBox>, 2>& box, int Index,
                        const char* section, const char* key, Role role);
    void workingCopy(TextBox& box, const char* section, const char* key, Role role);
    void writeKey(const std::string& section, const std::string& key, const std::string& value);

    // Page change.
    void checkFiles();
    void prepareSeed();
    VTLWizardBase::Extent openTarget();
    void setSteps(const VTLWizardBase::Extent& target);
    std::vector<VTLWizardBase::ColorRecord> colourTable();
    void setUpPage(const std::vector<VTLWizardBase::ColorRecord>& table,
                   const VTLWizardBase::Extent& target);
    void fillColours(const std::vector<VTLWizardBase::ColorRecord>& table,
                     const std::vector<ListView*>& lists);
    void setUpVistrelBars(const VTLWizardBase::Extent& target);
    void setUpCoverSheetBars(const VTLWizardBase::Extent& target);
    void failed(const Error& error);

    // A symbology's controls with the keys they show: the prefix & "co", "lv", "lc", "wt", and
    // for texts "tx", "tw"; and the wizard's defaults for them, in that order.
    struct SymbologyKeys {
        std::string section;
        std::string prefix;
        SymbologyControls controls;
        std::array<const char*, 6> defaults;
    };
    SymbologyKeys pipeKeys();
    SymbologyKeys tableKeys();
    SymbologyKeys lineEndKeys();
    SymbologyKeys iso3DKeys();
    void loadSymbology(const SymbologyKeys& keys);
    void saveSymbology(const SymbologyKeys& keys);

    // INI values.
    std::string readKey(const std::string& section, const std::string& key);
    // A page key read for its controls; the page remembers that the INI holds it.
    std::string loadKey(const std::string& section, const std::string& key);
    // Shows a valid INI text in place of the value of the named controls while they are
    // untouched.
    void keep(int group, const std::string& source, const std::string& text);
    bool untouched(int group, const std::vector<std::string>& sources) const;
    std::optional<std::string> kept(int group, const std::string& source,
                                    const std::vector<std::string>& sources) const;
    void loadVistrelValues();
    void loadCoverSheetValues();
    void loadTableValues();
    void loadTablePosition();
    void loadTableGrid(double left);
    void loadPoint(const std::string& section, const std::string& key, ScrollBar& h, ScrollBar& v);
    void loadScale(const std::string& section, const std::string& key, const std::string& def,
                   ScrollBar& bar);

    // Saving: the value, unless the INI holds the key and the controls it comes from are
    // untouched; then the key stays as it stands.
    void saveKey(const std::string& section, const std::string& key, const std::string& value,
                 const std::vector<std::string>& sources);
    void savePlacement(const std::string& section, const char* point, const char* scale,
                       const StatusBar& status, const ScrollBar& h, const ScrollBar& v,
                       const ScrollBar& scaleBar);
    void saveTable();
    void saveVistrel();
    void saveCoverSheet();
    void saveIso3D();
    void createGridAndMacro();

    WizardHost& host_;
    std::unique_ptr<Previews> previews_;
    std::vector<Control*> controls_;
    WorkingCopies copies_;
    int busy_ = 0;
    bool closePending_ = false;
    bool unloaded_ = false;
    bool loadingConfig_ = false;
    bool mirroring_ = false;
    std::array<bool, 2> loaded_{};
    // Per page group, since it was loaded: the "section/key" the INI holds, the valid INI texts
    // shown in place of controls' values (by control name), and the controls the user changed.
    std::array<std::set<std::string>, 2> stored_;
    std::array<std::map<std::string, std::string>, 2> kept_;
    std::array<std::set<std::string>, 2> touched_;
    // The stored row spacing runs downwards (-1) or upwards (1).
    int tableDirection_ = 1;
    // What a numeric box held when its last key was released.
    std::map<const TextBox*, std::string> keyUpText_;
    // The failure a page change is reporting while it returns to the failing page.
    std::optional<std::string> reporting_;
};

// The name the user's changes of a sample grid column's width (0 to 4) or, for -1, of its row
// height go by.
std::string gridPart(int column);

// The page group whose settings a section holds: "Vistrel" and "Cell" the page "Vistrel", the
// others the pages "IsoCoverSheet" and "Iso3D".
size_t groupOf(const std::string& section);

// A text the runtime takes for a number ("12", "-0.5", "1.5E3"), blanks around it allowed.
bool IsNumeric(const std::string& text);

// Counts a handler that yields to the window's events; a close asked for meanwhile happens
// when the outermost one ends.
class BusyScope {
public:
    explicit BusyScope(WizardForm& form) : form_(form) { ++form_.busy_; }
    ~BusyScope() { form_.endBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    WizardForm& form_;
};

}  // namespace vtl::wizard

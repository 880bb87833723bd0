// The main window VTL: the header files, options, plotter, configuration INI and MicroStation of
// the next run, the Start button, and the File and Tools menus. Its start-up sequence runs in
// Form_Load; the logic behind it lives in VTLLogic, HFileChoice, MSTNChoice and NumberFormat.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <string>

#include "ConfigData.h"
#include "RunHost.h"
#include "wizard/WizardForm.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vtl {

class RunSteps;
class frmSplash;

class VTL : public QMainWindow, public RunHost, public wizard::WizardHost {
    Q_OBJECT

public:
    struct Options {
        // The steps a run calls (required); the window does not own them.
        RunSteps* steps = nullptr;
        // Where the pointer INI vtl.ini and the bin folder of the tools are; empty: the folder of
        // the running program.
        std::filesystem::path programFolder;
        // Ends the program; by default the application quits once its event loop runs.
        std::function<void()> endProgram;
    };

    explicit VTL(Options options);
    ~VTL() override;

    // The start-up: log, the check for an open MicroStation (which ends the program), splash,
    // number separators, caption, configuration, plotter list, and the timer that lists the
    // MicroStation installations once the window is up. A failure of one step is shown and the
    // start goes on with what the other steps set up.
    void Form_Load();

    // RunHost
    std::string excelFileText() override;
    std::string plotterText() override;
    std::string GetMSTNPath() override;
    bool Window_exist(const std::string& text) override;
    // WizardHost
    std::string Inifile() override;
    std::filesystem::path programFolder() override;
    bool PrevInstance() override;
    void endProgram() override;
    void setRunning(bool running) override;
    void showRunMessage(const std::string& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    QWidget* buildOptions();
    QWidget* buildMicroStationFrame();

    void Timer1_Timer();
    void hfilewahl_Click();
    void Start_Click();
    void Inifile_Click();
    void excelfile_Click();
    void cmbMSTNPath_Click();
    void cmdSelect_Click();
    void Menu_File_Configuration_Wizard_Click();
    void optionClicked(QCheckBox* box, int16_t ConfigData::*value);
    void startToolExe(const std::string& exe);
    void Form_Unload();

    // ReadINIVariables, then the option boxes and the workbook box show what it read.
    void readConfiguration();
    void showOptions();
    void fillPlotterList();
    void showError(int32_t style);

    Options options_;
    bool running_ = false;
    bool exitRequested_ = false;
    bool unloaded_ = false;
    bool wizardAvailable_ = true;
    // The wizard checks the desktop when it is first opened in a program run.
    bool wizardCreated_ = false;
    // Another instance of the program ran when this one started.
    bool prevInstance_ = false;

    QPushButton* hfilewahl_ = nullptr;
    QPushButton* Start_ = nullptr;
    QPushButton* Exit_ = nullptr;
    QCheckBox* createVTL_ = nullptr;
    QCheckBox* createICS_ = nullptr;
    QCheckBox* createI3D_ = nullptr;
    QCheckBox* Pellmark_ = nullptr;
    QLineEdit* excelfile_ = nullptr;
    QLineEdit* Inifile_ = nullptr;
    QComboBox* cboIplotset_ = nullptr;
    QComboBox* cmbMSTNPath_ = nullptr;
    QPushButton* cmdSelect_ = nullptr;
    QTimer* Timer1_ = nullptr;
    QAction* wizardAction_ = nullptr;
    QPointer<frmSplash> splash_;
};

}  // namespace vtl

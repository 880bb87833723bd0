#include "VTL.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

#include "ConfigINI.h"
#include "HFileChoice.h"
#include "MSTNChoice.h"
#include "NumberFormat.h"
#include "RunDriver.h"
#include "RunLog.h"
#include "VTLLogic.h"
#include "Variablen.h"
#include "common/Dialog.h"
#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "common/mstnmacro.h"
#include "core/Clock.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Text.h"
#include "frmSplash.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "wizard/frmVTLWizard.h"

namespace vtl {

namespace {

constexpr char kHeaderFilter[] = "IsoGen h-File (*.h; *.h1)|*.h;*.h1|ASCII-List file (*.*)|*.*";
constexpr char kMSTNFilter[] = "MicroStation EXE-File (ustation.exe)|ustation.exe";
constexpr char kIniFilter[] = "INI-File (*.ini)|*.ini";
// The caption stays as the program has it; the list shows both workbook formats we read.
constexpr char kExcelFilter[] = "Excel-File (*.xls)|*.xls;*.xlsx";

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string str(const QString& text) {
    return text.toStdString();
}

// A check box holds 0 (clear), 1 (ticked) or 2 (grey).
Qt::CheckState checkStateOf(int16_t value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int16_t valueOf(Qt::CheckState state) {
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

QPushButton* button(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel* label(const char* name, const char* caption, QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

QAction* menuAction(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

// The text of the folder part of a path, with its trailing separator.
std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

VTL::VTL(Options options) : options_(std::move(options)) {
    if (!options_.steps) throw std::invalid_argument("VTL needs the steps of a run");
    setObjectName("VTL");
    if (options_.programFolder.empty()) options_.programFolder = env::programFolder();
    if (!options_.endProgram) {
        options_.endProgram = [] {
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        };
    }
    buildMenus();
    buildControls();
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    connect(Timer1_, &QTimer::timeout, this, &VTL::Timer1_Timer);
    // The run's watchdog belongs to the run driver; the window holds it as its control.
    RunDriver::killMstnTimer().setParent(this);
    // However the program ends, the user gets the number separators back.
    connect(qApp, &QCoreApplication::aboutToQuit, this,
            [] { NumberFormat::restoreNumberSeparators(); });
}

VTL::~VTL() {
    NumberFormat::restoreNumberSeparators();
    if (splash_) delete splash_.data();
}

void VTL::buildMenus() {
    QMenu* file = menuBar()->addMenu("File");
    file->setObjectName("Menu_File");
    wizardAction_ = menuAction(file, "Menu_File_Configuration_Wizard", "Configuration wizard...");
    wizardAction_->setEnabled(wizardAvailable_);
    connect(wizardAction_, &QAction::triggered, this, &VTL::Menu_File_Configuration_Wizard_Click);
    QAction* exit = menuAction(file, "Menu_File_Exit", "Exit");
    connect(exit, &QAction::triggered, this, &QWidget::close);
    QMenu* tools = menuBar()->addMenu("Tools");
    tools->setObjectName("Menu_Tools");
    connect(menuAction(tools, "Menu_Tools_Tarnwell", "Tarnwell..."), &QAction::triggered, this,
            [this] { startToolExe("Tarnwell.exe"); });
    connect(menuAction(tools, "Menu_Tools_Pellmark", "Pellmark..."), &QAction::triggered, this,
            [this] { startToolExe("Pellmark.exe"); });
}

void VTL::buildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    hfilewahl_ = button("hfilewahl", "Select  H-file(s) or ASCII-list", central);
    hfilewahl_->setMinimumHeight(36);
    connect(hfilewahl_, &QPushButton::clicked, this, &VTL::hfilewahl_Click);
    layout->addWidget(hfilewahl_);
    layout->addWidget(buildOptions());

    auto* settings = new QGridLayout;
    settings->addWidget(label("Label1", "Present INI-file:", central), 0, 0);
    Inifile_ = new QLineEdit(central);
    Inifile_->setObjectName("Inifile");
    Inifile_->setReadOnly(true);
    Inifile_->installEventFilter(this);
    settings->addWidget(Inifile_, 0, 1);
    settings->addWidget(label("Label2", "Select printer/plotter for Iplot:", central), 1, 0);
    cboIplotset_ = new QComboBox(central);
    cboIplotset_->setObjectName("cboIplotset");
    settings->addWidget(cboIplotset_, 1, 1);
    settings->setColumnStretch(1, 1);
    layout->addLayout(settings);
    layout->addWidget(buildMicroStationFrame());

    auto* buttons = new QHBoxLayout;
    Start_ = button("Start", "Start", central);
    Start_->setEnabled(false);
    connect(Start_, &QPushButton::clicked, this, &VTL::Start_Click);
    Exit_ = button("Exit", "Exit", central);
    connect(Exit_, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(Start_);
    buttons->addStretch();
    buttons->addWidget(Exit_);
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(560, sizeHint().height());
}

QWidget* VTL::buildOptions() {
    auto* box = new QGroupBox;
    auto* layout = new QVBoxLayout(box);
    auto option = [&](QCheckBox*& control, const char* name, const char* caption,
                      int16_t ConfigData::*value, int indent) {
        control = new QCheckBox(caption, box);
        control->setObjectName(name);
        connect(control, &QCheckBox::clicked, this,
                [this, control, value] { optionClicked(control, value); });
        auto* row = new QHBoxLayout;
        row->addSpacing(indent);
        row->addWidget(control);
        layout->addLayout(row);
    };
    option(createVTL_, "createVTL", "Create Vistrel", &ConfigData::createVTL, 0);
    option(createICS_, "createICS", "Create IsoCoverSheet", &ConfigData::createICS, 0);
    // The 3-D view belongs to the cover sheet.
    option(createI3D_, "createI3D", "with Iso-View  (I3D)", &ConfigData::createI3D, 24);
    option(Pellmark_, "Pellmark", "Use ISO-labeler with Excel file", &ConfigData::Pellmark, 0);
    excelfile_ = new QLineEdit(box);
    excelfile_->setObjectName("excelfile");
    excelfile_->setReadOnly(true);
    excelfile_->installEventFilter(this);
    layout->addWidget(excelfile_);
    return box;
}

QWidget* VTL::buildMicroStationFrame() {
    auto* frame = new QGroupBox("MicroStation to use:");
    frame->setObjectName("Frame4");
    auto* layout = new QHBoxLayout(frame);
    cmbMSTNPath_ = new QComboBox(frame);
    cmbMSTNPath_->setObjectName("cmbMSTNPath");
    cmbMSTNPath_->setEditable(true);
    cmbMSTNPath_->setInsertPolicy(QComboBox::NoInsert);
    cmbMSTNPath_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(cmbMSTNPath_, &QComboBox::activated, this, &VTL::cmbMSTNPath_Click);
    cmdSelect_ = button("cmdSelect", "Browse...", frame);
    connect(cmdSelect_, &QPushButton::clicked, this, &VTL::cmdSelect_Click);
    layout->addWidget(cmbMSTNPath_, 1);
    layout->addWidget(cmdSelect_);
    return frame;
}

// --- Start-up and end ---------------------------------------------------------------------------

void VTL::Form_Load() {
    RunState& s = Variablen();
    ResumeNext step;
    step([&] { prevInstance_ = VTLLogic::otherInstanceRunning(); });
    step([&] {
        FileOperationModule::TempFolder = env::tempFolder();
        s.TmpFolder = env::tmpFolder();
        s.logfile = (std::filesystem::path(s.TmpFolder) / "vtl.log").string();
        s.inifile = pointerIniFile(options_.programFolder);
    });
    step([] { RunLog::startLogFile(); });
    bool otherOpen = false;
    step([&] { otherOpen = VTLLogic::otherMicroStationOpen(); });
    if (otherOpen) {
        platform::MsgBox("Please close all MicroStation and restart Vistrel");
        options_.endProgram();
        return;
    }
    step([&] {
        splash_ = new frmSplash(this);
        splash_->show();
        clock().processEvents();
    });
    step([] { NumberFormat::setNumberSeparators(); });
    step([&] { setWindowTitle(qs(VTLLogic::caption())); });
    step([&] {
        s.inifile = iniFileNamedBy(pointerIniFile(options_.programFolder));
        Inifile_->setText(qs(s.inifile));
    });
    step([&] { readConfiguration(); });
    step([&] { fillPlotterList(); });
    Timer1_->start(1);
    // Without its splash the window shows itself.
    if (!splash_) show();
    if (const auto& error = step.first())
        platform::MsgBox(error->description(), platform::vbExclamation);
}

void VTL::Timer1_Timer() {
    Timer1_->stop();
    try {
        const std::string wanted =
            INIFileModule::ReadINI(Variablen().inifile, "VTL", "MSTNPath", "");
        const MSTNChoice::Choice choice =
            MSTNChoice::choose(modMSTN::GetMSTNInstallations(), wanted);
        cmbMSTNPath_->clear();
        for (const std::string& entry : choice.entries) {
            cmbMSTNPath_->addItem(qs(entry));
            clock().processEvents();
        }
        cmbMSTNPath_->setCurrentIndex(cmbMSTNPath_->findText(qs(choice.selected)));
        cmbMSTNPath_->setEditText(qs(choice.selected));
    } catch (...) {
        showError(platform::vbExclamation);
    }
}

void VTL::closeEvent(QCloseEvent* event) {
    if (running_) {
        // Ending now would pull MicroStation and the run's files from under the run: the
        // program ends when the run is over.
        exitRequested_ = true;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void VTL::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    NumberFormat::restoreNumberSeparators();
    MSTNApp.reset();
    Variablen().MSTNElement.reset();
    Variablen().MSTNPoint = {};
    options_.endProgram();
}

// --- Configuration ------------------------------------------------------------------------------

void VTL::readConfiguration() {
    // What was read before a failure (say, of the log) is shown all the same.
    ResumeNext read;
    read([] { ReadINIVariables(); });
    showOptions();
    read.raisePending();
}

void VTL::showOptions() {
    const RunState& s = Variablen();
    const std::pair<QCheckBox*, int16_t> boxes[] = {{createVTL_, s.createVTL},
                                                    {createICS_, s.createICS},
                                                    {createI3D_, s.createI3D},
                                                    {Pellmark_, s.Pellmark}};
    for (const auto& [box, value] : boxes) {
        box->setTristate(value == 2);
        box->setCheckState(checkStateOf(value));
    }
    excelfile_->setText(qs(s.excelfile));
}

void VTL::optionClicked(QCheckBox* box, int16_t ConfigData::*value) {
    setOptionBox(value, valueOf(box->checkState()));
    showOptions();
}

void VTL::fillPlotterList() {
    cboIplotset_->clear();
    for (const std::string& entry : VTLLogic::plotterEntries(Variablen())) {
        cboIplotset_->addItem(qs(entry));
    }
    cboIplotset_->setCurrentText("No Plot");
}

void VTL::Inifile_Click() {
    RunState& s = Variablen();
    try {
        s.inifile = iniFileNamedBy(s.inifile);
        s.IniFolder = folderOf(s.inifile);
        const std::string chosen = FileDialog().OpenFile(kIniFilter, s.IniFolder);
        Inifile_->setText(qs(chosen.empty() ? s.inifile : chosen));
        s.inifile = str(Inifile_->text());
        INIFileModule::WriteINI(pointerIniFile(options_.programFolder), "Programm", "inifile",
                                s.inifile);
        readConfiguration();
    } catch (...) {
        showError(platform::vbOKOnly);
    }
}

void VTL::excelfile_Click() {
    const std::string chosen = FileDialog().OpenFile(kExcelFilter);
    // A cancelled dialog keeps the workbook: the box is written into the INI at the next Start.
    if (chosen.empty()) return;
    excelfile_->setText(qs(chosen));
    Variablen().excelfile = chosen;
}

bool VTL::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Inifile_ && Inifile_->isEnabled()) {
            Inifile_Click();
            return true;
        }
        if (watched == excelfile_ && excelfile_->isEnabled()) {
            excelfile_Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Header files and the run -------------------------------------------------------------------

void VTL::hfilewahl_Click() {
    platform::FileDialogRequest request;
    request.filters = platform::parseFileFilter(kHeaderFilter);
    request.initialDir = Variablen().isopath;
    const std::vector<std::string> chosen = platform::fileDialogs().showMany(request);
    if (chosen.empty()) return;
    try {
        // The new list replaces the old one only when it is complete, so a failed choice
        // leaves the previous one, and the Start button, as they were.
        std::vector<std::string> files = HFileChoice::headerFilesOf(
            chosen,
            [](const std::string& line) { platform::MsgBox("File: '" + line + "' not found"); });
        RunState& s = Variablen();
        s.IsoFileList = std::move(files);
        s.IsoFileLast = static_cast<int>(s.IsoFileList.size()) - 1;
        if (!s.IsoFileList.front().empty()) Start_->setEnabled(true);
    } catch (...) {
        showError(platform::vbOKOnly);
    }
}

void VTL::Start_Click() {
    RunDriver::Start_Click(*this, *options_.steps);
    if (exitRequested_) close();
}

void VTL::setRunning(bool running) {
    if (running == running_) return;
    running_ = running;
    if (running) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
    // The option boxes, the workbook and the plotter stay live: the run reads them when it
    // reaches them. What would change the run's files, INI or MicroStation waits.
    for (QWidget* control :
         std::initializer_list<QWidget*>{hfilewahl_, Inifile_, cmbMSTNPath_, cmdSelect_}) {
        control->setEnabled(!running);
    }
    wizardAction_->setEnabled(wizardAvailable_ && !running);
    const RunState& s = Variablen();
    Start_->setEnabled(!running && !s.IsoFileList.empty() && !s.IsoFileList.front().empty());
}

void VTL::showRunMessage(const std::string& text) {
    platform::MsgBox(text);
}

std::string VTL::excelFileText() {
    return str(excelfile_->text());
}

std::string VTL::plotterText() {
    return str(cboIplotset_->currentText());
}

// --- MicroStation -------------------------------------------------------------------------------

std::string VTL::GetMSTNPath() {
    return MSTNChoice::pathOf(str(cmbMSTNPath_->currentText()));
}

bool VTL::Window_exist(const std::string& text) {
    return VTLLogic::Window_exist(text);
}

void VTL::cmbMSTNPath_Click() {
    INIFileModule::WriteINI(Variablen().inifile, "VTL", "MSTNPath", GetMSTNPath());
}

void VTL::cmdSelect_Click() {
    try {
        platform::FileDialogRequest request;
        request.filters = platform::parseFileFilter(kMSTNFilter);
        request.title = "MicroStation EXE-File";
        request.initialDir = MSTNChoice::browseFolder(str(cmbMSTNPath_->currentText()));
        const std::string chosen = platform::fileDialogs().show(request);
        if (!chosen.empty()) cmbMSTNPath_->setEditText(qs(chosen));
    } catch (...) {
        showError(platform::vbExclamation);
    }
}

// --- The configuration wizard
// ---------------------------------------------------------------------

void VTL::Menu_File_Configuration_Wizard_Click() {
    wizard::frmVTLWizard window(*this, this);
    if (!wizardCreated_) {
        wizardCreated_ = true;
        if (!window.form().Form_Initialize()) return;
    }
    window.load();
    window.exec();
}

std::string VTL::Inifile() {
    return str(Inifile_->text());
}

std::filesystem::path VTL::programFolder() {
    return options_.programFolder;
}

bool VTL::PrevInstance() {
    return prevInstance_;
}

void VTL::endProgram() {
    options_.endProgram();
}

// --- Tools --------------------------------------------------------------------------------------

void VTL::startToolExe(const std::string& exe) {
    try {
        VTLLogic::startToolExe(options_.programFolder, exe);
    } catch (...) {
        showError(platform::vbExclamation);
    }
}

void VTL::showError(int32_t style) {
    platform::MsgBox(toError(std::current_exception()).description(), style);
}

}  // namespace vtl

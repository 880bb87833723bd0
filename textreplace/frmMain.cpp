#include "textreplace/frmMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <filesystem>
#include <system_error>
#include <tuple>

#include "common/Dialog.h"
#include "common/FileOperationModule.h"
#include "common/ShellExecModule.h"
#include "core/Clock.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Text.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "textreplace/App.h"
#include "textreplace/Events.h"
#include "textreplace/FileListBox.h"
#include "textreplace/LOGModule.h"
#include "textreplace/MSTNSession.h"
#include "textreplace/MainLogic.h"
#include "textreplace/Settings.h"
#include "textreplace/TextExtract.h"
#include "textreplace/TextReplace.h"
#include "textreplace/modTools.h"

namespace vtl::tarnwell {

namespace {

// The caption stays as the program has it; the list shows both workbook formats we read.
constexpr char kWorkbookFilter[] = "Excel config file (*.xls)|*.xls;*.xlsx";
constexpr char kDesignFilter[] = "Design file (*.dgn)|*.dgn|All (*.*)|*.*";
constexpr int kEventLines = 5;
constexpr int kEventRefreshMs = 100;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string str(const QString& text) {
    return text.toStdString();
}

template <class T>
T* named(T* control, const char* name) {
    control->setObjectName(name);
    return control;
}

QPushButton* button(const char* name, const char* caption) {
    return named(new QPushButton(caption), name);
}

QLineEdit* textBox(const char* name) {
    return named(new QLineEdit, name);
}

QGroupBox* frame(const char* name, const char* caption) {
    return named(new QGroupBox(caption), name);
}

// A failure of a handler is shown, and the window goes on.
void showFailure() {
    ShowMessage(toError(std::current_exception()), platform::vbExclamation);
}

}  // namespace

class frmMain::Busy {
public:
    explicit Busy(frmMain& window) : window_(window) { ++window_.busy_; }
    ~Busy() {
        if (--window_.busy_ > 0) return;
        window_.refreshEvents();
        if (window_.exitRequested_) {
            QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
        }
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    frmMain& window_;
};

frmMain::frmMain(Options options) : options_(std::move(options)) {
    setObjectName("frmMain");
    if (!options_.endProgram) {
        options_.endProgram = [] {
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        };
    }
    buildControls();
    connectSettings();
    Timer1_ = named(new QTimer(this), "Timer1");
    Timer1_->setInterval(1);
    connect(Timer1_, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    eventRefresh_ = new QTimer(this);
    eventRefresh_->setSingleShot(true);
    eventRefresh_->setInterval(kEventRefreshMs);
    connect(eventRefresh_, &QTimer::timeout, this, &frmMain::refreshEvents);
    setEventSink([this](const std::string& line) { addEvent(line); });
}

frmMain::~frmMain() {
    setEventSink(nullptr);
}

// --- Controls -----------------------------------------------------------------------------------

void frmMain::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFolderSource());
    layout->addWidget(buildListSource(), 1);
    layout->addWidget(buildWorkbookFrame());
    layout->addWidget(buildMoveGroup());
    layout->addLayout(buildRunButtons());
    layout->addWidget(buildEventFrame());
    resize(640, 620);
}

QWidget* frmMain::buildFolderSource() {
    auto* box = new QWidget;
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    chkFolder_ =
        named(new QCheckBox("Process the files found in following folder (and sub-folders)"),
              "chkFolder");
    grid->addWidget(chkFolder_, 0, 0, 1, 3);
    txtInputDir_ = textBox("txtInputDir");
    txtInputDir_->installEventFilter(this);
    cmdSelectDir_ = button("cmdSelectDir", "...");
    connect(cmdSelectDir_, &QPushButton::clicked, this, &frmMain::cmdSelectDir_Click);
    grid->addWidget(txtInputDir_, 1, 0, 1, 2);
    grid->addWidget(cmdSelectDir_, 1, 2);
    grid->addWidget(named(new QLabel("File extensions (example: ext1,ext2,ext3):"), "Label1"), 2,
                    0);
    txtExt_ = textBox("txtExt");
    grid->addWidget(txtExt_, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* frmMain::buildListSource() {
    auto* box = new QWidget;
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    chkFiles_ = named(new QCheckBox("Process the files in following list"), "chkFiles");
    grid->addWidget(chkFiles_, 0, 0, 1, 2);
    lstFiles_ = named(new FileListBox, "lstFiles");
    connect(lstFiles_, &FileListBox::filesDropped, this, &frmMain::lstFiles_OLEDragDrop);
    grid->addWidget(lstFiles_, 1, 0, 4, 1);
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdAddtFiles", "Add files ..."}, {"cmdRemove", "Remove selected"}, {"cmdClear", "Clear"}};
    const std::array<void (frmMain::*)(), 3> handlers = {
        &frmMain::cmdAddtFiles_Click, &frmMain::cmdRemove_Click, &frmMain::cmdClear_Click};
    for (int i = 0; i < 3; ++i) {
        QPushButton* b = button(buttons[i].first, buttons[i].second);
        connect(b, &QPushButton::clicked, this, handlers[i]);
        grid->addWidget(b, i + 1, 1);
    }
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(0, 1);
    return box;
}

QWidget* frmMain::buildWorkbookFrame() {
    QGroupBox* box = frame("Frame1", "Excel config file:");
    auto* row = new QHBoxLayout(box);
    txtXLSFile_ = textBox("txtXLSFile");
    txtXLSFile_->installEventFilter(this);
    QPushButton* select = button("cmdSelectFile", "...");
    connect(select, &QPushButton::clicked, this, &frmMain::cmdSelectFile_Click);
    QPushButton* open = button("cmdOpenFile", "Open");
    connect(open, &QPushButton::clicked, this, &frmMain::cmdOpenFile_Click);
    row->addWidget(txtXLSFile_, 1);
    row->addWidget(select);
    row->addWidget(open);
    return box;
}

QWidget* frmMain::buildMoveGroup() {
    Frame9_ = frame("Frame9", "");
    auto* row = new QHBoxLayout(Frame9_);
    chkMove_ = named(new QCheckBox("Move:"), "chkMove");
    connect(chkMove_, &QCheckBox::clicked, this, &frmMain::chkMove_Click);
    row->addWidget(chkMove_);
    QGroupBox* units = frame("Frame12", "Units:");
    cmbUnits_ = named(new QComboBox, "cmbUnits");
    connect(cmbUnits_, &QComboBox::activated, this, &frmMain::cmbUnits_Click);
    (new QHBoxLayout(units))->addWidget(cmbUnits_);
    row->addWidget(units);
    moveControls_ = {units, cmbUnits_};
    const std::tuple<const char*, const char*, const char*, QLineEdit**> distances[] = {
        {"Frame7", "Distance X:", "txtDistX", &txtDistX_},
        {"Frame6", "Distance Y:", "txtDistY", &txtDistY_},
        {"Frame5", "Distance Z:", "txtDistZ", &txtDistZ_}};
    for (const auto& [frameName, caption, boxName, control] : distances) {
        QGroupBox* distance = frame(frameName, caption);
        *control = textBox(boxName);
        (new QHBoxLayout(distance))->addWidget(*control);
        row->addWidget(distance);
        moveControls_.insert(moveControls_.end(), {distance, *control});
    }
    return Frame9_;
}

QLayout* frmMain::buildRunButtons() {
    auto* row = new QHBoxLayout;
    QPushButton* replace = button("cmdReplace", "Replace text in DGN files");
    connect(replace, &QPushButton::clicked, this, &frmMain::cmdReplace_Click);
    QPushButton* extract = button("cmdExtract", "Extract text to Excel");
    connect(extract, &QPushButton::clicked, this, &frmMain::cmdExtract_Click);
    lblCounter_ = named(new QLabel, "lblCounter");
    QPushButton* exit = button("cmdExit", "Exit");
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    row->addWidget(replace);
    row->addWidget(extract);
    row->addWidget(lblCounter_, 1, Qt::AlignCenter);
    row->addWidget(exit);
    return row;
}

QWidget* frmMain::buildEventFrame() {
    QGroupBox* box = frame("Frame2", "Events:");
    lstLog_ = named(new QListWidget, "lstLog");
    lstLog_->setFixedHeight(lstLog_->fontMetrics().height() * (kEventLines + 1));
    lstLog_->viewport()->installEventFilter(this);
    (new QVBoxLayout(box))->addWidget(lstLog_);
    return box;
}

// Each setting is written the moment its box changes, also when the load fills it.
void frmMain::connectSettings() {
    const std::pair<QLineEdit*, const char*> keys[] = {{txtInputDir_, "InputDir"},
                                                       {txtXLSFile_, "XLSFile"},
                                                       {txtDistX_, "DistX"},
                                                       {txtDistY_, "DistY"},
                                                       {txtDistZ_, "DistZ"}};
    for (const auto& [box, key] : keys) {
        connect(box, &QLineEdit::textChanged, this,
                [key](const QString& text) { Settings::Write(GetIniFileName(), key, str(text)); });
    }
}

// --- Start-up and end ---------------------------------------------------------------------------

void frmMain::setVisible(bool visible) {
    if (visible && unloaded_) return;
    if (visible && !loaded_) {
        loaded_ = true;
        if (!Form_Load()) return;
    }
    QWidget::setVisible(visible);
}

bool frmMain::Form_Load() {
    Busy busy(*this);
    try {
        clock().processEvents();
        clock().sleepMs(100);
        clock().processEvents();
        SetCaption();
        const std::string caption = str(windowTitle());
        const std::string temp = env::tempFolder();
        FileOperationModule::TempFolder = FileOperationModule::AddBackslash(temp);
        if (FileOperationModule::IsFileExists(temp, 1)) {
            LOGModule::InitLog(caption, "", "");
        } else {
            LOGModule::InitLog(caption, "", MainLogic::fixedLogFile());
            MainLogic::checkTempFolder(temp);
        }
        LogEvent("Starting " + caption + " ...");
        // Where a first start puts the window: the middle of the screen.
        if (const QScreen* shown = screen()) move(shown->geometry().center() - rect().center());
        modTools::LoadWindowPos(*this);
        positionLoaded_ = true;
        chkMove_->hide();
        Frame9_->hide();
        Timer1_->start();
        return true;
    } catch (...) {
        ShowMessage(toError(std::current_exception()).description(), platform::vbExclamation);
        ShowMessage("Log-file location: '" + LOGModule::GetLogFileName() + "'",
                    platform::vbExclamation);
        Form_Unload();
        return false;
    }
}

void frmMain::SetCaption() {
    setWindowTitle(qs(MainLogic::caption()));
}

void frmMain::Timer1_Timer() {
    Busy busy(*this);
    Timer1_->stop();
    const std::string key = modTools::DisableControls();
    try {
        loadSettings();
        settingsLoaded_ = true;
    } catch (...) {
        showFailure();
    }
    modTools::EnableControls(key);
}

void frmMain::loadSettings() {
    const Settings::Values v = Settings::Load(GetIniFileName());
    txtInputDir_->setText(qs(v.InputDir));
    txtExt_->setText(qs(v.Extension));
    txtXLSFile_->setText(qs(v.XLSFile));
    {
        const QSignalBlocker quiet(cmbUnits_);
        cmbUnits_->clear();
        cmbUnits_->addItems({"M", "MM"});
    }
    cmbUnits_->setCurrentText(qs(v.Units));
    cmbUnits_Click();
    txtDistX_->setText(qs(v.DistX));
    txtDistY_->setText(qs(v.DistY));
    txtDistZ_->setText(qs(v.DistZ));
    chkMove_->setChecked(v.Move == "1");
    chkMove_Click();
    chkFolder_->setChecked(v.ProcessFolder == 1);
    chkFiles_->setChecked(v.ProcessFiles == 1);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (busy_ > 0) {
        // Running code of the window still needs it: the window closes when that has ended.
        exitRequested_ = true;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    ResumeNext step;
    step([] { LogEvent("Finishing ..."); });
    // Settings that never loaded are not written over the file, nor a position never restored.
    if (settingsLoaded_) {
        const std::string ini = GetIniFileName();
        step([&] { Settings::Write(ini, "ProcessFolder", chkFolder_->isChecked() ? "1" : "0"); });
        step([&] { Settings::Write(ini, "ProcessFiles", chkFiles_->isChecked() ? "1" : "0"); });
        step([&] { Settings::Write(ini, "Extension", str(txtExt_->text())); });
    }
    if (positionLoaded_) step([this] { modTools::SaveWindowPos(*this); });
    step([] { LogEvent("Bye ..."); });
    LOGModule::FlushLog();
    options_.endProgram();
}

// --- Small handlers -----------------------------------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease &&
        (watched == txtInputDir_ || watched == txtXLSFile_)) {
        modTools::ClearTextOnDelete(*static_cast<QLineEdit*>(watched),
                                    static_cast<QKeyEvent*>(event)->key());
    }
    if (event->type() == QEvent::MouseButtonRelease && watched == lstLog_->viewport() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lstLog_Click();
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::cmdSelectDir_Click() {
    try {
        const std::string chosen = FileOperationModule::BrowseForFolder(
            "Select directory with DGN files", str(txtInputDir_->text()));
        if (!text::trim(chosen).empty()) txtInputDir_->setText(qs(chosen));
    } catch (...) {
        showFailure();
    }
}

void frmMain::cmdSelectFile_Click() {
    try {
        const std::string folder = FileOperationModule::GetPathName(str(txtXLSFile_->text()));
        if (!folder.empty()) dialogInitDir_ = folder;
        const std::string chosen = FileDialog().OpenFile(kWorkbookFilter, dialogStart());
        if (chosen.empty()) return;
        txtXLSFile_->setText(qs(chosen));
        dialogInitDir_ = FileOperationModule::GetPathName(chosen);
    } catch (...) {
        showFailure();
    }
}

void frmMain::cmdOpenFile_Click() {
    try {
        int32_t result = 0;
        ShellExecModule::ShellExec("Open", str(txtXLSFile_->text()), "", "", result);
    } catch (...) {
        showFailure();
    }
}

void frmMain::lstLog_Click() {
    try {
        int32_t result = 0;
        ShellExecModule::ShellExec("Open", LOGModule::GetLogFileName(), "", "", result);
    } catch (...) {
        showFailure();
    }
}

void frmMain::cmbUnits_Click() {
    Settings::Write(GetIniFileName(), "Units", str(cmbUnits_->currentText()));
}

void frmMain::chkMove_Click() {
    const bool moving = chkMove_->isChecked();
    for (QWidget* control : moveControls_) control->setEnabled(moving);
    Settings::Write(GetIniFileName(), "Move", moving ? "1" : "0");
}

void frmMain::addEvent(const std::string& line) {
    pendingEvents_.push_back(line);
    if (pendingEvents_.size() > kEventLines) pendingEvents_.pop_front();
    if (!eventRefresh_->isActive()) eventRefresh_->start();
}

// The list shows the last events; when the window's code ends, at once.
void frmMain::refreshEvents() {
    eventRefresh_->stop();
    for (const std::string& line : pendingEvents_) {
        while (lstLog_->count() >= kEventLines) delete lstLog_->takeItem(0);
        lstLog_->addItem(qs(line));
    }
    pendingEvents_.clear();
}

std::string frmMain::dialogStart() const {
    if (!dialogInitDir_.empty()) return dialogInitDir_;
    std::error_code ignored;
    return std::filesystem::current_path(ignored).string();
}

// --- The file list ------------------------------------------------------------------------------

void frmMain::addFiles(const std::vector<std::string>& files) {
    for (const std::string& file : files) lstFiles_->addItem(qs(file));
}

void frmMain::cmdAddtFiles_Click() {
    try {
        platform::FileDialogRequest request;
        request.filters = platform::parseFileFilter(kDesignFilter);
        request.initialDir = dialogStart();
        const std::vector<std::string> chosen = platform::fileDialogs().showMany(request);
        if (chosen.empty()) return;
        addFiles(MainLogic::newFromDialog(lstFiles_->entries(), chosen));
        dialogInitDir_ = FileOperationModule::GetPathName(chosen.front());
    } catch (...) {
        showFailure();
    }
}

void frmMain::cmdRemove_Click() {
    for (int i = 0; i < lstFiles_->count();) {
        if (lstFiles_->item(i)->isSelected()) {
            delete lstFiles_->takeItem(i);
        } else {
            ++i;
        }
    }
}

void frmMain::cmdClear_Click() {
    lstFiles_->clear();
}

void frmMain::lstFiles_OLEDragDrop(const std::vector<std::string>& files) {
    Busy busy(*this);
    const std::string key = modTools::DisableControls();
    try {
        addFiles(MainLogic::newFromDrop(lstFiles_->entries(), files));
    } catch (...) {
        showFailure();
    }
    modTools::EnableControls(key);
}

std::vector<std::string> frmMain::GetTodoFiles() {
    return MainLogic::GetTodoFiles({chkFolder_->isChecked(), str(txtInputDir_->text()),
                                    str(txtExt_->text()), chkFiles_->isChecked(),
                                    lstFiles_->entries()});
}

// --- The runs -----------------------------------------------------------------------------------

void frmMain::runOverFiles(const std::function<void(const std::vector<std::string>&)>& work) {
    Busy busy(*this);
    std::string key;
    try {
        int32_t pid = 0;
        if (IsExeExisting(mstn::kProcessImage, pid)) {
            vtl::raise(kOwnError, "Please close all MicroStation session.");
        }
        key = modTools::DisableControls();
        work(GetTodoFiles());
    } catch (...) {
        showFailure();
    }
    if (!key.empty()) modTools::EnableControls(key);
}

// One step per file with the counter showing it; MicroStation is given its time to end after
// every file, also after a failed one, so the next start meets none. A close request stops the
// run between files.
void frmMain::runFileSteps(const std::vector<std::string>& files,
                           const std::function<void(size_t index)>& step) {
    const auto stepAndWait = [&step](size_t i) {
        try {
            step(i);
            LOGModule::FlushLog();
        } catch (...) {
            LOGModule::FlushLog();
            int32_t pid = 0;
            ResumeNext ignoring;
            ignoring([&] {
                if (IsExeExisting(mstn::kProcessImage, pid)) Wait4ExitingMSTN();
            });
            throw;
        }
        Wait4ExitingMSTN();
    };
    const auto showCounter = [this](const std::string& counter) {
        lblCounter_->setText(qs(counter));
    };
    MainLogic::runFileLoop(files.size(),
                           {showCounter, [this] { return exitRequested_; }, stepAndWait});
}

void frmMain::cmdReplace_Click() {
    runOverFiles([this](const std::vector<std::string>& files) {
        if (chkMove_->isChecked()) {
            chkMove_->setChecked(false);
            chkMove_Click();
        }
        const std::string workbook = str(txtXLSFile_->text());
        runFileSteps(files, [&](size_t i) { XLS2DGN(workbook, files[i], i == 0); });
    });
}

void frmMain::cmdExtract_Click() {
    runOverFiles([this](const std::vector<std::string>& files) {
        const std::string workbook = str(txtXLSFile_->text());
        if (!PrepareOutputWorkbook(workbook)) return;
        runFileSteps(files, [&](size_t i) { DGN2XLS(files[i], workbook, i == 0); });
    });
}

}  // namespace vtl::tarnwell

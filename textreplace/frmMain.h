// The tool's main window frmMain: the folder and the file list to work on, the configuration
// workbook, the Replace and Extract buttons and the last events. Showing it loads it (log,
// window position), a one-shot timer then loads the settings, and every setting is written back
// as its control changes. The logic behind it lives in MainLogic, Settings and modTools.
#pragma once

#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace vtl::tarnwell {

class FileListBox;

class frmMain : public QWidget {
    Q_OBJECT

public:
    struct Options {
        // Ends the program; by default the application quits once its event loop runs.
        std::function<void()> endProgram;
    };

    explicit frmMain(Options options = {});
    ~frmMain() override;

    // Showing the window loads it first; a failed load shows why, ends the program and leaves
    // the window hidden.
    void setVisible(bool visible) override;

    // The start-up: caption, TEMP folder and log, window position, and the timer that loads the
    // settings once the window is up. False when it failed (the window is then unloaded).
    bool Form_Load();
    void SetCaption();

    // The run's files from the folder and the file list, as the controls give them.
    std::vector<std::string> GetTodoFiles();

    // Set when the user closed the window while an operation of it ran: the operation stops at
    // its next step and the window closes once it has ended.
    bool exitRequested() const { return exitRequested_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Marks code of the window that is running, so that a close waits for its end.
    class Busy;

    void buildControls();
    QWidget* buildFolderSource();
    QWidget* buildListSource();
    QWidget* buildWorkbookFrame();
    QWidget* buildMoveGroup();
    QWidget* buildEventFrame();
    QLayout* buildRunButtons();
    void connectSettings();

    void Timer1_Timer();
    void loadSettings();
    void Form_Unload();

    void cmdSelectDir_Click();
    void cmdSelectFile_Click();
    void cmdOpenFile_Click();
    void lstLog_Click();
    void cmbUnits_Click();
    void chkMove_Click();
    void cmdAddtFiles_Click();
    void cmdRemove_Click();
    void cmdClear_Click();
    void lstFiles_OLEDragDrop(const std::vector<std::string>& files);
    void cmdReplace_Click();
    void cmdExtract_Click();

    // The frame of the runs: no MicroStation may run, the controls are locked while work gets
    // the run's files, and a failure is shown.
    void runOverFiles(const std::function<void(const std::vector<std::string>&)>& work);
    void runFileSteps(const std::vector<std::string>& files,
                      const std::function<void(size_t index)>& step);
    void addFiles(const std::vector<std::string>& files);
    std::string dialogStart() const;
    void addEvent(const std::string& line);
    void refreshEvents();

    Options options_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool positionLoaded_ = false;
    bool settingsLoaded_ = false;
    int busy_ = 0;
    bool exitRequested_ = false;
    // The folder the open dialog starts in: where the last file was chosen, kept between its
    // uses; at first the current folder.
    std::string dialogInitDir_;

    QCheckBox* chkFolder_ = nullptr;
    QLineEdit* txtInputDir_ = nullptr;
    QPushButton* cmdSelectDir_ = nullptr;
    QLineEdit* txtExt_ = nullptr;
    QCheckBox* chkFiles_ = nullptr;
    FileListBox* lstFiles_ = nullptr;
    QLineEdit* txtXLSFile_ = nullptr;
    QGroupBox* Frame9_ = nullptr;
    QCheckBox* chkMove_ = nullptr;
    QComboBox* cmbUnits_ = nullptr;
    QLineEdit* txtDistX_ = nullptr;
    QLineEdit* txtDistY_ = nullptr;
    QLineEdit* txtDistZ_ = nullptr;
    std::vector<QWidget*> moveControls_;
    QLabel* lblCounter_ = nullptr;
    QListWidget* lstLog_ = nullptr;
    QTimer* Timer1_ = nullptr;
    // Events logged since the list was last refreshed; a run logs thousands a second, the list
    // shows them ten times a second.
    std::deque<std::string> pendingEvents_;
    QTimer* eventRefresh_ = nullptr;
};

}  // namespace vtl::tarnwell

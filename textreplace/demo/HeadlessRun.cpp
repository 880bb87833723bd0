// tarnwell_headless_run: one run of Tarnwell's main window without anyone at the screen. It sets
// the folder of design files and the workbook in the window as a user would (the folder's files
// with the window's extensions, not the file list), presses "Replace text in DGN files" or
// "Extract text to Excel", answers the questions the run asks with their default button (Yes to
// overwrite a workbook), and prints the messages the run showed, its last events and the log's
// path. The exit code is 1 when the run showed an error. scripts/tarnwell-headless.sh runs it
// under a virtual X display.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/Error.h"
#include "platform/MessageBoxes.h"
#include "textreplace/App.h"
#include "textreplace/LOGModule.h"
#include "textreplace/frmMain.h"

namespace {

using vtl::tarnwell::frmMain;

template <class T>
T* control(const frmMain& window, const char* name) {
    T* found = window.findChild<T*>(name);
    if (!found) throw std::runtime_error(std::string("the window has no control ") + name);
    return found;
}

// Lets the window's timer load the settings, as it does once the window is up.
bool waitForSettings(const frmMain& window) {
    const auto* timer = control<QTimer>(window, "Timer1");
    QElapsedTimer elapsed;
    elapsed.start();
    while (timer->isActive()) {
        if (elapsed.elapsed() > 30000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

void chooseInputs(const frmMain& window, const std::string& folder, const std::string& workbook) {
    control<QCheckBox>(window, "chkFolder")->setChecked(true);
    control<QCheckBox>(window, "chkFiles")->setChecked(false);
    control<QLineEdit>(window, "txtInputDir")->setText(QString::fromStdString(folder));
    control<QLineEdit>(window, "txtXLSFile")->setText(QString::fromStdString(workbook));
}

// The messages the run showed; true when one of them was an error or a notice (the exclamation
// icon, 48), not when all were questions (icon 32, as in 36: question with Yes and No).
bool printMessages(const vtl::platform::RecordingMessageBoxes& messages) {
    constexpr int32_t kIconBits = 0x70;
    bool failed = false;
    for (const vtl::platform::Message& message : messages.messages()) {
        const bool error = (message.style & kIconBits) == vtl::platform::vbExclamation;
        failed = failed || error;
        std::cout << (error ? "Error: " : "Question: ") << message.text << "\n";
    }
    return failed;
}

int run(const std::string& action, const std::string& folder, const std::string& workbook) {
    vtl::platform::RecordingMessageBoxes messages;
    vtl::platform::ScopedMessageBoxes scopedMessages(messages);
    bool ended = false;
    frmMain window(frmMain::Options{[&ended] { ended = true; }});
    window.show();
    if (ended || !waitForSettings(window)) {
        printMessages(messages);
        std::cerr << "tarnwell_headless_run: the window did not start\n";
        return 1;
    }
    chooseInputs(window, folder, workbook);
    control<QPushButton>(window, action == "replace" ? "cmdReplace" : "cmdExtract")->click();
    // The run is over when the button's click returns.
    const bool failed = printMessages(messages);
    const auto* events = control<QListWidget>(window, "lstLog");
    std::cout << "Events:\n";
    for (int i = 0; i < events->count(); ++i) {
        std::cout << "  " << events->item(i)->text().toStdString() << "\n";
    }
    std::cout << "Log: " << vtl::tarnwell::LOGModule::GetLogFileName() << "\n";
    window.close();
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string action = argc == 5 ? argv[2] : "";
    if (action != "extract" && action != "replace") {
        std::cerr << "usage: tarnwell_headless_run PROGRAM_FOLDER extract|replace FOLDER WORKBOOK\n"
                     "  PROGRAM_FOLDER holds Tarnwell.exe and its settings Tarnwell.ini\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::cerr << "tarnwell_headless_run: no X display; run it under one: xvfb-run -a "
                     "tarnwell_headless_run ...\n";
        return 2;
    }
    QApplication app(argc, argv);
    vtl::setProgramTitle("Tarnwell");
    // The settings and the log are Tarnwell's own, as when a user starts it.
    vtl::tarnwell::App() = {"Tarnwell", "Tarnwell", std::filesystem::absolute(argv[1])};
    try {
        return run(action, std::filesystem::absolute(argv[3]).string(),
                   std::filesystem::absolute(argv[4]).string());
    } catch (const std::exception& e) {
        std::cerr << "tarnwell_headless_run: " << e.what() << "\n";
        return 1;
    }
}

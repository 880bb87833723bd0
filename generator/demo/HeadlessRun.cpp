// vtl_headless_run: one batch run of the main window without anyone at the screen. The window's
// file dialog is answered with the header files named on the command line and its message boxes
// are recorded; the program picks the plot queue when one is named, presses "Select H-file(s)"
// and Start as a user would and prints every message the window showed, the run's final message
// last. scripts/run-headless.sh runs it under a virtual X display on the sample project.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "DefaultRunSteps.h"
#include "RunDriver.h"
#include "VTL.h"
#include "core/Error.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

namespace {

// Lets the window's start-up timer list the MicroStation installations.
bool waitForStartUp(const vtl::VTL& window) {
    const auto* timer = window.findChild<QTimer*>("Timer1");
    QElapsedTimer elapsed;
    elapsed.start();
    while (timer && timer->isActive()) {
        if (elapsed.elapsed() > 30000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

// Presses the button when it can be pressed.
bool press(const vtl::VTL& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(name);
    if (!button || !button->isEnabled()) return false;
    button->click();
    return true;
}

// Picks the entry of the plotter list, as a user picks a plot queue.
bool choosePlotter(const vtl::VTL& window, const std::string& plotter) {
    if (plotter.empty()) return true;
    auto* box = window.findChild<QComboBox*>("cboIplotset");
    const int index = box ? box->findText(QString::fromStdString(plotter)) : -1;
    if (index < 0) {
        std::cerr << "vtl_headless_run: the plotter list has no entry " << plotter << "\n";
        return false;
    }
    box->setCurrentIndex(index);
    return true;
}

void printMessages(const vtl::platform::RecordingMessageBoxes& messages) {
    for (const vtl::platform::Message& message : messages.messages()) {
        std::cout << message.title << ": " << message.text << "\n";
    }
}

int run(const std::filesystem::path& programFolder, const std::vector<std::string>& headers,
        const std::string& plotter) {
    vtl::platform::ScriptedFileDialogs dialogs;
    dialogs.answerMany(headers);
    vtl::platform::ScopedFileDialogs scopedDialogs(dialogs);
    vtl::platform::RecordingMessageBoxes messages;
    vtl::platform::ScopedMessageBoxes scopedMessages(messages);
    vtl::DefaultRunSteps steps;
    bool ended = false;
    vtl::VTL window(vtl::VTL::Options{&steps, programFolder, [&ended] { ended = true; }});
    window.Form_Load();
    if (!ended) window.show();
    bool started = !ended && waitForStartUp(window) && choosePlotter(window, plotter) &&
                   press(window, "hfilewahl") && press(window, "Start");
    // The run is over when the Start button's click returns; its final message is the last one.
    printMessages(messages);
    if (!started) {
        std::cerr << "vtl_headless_run: the run could not be started (see the messages above)\n";
        return 1;
    }
    const bool succeeded = !messages.messages().empty() &&
                           messages.messages().back().text == vtl::RunDriver::kRunSucceeded;
    return succeeded ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string plotter;
    if (args.size() >= 2 && args[0] == "--plotter") {
        plotter = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() < 2) {
        std::cerr << "usage: vtl_headless_run [--plotter QUEUE] PROGRAM_FOLDER HEADER_FILE...\n"
                     "  PROGRAM_FOLDER holds the pointer INI vtl.ini (as beside VTL.exe)\n"
                     "  QUEUE is an entry of the plotter list, such as \\\\server\\queue\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::cerr << "vtl_headless_run: no X display; run it under one: xvfb-run -a "
                     "vtl_headless_run ...\n";
        return 2;
    }
    QApplication app(argc, argv);
    vtl::setProgramTitle("Vistrel");
    std::vector<std::string> headers;
    for (size_t i = 1; i < args.size(); ++i) {
        headers.push_back(std::filesystem::absolute(args[i]).string());
    }
    return run(std::filesystem::absolute(args[0]), headers, plotter);
}

#include "RunDriver.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#include "ConfigINI.h"
#include "Hfile_zerlegen.h"
#include "IsoView.h"
#include "LOGModule.h"
#include "OverviewCopies.h"
#include "RunHost.h"
#include "RunLog.h"
#include "RunSteps.h"
#include "StepSupport.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "common/modMSTN.h"
#include "common/modProcess.h"
#include "common/mstnmacro.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/LogStream.h"
#include "core/Text.h"
#include "core/Wildcard.h"
#include "mstn/KeyinValue.h"
#include "platform/WindowSystem.h"

namespace vtl::RunDriver {

namespace fs = std::filesystem;
using FileOperationModule::IsFileExists;
using LOGModule::WriteLog;

namespace {

// A killed MicroStation leaves the process table and closes its window a moment after the
// kill; how long killMSTN waits for that, and how often it looks.
constexpr int64_t kGoneTimeoutMs = 5000;

int watchdogInterval = kWatchdogIntervalMs;
QPointer<QTimer> watchdog;

// The window of the run in progress: restartMSTN asks it which MicroStation to start.
RunHost* runningHost = nullptr;

class RunningHost {
public:
    explicit RunningHost(RunHost& host) : previous_(runningHost) { runningHost = &host; }
    ~RunningHost() { runningHost = previous_; }
    RunningHost(const RunningHost&) = delete;
    RunningHost& operator=(const RunningHost&) = delete;

private:
    RunHost* previous_;
};

// Statements that each go on after a failure, keeping the latest one: when a step ends the
// chain, its failure is the one to report, not an earlier one that was gone past.
class Pending {
public:
    template <class F>
    void operator()(F&& statement) {
        try {
            statement();
        } catch (...) {
            error_ = toError(std::current_exception());
        }
    }
    const std::optional<Error>& error() const { return error_; }

private:
    std::optional<Error> error_;
};

// --- The watchdog ------------------------------------------------------------------------------

void armWatchdog() {
    QTimer& timer = killMstnTimer();
    timer.setInterval(watchdogInterval);
    timer.start();
}

void disarmWatchdog() {
    QTimer& timer = killMstnTimer();
    timer.stop();
    timer.setInterval(0);
}

// No event processing here: the watchdog calls this from within a call that waits for the
// MicroStation being killed.
void waitUntilMicroStationGone() {
    modMSTN::WaitUntilMicroStationGone(kGoneTimeoutMs);
}

// --- Error lines -------------------------------------------------------------------------------

// The file an error line names: the drawing of the header file being processed once it has been
// opened, else the header file itself. A failure before either is known still gets an entry, so
// that the conclusion agrees with the final message.
std::string errorTag() {
    const RunState& s = Variablen();
    if (s.CurrentFileOpened && !s.CurrentFile.empty()) return s.CurrentFile;
    if (!s.HFile.empty()) return s.HFile;
    return s.ErrorList && s.ErrorList->empty() ? "-" : "";
}

void logFailure(const std::string& description) {
    Pending ignored;
    ignored([&] { WriteLog(description, ""); });
    ignored([&] { WriteLog("is current open file:, Error:" + description, errorTag()); });
}

// The log of a header file's work is in the file when the next one begins. A failure to write it
// is no failure of the header file.
void flushLogQuietly() {
    try {
        logstream::flush();
    } catch (...) {
    }
}

// --- Commands ----------------------------------------------------------------------------------

using FileOperationModule::quotedForCommand;

using StepSupport::runCommand;

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

// Clears the outputs named after the header file (".X??"), once it has been read as a header
// file, and names each file deleted in the log. The node-text workbook may lie beside the header
// file under its name ("A.xls" beside "A.h"): it is the user's input and stays.
void deleteOldOutputs(const RunState& s) {
    std::vector<std::string> names = wildcard::list(s.isopath, s.IsoName + ".X??");
    std::erase_if(names,
                  [&](const std::string& name) { return sameFile(s.isopath + name, s.excelfile); });
    if (names.empty()) return;
    std::string command = "del";
    for (const std::string& name : names) command += " " + quotedForCommand(s.isopath + name);
    runCommand(command);
    for (const std::string& name : names) {
        if (!IsFileExists(s.isopath + name, 0))
            WriteLog("Deleted old file  " + s.isopath + name, "");
    }
}

// --- One header file ---------------------------------------------------------------------------

void checkSeedFiles() {
    struct Seed {
        std::string ConfigData::*path;
        const char* kind;
    };
    const Seed seeds[] = {{&ConfigData::I3Dseedfile, "i3d"},
                          {&ConfigData::seedfile, "vtl"},
                          {&ConfigData::ICSseedfile, "ics"}};
    for (const Seed& seed : seeds) {
        const std::string& path = Variablen().*seed.path;
        std::string message = std::string(seed.kind) + "-Seedfile ";
        std::string tag = path;
        if (path.empty()) {
            message += "not spezified";
            tag = "-";
        } else if (!IsFileExists(path, 0)) {
            message += "not found";
        } else {
            continue;
        }
        WriteLog(message, tag);
        raise(kOwnError, message);
    }
}

// Each header file's folder and name go into the "newfile" and reference key-ins of its
// drawings, and the 3-D view's working file into those of the cover sheet: a path a key-in
// cannot carry ends the run before anything is deleted or started.
void checkKeyinPaths() {
    const RunState& s = Variablen();
    auto check = [](const std::string& path, const std::string& what) {
        try {
            mstn::keyinSafe(path, what);
        } catch (const Error& e) {
            WriteLog(e.description(), mstn::oneLine(path));
            throw;
        }
    };
    for (int i = 0; i <= s.IsoFileLast && static_cast<size_t>(i) < s.IsoFileList.size(); ++i) {
        check(s.IsoFileList[static_cast<size_t>(i)], "header file");
    }
    check(i3d2dFile(), "working file of the 3-D view");
}

// The output names of the current list entry. Only the folder is taken from the entry's text,
// so a dot in a folder name is never taken for the extension of a file name without one.
void deriveNames(RunState& s) {
    if (s.IsoFileIndex < 0 || static_cast<size_t>(s.IsoFileIndex) >= s.IsoFileList.size()) {
        raiseSubscriptOutOfRange();
    }
    s.HFile = s.IsoFileList[static_cast<size_t>(s.IsoFileIndex)];
    const size_t slash = s.HFile.rfind('/');
    if (slash == std::string::npos) {
        raise(err::InvalidCall, "The header file '" + s.HFile + "' is given without its folder");
    }
    s.isopath = s.HFile.substr(0, slash + 1);
    s.IsoName = FileOperationModule::GetFileBaseName(s.HFile);
    s.VtlFile = s.isopath + s.IsoName + ".vtl";
    s.IcsFile = s.isopath + s.IsoName + ".ics";
    s.I3dFile = s.isopath + s.IsoName + ".I3D";
}

// The header file's text, each line followed by a line feed.
std::string readHeaderText(const std::string& file) {
    std::istringstream in(files::readFile(file));
    std::string text;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text += line + '\n';
    }
    return text;
}

// A fresh copy of the overview seed in place of the old overview; false, logged, when either
// fails.
bool replaceOverview(const RunState& s) {
    runCommand("del " + quotedForCommand(s.VtlFile));
    if (IsFileExists(s.VtlFile, 0)) {
        WriteLog("Can not delete old file  " + s.VtlFile, s.VtlFile);
        return false;
    }
    runCommand("copy " + quotedForCommand(s.seedfile) + " " + quotedForCommand(s.VtlFile));
    if (!FileOperationModule::IsFileExistsA(s.VtlFile)) {
        WriteLog(s.VtlFile + " does not exist  -  See " + s.logfile, s.VtlFile);
        return false;
    }
    return true;
}

void sendPipeKeyins(const RunState& s, Pending& pending) {
    pending([] { sendKeyin("fit all;selview all;reset;file"); });
    pending([&] {
        sendKeyin("lv=" + s.pipelv + ";co=" + s.pipeco + ";wt=" + s.pipewt + ";lc=" + s.pipelc);
    });
    if (s.autochangelevel != "no") {
        pending([] { sendKeyin("choose all;change level;choose none"); });
    }
}

bool chosen(int16_t box) {
    return box == 1;
}

// The drawing steps in their fixed order, as far as the option boxes ask for them (read as
// each is reached); the chain ends at the first step that reports a failure.
void runStepChain(RunHost& host, RunSteps& steps, Pending& pending) {
    const RunState& s = Variablen();
    auto failed = [&](void (RunSteps::*step)()) {
        pending([&] { (steps.*step)(); });
        return s.StepError;
    };
    pending([&] { steps.leitung_einzeichnen(true); });
    if (s.StepError) return;
    if (chosen(s.createVTL) && failed(&RunSteps::VTLhineinkopieren)) return;
    if (chosen(s.Pellmark) && failed(&RunSteps::startPellmark)) return;
    if (!chosen(s.createICS)) return;
    if (chosen(s.createI3D) &&
        (failed(&RunSteps::findI3DimportFaktor) || failed(&RunSteps::createI3Dfile))) {
        return;
    }
    for (auto step :
         {&RunSteps::lineEndNumber, &RunSteps::IsoCoverSheet, &RunSteps::Gridfile_zerlegen,
          &RunSteps::find_endpoint_diff, &RunSteps::searchidf, &RunSteps::placeTabelle}) {
        if (failed(step)) return;
    }
    std::string plotter;
    pending([&] { plotter = host.plotterText(); });
    // Only a queue given as a network path plots the cover sheet.
    if (isNetworkQueue(plotter)) pending([&] { steps.iplotiso(s.IcsFile); });
}

// Opens the overview in the MicroStation just started, sets the pipe symbology and runs the
// steps. Every statement goes on after a failure; returns the failure left pending.
std::optional<Error> drawOverview(RunHost& host, RunSteps& steps) {
    RunState& s = Variablen();
    Pending pending;
    s.CurrentFile = s.VtlFile;
    s.CurrentFileOpened = true;
    pending([&] { sendKeyin("newfile " + s.VtlFile); });
    bool shown = false;
    pending([&] { shown = host.Window_exist(s.IsoName + ".vtl"); });
    if (!shown) {
        pending([&] { WriteLog("Error opening " + s.VtlFile, s.VtlFile); });
        s.RunError = true;
        return pending.error();
    }
    sendPipeKeyins(s, pending);
    runStepChain(host, steps, pending);
    return pending.error();
}

// The error lines of a header file that failed after MicroStation was attached.
void concludeHeaderFile(const std::optional<Error>& pending) {
    RunState& s = Variablen();
    if (!pending && !s.StepError) return;
    logFailure(pending ? pending->description() : std::string());
    s.StepError = false;
    s.RunError = true;
}

void runHeaderFile(RunHost& host, RunSteps& steps) {
    RunState& s = Variablen();
    s.CurrentFileOpened = false;
    s.I3d2dMade = false;
    deriveNames(s);
    INIFileModule::WriteINI(s.inifile, "Vistrel", "isopath", s.isopath);
    s.HText = readHeaderText(s.HFile);
    Hfile_zerlegen();
    deleteOldOutputs(s);
    std::optional<Error> pending;
    if (replaceOverview(s)) {
        MSTNApp = modMSTN::MSTNOpen(host.GetMSTNPath());
        armWatchdog();
        pending = drawOverview(host, steps);
    } else {
        s.RunError = true;
    }
    concludeHeaderFile(pending);
    disarmWatchdog();
    killMSTN();
    flushLogQuietly();
}

std::string runMessage() {
    const RunState& s = Variablen();
    if (!s.RunError) return kRunSucceeded;
    return "Vistrel completed with errors - see logfile: " + s.logfile;
}

}  // namespace

void Start_Click(RunHost& host, RunSteps& steps) {
    RunState& s = Variablen();
    ResumeNext each;
    s.RunError = false;
    each([&] { host.setRunning(true); });
    each([] { RunLog::startLogFile(); });
    struct Box {
        const char* section;
        const char* key;
        int16_t ConfigData::*value;
    };
    const Box boxes[] = {{"Programm", "createVTL", &ConfigData::createVTL},
                         {"Programm", "createICS", &ConfigData::createICS},
                         {"Programm", "createI3D", &ConfigData::createI3D},
                         {"Pellmark", "Pellmark", &ConfigData::Pellmark}};
    for (const Box& box : boxes) {
        each([&] {
            INIFileModule::WriteINI(s.inifile, box.section, box.key, std::to_string(s.*box.value));
        });
    }
    each(
        [&] { INIFileModule::WriteINI(s.inifile, "Pellmark", "excelfile", host.excelFileText()); });
    s.ErrorList.emplace();
    each([&] { startvtl(host, steps); });
    each([] { RunLog::writeErrorsToLog(); });
    s.ErrorList.reset();
    // MicroStation may be gone already; "exit" only ends one that a failure left running.
    if (MSTNApp) each([] { MSTNApp->MbeSendCommand("exit"); });
    MSTNApp.reset();
    each([&] { host.setRunning(false); });
    each([&] { host.showRunMessage(runMessage()); });
}

void startvtl(RunHost& host, RunSteps& steps) {
    RunningHost running(host);
    RunState& s = Variablen();
    std::optional<Error> failure;
    try {
        s.RunError = false;
        // Nothing of an earlier run is named for a failure before the first header file.
        s.HFile.clear();
        s.CurrentFileOpened = false;
        ReadINIVariables();
        checkSeedFiles();
        checkKeyinValues();
        checkKeyinPaths();
        for (s.IsoFileIndex = 0; s.IsoFileIndex <= s.IsoFileLast; ++s.IsoFileIndex) {
            runHeaderFile(host, steps);
        }
    } catch (...) {
        failure = passOnMethod(toError(std::current_exception()), "startvtl");
    }
    disarmWatchdog();
    if (!failure) return;
    // MicroStation is left running: the Start button's "exit" ends it.
    s.StepError = false;
    s.RunError = true;
    logFailure(failure->description());
    throw *failure;
}

void killMstnTimer_Timer() {
    try {
        disarmWatchdog();
        killMSTN();
    } catch (...) {
        const Error e = toError(std::current_exception());
        try {
            WriteLog(e.description(), "");
        } catch (...) {
            // A log that cannot be written has nobody left to tell.
        }
    }
}

void restartMSTN(std::shared_ptr<mstn::Application>& app, const std::string& dgn) {
    try {
        if (!runningHost) raise(kOwnError, "MicroStation can only be restarted during a run");
        killMSTN();
        disarmWatchdog();
        app = modMSTN::MSTNOpen(runningHost->GetMSTNPath());
        if (!dgn.empty()) app->MbeSendCommand("newfile " + dgn);
        armWatchdog();
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "restartMSTN");
    }
}

void killMSTN() {
    try {
        modProcess::KillApp(mstn::kProcessImage, false);
        // A MicroStation started right afterwards must not find the dying one and attach to it.
        waitUntilMicroStationGone();
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "killMSTN");
    }
}

std::shared_ptr<mstn::Application> reattachMSTN() {
    waitUntilMicroStationGone();
    if (!modMSTN::MicroStationGone()) killMSTN();
    return modMSTN::MSTNOpen(host().GetMSTNPath());
}

RunHost& host() {
    if (!runningHost) throw objectNotSet();
    return *runningHost;
}

QTimer& killMstnTimer() {
    if (!watchdog) {
        watchdog = new QTimer(QCoreApplication::instance());
        watchdog->setObjectName("killMstnTimer");
        QObject::connect(watchdog, &QTimer::timeout, [] { killMstnTimer_Timer(); });
    }
    return *watchdog;
}

void setWatchdogInterval(int ms) {
    watchdogInterval = ms;
}

}  // namespace vtl::RunDriver

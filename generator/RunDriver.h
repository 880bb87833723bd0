// The batch run behind the Start button: for each chosen header file a fresh MicroStation, the
// overview drawing and the optional steps, one error list and one closing message; and the
// watchdog that kills a MicroStation whose header file takes too long.
#pragma once

#include <memory>
#include <string>

#include "mstn/Automation.h"

class QTimer;

namespace vtl {

class RunHost;
class RunSteps;

namespace RunDriver {

// The closing message of a run in which no header file failed.
inline constexpr char kRunSucceeded[] = "Vistrel  completed successful";

// How long all MicroStation work of one header file may take before the watchdog kills it.
inline constexpr int kWatchdogIntervalMs = 60000;

// The Start button: a new log, the option boxes and the workbook path written into the active
// INI, the run, its error conclusion, "exit" to a MicroStation still attached, and the closing
// message. Every statement goes on after a failure, so the window always gets its controls and
// its message back.
void Start_Click(RunHost& host, RunSteps& steps);

// The run over Variablen().IsoFileList up to IsoFileLast. A failure before MicroStation is
// attached for a header file ends the run and is raised again with "startvtl" in its source;
// later failures end the work on that header file only.
void startvtl(RunHost& host, RunSteps& steps);

// The watchdog's tick: disarms itself and kills MicroStation. Its own errors are logged only.
void killMstnTimer_Timer();

// Kills MicroStation, starts a fresh one into app (callers pass MSTNApp), opens dgn when it is
// not empty and arms the watchdog again. Only during a run: the run's window names the
// MicroStation to start.
void restartMSTN(std::shared_ptr<mstn::Application>& app, const std::string& dgn);

// Ends every process named "ustation.exe" and waits briefly until they are gone.
void killMSTN();

// MicroStation attached afresh after the one before was told "exit": waits until that one has
// gone (ending it when it has not within a few seconds), so the new attachment does not reach
// the one going away, then starts the run's chosen MicroStation. Only during a run.
std::shared_ptr<mstn::Application> reattachMSTN();

// The window of the run in progress, which the steps ask for window titles, the plot queue
// and the workbook; error 91 outside a run.
RunHost& host();

// The one watchdog timer, object name "killMstnTimer", created on first use as a child of the
// application object. The main window may take it as its own child (setParent); once deleted
// it is made anew when next needed.
QTimer& killMstnTimer();

// The interval the watchdog is armed with; tests shorten it.
void setWatchdogInterval(int ms);

}  // namespace RunDriver
}  // namespace vtl

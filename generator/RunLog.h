// The run log of the main window: a fresh log with its head at start-up and before each run,
// and the error conclusion written into its head when a run ends.
#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace vtl::RunLog {

// The text in the log head that the error conclusion replaces.
inline constexpr char kErrorField[] = "%ErrorField%";

// Keeps the previous log as logfile & ".bak" and starts the log anew with its head:
//   50 asterisks
//   " Vistrel", 16 blanks, the maker's web address
//   " Start Logfile  am dd.MM.yyyy  um HH:mm:ss"
//   50 asterisks
//   the placeholder line
// A failed backup copy (no log yet) is not reported; errors of the new log reach the caller.
void startLogFile();

// Replaces every placeholder line of the log by the conclusion of the run's error list. Errors
// go on with "writeErrorsToLog" in front of their source; the log then stays as it was.
void writeErrorsToLog();

// The whole file as it is stored (no line-end conversion). A missing file is error 1
// "File '<path>' not exists"; errors go on with "ReadFile2String" in front of their source.
std::string ReadFile2String(const std::string& path);

// The local date and time that the log head shows. A test installs a fixed one; an empty
// source brings back the system's.
using LocalTimeSource = std::function<std::tm()>;
void setLocalTimeSource(LocalTimeSource source);

}  // namespace vtl::RunLog

// The tool's log: one file per start, named after the date and time under TEMP, with a banner of
// the program's identity and the process's environment, then one time-stamped line per event.
// Logging never disturbs the tool: every failure inside this module is swallowed.
#pragma once

#include <QDateTime>
#include <functional>
#include <string>

namespace vtl::tarnwell::LOGModule {

// Starts the log. description goes into the banner; logName replaces the executable's name in
// the automatic file name; logFile is used instead of an automatic name when its folder exists.
// A file of that name is kept as its name & ".bak". An automatically named log started earlier
// in this process goes on under the new name, without a second banner.
void InitLog(const std::string& description, const std::string& logName,
             const std::string& logFile);

// Appends "yyyy-mm-dd hh:mm:ss.hh  text"; nothing before InitLog or for a blank text. The line
// goes through the log stream (core/LogStream.h), written out within a second or by FlushLog.
void WriteLogLine(const std::string& text);

// Writes out the lines appended so far: after a message, at the end of a file's work and when the
// program ends.
void FlushLog();

// The current log file; "" before InitLog.
std::string GetLogFileName();

// A date and time as the user's locale writes them (short date, time with seconds).
std::string dateTimeText(const QDateTime& time);
// The same for now, as an event line carries it.
std::string nowText();

// The local time the log names and lines carry. A test installs a fixed one; an empty source
// brings back the system's.
using NowSource = std::function<QDateTime()>;
void setNowSource(NowSource source);
QDateTime now();

}  // namespace vtl::tarnwell::LOGModule

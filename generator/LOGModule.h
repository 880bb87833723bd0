// Appending to the run log and filling the run's error list.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vtl::LOGModule {

// Appends text as one line to the run log (Variablen().logfile). A non-empty tag names the file
// the failure concerns: the entry "#  tag  - text" goes to the error list first. Errors (no
// error list created, log not writable) reach the caller.
void WriteLog(const std::string& text, const std::string& tag);

// Adds an entry to the run's error list; error 91 when no run has created the list.
void AddErrorEntry(const std::string& entry);

// The run's error list (Variablen().ErrorList); error 91 when no run has created it.
std::vector<std::string>& errorList();

// Writes text to a file, appended or as its whole new content. Appended text goes through the
// log stream (core/LogStream.h), which WriteLog flushes; new content replaces the file at once.
void writeText(const std::string& file, const std::string& text, bool append);

// Appends lines to a file, each ended by CR LF.
void appendLines(const std::string& file, const std::vector<std::string>& lines);

// A line of a dump block: each value starts at the next print zone of 14 characters (columns 1,
// 15, 29, ...); a value that fills its zone pushes the next one on.
std::string printZones(const std::vector<std::string>& values);

}  // namespace vtl::LOGModule

namespace vtl {

// Receives a block of lines to append to the run log in one go.
using LogBlock = std::function<void(const std::vector<std::string>& lines)>;

}  // namespace vtl

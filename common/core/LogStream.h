// The stream the programs' logs are appended through. Opening, writing and closing a log for each
// line costs three system calls a line; a run of many thousand lines spent most of its time there.
// The log file stays open instead and takes what is appended in one buffer, written out at least
// once a second, and whenever a caller flushes: after an error's lines, at the end of a file's
// work, before another program appends to the log, before the log is read or replaced, and when
// the program ends. So a crash loses at most a second of lines, and the file's text is the same as
// if every line had been written at once.
#pragma once

#include <string>
#include <string_view>

namespace vtl::logstream {

// Appends the bytes to the file, creating it when missing. The file opens on the first append
// (a file open for another path is written out and closed first); a failed open raises the
// runtime's error for the path.
void append(const std::string& path, std::string_view bytes);

// Writes out what was appended. Should the path meanwhile name another file or none (the log was
// deleted or replaced), the bytes go to the file the path names now, created when missing, as a
// write of its own would. A failed write raises the runtime's error for the path; its bytes are
// dropped.
void flush();

// Writes out what was appended and closes the file.
void close();

}  // namespace vtl::logstream

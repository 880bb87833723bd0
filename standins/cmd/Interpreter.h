// Runs command lines and batch files.
#pragma once

#include <string>

namespace vtl::cmd {

// Runs one command line (its redirections, then the command) and returns its exit code. A
// leading "@" is dropped; a line beginning with the word "rem" is a remark and does nothing.
int runLine(const std::string& line, int depth = 0);

// Runs every line of a batch file; the exit code is that of its last line.
int runBatch(const std::string& file, int depth);

}  // namespace vtl::cmd

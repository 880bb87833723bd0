// Runs command lines and batch files.
#pragma once

#include <string>

namespace vtl::cmd {

// Runs one command line (its redirections, then the command) and returns its exit code.
int runLine(const std::string& line, int depth = 0);

// Runs every line of a batch file; the exit code is that of its last line.
int runBatch(const std::string& file, int depth);

}  // namespace vtl::cmd

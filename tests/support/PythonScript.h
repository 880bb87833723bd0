// Debian's python3 with the libraries the workbook tests compare against (openpyxl, xlwt).
#pragma once

#include <string>

namespace vtl::test {

// Runs the script with the system's python3 and returns what it printed; a failing script fails
// the calling test through an exception naming its output.
std::string runPython(const std::string& script);

}  // namespace vtl::test

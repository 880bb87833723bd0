#include "PythonScript.h"

#include <cstdio>
#include <stdexcept>

#include "TempDir.h"

namespace vtl::test {

std::string runPython(const std::string& script) {
    TempDir dir;
    std::filesystem::path file = dir.write("script.py", script);
    std::string command = std::string(VTL_PYTHON3) + " " + file.string() + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("python3 cannot be started");
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    if (::pclose(pipe) != 0) throw std::runtime_error("python3 failed:\n" + output);
    return output;
}

}  // namespace vtl::test

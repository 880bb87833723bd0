// The command interpreter's reading of one batch line, and the splitting of a command line into
// arguments, on any text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cmd/CommandLine.h"
#include "platform/Shell.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    try {
        vtl::cmd::parseLine(line);
    } catch (const vtl::cmd::SyntaxError&) {  // the interpreter's own refusal of a line
    }
    vtl::platform::splitCommandLine(line);
    return 0;
}

// Runs a fuzz target's entry point on each file named on the command line, or on each file of a
// named folder: a corpus replayed, a crash reproduced, or the inputs a file-mode fuzzer such as
// AFL++ hands over ("target @@").
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/Files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void replay(const std::filesystem::path& file) {
    const std::string input = vtl::files::readFile(file);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

}  // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (entry.is_regular_file()) replay(entry.path()), ++inputs;
            }
        } else {
            replay(path), ++inputs;
        }
    }
    std::cout << inputs << " inputs replayed\n";
    return 0;
}

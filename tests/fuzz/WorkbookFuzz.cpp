// The workbook reader on any bytes, given as a file as the programs give it: it may refuse the
// file with an error, never crash.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/Error.h"
#include "core/Files.h"
#include "workbook/WorkbookFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("vtl-workbook-fuzz-" + std::to_string(getpid()) + ".xlsx");
    vtl::files::writeFile(file, std::string(reinterpret_cast<const char*>(data), size));
    try {
        vtl::workbook::readWorkbook(file);
    } catch (const vtl::Error&) {
    }
    return 0;
}

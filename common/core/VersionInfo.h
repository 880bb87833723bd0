// The fixed file-information record that our executables embed (section ".vtlversion").
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vtl::version {

struct FixedFileInfo {
    uint32_t fileVersionMS = 0;  // major << 16 | minor
    uint32_t fileVersionLS = 0;  // build << 16 | revision
};

// The record of an executable; nothing for a missing file, a file that is no ELF executable,
// or one without the record.
std::optional<FixedFileInfo> readFixedFileInfo(const std::filesystem::path& file);

}  // namespace vtl::version

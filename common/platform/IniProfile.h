// The platform's private-profile (INI file) functions as an engine over plain files.
//
// Sections and keys are matched ignoring case; values are trimmed and lose one pair of matching
// outer quotes; requested section names lose their blanks too. A line with "=" defines a key (the
// text before the first "=", trimmed), also one beginning with "#" or ";", though keys beginning
// with ";" are left out of key lists; other lines beginning with ";" are comments. Writes change the file in place: every other line keeps
// its bytes, its order and its line end, and new lines take the file's own line-end style (CR LF
// for new files).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vtl::platform {

// What a read leaves in the caller's buffer.
struct ProfileRead {
    // The characters written into the buffer, terminating NULs included.
    std::string buffer;
    // The platform's result: characters copied, not counting the terminating NUL.
    uint32_t count = 0;
};

// Reads a value; the default (without trailing blanks) when the file, section or key is
// missing. An empty key lists the key names of the section, an empty section the section names:
// each name followed by a NUL and the list by one more (an empty key name is an empty entry).
// The section list gives the default only when the file is missing; a key list also for a
// section that is missing or has no keys. A header of blanks ("[ ]") starts no section: its keys
// are read by no name. Results that do not fit into bufferSize characters are cut as the
// platform cuts them.
ProfileRead getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, uint32_t bufferSize,
                                    const std::filesystem::path& file);

// Writes a value, creating the file, section or key as needed. A missing key deletes the whole
// section, a missing value deletes the key. Returns non-zero when the file holds the change;
// 0 when it cannot be written (missing folder, read-only file) or when a name or value would
// not read back as written (line ends in it, an empty name, "=" in a key). A failed write
// leaves the file as it was.
int32_t writePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                                  std::optional<std::string_view> value,
                                  const std::filesystem::path& file);

}  // namespace vtl::platform

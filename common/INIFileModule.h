// Reading and writing single values of INI files.
#pragma once

#include <cstdint>
#include <string>

namespace vtl::INIFileModule {

// Writes one value; the result is the platform's: non-zero when written, 0 otherwise.
int32_t WriteINI(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value);

// Reads one value, trimmed, or the default when the file or key is missing. In list mode
// (singleValue false, with an empty key) the section's key names joined by ";". large reads up
// to 1048576 characters instead of 32768. Failures give "".
std::string ReadINI(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue, bool singleValue = true, bool large = false);

}  // namespace vtl::INIFileModule

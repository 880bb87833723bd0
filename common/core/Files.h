// Reading and writing a whole file, with an error that names the file when it fails.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vtl::files {

// The file's bytes as they are stored. A missing file, a folder or a failed read raises the
// runtime's error for the path.
std::string readFile(const std::filesystem::path& file);

// Creates or replaces the file with the given bytes; a failed open or write raises the
// runtime's error for the path.
void writeFile(const std::filesystem::path& file, std::string_view content);

// Appends the bytes to the file, creating it when missing; a failed open or write raises the
// runtime's error for the path.
void appendFile(const std::filesystem::path& file, std::string_view content);

}  // namespace vtl::files

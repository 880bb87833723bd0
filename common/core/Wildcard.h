// File-name wildcards as Windows reads them, for folder listings and the command interpreter.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vtl::wildcard {

// True when the text holds "*" or "?".
bool hasWildcards(std::string_view text);

// Matches a file name (without folder) against a pattern, ignoring ASCII case:
// "*" matches any run of characters, "?" one character, or none once the name has ended
// (so "a.X??" matches "a.X01", "a.X1" and "a.X"). Once the name has ended, what remains of the
// pattern matches nothing when it is wildcards and at most one ".", so "*.*" matches every name,
// also one without a dot.
bool matches(std::string_view pattern, std::string_view name);

// The names of the files (not folders) in a folder that match the pattern, without folder,
// sorted as the platform's own file system lists them: ignoring case, ties by byte order.
// A missing folder has no files.
std::vector<std::string> list(const std::filesystem::path& folder, std::string_view pattern);

}  // namespace vtl::wildcard

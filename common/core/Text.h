// Small text helpers with the semantics of the runtime the programs were written for:
// Trim removes blanks only, comparisons of names are ASCII case-insensitive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vtl::text {

// Removes leading and trailing blanks (not tabs or line ends).
std::string trim(std::string_view s);
std::string trimLeft(std::string_view s);
std::string trimRight(std::string_view s);
// Removes leading and trailing white space of any kind.
std::string trimSpace(std::string_view s);

std::string lower(std::string_view s);
std::string upper(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
// Sort order of file names as a folder listing gives them: ignoring ASCII case, ties by bytes.
bool lessIgnoringCase(const std::string& a, const std::string& b);
bool startsWith(std::string_view s, std::string_view prefix);
bool endsWith(std::string_view s, std::string_view suffix);
bool istartsWith(std::string_view s, std::string_view prefix);
// Position of needle in s ignoring case, npos when absent.
size_t ifind(std::string_view s, std::string_view needle);

std::string replaceAll(std::string s, std::string_view from, std::string_view to);

// The UTF-8 characters of a text, each a lead byte with its continuation bytes.
std::vector<std::string_view> characters(std::string_view s);

// Splits at every occurrence of the separator; empty parts are kept.
std::vector<std::string> split(std::string_view s, char separator);

// Appends one character, as UTF-8.
void appendUtf8(std::string& out, char32_t c);
// Latin-1 text as UTF-8.
std::string latin1ToUtf8(std::string_view latin1);
// Single-byte Windows (ANSI) text as UTF-8: code page 1252, which is Latin-1 but for the
// printable characters it puts at 0x80 to 0x9F.
std::string ansiToUtf8(std::string_view ansi);
std::string join(const std::vector<std::string>& parts, std::string_view separator);

}  // namespace vtl::text

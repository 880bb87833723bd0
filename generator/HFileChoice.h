// The choice of the header files for the next run: header files picked in the dialog, or an
// ASCII list file that names them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vtl::HFileChoice {

// Told the text of each list line whose file does not exist; the line is skipped.
using MissingEntry = std::function<void(const std::string& line)>;

// True when a file name (without folder) is taken as a header file without looking inside:
// it matches "*.h*", with case ("a.h", "a.h1", but not "a.H").
bool isHeaderFileName(const std::string& fileName);

// The header files that a choice of files in the dialog stands for. Several files are header
// files. One file is a header file when its name says so or it does not exist; otherwise it is
// read as an ASCII list (readList). Errors reach the caller; nothing else changes.
std::vector<std::string> headerFilesOf(const std::vector<std::string>& chosen,
                                       const MissingEntry& onMissing);

// The header files an ASCII list names, one per line: lines are trimmed of blanks, empty ones
// skipped, a line without a folder counts from the list's own folder, and a line whose file
// does not exist goes to onMissing. Pending window events are handled after each line. A list
// that names no existing file is error 1 "No h-Files in file: '<list>' found".
std::vector<std::string> readList(const std::string& listFile, const MissingEntry& onMissing);

}  // namespace vtl::HFileChoice

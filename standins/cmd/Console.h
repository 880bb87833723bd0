// What the interpreter says, in the command interpreter's own words.
#pragma once

#include <string>

namespace vtl::cmd {

// A line on standard output or standard error, written at once.
void say(const std::string& line);
void complain(const std::string& line);

// Asks a question on standard output and reads the answer from standard input, asking again
// until it is Y or N; true for Y. No answer (standard input at its end) is N.
bool confirm(const std::string& question);

// The interpreter's message for a failed file system call.
std::string messageFor(int errnoValue);

inline const char* const kFileNotFound = "The system cannot find the file specified.";
inline const char* const kPathNotFound = "The system cannot find the path specified.";
inline const char* const kAccessDenied = "Access is denied.";
inline const char* const kSyntaxError = "The syntax of the command is incorrect.";

}  // namespace vtl::cmd

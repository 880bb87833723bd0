// Opening a file the way the desktop shell does: a program is started, a document is handed to
// the program the desktop associates with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ScopedInstall.h"

namespace vtl::platform {

// The shell's result codes. Every value above 32 means success.
namespace shellcode {
inline constexpr int32_t Started = 42;
inline constexpr int32_t FileNotFound = 2;
inline constexpr int32_t PathNotFound = 3;
inline constexpr int32_t AccessDenied = 5;
inline constexpr int32_t OutOfMemory = 8;
inline constexpr int32_t BadFormat = 11;
inline constexpr int32_t SharingViolation = 26;
inline constexpr int32_t NoAssociation = 31;
inline constexpr int32_t LastFailure = 32;
}  // namespace shellcode

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file with a verb ("open", or empty for the default one), the parameters of a
    // program and a working folder (empty: the current one). Does not wait for what it started.
    // Returns a value above 32 on success, else the shell's error code.
    virtual int32_t execute(const std::string& operation, const std::string& file,
                            const std::string& parameters, const std::string& directory) = 0;
};

// The shell in force: the Linux one, unless a test installed its own.
Shell& shell();
// Installs a shell; nullptr brings the Linux one back.
void setShell(Shell* shell);

// Installs a shell for one scope.
using ScopedShell = ScopedInstall<Shell, setShell>;

// Programs (files we may execute) are started in their own session with the parameters as their
// arguments; documents and folders are opened through xdg-open, without the parameters. A relative
// file name counts from the current folder; a bare name that is not there is looked for as a
// program on PATH. Verbs other than "open" have no association here.
class LinuxShell : public Shell {
public:
    int32_t execute(const std::string& operation, const std::string& file,
                    const std::string& parameters, const std::string& directory) override;
};

// Splits a command line into arguments as programs of the platform the system was written for
// read theirs: blanks and tabs separate, double quotes group (two of them inside quotes give one),
// backslashes are literal unless they precede a double quote (2n backslashes and a quote: n
// backslashes and a grouping quote; 2n + 1: n backslashes and a literal quote).
std::vector<std::string> splitCommandLine(std::string_view line);

}  // namespace vtl::platform

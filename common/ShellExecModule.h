// Opening a file with its associated program, with the shell's failures as messages.
#pragma once

#include <cstdint>
#include <string>

namespace vtl::ShellExecModule {

// Opens or starts a file through the shell (verb, file, parameters for a program, working folder)
// and puts the shell's result into result. A result of 32 or less raises error 1 with the
// message for it, after result is set.
void ShellExec(const std::string& operation, const std::string& file, const std::string& parameters,
               const std::string& directory, int32_t& result);

}  // namespace vtl::ShellExecModule

// The commands the interpreter carries out itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace vtl::cmd {

// Runs a built-in command; nullopt when the name is not one. Returns its exit code: 0 when
// everything went well, 1 when anything failed.
std::optional<int> runBuiltin(const std::string& name, const std::vector<Word>& arguments);

}  // namespace vtl::cmd

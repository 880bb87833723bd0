// The tool's dealings with MicroStation's process and automation object: is one running, and
// quitting one the tool attached to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/mstn/Automation.h"

namespace vtl::tarnwell {

// True when a running process has that executable name (ignoring case); the id of the first
// such process is then stored in pid. Errors go on with "IsExeExisting" in front of their source.
bool IsExeExisting(const std::string& exeName, int32_t& pid);

// Quits the application when one is set and releases it; every error is ignored.
void QuitApplication(std::shared_ptr<mstn::Application>& application);

}  // namespace vtl::tarnwell

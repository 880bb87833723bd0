// MicroStation installations from the registry, the default one, and attaching to (or first
// starting) MicroStation's automation server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mstn/Automation.h"

namespace vtl::modMSTN {

struct MSTNInstall {
    std::string PathName;  // full path of the executable
    std::string Version;
};

// The registry key below HKEY_LOCAL_MACHINE that lists the installations, one sub-key each.
inline constexpr char kInstallationsKey[] = "Software\\Bentley\\MicroStation\\";

// The installations whose executable exists, in the registry's order; empty when none (the
// original's array with the index range -1 to -1). Never raises.
std::vector<MSTNInstall> GetMSTNInstallations();
// The first installation of version "07.*", else the first listed, else "".
std::string GetDefaultMSTNPath();
// The automation object of the running MicroStation; when no MicroStation main window exists,
// exePath (or the default installation) is started first.
std::shared_ptr<mstn::Application> MSTNOpen(const std::string& exePath);

// No MicroStation process and no MicroStation main window is left.
bool MicroStationGone();
// Waits, polling every 50 ms without handling window events, until MicroStation has gone after
// an "exit" or a kill, at most timeoutMs; true when it has.
bool WaitUntilMicroStationGone(int64_t timeoutMs);

}  // namespace vtl::modMSTN

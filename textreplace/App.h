// The tool's identity as its caption, log and settings file name it: its title, the name of its
// executable and the folder it runs from.
#pragma once

#include <filesystem>
#include <string>

namespace vtl::tarnwell {

struct AppInfo {
    std::string title = "Tarnwell";
    // The executable's name without ".exe" ("Tarnwell").
    std::string exeName;
    // The folder of the executable (the "bin" folder beside the main program).
    std::filesystem::path path;
};

// The running program's identity: the executable's own name and folder unless a test set others.
AppInfo& App();

// The settings file: the program folder, the executable's name and ".ini".
std::string GetIniFileName();

}  // namespace vtl::tarnwell

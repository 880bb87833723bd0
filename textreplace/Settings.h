// The tool's settings file: section "Tarnwell" with the folder, extensions, workbook, the Move
// group and the two sources of files, each value checked as it is loaded.
#pragma once

#include <string>

namespace vtl::tarnwell::Settings {

inline constexpr char kSection[] = "Tarnwell";

// What the load gives to the controls.
struct Values {
    std::string InputDir;             // "" unless the folder exists
    std::string Extension;            // "dgn,i0*" when missing
    std::string XLSFile;              // "" unless the workbook's folder exists
    std::string Units;                // "M" or "MM"
    std::string DistX, DistY, DistZ;  // a number without commas, else "0"
    std::string Move;                 // "1" or "0"
    int ProcessFolder = 1;            // 1 (checked) or 0
    int ProcessFiles = 0;
};

// Reads and checks every key. Missing keys (or a missing file) give the defaults; a settings
// file that exists but cannot be read raises its error, so that nothing is written over it.
Values Load(const std::string& iniFile);

// Writes one key of the section.
void Write(const std::string& iniFile, const std::string& key, const std::string& value);

// The checks of the load.
std::string checkedUnits(const std::string& value);
std::string checkedDistance(const std::string& value);
// "1" or "0" stay, anything else is "0".
std::string checkedFlag(const std::string& value);

}  // namespace vtl::tarnwell::Settings

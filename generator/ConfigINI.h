// The pointer INI, the configuration INI and the run state read from it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "ConfigData.h"

namespace vtl {

// The pointer INI "vtl.ini" in a program folder, by default the running program's; its
// [Programm] inifile names the active configuration INI.
std::string pointerIniFile(const std::filesystem::path& programFolder);
std::string pointerIniFile();

// The configuration INI that an INI names in [Programm] inifile; the INI itself when the key is
// missing. Read from the pointer INI at start-up and from the active INI on an INI choice.
std::string iniFileNamedBy(const std::string& ini);

// Reads every configuration value from Variablen().inifile into the run state (a missing file
// or key gives the built-in default, a key present but empty gives "") and appends the
// configuration dump to Variablen().logfile. Errors reach the caller.
void ReadINIVariables();

// Refuses, before a run starts MicroStation, a configuration value that goes into key-ins and
// holds a ";" or a line break: error 1 naming the INI file, section, key and value, also written
// to the log and the error list (tagged with the INI file).
void checkKeyinValues();

// Sets one of the main window's option boxes as a click on it does: ticking createI3D ticks
// createICS, clearing createICS clears createI3D.
void setOptionBox(int16_t ConfigData::*box, int16_t value);

}  // namespace vtl

// What the main window does apart from its controls: the window check, the texts it shows, the
// plotter list and the tool programs it starts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ConfigData.h"

namespace vtl::VTLLogic {

// True when the title of any top-level window contains the text, ignoring case. Every window is
// looked at. Errors go on with "Window_exist" in front of their source.
bool Window_exist(const std::string& text);

// The program does not start beside an open MicroStation (or one of its piping or equipment
// applications): true when a window title names one of them.
bool otherMicroStationOpen();

// Another process of the running program's executable exists: an instance that was started
// before this one, when asked at start-up.
bool otherInstanceRunning();

// The main window's caption: "Brelvik Vistrel " and the program's version in four numbers.
std::string caption();

// The splash window's text: "Version " & major & "." & minor & "." & revision.
std::string versionText();

// The entries of the plotter box: "No Plot", then each configured queue that is not empty.
std::vector<std::string> plotterEntries(const ConfigData& config);

// Starts a program of the "bin" folder beside the main program, without arguments and without
// waiting. A missing program is error 1 "Cannot find application file " & its path.
void startToolExe(const std::filesystem::path& programFolder, const std::string& exe);

}  // namespace vtl::VTLLogic

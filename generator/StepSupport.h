// What the drawing steps share: commands on the files of a run, opening a drawing in the
// MicroStation of the run, and the key-ins of texts.
#pragma once

#include <string>

#include "RunTables.h"

namespace vtl {
class RunHost;
}

namespace vtl::StepSupport {

// Runs a command hidden and waits for it; with logged, its output goes into the run log.
void runCommand(const std::string& command, bool logged = true);

// Deletes the file with "del"; error 1 "Can not delete old file  <file>" when it is still there.
void deleteOldFile(const std::string& file);

// Opens the drawing with "newfile" in MSTNApp and makes it CurrentFile. Error 1 "Error opening
// <shown>" when no top-level window title then holds the drawing's file name.
void openDrawing(RunHost& host, const std::string& file, const std::string& shown);

// A coordinate of a run table as it goes into a key-in: refused as every text a key-in cannot
// carry ("2;exit" would send a key-in of its own), and it must be a number (error 1 naming the
// row's kind and run).
const std::string& keyinCoordinate(const RunTable& table, int row, int column);

}  // namespace vtl::StepSupport

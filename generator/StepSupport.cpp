#include "StepSupport.h"

#include <filesystem>

#include "RunHost.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "mstn/KeyinValue.h"

namespace vtl::StepSupport {

using FileOperationModule::quotedForCommand;

void runCommand(const std::string& command, bool logged) {
    int32_t taskId = 0;
    FileOperationModule::ExecA(command, logged ? Variablen().logfile : std::string(), 0, "", taskId,
                               true);
}

void deleteOldFile(const std::string& file) {
    runCommand("del " + quotedForCommand(file), false);
    if (FileOperationModule::IsFileExists(file, 0)) {
        raise(kOwnError, "Can not delete old file  " + file);
    }
}

void openDrawing(RunHost& host, const std::string& file, const std::string& shown) {
    Variablen().CurrentFile = file;
    sendKeyin("newfile " + file);
    // The whole file name: its last characters alone ("1.ics") are found in other titles too.
    if (!host.Window_exist(std::filesystem::path(file).filename().string())) {
        raise(kOwnError, "Error opening " + shown);
    }
}

const std::string& keyinCoordinate(const RunTable& table, int row, int column) {
    const std::string& value = table(row, column);
    const std::string where = text::ansiToUtf8(table(row, 0) + " " + table(row, 1));
    mstn::keyinSafe(text::ansiToUtf8(value), "coordinate of " + where + " in the header file");
    if (!num::parseDecimal(value)) {
        raise(kOwnError, "Coordinate '" + text::ansiToUtf8(value) + "' of " + where +
                             " in the header file is not a number");
    }
    return value;
}

}  // namespace vtl::StepSupport

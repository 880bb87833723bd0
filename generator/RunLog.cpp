#include "RunLog.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <vector>

#include "LOGModule.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/LogStream.h"
#include "core/Text.h"

namespace vtl::RunLog {

namespace {

constexpr char kMakerAddress[] = "www.brelvik.example";

LocalTimeSource& timeSource() {
    static LocalTimeSource source;
    return source;
}

std::tm localNow() {
    if (timeSource()) return timeSource()();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string formatted(const std::tm& moment, const char* format) {
    char buffer[64];
    const size_t length = std::strftime(buffer, sizeof buffer, format, &moment);
    return std::string(buffer, length);
}

using FileOperationModule::quotedForCommand;

std::vector<std::string> logHead() {
    const std::tm now = localNow();
    const std::string stars(50, '*');
    return {
        stars, " Vistrel" + std::string(16, ' ') + kMakerAddress,
        " Start Logfile  am " + formatted(now, "%d.%m.%Y") + "  um " + formatted(now, "%H:%M:%S"),
        stars, kErrorField};
}

// The conclusion block. The placeholder's own line end stays behind it: an empty line.
std::string errorConclusion() {
    const std::vector<std::string>& list = LOGModule::errorList();
    std::string block = "############# Error conclusion ##############\r\n#\r\n";
    if (list.empty()) block += "# no errors occured\r\n";
    for (const std::string& entry : list) {
        block += entry + "\r\n";
        clock().processEvents();
    }
    return block + "#\r\n" + std::string(45, '#') + "\r\n";
}

}  // namespace

void startLogFile() {
    const std::string& log = Variablen().logfile;
    int32_t taskId = 0;
    // Both paths quoted: in a folder with a blank the copy would otherwise get four arguments
    // and the previous log would be lost.
    FileOperationModule::ExecA(
        "copy " + quotedForCommand(log) + " " + quotedForCommand(log + ".bak"), "", 0, "", taskId,
        true);
    std::string head;
    for (const std::string& line : logHead()) head += line + "\r\n";
    LOGModule::writeText(log, head, false);
}

void writeErrorsToLog() {
    try {
        const std::string& log = Variablen().logfile;
        logstream::close();
        const std::string text = ReadFile2String(log);
        const std::string concluded = text::replaceAll(text, kErrorField, errorConclusion());
        LOGModule::writeText(log, concluded + "\r\n", false);
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "writeErrorsToLog");
    }
}

std::string ReadFile2String(const std::string& path) {
    try {
        if (!FileOperationModule::IsFileExists(path, 0)) {
            raise(kOwnError, "File '" + path + "' not exists");
        }
        return files::readFile(path);
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "ReadFile2String");
    }
}

void setLocalTimeSource(LocalTimeSource source) {
    timeSource() = std::move(source);
}

}  // namespace vtl::RunLog

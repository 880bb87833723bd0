#include "textreplace/MainLogic.h"

#include <set>

#include "common/FileOperationModule.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "textreplace/Events.h"

namespace vtl::tarnwell::MainLogic {

using namespace FileOperationModule;

std::string caption() {
    return "Brelvik Tarnwell " + GetVersionString("", false);
}

std::string versionText() {
    return "Version " + GetVersionString("", false);
}

void checkTempFolder(const std::string& temp) {
    constexpr char kRequest[] =
        ". Please first set operating system environment variable TEMP to correct folder";
    if (text::trim(temp).empty())
        raise(kOwnError, std::string("TEMP directory not defined") + kRequest);
    if (!IsFileExists(temp, 1)) {
        raise(kOwnError, "TEMP directory: '" + temp + "' not exists" + kRequest);
    }
}

std::string fixedLogFile() {
    const std::string home = env::get("HOME");
    return AddBackslash(home.empty() ? "/" : home) + "Tarnwell.log";
}

namespace {

void appendFolderFiles(const TodoSources& sources, std::vector<std::string>& files) {
    if (!IsFileExists(sources.folder, 1)) {
        raise(kOwnError, "Input directory: '" + sources.folder + "' not exits");
    }
    LogEvent("File extensions: " + sources.extensions);
    for (const std::string& piece : text::split(sources.extensions, ',')) {
        const std::string extension = text::trim(piece);
        if (extension.empty()) continue;
        for (std::string& file : FindFile(sources.folder, "*." + extension, true)) {
            files.push_back(std::move(file));
        }
    }
    if (files.empty()) LogEvent("No DGN files in directory: '" + sources.folder + "' found");
}

std::vector<std::string> todoFiles(const TodoSources& sources) {
    if (!sources.useFolder && !sources.useList) {
        raise(kOwnError,
              "Please check the checkbox of finding file in folder or using the files in the "
              "file list.");
    }
    std::vector<std::string> files;
    if (sources.useFolder) appendFolderFiles(sources, files);
    if (sources.useList) {
        if (sources.listed.empty()) LogEvent("No files added to the file list");
        files.insert(files.end(), sources.listed.begin(), sources.listed.end());
    }
    if (files.empty()) raise(kOwnError, "No files found.");
    LogEvent(num::text(static_cast<long long>(files.size())) + " file(s) found");
    return files;
}

}  // namespace

std::vector<std::string> GetTodoFiles(const TodoSources& sources) {
    try {
        return todoFiles(sources);
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "GetTodoFiles");
    }
}

std::vector<std::string> newFromDialog(const std::vector<std::string>& listed,
                                       const std::vector<std::string>& chosen) {
    std::set<std::string> held(listed.begin(), listed.end());
    std::vector<std::string> added;
    for (const std::string& file : chosen) {
        if (held.insert(file).second) added.push_back(file);
    }
    return added;
}

std::vector<std::string> newFromDrop(const std::vector<std::string>& listed,
                                     const std::vector<std::string>& dropped) {
    std::set<std::string> held;
    for (const std::string& file : listed) held.insert(text::lower(file));
    std::vector<std::string> added;
    for (const std::string& file : dropped) {
        if (held.insert(text::lower(file)).second) added.push_back(file);
    }
    return added;
}

void runFileLoop(size_t count, const FileLoop& loop) {
    const std::string total = std::to_string(count);
    for (size_t i = 0; i < count; ++i) {
        const std::string counter = std::to_string(i + 1) + " / " + total;
        if (loop.stopRequested()) {
            LogEvent("The run stops before file " + counter + ": the program is closing");
            return;
        }
        loop.showCounter(counter);
        loop.step(i);
    }
}

}  // namespace vtl::tarnwell::MainLogic

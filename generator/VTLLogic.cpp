#include "VTLLogic.h"

#include <unistd.h>

#include "common/FileOperationModule.h"
#include "common/ShellExecModule.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Text.h"
#include "platform/Processes.h"
#include "platform/WindowSystem.h"

namespace vtl::VTLLogic {

bool Window_exist(const std::string& text) {
    try {
        bool found = false;
        for (const platform::TopLevelWindow& window : platform::windows().topLevelWindows()) {
            if (text::ifind(window.title, text) != std::string::npos) found = true;
        }
        return found;
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "Window_exist");
    }
}

bool otherMicroStationOpen() {
    return Window_exist("MicroStation") || Window_exist("Piping") || Window_exist("Equipment");
}

bool otherInstanceRunning() {
    const std::string image = env::programFile().filename().string();
    for (const platform::ProcessEntry& process : platform::processes().list()) {
        if (process.pid != ::getpid() && text::iequals(process.imageName, image)) return true;
    }
    return false;
}

std::string caption() {
    return "Brelvik Vistrel " + FileOperationModule::GetVersionString("", false);
}

std::string versionText() {
    std::vector<std::string> parts =
        text::split(FileOperationModule::GetVersionString("", false), '.');
    parts.resize(4, "0");
    return "Version " + parts[0] + "." + parts[1] + "." + parts[3];
}

std::vector<std::string> plotterEntries(const ConfigData& config) {
    std::vector<std::string> entries{"No Plot"};
    for (const std::string* queue : {&config.IPlotque1, &config.IPlotque2, &config.IPlotque3,
                                     &config.IPlotque4, &config.IPlotque5}) {
        if (!queue->empty()) entries.push_back(*queue);
    }
    return entries;
}

void startToolExe(const std::filesystem::path& programFolder, const std::string& exe) {
    const std::string path = (programFolder / "bin" / exe).string();
    if (!FileOperationModule::IsFileExists(path, 0)) {
        raise(kOwnError, "Cannot find application file " + path);
    }
    int32_t result = 0;
    ShellExecModule::ShellExec("open", path, "", "", result);
}

}  // namespace vtl::VTLLogic

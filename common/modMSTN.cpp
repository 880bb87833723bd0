#include "common/modMSTN.h"

#include "common/FileOperationModule.h"
#include "common/RegistryModule.h"
#include "common/modProcess.h"
#include "core/Clock.h"
#include "core/Text.h"
#include "mstn/RemoteApplication.h"
#include "platform/Processes.h"
#include "platform/WindowSystem.h"

namespace vtl::modMSTN {

namespace {

constexpr int64_t kAttachPauseMs = 500;
// How long a MicroStation that was just started may take to answer its automation object.
constexpr int64_t kStartupTimeoutMs = 30000;

std::string regString(const std::string& key, const std::string& name) {
    RegistryModule::RegData data =
        RegistryModule::RegGetValue(RegistryModule::HKEY_LOCAL_MACHINE, key, name, "", true);
    const std::string* text = std::get_if<std::string>(&data);
    return text ? text::trim(*text) : std::string();
}

bool isVersion7(const std::string& version) {
    return text::startsWith(version, "07.");
}

bool mstnProcessRuns() {
    return modProcess::IsAppRunning(mstn::kProcessImage);
}

// A killed MicroStation's window can outlive its process for a moment; with nobody behind it
// to answer, it counts as no MicroStation.
bool mstnRuns() {
    return platform::windows().findByClass(mstn::kMainWindowClass) != 0 && mstnProcessRuns();
}

void startMicroStation(std::string exePath) {
    if (text::trim(exePath).empty()) exePath = GetDefaultMSTNPath();
    if (!FileOperationModule::IsFileExists(exePath, 0)) {
        raise(kOwnError,
              text::trim(exePath).empty()
                  ? std::string("MicroStation EXE-File ") + "not defined"
                  : std::string("MicroStation EXE-File ") + ": '" + exePath + "' not existing");
    }
    // The path and its switch stay apart, so a blank in the path is harmless.
    platform::StartOptions options;
    options.detached = true;
    platform::processes().start({exePath, mstn::kAutomationSwitch}, options);
}

}  // namespace

std::vector<MSTNInstall> GetMSTNInstallations() {
    std::vector<MSTNInstall> list;
    try {
        RegistryModule::SubKeyList keys = RegistryModule::RegGetSubKeys(
            RegistryModule::HKEY_LOCAL_MACHINE, kInstallationsKey, "");
        if (keys.lowerBound < 0) return {};
        for (const std::string& name : keys.items) {
            if (name.empty()) continue;
            const std::string key = std::string(kInstallationsKey) + name;
            std::string path = regString(key, "PathName");
            if (!FileOperationModule::IsFileExists(path, 0)) continue;
            list.push_back({path, regString(key, "Version")});
        }
    } catch (...) {
        return {};
    }
    return list;
}

std::string GetDefaultMSTNPath() {
    try {
        std::vector<MSTNInstall> list = GetMSTNInstallations();
        for (const MSTNInstall& install : list) {
            if (isVersion7(install.Version)) return install.PathName;
        }
        return list.empty() ? std::string() : list.front().PathName;
    } catch (...) {
        throw passOnLibrary(toError(std::current_exception()), "GetDefaultMSTNPath");
    }
}

std::shared_ptr<mstn::Application> MSTNOpen(const std::string& exePath) {
    try {
        bool started = false;
        if (!mstnRuns()) {
            startMicroStation(exePath);
            started = true;
        }
        clock().sleepMs(kAttachPauseMs);
        const int64_t deadline = clock().nowMs() + kStartupTimeoutMs;
        return mstn::connectApplication(
            [&] { return started && clock().nowMs() < deadline && mstnProcessRuns(); });
    } catch (...) {
        Error e = toError(std::current_exception());
        if (e.number() == err::CannotCreateObject) {
            e = Error(e.number(), e.source(), "MicroStation not correctly installed or not found",
                      e.line());
        }
        throw passOnLibrary(e, "MSTNOpen");
    }
}

bool MicroStationGone() {
    return !mstnProcessRuns() && platform::windows().findByClass(mstn::kMainWindowClass) == 0;
}

bool WaitUntilMicroStationGone(int64_t timeoutMs) {
    constexpr int64_t kPollMs = 50;
    const int64_t deadline = clock().nowMs() + timeoutMs;
    while (!MicroStationGone()) {
        if (clock().nowMs() >= deadline) return false;
        clock().sleepMs(kPollMs);
    }
    return true;
}

}  // namespace vtl::modMSTN

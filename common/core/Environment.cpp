#include "core/Environment.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "core/Text.h"

namespace vtl::env {

namespace fs = std::filesystem;

std::string get(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
}

namespace {
// An empty variable counts as unset: it would name the current folder.
std::string folderFrom(const char* name) {
    if (std::string value = get(name); !value.empty()) return value;
    if (std::string value = get("TMPDIR"); !value.empty()) return value;
    return "/tmp";
}
}  // namespace

std::string tempFolder() { return folderFrom("TEMP"); }
std::string tmpFolder() { return folderFrom("TMP"); }

fs::path platformHome() {
    fs::path home;
    if (std::string value = get("VTL_PLATFORM_HOME"); !value.empty()) {
        home = value;
    } else if (std::string data = get("XDG_DATA_HOME"); !data.empty()) {
        home = fs::path(data) / "vtl-platform";
    } else {
        home = fs::path(get("HOME").empty() ? "/tmp" : get("HOME")) / ".local/share/vtl-platform";
    }
    std::error_code ignored;
    fs::create_directories(home, ignored);
    return home;
}

fs::path programFile() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self;
}

fs::path programFolder() { return programFile().parent_path(); }

fs::path findProgram(const std::string& name) {
    for (const std::string& dir : text::split(get("PATH"), ':')) {
        if (dir.empty()) continue;
        fs::path candidate = fs::path(dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
#ifdef VTL_STANDINS_DIR
    fs::path standIn = fs::path(VTL_STANDINS_DIR) / name;
    if (::access(standIn.c_str(), X_OK) == 0) return standIn;
#endif
    return {};
}

}  // namespace vtl::env

#include "WorkingCopies.h"

#include <unistd.h>

#include <filesystem>

#include "core/Error.h"

namespace vtl::wizard {

namespace fs = std::filesystem;

namespace {

const char* roleName(Role role) {
    switch (role) {
        case Role::VistrelSeed:
            return "vistrel-seed";
        case Role::Iso:
            return "iso";
        case Role::CoverSheetSeed:
            return "coversheet-seed";
        case Role::Iso3D:
            return "iso3d";
    }
    return "other";
}

// One level at a time: a TEMP that names a missing folder is an error, not a folder to make.
void makeFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return;
    if (!fs::create_directory(folder, ec) && !fs::is_directory(folder)) {
        throw errnoError(ec.value(), folder.string());
    }
}

}  // namespace

WorkingCopies::WorkingCopies(std::string tempFolder) : temp_(std::move(tempFolder)) {}

std::string WorkingCopies::folder() const {
    return (fs::path(temp_) / ("vtl-wizard-" + std::to_string(::getpid()))).string();
}

std::string WorkingCopies::roleFolder(Role role) const {
    return (fs::path(folder()) / roleName(role)).string();
}

std::string WorkingCopies::copyOf(Role role, const std::string& file) const {
    const size_t slash = file.rfind('/');
    return roleFolder(role) + "/" + (slash == std::string::npos ? file : file.substr(slash + 1));
}

void WorkingCopies::makeRoleFolder(Role role) const {
    makeFolder(folder());
    makeFolder(roleFolder(role));
}

std::string WorkingCopies::freshRoleFolder(Role role) const {
    makeRoleFolder(role);
    const fs::path path = roleFolder(role);
    for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
        fs::remove_all(entry.path());
    }
    return path.string();
}

void WorkingCopies::removeAll() const {
    std::error_code ignored;
    fs::remove_all(folder(), ignored);
}

}  // namespace vtl::wizard

// Where the wizard keeps the working copies its previews draw into: a folder of its own under
// TEMP, one sub-folder per role, so that two roles never share a file, a file chosen from TEMP
// is never its own working copy, and closing the wizard removes only what it made.
#pragma once

#include <string>

namespace vtl::wizard {

enum class Role { VistrelSeed, Iso, CoverSheetSeed, Iso3D };

class WorkingCopies {
public:
    // The folder lives in the TEMP folder given.
    explicit WorkingCopies(std::string tempFolder);

    // The wizard's folder (TEMP/vtl-wizard-<process id>) and a role's folder in it.
    std::string folder() const;
    std::string roleFolder(Role role) const;
    // The working copy of a file in a role: its name in the role's folder.
    std::string copyOf(Role role, const std::string& file) const;
    // The role's folder, made empty for a new copy (TEMP itself must exist).
    std::string freshRoleFolder(Role role) const;
    // Makes the role's folder when it is missing.
    void makeRoleFolder(Role role) const;
    // Removes the wizard's folder with everything in it; errors are ignored.
    void removeAll() const;

private:
    std::string temp_;
};

}  // namespace vtl::wizard

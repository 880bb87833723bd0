// Temporary folders and environment changes that undo themselves at the end of a test.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vtl::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes a file below the folder and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& content) const;
    // The same for a file its owner may execute (a script).
    std::filesystem::path writeExecutable(const std::string& name,
                                          const std::string& content) const;

private:
    std::filesystem::path path_;
};

// Reads a whole file; "" when missing. What the program's log stream holds back is written out
// first, so a log reads as the program leaves it.
std::string readFile(const std::filesystem::path& file);

// The names of the entries of a folder (files and folders), sorted by bytes.
std::vector<std::string> entryNames(const std::filesystem::path& folder);

// Sets (or, with nullopt, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// A private VTL_PLATFORM_HOME for one test, so registry and stand-in state stay hermetic.
class ScopedPlatformHome {
public:
    ScopedPlatformHome();
    const std::filesystem::path& path() const { return dir_.path(); }

private:
    TempDir dir_;
    ScopedEnv env_;
};

}  // namespace vtl::test

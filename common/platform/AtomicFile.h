// Whole-file reads and replacements for the small text stores of the platform layer (INI files,
// the registry store): a replacement never leaves a half-written or truncated file behind.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vtl::platform {

// The whole file as bytes; nullopt when it is missing or cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& file);

// Replaces the file's contents through a temporary file in the same folder and a rename, so
// other readers see either the old or the new contents. An existing file keeps its permission
// bits; a symbolic link keeps pointing at the file it names. False on any failure, in which
// case the file is unchanged.
bool replaceFileContents(const std::filesystem::path& file, std::string_view content);

// An exclusive or shared lock on a lock file (created when missing), held for the object's life
// and respected by every process of the system.
class FileLock {
  public:
    enum class Mode { Shared, Exclusive };
    FileLock(const std::filesystem::path& lockFile, Mode mode);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return held_; }

  private:
    int fd_ = -1;
    bool held_ = false;
};

}  // namespace vtl::platform

#include "common/FileOperationModule.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/Clock.h"
#include "core/Environment.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "core/VersionInfo.h"
#include "platform/FileCopy.h"

namespace vtl::FileOperationModule {

namespace fs = std::filesystem;

std::string TempFolder;

namespace {

struct LastError {
    int32_t number = 0;
    std::string source;
    std::string description;
};
LastError lastError;

// The version text cached for the file and form it was built for.
struct VersionCache {
    std::string file;
    bool padded = false;
    std::string text;
};
VersionCache versionCache;

constexpr int64_t kReadyTimeoutMs = 120000;
constexpr int64_t kReadyPollMs = 50;

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

std::string padVersion(const std::string& version) {
    std::vector<std::string> parts = text::split(version, '.');
    for (std::string& part : parts) {
        if (part.size() < 2) part.insert(0, 2 - part.size(), '0');
    }
    return text::join(parts, ".");
}

}  // namespace

// --- The last-error record ---------------------------------------------------------------------

void ClearLastError() {
    lastError = LastError{};
}

void GetLastErrorInfo(int32_t& number, std::string& source, std::string& description) {
    number = lastError.number;
    source = lastError.source;
    description = lastError.description;
}

void RaiseLastError() {
    if (lastError.number != 0) {
        throw Error(lastError.number, lastError.source, lastError.description);
    }
}

void RecordLastError(std::string_view procedure, const Error& error) {
    lastError.number = static_cast<int32_t>(error.number());
    lastError.source = librarySource(procedure, error.line(), error.source());
    lastError.description = error.description();
}

// --- Versions ----------------------------------------------------------------------------------

std::string GetVersionString(const std::string& file, bool padded) {
    // The cache answers only for the file and form it was built for; another file gets its own
    // text.
    if (!text::trim(versionCache.text).empty() && versionCache.padded == padded &&
        versionCache.file == file) {
        return versionCache.text;
    }
    std::string version = GetFileVersion(file);
    if (padded) version = padVersion(version);
    versionCache = VersionCache{file, padded, version};
    return version;
}

std::string GetFileVersion(const std::string& file) {
    return Recorded("GetFileVersion", std::string(), [&] {
        fs::path path = text::trim(file).empty() ? env::programFile() : fs::path(file);
        version::FixedFileInfo info =
            version::readFixedFileInfo(path).value_or(version::FixedFileInfo{});
        // Each word is an unsigned 16-bit number: a version part above 32767 stays positive.
        return num::text(static_cast<long long>(info.fileVersionMS >> 16)) + "." +
               num::text(static_cast<long long>(info.fileVersionMS & 0xFFFF)) + "." +
               num::text(static_cast<long long>(info.fileVersionLS >> 16)) + "." +
               num::text(static_cast<long long>(info.fileVersionLS & 0xFFFF));
    });
}

// --- Files -------------------------------------------------------------------------------------

namespace {

// The user's trash lies in the data folder, which a fresh account does not have yet, and Qt
// makes the trash only where that folder exists (without it, Qt moves the file into the working
// folder instead). False when the trash cannot be made.
bool makeHomeTrash() {
    const fs::path data =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    if (data.empty()) return false;
    std::error_code ignored;
    fs::create_directories(data, ignored);
    if (fs::create_directory(data / "Trash", ignored)) {
        fs::permissions(data / "Trash", fs::perms::owner_all, ignored);
    }
    return fs::is_directory(data / "Trash", ignored);
}

}  // namespace

int32_t ShellFileOperation(uint8_t func, const std::string& from, const std::string& to,
                           bool& aborted) {
    aborted = false;  // no confirmation is ever asked, so nobody can abort
    if (func == FO_COPY) return platform::copyFileCode(from, to);
    if (func != FO_DELETE) return platform::kShellInvalidCall;
    struct stat st {};
    if (::stat(from.c_str(), &st) != 0) return errno == EACCES ? 5 : 2;
    if (platform::isLockedByAnother(from)) return 32;
    // The shell's delete allows undo: the file goes to the user's trash.
    if (!makeHomeTrash()) return 5;
    QFile qfile(QString::fromStdString(from));
    return qfile.moveToTrash() ? 0 : 5;
}

bool IsFileExists(const std::string& path, int kind) {
    return Recorded("IsFileExists", false, [&] {
        std::error_code ec;
        switch (kind) {
            case 0:
                return fs::is_regular_file(path, ec);
            case 1:
                return fs::is_directory(path, ec);
            case 2:
                return platform::isDriveRoot(path);
            default:
                return false;
        }
    });
}

namespace {

// Raises the failure of a shell file operation: an abort, or any code but 0.
void checkShellResult(int32_t result, bool aborted) {
    if (aborted) raise(kOwnError, "User abort");
    if (result != 0) raise(kOwnError, "Error code: " + num::text(result));
}

void copyChecked(const std::string& source, const std::string& dest, bool useShell) {
    if (useShell) {
        bool aborted = false;
        int32_t result = ShellFileOperation(FO_COPY, source, dest, aborted);
        checkShellResult(result, aborted);
    } else {
        platform::copyFile(source, dest);
    }
}

void verifyCopy(const std::string& source, const std::string& dest) {
    struct stat s {
    }, d{};
    if (::stat(source.c_str(), &s) != 0) throw errnoError(errno, source);
    if (::stat(dest.c_str(), &d) != 0) throw errnoError(errno, dest);
    if (s.st_size != d.st_size || s.st_mtim.tv_sec != d.st_mtim.tv_sec) {
        raise(kOwnError, "Source and destination are not equal");
    }
}

}  // namespace

bool CopyFileA(const std::string& source, const std::string& dest, bool useShell, bool checkInUse,
               bool verify) {
    return Recorded("CopyFileA", false, [&] {
        if (!IsFileExists(source, 0)) raise(kOwnError, "File " + quoted(source) + " not exists");
        if (checkInUse) {
            if (IsFileAlreadyInUse(source)) RaiseLastError();
            // A destination that does not exist yet cannot be in use.
            if (IsFileExists(dest, 0) && IsFileAlreadyInUse(dest)) RaiseLastError();
        }
        copyChecked(source, dest, useShell);
        if (verify) verifyCopy(source, dest);
        return true;
    });
}

namespace {

void deleteWithShell(const std::string& file) {
    bool aborted = false;
    int32_t result = ShellFileOperation(FO_DELETE, file, "", aborted);
    if (!aborted && result == 32) raise(kOwnError, "File " + quoted(file) + " already in use");
    checkShellResult(result, aborted);
}

void deletePlain(const std::string& file) {
    if (::unlink(file.c_str()) == 0 || errno == ENOENT) return;  // gone already counts as success
    Error failure = errnoError(errno, file);
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) throw failure;
}

}  // namespace

bool DeleteFileA(const std::string& file, bool useShell) {
    return Recorded("DeleteFileA", false, [&] {
        if (text::trim(file).empty()) return true;
        if (useShell) {
            deleteWithShell(file);
        } else if (IsFileExists(file, 0)) {
            deletePlain(file);
        }
        if (IsFileExists(file, 0)) raise(kOwnError, "File " + quoted(file) + " not deleted");
        return true;
    });
}

std::string GetTempName() {
    // Unique within the process (a counter from a random start) and across processes in practice.
    static uint32_t next = std::random_device{}();
    char name[16];
    std::snprintf(name, sizeof name, "rad%05X.tmp", (next++) & 0xFFFFFu);
    return name;
}

std::string GetTempBaseName() {
    return GetFileBaseName(GetTempName());
}

std::string GetFileBaseName(const std::string& path) {
    std::string name = path;
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name = name.substr(0, dot);
    return name;
}

std::string AddBackslash(const std::string& path) {
    if (text::trim(path).empty()) return path;
    return text::endsWith(path, "/") ? path : path + "/";
}

bool IsFileAlreadyInUse(const std::string& file) {
    try {
        platform::checkReadable(file);
        ClearLastError();
        return false;
    } catch (const Error& e) {
        RecordLastError(
            "IsFileAlreadyInUse",
            Error(e.number(), e.source(), "File " + quoted(file) + " is already in use", e.line()));
        return true;
    }
}

namespace {

bool IsFileReady(const std::string& file) {
    try {
        if (!IsFileExists(file, 0)) raise(kOwnError, "File: " + quoted(file) + " not existing");
        if (IsFileAlreadyInUse(file)) RaiseLastError();
        return true;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace

bool IsFileExistsA(const std::string& file) {
    return Recorded("IsFileExistsA", false, [&] {
        // A monotonic 64-bit clock: the deadline never wraps.
        const int64_t deadline = clock().nowMs() + kReadyTimeoutMs;
        while (!IsFileReady(file)) {
            if (clock().nowMs() >= deadline) {
                raise(kOwnError, "Checking if file exists failed (timeout " +
                                     num::text(kReadyTimeoutMs) + " milliseconds is reached)");
            }
            clock().processEvents();
            clock().sleepMs(kReadyPollMs);
        }
        return true;
    });
}

}  // namespace vtl::FileOperationModule

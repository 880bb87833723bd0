#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>

namespace vtl::platform {

namespace fs = std::filesystem;

namespace {

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        content.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The mode a newly created file gets from the process's umask.
mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a replacement has to land on: the target of a symbolic link, else the path itself.
std::optional<fs::path> realTarget(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_symlink(file, ec)) return file;
    fs::path target = fs::weakly_canonical(file, ec);
    if (ec) return std::nullopt;
    return target;
}

}  // namespace

std::optional<std::string> readWholeFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return out.str();
}

bool replaceFileContents(const fs::path& file, std::string_view content) {
    std::optional<fs::path> target = realTarget(file);
    if (!target) return false;
    fs::path folder = target->parent_path().empty() ? fs::path(".") : target->parent_path();
    std::string temp = (folder / ("." + target->filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    struct stat existing {};
    mode_t mode =
        ::stat(target->c_str(), &existing) == 0 ? existing.st_mode & 07777 : newFileMode();
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), target->c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

FileLock::FileLock(const fs::path& lockFile, Mode mode) {
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return;
    int operation = mode == Mode::Exclusive ? LOCK_EX : LOCK_SH;
    int rc;
    do {
        rc = ::flock(fd_, operation);
    } while (rc != 0 && errno == EINTR);
    held_ = rc == 0;
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace vtl::platform

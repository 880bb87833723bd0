#include "platform/FileCopy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/Error.h"

namespace vtl::platform {

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }

private:
    int fd_;
};

// A file in use, or a copy that would truncate its own source.
Error permissionDenied() { return Error(err::PermissionDenied, "", "Permission denied"); }

void copyBytes(int from, int to, const std::string& dest) {
    char buffer[1 << 16];
    while (true) {
        ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n == 0) return;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw errnoError(errno, dest);
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(to, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno != EINTR) throw errnoError(errno, dest);
            if (w > 0) done += w;
        }
    }
}

}  // namespace

void copyFile(const std::string& source, const std::string& dest) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.ok()) throw errnoError(errno, source);
    struct stat s {};
    if (::fstat(in.get(), &s) != 0) throw errnoError(errno, source);
    struct stat d {};
    if (::stat(dest.c_str(), &d) == 0 && d.st_dev == s.st_dev && d.st_ino == s.st_ino) {
        throw permissionDenied();  // never truncate the source
    }
    Fd out(::open(dest.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, s.st_mode & 07777));
    if (!out.ok()) throw errnoError(errno, dest);
    // The lock comes before the truncation, so a file that someone holds is left as it was.
    if (::flock(out.get(), LOCK_EX | LOCK_NB) != 0) throw permissionDenied();
    if (::ftruncate(out.get(), 0) != 0) throw errnoError(errno, dest);
    copyBytes(in.get(), out.get(), dest);
    const struct timespec times[2] = {s.st_atim, s.st_mtim};
    ::futimens(out.get(), times);
}

int32_t copyFileCode(const std::string& source, const std::string& dest) {
    try {
        copyFile(source, dest);
        return 0;
    } catch (const Error& e) {
        if (e.number() == err::FileNotFound || e.number() == err::PathNotFound) return 2;
        if (e.number() == err::PermissionDenied) return isLockedByAnother(dest) ? 32 : 5;
        return 5;
    }
}

void checkReadable(const std::string& file) {
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.ok()) throw errnoError(errno, file);
    if (::flock(fd.get(), LOCK_SH | LOCK_NB) != 0) throw permissionDenied();
}

bool isLockedByAnother(const std::string& file) {
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.ok() && ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0;
}

bool isDriveRoot(const std::string& path) {
    struct stat self {}, parent {};
    if (path.empty() || ::stat(path.c_str(), &self) != 0 || !S_ISDIR(self.st_mode)) return false;
    std::string up = (std::filesystem::path(path) / "..").string();
    if (::stat(up.c_str(), &parent) != 0) return false;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

}  // namespace vtl::platform

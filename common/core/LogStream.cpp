#include "core/LogStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>

#include "core/Clock.h"
#include "core/Error.h"

namespace vtl::logstream {

namespace {

constexpr int64_t kFlushAfterMs = 1000;

class Stream {
public:
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    ~Stream() {
        try {
            close();
        } catch (...) {
            // Nothing is left to tell at the program's end.
        }
    }

    void append(const std::string& path, std::string_view bytes) {
        if (fd_ >= 0 && path != path_) close();
        if (fd_ < 0) open(path);
        if (buffer_.empty()) {
            firstPendingMs_ = clock().nowMs();
            armTimer();
        }
        buffer_.append(bytes);
        if (clock().nowMs() - firstPendingMs_ >= kFlushAfterMs) flush();
    }

    void flush() {
        if (fd_ < 0 || buffer_.empty()) return;
        std::string bytes;
        bytes.swap(buffer_);
        if (!stillNamed()) reopen();
        writeAll(bytes);
    }

    void close() {
        if (fd_ < 0) return;
        struct Closer {
            Stream& s;
            ~Closer() {
                ::close(s.fd_);
                s.fd_ = -1;
                s.path_.clear();
                s.buffer_.clear();
            }
        } closer{*this};
        flush();
    }

private:
    void open(const std::string& path) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) throw errnoError(errno, path);
        fd_ = fd;
        path_ = path;
    }

    // The path still names the file held open.
    bool stillNamed() const {
        struct stat named {};
        struct stat held {};
        return ::stat(path_.c_str(), &named) == 0 && ::fstat(fd_, &held) == 0 &&
               named.st_dev == held.st_dev && named.st_ino == held.st_ino;
    }

    void reopen() {
        const std::string path = path_;
        ::close(fd_);
        fd_ = -1;
        path_.clear();
        open(path);
    }

    void writeAll(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw errnoError(n < 0 ? errno : EIO, path_);
            done += static_cast<size_t>(n);
        }
    }

    // Lines appended while the program waits for events are written out a second later.
    void armTimer() {
        QCoreApplication* app = QCoreApplication::instance();
        if (timerArmed_ || !app) return;
        timerArmed_ = true;
        QTimer::singleShot(kFlushAfterMs, app, [this] {
            timerArmed_ = false;
            try {
                flush();
            } catch (...) {
                // Lines that cannot be written are lost, as a write of their own would lose them.
            }
        });
    }

    int fd_ = -1;
    std::string path_;
    std::string buffer_;
    int64_t firstPendingMs_ = 0;
    bool timerArmed_ = false;
};

Stream& stream() {
    static Stream instance;
    return instance;
}

}  // namespace

void append(const std::string& path, std::string_view bytes) {
    stream().append(path, bytes);
}

void flush() {
    stream().flush();
}

void close() {
    stream().close();
}

}  // namespace vtl::logstream

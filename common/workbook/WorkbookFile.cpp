#include "workbook/WorkbookFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "core/Error.h"
#include "workbook/WorkbookReaders.h"

namespace vtl::workbook {

namespace detail {

void fail(const std::filesystem::path& file, const std::string& why) {
    throw Error(kWorkbookError, "", "'" + file.string() + "' " + why);
}

}  // namespace detail

namespace {

using detail::fail;

class ReadHandle {
public:
    explicit ReadHandle(const std::filesystem::path& file)
        : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0 && (errno == ENOENT || errno == ENOTDIR)) fail(file, "could not be found");
        if (fd_ < 0) fail(file, "cannot be opened for reading");
        struct stat s {};
        if (::fstat(fd_, &s) != 0 || !S_ISREG(s.st_mode)) fail(file, "is not a workbook file");
        size_ = static_cast<uint64_t>(s.st_size);
        // In use, as the file procedures decide it: another handle holds an exclusive lock.
        if (::flock(fd_, LOCK_SH | LOCK_NB) != 0)
            fail(file, "is locked for editing by another user");
    }
    ~ReadHandle() { ::close(fd_); }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;

    std::string readAll(const std::filesystem::path& file) const {
        if (size_ > detail::kMaxUnpackedBytes)
            fail(file, "is too large: it holds more than 256 MiB");
        std::string bytes(size_, '\0');
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n =
                ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) fail(file, "cannot be read");
            done += static_cast<size_t>(n);
        }
        return bytes;
    }

private:
    int fd_;
    uint64_t size_ = 0;
};

constexpr std::string_view kZipMagic("PK\3\4", 4);
constexpr std::string_view kCompoundMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// A password-protected .xlsx is a compound file with an "EncryptionInfo" stream; directory
// entries name their streams in UTF-16LE.
bool holdsEncryptionInfo(const std::string& bytes) {
    std::string name;
    for (char c : std::string_view("EncryptionInfo")) {
        name += c;
        name += '\0';
    }
    return bytes.find(name) != std::string::npos;
}

}  // namespace

WorkbookData readWorkbook(const std::filesystem::path& file) {
    ReadHandle handle(file);
    const std::string bytes = handle.readAll(file);
    if (bytes.starts_with(kZipMagic)) return detail::readXlsx(file, bytes);
    if (bytes.starts_with(kCompoundMagic)) {
        if (holdsEncryptionInfo(bytes)) fail(file, "is protected by a password and cannot be read");
        detail::checkXls(file, bytes);
        return detail::readXls(file);  // while the handle keeps the file from being locked
    }
    fail(file, "is not a workbook: it is neither an .xlsx nor an .xls file");
}

}  // namespace vtl::workbook

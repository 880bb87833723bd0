#include "core/Files.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include "core/Error.h"

namespace vtl::files {

namespace fs = std::filesystem;

std::string readFile(const fs::path& file) {
    std::error_code ec;
    if (fs::is_directory(file, ec)) throw errnoError(EISDIR, file.string());
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) throw errnoError(errno != 0 ? errno : ENOENT, file.string());
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) throw errnoError(errno != 0 ? errno : EIO, file.string());
    return std::move(content).str();
}

namespace {

void write(const fs::path& file, std::string_view content, std::ios::openmode mode) {
    errno = 0;
    std::ofstream out(file, std::ios::binary | mode);
    if (!out) throw errnoError(errno != 0 ? errno : EACCES, file.string());
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) throw errnoError(errno != 0 ? errno : EIO, file.string());
}

}  // namespace

void writeFile(const fs::path& file, std::string_view content) {
    write(file, content, std::ios::trunc);
}

void appendFile(const fs::path& file, std::string_view content) {
    write(file, content, std::ios::app);
}

}  // namespace vtl::files

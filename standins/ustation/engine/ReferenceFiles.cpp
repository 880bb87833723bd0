#include "ReferenceFiles.h"

namespace vtl::ustation {

namespace fs = std::filesystem;

const dgn::DesignFile& ReferenceFiles::open(const fs::path& path) {
    std::error_code ec;
    const fs::file_time_type time = fs::last_write_time(path, ec);
    const uintmax_t size = ec ? 0 : fs::file_size(path, ec);
    auto it = files_.find(path.string());
    if (it != files_.end() && !ec && it->second.time == time && it->second.size == size) {
        return *it->second.file;
    }
    auto file = std::make_unique<dgn::DesignFile>(dgn::DesignFile::open(path));
    Entry& entry = files_[path.string()];
    entry = Entry{time, size, std::move(file)};
    return *entry.file;
}

}  // namespace vtl::ustation

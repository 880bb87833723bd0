// The reference files the element walk reads through an attachment, each read once and read
// again only when it changed on disk.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "dgn/DesignFile.h"

namespace vtl::ustation {

class ReferenceFiles {
public:
    // The file as it is on disk now; raises the error of opening it (a missing file, a file
    // that is no design file).
    const dgn::DesignFile& open(const std::filesystem::path& path);

private:
    struct Entry {
        std::filesystem::file_time_type time;
        uintmax_t size = 0;
        std::unique_ptr<dgn::DesignFile> file;
    };
    std::map<std::string, Entry> files_;
};

}  // namespace vtl::ustation

// The support library's last-error record as one value, for tests of the procedures that fill it.
// Link vtl_files to use it.
#pragma once

#include <cstdint>
#include <string>

#include "common/FileOperationModule.h"

namespace vtl::test {

struct LastErrorRecord {
    int32_t number = 0;
    std::string source, description;
};

inline LastErrorRecord lastErrorRecord() {
    LastErrorRecord r;
    FileOperationModule::GetLastErrorInfo(r.number, r.source, r.description);
    return r;
}

}  // namespace vtl::test

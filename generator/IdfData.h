// The run state of the IDF step: the joined lines of the current header file's IDF file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtl {

// Joined lines an IDF file may have; one more is error 9.
inline constexpr int32_t kIdfLineLimit = 20000;

struct IdfData {
    // isopath & IsoName & ".idf".
    std::string IdfFile;
    // The joined lines of that file, from index 1 (index 0 stays empty). Only this file's lines
    // are kept, so a window near its ends sees no line of an earlier file.
    std::vector<std::string> IdfLines;
    int32_t IdfLineCount = 0;
    // The origin the IDF coordinates are relative to, in IDF units; 1 without an origin record.
    double IdfOriginX = 1;
    double IdfOriginY = 1;
    double IdfOriginZ = 1;
};

}  // namespace vtl

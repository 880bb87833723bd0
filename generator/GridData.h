// The run state of the grid step: the project's grid lines.
#pragma once

#include <cstdint>

#include "RunTables.h"

namespace vtl {

// Rows 1 to GridCount, one per grid line: kind ("3" constant X, "2" constant Y), name, then the
// X, Y, Z of both end points and three further values in drawing units.
using GridTableType = TextTable<9999, 10>;

struct GridData {
    GridTableType GridTable;
    int32_t GridCount = 0;
};

}  // namespace vtl

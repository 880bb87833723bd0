// One line of text per element, for dumps of design files and for test failure messages:
// position, type, level, symbology, points in master units and text.
#pragma once

#include <string>

#include "dgn/DesignFile.h"

namespace vtl::dgn {

// For example: 1536 type=4 level=5 color=3 weight=2 style=1 points=(1,2) (3,4)
std::string describe(const Record& record, const DesignHeader& header);

}  // namespace vtl::dgn

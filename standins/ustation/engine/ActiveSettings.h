// The active settings new elements take: level, symbology, text size, the next node number, and
// the cell placed by a data point with its library and scale.
#pragma once

#include <array>
#include <string>

namespace vtl::ustation {

struct ActiveSettings {
    int level = 1;
    int color = 0;
    int weight = 0;
    int style = 0;
    int nodeNumber = 1;
    // Text height and width in master units.
    double textHeight = 1;
    double textWidth = 1;
    // The attached cell library (a full path, "" when none), the active cell's name as keyed in
    // (the library may lack it) and the active scale in x, y and z.
    std::string cellLibrary;
    std::string cell;
    std::array<double, 3> scale{1, 1, 1};
};

}  // namespace vtl::ustation

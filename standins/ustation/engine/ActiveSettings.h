// The active settings new elements take: level, symbology, text size and the next node number.
#pragma once

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
};

}  // namespace vtl::ustation

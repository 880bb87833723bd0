#include "PlaceLine.h"

namespace vtl::ustation {

void PlaceLine::dataPoint(const dgn::Point& point) {
    if (last_) drawing_.add({dgn::makeLine(*last_, point)});
    last_ = point;
}

void PlaceLine::reset() {
    last_.reset();
}

}  // namespace vtl::ustation

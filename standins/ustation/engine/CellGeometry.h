// Moving and scaling the elements of a cell: from the design file into a cell library, and
// from the library to the data point where the cell is placed.
#pragma once

#include <array>

#include "ElementTransform.h"
#include "dgn/Element.h"

namespace vtl::ustation {

// Maps a point p to offset + scale * p, in UORs. 2-D files keep z at 0.
struct Placement {
    std::array<double, 3> offset{};
    std::array<double, 3> scale{1, 1, 1};
    bool flat = false;
};

dgn::Point placedPoint(const dgn::Point& point, const Placement& placement);

// The element with its points placed and its sizes (text sizes, line spacing, a nested cell's
// transformation) scaled; raises as transformed() does.
dgn::Element placed(dgn::Element element, const Placement& placement);

}  // namespace vtl::ustation

// Locating an element by a data point, as the commands that act on one element do: the element
// whose extent, widened by the locate tolerance, holds the point. Among several the newest (the
// last in the file) is taken, so the result never depends on more than the file.
#pragma once

#include <cstdint>
#include <optional>

#include "dgn/DesignFile.h"

namespace vtl::ustation {

// The stand-in's view in pixels: the drawing's graphic elements fitted into it, as its window
// and its pictures show them.
inline constexpr int kViewWidth = 1024;
inline constexpr int kViewHeight = 768;

// UORs per pixel of that view (1 for a file without graphic elements).
double uorsPerPixel(const dgn::DesignFile& design);

// The position of the live graphic element that is no component and whose extent (with its
// components) holds the point within the tolerance, the newest of them; nothing when none does.
// Only x and y count, as in a top view.
std::optional<uint64_t> locateElement(const dgn::DesignFile& design, const dgn::Point& point,
                                      double toleranceUors);

}  // namespace vtl::ustation

// The lines of a text node, stored as its text components: each hangs below the node's origin,
// one text height and half a height of spacing lower than the line before.
#pragma once

#include <string>
#include <vector>

#include "dgn/Element.h"

namespace vtl::ustation {

// The spacing between the lines of a node of that text height, in UORs.
int32_t nodeLineSpacing(double heightUors);

// The text elements of the lines, the first one highest; the caller checks that the lowest
// stays on the design plane.
std::vector<dgn::Element> nodeLines(const std::vector<std::string>& lines, const dgn::Point& origin,
                                    double widthUors, double heightUors);

// The length of the longest line, as the node's header keeps it.
int longestLine(const std::vector<dgn::Element>& lines);

}  // namespace vtl::ustation

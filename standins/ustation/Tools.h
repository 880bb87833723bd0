// The stand-in's tool modes for people and tests.
#pragma once

#include <ostream>
#include <string>

namespace vtl::ustation {

// Writes an empty design file, 2-D or 3-D. Raises vtl::Error on failure.
void newDesign(const std::string& file, bool threeD);
// One line per element: position, type, level, colour, weight, style, points in master units, text.
void dumpDesign(const std::string& file, std::ostream& out);

}  // namespace vtl::ustation

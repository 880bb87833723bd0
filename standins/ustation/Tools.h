// The stand-in's tool modes for people and tests.
#pragma once

#include <ostream>
#include <string>

namespace vtl::ustation {

// Writes an empty design file, 2-D or 3-D. Raises vtl::Error on failure.
void newDesign(const std::string& file, bool threeD);
// Adds the cell NAME, made of all graphic elements of the design file, to the cell library
// (created when missing), replacing a cell of that name. The design's global origin becomes the
// cell origin. Raises vtl::Error on failure, the library unchanged.
void makeCell(const std::string& library, const std::string& name, const std::string& design);
// One line per element: position, type, level, colour, weight, style, points in master units, text.
void dumpDesign(const std::string& file, std::ostream& out);

}  // namespace vtl::ustation

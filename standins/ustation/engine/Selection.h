// The graphic elements of a design file, as "choose all" selects them and a cell is made of,
// and moving a chosen element to another level.
#pragma once

#include <cstdint>
#include <vector>

#include "dgn/DesignFile.h"

namespace vtl::ustation {

// Elements one sees in a view: not the file's header, settings, colour table, shared cell
// definitions or application data.
bool isGraphic(const dgn::Element& element);

// The positions of the live graphic elements that are no component of another, in file order.
std::vector<uint64_t> graphicElements(const dgn::DesignFile& design);

// Puts the element at the position, with its components, on the level; written at once. Returns
// its position afterwards.
uint64_t moveToLevel(dgn::DesignFile& design, uint64_t position, int level);

}  // namespace vtl::ustation

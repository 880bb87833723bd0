// The layout of complex elements: a header whose total-length word counts the words of the
// components that follow it, components that may be complex themselves.
#pragma once

#include <cstdint>
#include <vector>

#include "dgn/Element.h"

namespace vtl::dgn {

// The bytes an element covers with its components, from its total-length word.
uint32_t extentOf(const Bytes& element);

// For the stored elements of one complex element (header first), the index one past the last
// component of each; the header covers them all.
std::vector<size_t> structureOf(const std::vector<Bytes>& parts);

// Brings the headers among the parts in line with their components: total length, range
// (the union of the components'), string count and longest string of text nodes, level mask
// and range block of cells. Components get their complex bit.
void linkParts(std::vector<Bytes>& parts, const std::vector<size_t>& ends, Dimension dimension);

}  // namespace vtl::dgn

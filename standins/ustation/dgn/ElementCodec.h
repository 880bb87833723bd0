// Decoding and encoding of single V7 elements.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dgn/Element.h"

namespace vtl::dgn {

struct EncodeOptions {
    Dimension dimension = Dimension::Two;
    // Pads the element with zero words, in front of its linkage, up to this many bytes, so a
    // rewritten element can keep the place of a longer one.
    size_t minimumSize = 0;
    // The stored form of the element: written back unchanged when it still decodes to the
    // element, so elements nobody changed keep every byte.
    const Bytes* original = nullptr;
};

// Decodes the bytes of one element (header word and words to follow included). Raises error
// 1 when the element's fields do not fit in its length.
Element decode(const uint8_t* data, size_t size, Dimension dimension);
inline Element decode(const Bytes& bytes, Dimension dimension) {
    return decode(bytes.data(), bytes.size(), dimension);
}

// Encodes an element with its words to follow, attribute linkage index and, for the types the
// model opens up, the range computed from its geometry. Raises error 5 for values V7 cannot
// store (a level above 63, a text longer than 255 bytes, too many vertices, ...).
Bytes encode(const Element& element, const EncodeOptions& options);

}  // namespace vtl::dgn

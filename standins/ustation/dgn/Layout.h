// Byte offsets of the fields of V7 elements, shared by the decoder and the encoder.
#pragma once

#include <cstddef>

#include "dgn/Element.h"
#include "dgn/Words.h"

namespace vtl::dgn::layout {

// Common element header.
inline constexpr size_t kRange = 4;  // six longs: low x, y, z, high x, y, z
inline constexpr size_t kRangeEnd = 28;
// Display header.
inline constexpr size_t kGraphicGroup = 28;
inline constexpr size_t kAttributeIndex = 30;  // words from the next word to the linkage
inline constexpr size_t kProperties = 32;
inline constexpr size_t kSymbology = 34;
inline constexpr size_t kBody = 36;
// The total-length word of complex headers.
inline constexpr size_t kTotalWords = 36;
// Complex headers: words up to and including the total-length word.
inline constexpr size_t kWordsBeforeComponents = 19;

// Cell library header (no display header).
inline constexpr size_t kLibCellType = 28;
inline constexpr size_t kLibName = 32;
inline constexpr size_t kLibProperties = 38;
inline constexpr size_t kLibSymbology = 40;
inline constexpr size_t kLibClass = 42;
inline constexpr size_t kLibLevels = 44;
inline constexpr size_t kLibDescription = 52;
inline constexpr size_t kLibEnd = 70;

inline size_t pointSize(Dimension d) {
    return d == Dimension::Three ? 12 : 8;
}
inline bool is3d(Dimension d) {
    return d == Dimension::Three;
}

// Text: font, justification, multipliers, then rotation (2-D) or quaternion (3-D), origin,
// character count, enter data field count and the characters.
inline constexpr size_t kTextFont = 36;
inline constexpr size_t kTextJustification = 37;
inline constexpr size_t kTextLengthMult = 38;
inline constexpr size_t kTextHeightMult = 42;
inline constexpr size_t kTextRotation = 46;
inline size_t textOrigin(Dimension d) {
    return is3d(d) ? 62 : 50;
}
inline size_t textCount(Dimension d) {
    return is3d(d) ? 74 : 58;
}
inline size_t textChars(Dimension d) {
    return is3d(d) ? 76 : 60;
}

// Text node.
inline constexpr size_t kNodeStrings = 38;
inline constexpr size_t kNodeNumber = 40;
inline constexpr size_t kNodeMaxLength = 42;
inline constexpr size_t kNodeMaxUsed = 43;
inline constexpr size_t kNodeFont = 44;
inline constexpr size_t kNodeJustification = 45;
inline constexpr size_t kNodeLineSpacing = 46;
inline constexpr size_t kNodeLengthMult = 50;
inline constexpr size_t kNodeHeightMult = 54;
inline constexpr size_t kNodeRotation = 58;
inline size_t nodeOrigin(Dimension d) {
    return is3d(d) ? 74 : 62;
}
inline size_t nodeEnd(Dimension d) {
    return is3d(d) ? 86 : 70;
}

// Cell header.
inline constexpr size_t kCellName = 38;
inline constexpr size_t kCellClass = 42;
inline constexpr size_t kCellLevels = 44;
inline constexpr size_t kCellRangeLow = 52;
inline size_t cellRangeHigh(Dimension d) {
    return is3d(d) ? 64 : 60;
}
inline size_t cellTransform(Dimension d) {
    return is3d(d) ? 76 : 68;
}
inline size_t cellOrigin(Dimension d) {
    return is3d(d) ? 112 : 84;
}
inline size_t cellEnd(Dimension d) {
    return is3d(d) ? 124 : 92;
}
// The matrix entries 2-D cells store, in stored order.
inline constexpr size_t kCellTransform2d[4] = {0, 1, 3, 4};

// Line strings and shapes.
inline constexpr size_t kVertexCount = 36;
inline constexpr size_t kVertices = 38;
inline constexpr size_t kMaxVertices = 101;

// Colour table: screen flag and 256 RGB triples.
inline constexpr size_t kColorScreen = 36;
inline constexpr size_t kColorEntries = 38;
inline constexpr size_t kColorEnd = kColorEntries + 256 * 3;

// The stand-in's application element: signature, payload length in bytes, payload.
inline constexpr size_t kAppSignatureAt = 36;
inline constexpr size_t kAppLength = 38;
inline constexpr size_t kAppPayload = 40;

inline Point readPoint(const uint8_t* p, Dimension d) {
    Point point{getLong(p), getLong(p + 4), 0};
    if (is3d(d)) point.z = getLong(p + 8);
    return point;
}

inline void writePoint(uint8_t* p, const Point& point, Dimension d) {
    putLong(p, point.x);
    putLong(p + 4, point.y);
    if (is3d(d)) putLong(p + 8, point.z);
}

// The range of an element, from the start of its bytes.
inline Range readRange(const uint8_t* element) {
    auto at = [element](size_t i) { return getRangeLong(element + kRange + 4 * i); };
    return Range{{at(0), at(1), at(2)}, {at(3), at(4), at(5)}};
}

inline void writeRange(uint8_t* element, const Range& r) {
    const int32_t values[6] = {r.low.x, r.low.y, r.low.z, r.high.x, r.high.y, r.high.z};
    for (size_t i = 0; i < 6; ++i) putRangeLong(element + kRange + 4 * i, values[i]);
}

}  // namespace vtl::dgn::layout

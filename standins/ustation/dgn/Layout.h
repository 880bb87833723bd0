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

// View definitions, as the design header and saved views hold them: flags, levels, origin,
// delta, rotation (9 D-floats), conversion (D-float), active z.
inline constexpr size_t kViewInfoSize = 118;
inline constexpr size_t kViewFlags = 0;
inline constexpr size_t kViewLevels = 2;
inline constexpr size_t kViewOrigin = 10;
inline constexpr size_t kViewDelta = 22;
inline constexpr size_t kViewRotation = 34;
inline constexpr size_t kViewConversion = 106;
inline constexpr size_t kViewActiveZ = 114;

// Saved view: the view count in the word where others keep their symbology, name and
// description in Radix-50, two full-screen bytes, then the views.
inline constexpr size_t kSavedViewCount = 34;
inline constexpr size_t kSavedViewName = 36;         // 2 words, 6 characters
inline constexpr size_t kSavedViewDescription = 40;  // 7 words, 21 characters
inline constexpr size_t kSavedViewFullScreen1 = 54;
inline constexpr size_t kSavedViewFullScreen2 = 55;
inline constexpr size_t kSavedViews = 56;
inline constexpr size_t kMaxSavedViews = 7;

// Reference attachment.
inline constexpr size_t kRefFileChars = 36;
inline constexpr size_t kRefFile = 38;
inline constexpr size_t kRefFileSize = 65;
inline constexpr size_t kRefFileNumber = 103;
inline constexpr size_t kRefBuilderOptions = 104;
inline constexpr size_t kRefDisplayOptions = 106;
inline constexpr size_t kRefDisplayFlags = 108;
inline constexpr size_t kRefViewLevels = 124;  // 8 views of 4 words
inline constexpr size_t kRefReferenceOrigin = 188;
inline constexpr size_t kRefTransform = 200;
inline constexpr size_t kRefConversion = 272;
inline constexpr size_t kRefMasterOrigin = 280;
inline constexpr size_t kRefLogicalChars = 292;
inline constexpr size_t kRefLogicalName = 294;
inline constexpr size_t kRefLogicalNameSize = 22;
inline constexpr size_t kRefDescriptionChars = 316;
inline constexpr size_t kRefDescription = 318;
inline constexpr size_t kRefDescriptionSize = 42;
inline constexpr size_t kRefLevelSymbologyMask = 360;
inline constexpr size_t kRefLevelSymbology = 362;  // 63 words
inline constexpr size_t kRefZDelta = 488;
inline constexpr size_t kRefClipCount = 492;
inline constexpr size_t kRefClip = 494;  // x, y longs per vertex

// A user linkage: header word with the U bit and the words after the first, then its owner.
inline constexpr uint16_t kUserLinkageBit = 0x1000;
inline constexpr size_t kMaxLinkageWords = 256;

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

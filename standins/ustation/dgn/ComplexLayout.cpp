#include "dgn/ComplexLayout.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "dgn/Layout.h"

namespace vtl::dgn {

namespace L = layout;

namespace {

int typeOf(const Bytes& element) {
    return element[1] & 0x7F;
}

bool isHeader(const Bytes& element) {
    return isComplexHeader(typeOf(element)) && element.size() >= L::kTotalWords + 2;
}

Range unite(const Range& a, const Range& b) {
    return Range{
        {std::min(a.low.x, b.low.x), std::min(a.low.y, b.low.y), std::min(a.low.z, b.low.z)},
        {std::max(a.high.x, b.high.x), std::max(a.high.y, b.high.y), std::max(a.high.z, b.high.z)}};
}

// a - b on the design plane: a difference beyond what a long holds stops at the plane's edge.
Point minus(const Point& a, const Point& b) {
    auto difference = [](int32_t p, int32_t q) {
        const int64_t d = int64_t{p} - int64_t{q};
        return static_cast<int32_t>(std::clamp<int64_t>(d, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    return Point{difference(a.x, b.x), difference(a.y, b.y), difference(a.z, b.z)};
}

// Cells keep the range of their components relative to their origin.
void putCellRangeBlock(Bytes& cell, const Range& range, Dimension d) {
    const Point origin = L::readPoint(cell.data() + L::cellOrigin(d), d);
    L::writePoint(cell.data() + L::kCellRangeLow, minus(range.low, origin), d);
    L::writePoint(cell.data() + L::cellRangeHigh(d), minus(range.high, origin), d);
}

// Text nodes count their lines and know the longest.
void putNodeStrings(Bytes& node, const std::vector<Bytes>& parts, const std::vector<size_t>& ends,
                    size_t k, Dimension d) {
    if (node.size() < L::nodeEnd(d)) return;
    uint16_t strings = 0;
    uint8_t longest = 0;
    for (size_t j = k + 1; j < ends[k]; j = ends[j]) {
        ++strings;
        if (typeOf(parts[j]) == type::Text && parts[j].size() > L::textCount(d)) {
            longest = std::max(longest, parts[j][L::textCount(d)]);
        }
    }
    putWord(node.data() + L::kNodeStrings, strings);
    node[L::kNodeMaxUsed] = longest;
}

// Cells mark the levels of their components: bit 0 of the mask is level 1. Library cells keep
// the mask at the same place.
void putCellLevels(Bytes& cell, const std::vector<Bytes>& parts, size_t from, size_t to) {
    std::array<uint16_t, 4> mask{};
    for (size_t j = from; j < to; ++j) {
        const int level = std::max(1, parts[j][0] & 0x3F) - 1;
        mask[static_cast<size_t>(level / 16)] |= static_cast<uint16_t>(1u << (level % 16));
    }
    for (size_t i = 0; i < 4; ++i) putWord(cell.data() + L::kCellLevels + 2 * i, mask[i]);
}

void linkHeader(std::vector<Bytes>& parts, const std::vector<size_t>& ends, size_t k, Dimension d) {
    Bytes& head = parts[k];
    size_t words = head.size() / 2 - L::kWordsBeforeComponents;
    std::optional<Range> range;
    for (size_t j = k + 1; j < ends[k]; ++j) {
        words += parts[j].size() / 2;
        if (hasRange(typeOf(parts[j]))) {
            const Range part = L::readRange(parts[j].data());
            range = range ? unite(*range, part) : part;
        }
    }
    putWord(head.data() + L::kTotalWords, static_cast<uint16_t>(std::min<size_t>(words, 0xFFFF)));
    if (!range) return;
    L::writeRange(head.data(), *range);
    if (typeOf(head) == type::TextNode) putNodeStrings(head, parts, ends, k, d);
    if (typeOf(head) == type::CellHeader && head.size() >= L::cellEnd(d)) {
        putCellLevels(head, parts, k + 1, ends[k]);
        putCellRangeBlock(head, *range, d);
    }
    if (typeOf(head) == type::CellLibraryHeader && head.size() >= L::kLibEnd) {
        putCellLevels(head, parts, k + 1, ends[k]);
    }
}

}  // namespace

uint32_t extentOf(const Bytes& element) {
    if (element.size() < 4 || !isHeader(element)) return static_cast<uint32_t>(element.size());
    const uint32_t words = L::kWordsBeforeComponents + getWord(element.data() + L::kTotalWords);
    return std::max(static_cast<uint32_t>(element.size()), 2 * words);
}

std::vector<size_t> structureOf(const std::vector<Bytes>& parts) {
    std::vector<uint64_t> offsets(parts.size() + 1, 0);
    for (size_t k = 0; k < parts.size(); ++k) offsets[k + 1] = offsets[k] + parts[k].size();
    std::vector<size_t> ends(parts.size());
    for (size_t k = 0; k < parts.size(); ++k) {
        const uint64_t end = offsets[k] + extentOf(parts[k]);
        size_t j = k + 1;
        while (j < parts.size() && offsets[j] < end) ++j;
        ends[k] = k == 0 ? parts.size() : j;
    }
    return ends;
}

void linkParts(std::vector<Bytes>& parts, const std::vector<size_t>& ends, Dimension d) {
    for (size_t j = 1; j < parts.size(); ++j) parts[j][0] |= 0x80;
    for (size_t k = parts.size(); k-- > 0;) {
        if (isHeader(parts[k])) linkHeader(parts, ends, k, d);
    }
}

}  // namespace vtl::dgn

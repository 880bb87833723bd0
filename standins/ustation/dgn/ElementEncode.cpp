// Encoding of single elements.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "core/Error.h"
#include "dgn/ElementCodec.h"
#include "dgn/GroupDataCodec.h"
#include "dgn/Layout.h"
#include "dgn/Radix50.h"

namespace vtl::dgn {

namespace L = layout;

namespace {

[[noreturn]] void invalid(const std::string& what) {
    raise(err::InvalidCall, what);
}

void checkRange(long long value, long long max, const std::string& what) {
    if (value < 0 || value > max) {
        invalid(what + " " + std::to_string(value) + " is outside 0 to " + std::to_string(max));
    }
}

// The fields of an element body, written from byte 36 on, and the range of its geometry.
struct Output {
    Bytes bytes;
    Range range;
    Dimension dim;

    Output(size_t size, Dimension d) : bytes(size, 0), dim(d) {}
    void word(size_t at, uint16_t value) { putWord(bytes.data() + at, value); }
    void longAt(size_t at, int32_t value) { putLong(bytes.data() + at, value); }
    void point(size_t at, const Point& p) { L::writePoint(bytes.data() + at, p, dim); }
    void byte(size_t at, int value, const std::string& what) {
        checkRange(value, 255, what);
        bytes[at] = static_cast<uint8_t>(value);
    }
};

Point flat(Point p, Dimension d) {
    if (!L::is3d(d)) p.z = 0;
    return p;
}

Range pointsRange(const std::vector<Point>& points, Dimension d) {
    Range range{flat(points.front(), d), flat(points.front(), d)};
    for (const Point& raw : points) {
        const Point p = flat(raw, d);
        range.low = {std::min(range.low.x, p.x), std::min(range.low.y, p.y),
                     std::min(range.low.z, p.z)};
        range.high = {std::max(range.high.x, p.x), std::max(range.high.y, p.y),
                      std::max(range.high.z, p.z)};
    }
    return range;
}

Range wholePlane() {
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    return Range{{lo, lo, lo}, {hi, hi, hi}};
}

int32_t clampToLong(double value) {
    return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

// The box of the characters from the lower left origin, turned by the rotation in 2-D; in 3-D
// a cube around the origin that holds the text whatever its orientation.
Range textRange(const TextBody& t, Dimension d) {
    const double length = textSize(t.lengthMult) * static_cast<double>(t.text.size());
    const double height = textSize(t.heightMult);
    const Point o = flat(t.origin, d);
    double lowX = 0, lowY = 0, highX = 0, highY = 0, reach = 0;
    if (L::is3d(d)) {
        reach = std::hypot(length, height);
        lowX = lowY = -reach;
        highX = highY = reach;
    } else {
        const double angle = t.rotation / 360000.0 * std::numbers::pi / 180.0;
        const double c = std::cos(angle), s = std::sin(angle);
        const double xs[4] = {0, length * c, length * c - height * s, -height * s};
        const double ys[4] = {0, length * s, length * s + height * c, height * c};
        lowX = *std::min_element(xs, xs + 4), highX = *std::max_element(xs, xs + 4);
        lowY = *std::min_element(ys, ys + 4), highY = *std::max_element(ys, ys + 4);
    }
    return Range{{clampToLong(std::floor(o.x + lowX)), clampToLong(std::floor(o.y + lowY)),
                  clampToLong(std::floor(o.z - reach))},
                 {clampToLong(std::ceil(o.x + highX)), clampToLong(std::ceil(o.y + highY)),
                  clampToLong(std::ceil(o.z + reach))}};
}

Output encodeLine(const LineBody& line, Dimension d) {
    const size_t size = L::pointSize(d);
    Output out(L::kBody + 2 * size, d);
    out.point(L::kBody, line.start);
    out.point(L::kBody + size, line.end);
    out.range = pointsRange({line.start, line.end}, d);
    return out;
}

Output encodeLineString(const LineStringBody& body, Dimension d) {
    const size_t count = body.vertices.size();
    if (count < 2 || count > L::kMaxVertices) {
        invalid("A line string needs 2 to 101 vertices, not " + std::to_string(count));
    }
    Output out(L::kVertices + count * L::pointSize(d), d);
    out.word(L::kVertexCount, static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        out.point(L::kVertices + i * L::pointSize(d), body.vertices[i]);
    }
    out.range = pointsRange(body.vertices, d);
    return out;
}

void writeOrientation(Output& out, size_t at, int32_t rotation,
                      const std::array<int32_t, 4>& quaternion) {
    if (!L::is3d(out.dim)) {
        out.longAt(at, rotation);
        return;
    }
    for (size_t i = 0; i < 4; ++i) out.longAt(at + 4 * i, quaternion[i]);
}

Output encodeText(const TextBody& t, Dimension d) {
    checkRange(static_cast<long long>(t.text.size()), 255, "The text length");
    if (t.enterDataFields.size() % 3 != 0 || t.enterDataFields.size() > 255 * 3) {
        invalid("Enter data fields take 3 bytes each, at most 255 of them");
    }
    const size_t chars = L::textChars(d);
    Output out(chars + t.text.size() + t.enterDataFields.size(), d);
    out.byte(L::kTextFont, t.font, "The font");
    out.byte(L::kTextJustification, t.justification, "The justification");
    out.longAt(L::kTextLengthMult, t.lengthMult);
    out.longAt(L::kTextHeightMult, t.heightMult);
    writeOrientation(out, L::kTextRotation, t.rotation, t.quaternion);
    out.point(L::textOrigin(d), t.origin);
    out.bytes[L::textCount(d)] = static_cast<uint8_t>(t.text.size());
    out.bytes[L::textCount(d) + 1] = static_cast<uint8_t>(t.enterDataFields.size() / 3);
    std::copy(t.text.begin(), t.text.end(), out.bytes.begin() + static_cast<long>(chars));
    std::copy(t.enterDataFields.begin(), t.enterDataFields.end(),
              out.bytes.begin() + static_cast<long>(chars + t.text.size()));
    out.range = textRange(t, d);
    return out;
}

Output encodeTextNode(const TextNodeBody& n, Dimension d) {
    Output out(L::nodeEnd(d), d);
    out.word(L::kTotalWords, n.totalWords);
    out.word(L::kNodeStrings, n.numStrings);
    out.word(L::kNodeNumber, n.nodeNumber);
    out.byte(L::kNodeMaxLength, n.maxLength, "The maximum line length");
    out.byte(L::kNodeMaxUsed, n.maxUsed, "The longest line length");
    out.byte(L::kNodeFont, n.font, "The font");
    out.byte(L::kNodeJustification, n.justification, "The justification");
    out.longAt(L::kNodeLineSpacing, n.lineSpacing);
    out.longAt(L::kNodeLengthMult, n.lengthMult);
    out.longAt(L::kNodeHeightMult, n.heightMult);
    writeOrientation(out, L::kNodeRotation, n.rotation, n.quaternion);
    out.point(L::nodeOrigin(d), n.origin);
    out.range = pointsRange({n.origin}, d);
    return out;
}

void writeWords(Output& out, size_t at, const std::vector<uint16_t>& words) {
    for (size_t i = 0; i < words.size(); ++i) out.word(at + 2 * i, words[i]);
}

void writeLevels(Output& out, size_t at, const std::array<uint16_t, 4>& levels) {
    writeWords(out, at, {levels.begin(), levels.end()});
}

Output encodeCell(const CellBody& c, Dimension d) {
    Output out(L::cellEnd(d), d);
    out.word(L::kTotalWords, c.totalWords);
    writeWords(out, L::kCellName, toRadix50(c.name, 2));
    out.word(L::kCellClass, c.cellClass);
    writeLevels(out, L::kCellLevels, c.levels);
    out.point(L::kCellRangeLow, c.rangeLow);
    out.point(L::cellRangeHigh(d), c.rangeHigh);
    const size_t at = L::cellTransform(d);
    if (L::is3d(d)) {
        for (size_t i = 0; i < 9; ++i) out.longAt(at + 4 * i, c.transform[i]);
    } else {
        for (size_t i = 0; i < 4; ++i) out.longAt(at + 4 * i, c.transform[L::kCellTransform2d[i]]);
    }
    out.point(L::cellOrigin(d), c.origin);
    out.range = pointsRange({c.origin}, d);
    return out;
}

Output encodeCellLibrary(const CellLibraryBody& c, Dimension d) {
    Output out(L::kLibEnd, d);
    out.word(L::kLibCellType, c.cellType);
    writeWords(out, L::kLibName, toRadix50(c.name, 2));
    out.word(L::kTotalWords, c.totalWords);
    out.word(L::kLibClass, c.cellClass);
    writeLevels(out, L::kLibLevels, c.levels);
    writeWords(out, L::kLibDescription, toRadix50(c.description, 9));
    return out;
}

Output encodeColorTable(const ColorTableBody& c, Dimension d) {
    Output out(L::kColorEnd, d);
    out.word(L::kColorScreen, c.screen);
    for (size_t i = 0; i < c.entries.size(); ++i) {
        uint8_t* rgb = out.bytes.data() + L::kColorEntries + 3 * i;
        rgb[0] = c.entries[i].red;
        rgb[1] = c.entries[i].green;
        rgb[2] = c.entries[i].blue;
    }
    out.range = wholePlane();
    return out;
}

Output encodeAppData(const AppDataBody& a, Dimension d) {
    if (a.payload.size() > kMaxAppPayload) {
        invalid("Application data of " + std::to_string(a.payload.size()) +
                " bytes is more than one element holds (" + std::to_string(kMaxAppPayload) + ")");
    }
    Output out(L::kAppPayload + a.payload.size(), d);
    out.word(L::kAppSignatureAt, kAppSignature);
    out.word(L::kAppLength, static_cast<uint16_t>(a.payload.size()));
    std::copy(a.payload.begin(), a.payload.end(), out.bytes.begin() + L::kAppPayload);
    out.range = wholePlane();
    return out;
}

// Saved views and reference attachments: fields written by the group data codec, no geometry.
Output groupData(Bytes bytes, Dimension d) {
    Output out(0, d);
    out.bytes = std::move(bytes);
    out.range = wholePlane();
    return out;
}

// The type and level a body needs to be read back as the same body.
bool typeFits(const Element& e) {
    return std::visit(
        [&](const auto& body) {
            using T = std::decay_t<decltype(body)>;
            if constexpr (std::is_same_v<T, LineBody>) return e.type == type::Line;
            if constexpr (std::is_same_v<T, LineStringBody>) {
                return e.type == type::LineString || e.type == type::Shape;
            }
            if constexpr (std::is_same_v<T, TextBody>) return e.type == type::Text;
            if constexpr (std::is_same_v<T, TextNodeBody>) return e.type == type::TextNode;
            if constexpr (std::is_same_v<T, CellBody>) return e.type == type::CellHeader;
            if constexpr (std::is_same_v<T, CellLibraryBody>) {
                return e.type == type::CellLibraryHeader;
            }
            if constexpr (std::is_same_v<T, ColorTableBody>) {
                return e.type == type::GroupData && e.level == kColorTableLevel;
            }
            if constexpr (std::is_same_v<T, AppDataBody>) {
                return e.type == type::Application && e.level == kAppDataLevel;
            }
            if constexpr (std::is_same_v<T, SavedViewBody>) {
                return e.type == type::GroupData && e.level == kSavedViewLevel;
            }
            if constexpr (std::is_same_v<T, ReferenceBody>) {
                return (e.type == type::GroupData && e.level == kReferenceLevel) ||
                       (e.type == type::Application && e.level == kAppReferenceLevel);
            }
            return true;
        },
        e.body);
}

Output encodeBody(const Element& e, Dimension d) {
    if (!typeFits(e)) {
        invalid("The body of the element does not fit its type " + std::to_string(e.type) +
                " on level " + std::to_string(e.level));
    }
    return std::visit(
        [&](const auto& body) -> Output {
            using T = std::decay_t<decltype(body)>;
            if constexpr (std::is_same_v<T, LineBody>) return encodeLine(body, d);
            if constexpr (std::is_same_v<T, LineStringBody>) return encodeLineString(body, d);
            if constexpr (std::is_same_v<T, TextBody>) return encodeText(body, d);
            if constexpr (std::is_same_v<T, TextNodeBody>) return encodeTextNode(body, d);
            if constexpr (std::is_same_v<T, CellBody>) return encodeCell(body, d);
            if constexpr (std::is_same_v<T, CellLibraryBody>) return encodeCellLibrary(body, d);
            if constexpr (std::is_same_v<T, ColorTableBody>) return encodeColorTable(body, d);
            if constexpr (std::is_same_v<T, AppDataBody>) return encodeAppData(body, d);
            if constexpr (std::is_same_v<T, SavedViewBody>) {
                return groupData(encodeSavedView(body), d);
            }
            if constexpr (std::is_same_v<T, ReferenceBody>) {
                return groupData(encodeReference(body), d);
            }
            return Output(0, d);  // raw bodies are written by encodeRaw
        },
        e.body);
}

uint16_t symbologyWord(const Symbology& s) {
    checkRange(s.color, 255, "The colour");
    checkRange(s.weight, 31, "The weight");
    checkRange(s.style, 7, "The line style");
    return static_cast<uint16_t>(s.style | (s.weight << 3) | (s.color << 8));
}

// The first word: level, complex bit, type and deleted bit.
void writeLeader(uint8_t* p, const Element& e) {
    checkRange(e.level, 63, "The level");
    checkRange(e.type, 127, "The element type");
    p[0] = static_cast<uint8_t>((p[0] & 0x40) | e.level | (e.complex ? 0x80 : 0));
    p[1] = static_cast<uint8_t>(e.type | (e.deleted ? 0x80 : 0));
}

void writeDisplayHeader(Bytes& b, const Element& e, uint16_t properties) {
    if (e.type == type::CellLibraryHeader) {
        putWord(b.data() + L::kLibProperties, properties);
        putWord(b.data() + L::kLibSymbology, symbologyWord(e.symbology));
        return;
    }
    putWord(b.data() + L::kGraphicGroup, e.graphicGroup);
    putWord(b.data() + L::kProperties, properties);
    // A saved view's count word, written with its fields, stands where the symbology would.
    if (std::holds_alternative<SavedViewBody>(e.body)) return;
    putWord(b.data() + L::kSymbology, symbologyWord(e.symbology));
}

void checkSize(size_t bytes) {
    if (bytes / 2 > kMaxElementWords) {
        invalid("An element of " + std::to_string(bytes / 2) + " words is larger than the " +
                std::to_string(kMaxElementWords) + " words an element may have");
    }
}

// Body fields, padding up to the minimum size, linkage; then the header words.
Bytes finish(const Element& e, Output out, const EncodeOptions& options) {
    Bytes& b = out.bytes;
    if (b.size() % 2) b.push_back(0);
    Bytes linkage = e.linkage;
    if (linkage.size() % 2) linkage.push_back(0);
    checkSize(b.size() + linkage.size());
    if (options.minimumSize > b.size() + linkage.size()) {
        b.resize(options.minimumSize - linkage.size(), 0);
    }
    const size_t linkageStart = b.size();
    b.insert(b.end(), linkage.begin(), linkage.end());
    writeLeader(b.data(), e);
    putWord(b.data() + 2, static_cast<uint16_t>(b.size() / 2 - 2));
    L::writeRange(b.data(), out.range);
    putWord(b.data() + L::kAttributeIndex, static_cast<uint16_t>((linkageStart - 32) / 2));
    const uint16_t properties = static_cast<uint16_t>((e.properties & ~prop::Attributes) |
                                                      (linkage.empty() ? 0 : prop::Attributes));
    writeDisplayHeader(b, e, properties);
    return b;
}

// A raw element keeps its bytes; only the common header fields are written over them.
Bytes encodeRaw(const Element& e, const RawBody& raw, const EncodeOptions& options) {
    Bytes b = raw.bytes;
    if (b.size() < 4 || b.size() % 2) {
        invalid("A stored element needs an even length of 4 bytes or more");
    }
    if (options.minimumSize > b.size()) b.resize(options.minimumSize, 0);
    writeLeader(b.data(), e);
    putWord(b.data() + 2, static_cast<uint16_t>(b.size() / 2 - 2));
    if (hasRange(e.type) && b.size() >= L::kRangeEnd) L::writeRange(b.data(), e.range);
    if (hasDisplayHeader(e.type) && b.size() >= L::kBody) writeDisplayHeader(b, e, e.properties);
    return b;
}

bool decodesTo(const Bytes& stored, const Element& element, Dimension d) {
    try {
        return decode(stored, d) == element;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace

Bytes encode(const Element& element, const EncodeOptions& options) {
    if (options.original && decodesTo(*options.original, element, options.dimension)) {
        return *options.original;
    }
    if (const auto* raw = std::get_if<RawBody>(&element.body)) {
        return encodeRaw(element, *raw, options);
    }
    if (const auto* reference = std::get_if<ReferenceBody>(&element.body)) {
        const Bytes longName = longFileLinkage(*reference);
        if (!longName.empty()) {
            Element withName = element;
            withName.linkage.insert(withName.linkage.begin(), longName.begin(), longName.end());
            return finish(withName, encodeBody(withName, options.dimension), options);
        }
    }
    return finish(element, encodeBody(element, options.dimension), options);
}

}  // namespace vtl::dgn

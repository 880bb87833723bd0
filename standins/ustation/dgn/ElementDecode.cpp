// Decoding of single elements.
#include <string>

#include "core/Error.h"
#include "dgn/ElementCodec.h"
#include "dgn/GroupDataCodec.h"
#include "dgn/Layout.h"
#include "dgn/Radix50.h"

namespace vtl::dgn {

namespace L = layout;

namespace {

// The bytes of one element with the end of its fixed and variable fields, which is where the
// attribute linkage starts, or the end of the element without one.
struct Input {
    const uint8_t* p;
    size_t size;
    size_t fieldsEnd;
    Dimension dim;

    void need(size_t end, const std::string& what) const {
        if (end <= fieldsEnd) return;
        raise(kOwnError, "the " + what + " needs " + std::to_string(end) +
                             " bytes, the element holds " + std::to_string(fieldsEnd));
    }
    uint16_t word(size_t at) const { return getWord(p + at); }
    int32_t longAt(size_t at) const { return getLong(p + at); }
    Point point(size_t at) const { return L::readPoint(p + at, dim); }
};

Symbology readSymbology(uint16_t word) {
    return Symbology{word >> 8, (word >> 3) & 0x1F, word & 0x7};
}

void decodeCommon(const uint8_t* p, size_t size, Element& e) {
    e.level = p[0] & 0x3F;
    e.complex = (p[0] & 0x80) != 0;
    e.type = p[1] & 0x7F;
    e.deleted = (p[1] & 0x80) != 0;
    if (hasRange(e.type) && size >= L::kRangeEnd) e.range = L::readRange(p);
    if (hasDisplayHeader(e.type) && size >= L::kBody) {
        e.graphicGroup = getWord(p + L::kGraphicGroup);
        e.properties = getWord(p + L::kProperties);
        e.symbology = readSymbology(getWord(p + L::kSymbology));
    } else if (e.type == type::CellLibraryHeader && size >= L::kLibEnd) {
        e.properties = getWord(p + L::kLibProperties);
        e.symbology = readSymbology(getWord(p + L::kLibSymbology));
    }
}

// Where the fields end: at the linkage when the element says it has one.
size_t fieldsEnd(const uint8_t* p, size_t size, const Element& e) {
    if (!(e.properties & prop::Attributes)) return size;
    const size_t start = L::kProperties + 2 * size_t{getWord(p + L::kAttributeIndex)};
    if (start > size) {
        raise(kOwnError, "its attribute linkage index points past its end");
    }
    return start;
}

// The types the model opens up; all others stay raw.
bool opensUp(const uint8_t* p, size_t size, const Element& e) {
    switch (e.type) {
        case type::Line:
        case type::LineString:
        case type::Shape:
        case type::Text:
        case type::TextNode:
        case type::CellHeader:
        case type::CellLibraryHeader:
            return true;
        case type::GroupData:  // other group data stays as it is
            return (e.level == kColorTableLevel && size >= L::kColorEnd) ||
                   (e.level == kSavedViewLevel && size >= L::kSavedViews) ||
                   (e.level == kReferenceLevel && size >= L::kRefClip);
        case type::Application:
            return (e.level == kAppDataLevel && size >= L::kAppPayload &&
                    getWord(p + L::kAppSignatureAt) == kAppSignature) ||
                   (e.level == kAppReferenceLevel && size >= L::kRefClip);
        default:
            return false;
    }
}

// The rotation of 2-D texts and text nodes, or the quaternion of 3-D ones.
void readOrientation(const Input& in, size_t at, int32_t& rotation,
                     std::array<int32_t, 4>& quaternion) {
    if (!L::is3d(in.dim)) {
        rotation = in.longAt(at);
        return;
    }
    for (size_t i = 0; i < 4; ++i) quaternion[i] = in.longAt(at + 4 * i);
}

Body decodeLineString(const Input& in) {
    in.need(L::kVertices, "vertex count");
    const size_t count = in.word(L::kVertexCount);
    in.need(L::kVertices + count * L::pointSize(in.dim),
            "line string of " + std::to_string(count) + " vertices");
    LineStringBody body;
    for (size_t i = 0; i < count; ++i) {
        body.vertices.push_back(in.point(L::kVertices + i * L::pointSize(in.dim)));
    }
    return body;
}

Body decodeText(const Input& in) {
    const size_t chars = L::textChars(in.dim);
    in.need(chars, "text header");
    const size_t count = in.p[L::textCount(in.dim)];
    const size_t fields = in.p[L::textCount(in.dim) + 1];
    in.need(chars + count + 3 * fields, "text of " + std::to_string(count) + " characters");
    TextBody body;
    body.font = in.p[L::kTextFont];
    body.justification = in.p[L::kTextJustification];
    body.lengthMult = in.longAt(L::kTextLengthMult);
    body.heightMult = in.longAt(L::kTextHeightMult);
    readOrientation(in, L::kTextRotation, body.rotation, body.quaternion);
    body.origin = in.point(L::textOrigin(in.dim));
    body.text.assign(reinterpret_cast<const char*>(in.p + chars), count);
    body.enterDataFields.assign(in.p + chars + count, in.p + chars + count + 3 * fields);
    return body;
}

Body decodeTextNode(const Input& in) {
    in.need(L::nodeEnd(in.dim), "text node header");
    TextNodeBody body;
    body.totalWords = in.word(L::kTotalWords);
    body.numStrings = in.word(L::kNodeStrings);
    body.nodeNumber = in.word(L::kNodeNumber);
    body.maxLength = in.p[L::kNodeMaxLength];
    body.maxUsed = in.p[L::kNodeMaxUsed];
    body.font = in.p[L::kNodeFont];
    body.justification = in.p[L::kNodeJustification];
    body.lineSpacing = in.longAt(L::kNodeLineSpacing);
    body.lengthMult = in.longAt(L::kNodeLengthMult);
    body.heightMult = in.longAt(L::kNodeHeightMult);
    readOrientation(in, L::kNodeRotation, body.rotation, body.quaternion);
    body.origin = in.point(L::nodeOrigin(in.dim));
    return body;
}

std::array<uint16_t, 4> levelMask(const Input& in, size_t at) {
    return {in.word(at), in.word(at + 2), in.word(at + 4), in.word(at + 6)};
}

Body decodeCell(const Input& in) {
    in.need(L::cellEnd(in.dim), "cell header");
    CellBody body;
    body.totalWords = in.word(L::kTotalWords);
    body.name = fromRadix50({in.word(L::kCellName), in.word(L::kCellName + 2)});
    body.cellClass = in.word(L::kCellClass);
    body.levels = levelMask(in, L::kCellLevels);
    body.rangeLow = in.point(L::kCellRangeLow);
    body.rangeHigh = in.point(L::cellRangeHigh(in.dim));
    const size_t at = L::cellTransform(in.dim);
    if (L::is3d(in.dim)) {
        for (size_t i = 0; i < 9; ++i) body.transform[i] = in.longAt(at + 4 * i);
    } else {
        for (size_t i = 0; i < 4; ++i)
            body.transform[L::kCellTransform2d[i]] = in.longAt(at + 4 * i);
    }
    body.origin = in.point(L::cellOrigin(in.dim));
    return body;
}

Body decodeCellLibrary(const Input& in) {
    in.need(L::kLibEnd, "cell library header");
    CellLibraryBody body;
    body.cellType = in.word(L::kLibCellType);
    body.name = fromRadix50({in.word(L::kLibName), in.word(L::kLibName + 2)});
    body.totalWords = in.word(L::kTotalWords);
    body.cellClass = in.word(L::kLibClass);
    body.levels = levelMask(in, L::kLibLevels);
    std::vector<uint16_t> words;
    for (size_t i = 0; i < 9; ++i) words.push_back(in.word(L::kLibDescription + 2 * i));
    body.description = fromRadix50(words);
    return body;
}

Body decodeColorTable(const Input& in) {
    in.need(L::kColorEnd, "colour table");
    ColorTableBody body;
    body.screen = in.word(L::kColorScreen);
    for (size_t i = 0; i < body.entries.size(); ++i) {
        const uint8_t* rgb = in.p + L::kColorEntries + 3 * i;
        body.entries[i] = Rgb{rgb[0], rgb[1], rgb[2]};
    }
    return body;
}

Body decodeAppData(const Input& in) {
    const size_t length = in.word(L::kAppLength);
    in.need(L::kAppPayload + length, "application data of " + std::to_string(length) + " bytes");
    return AppDataBody{Bytes(in.p + L::kAppPayload, in.p + L::kAppPayload + length)};
}

Body decodeBody(const Input& in, const Element& e) {
    switch (e.type) {
        case type::Line: {
            const size_t size = L::pointSize(in.dim);
            in.need(L::kBody + 2 * size, "line");
            return LineBody{in.point(L::kBody), in.point(L::kBody + size)};
        }
        case type::LineString:
        case type::Shape:
            return decodeLineString(in);
        case type::Text:
            return decodeText(in);
        case type::TextNode:
            return decodeTextNode(in);
        case type::CellHeader:
            return decodeCell(in);
        case type::CellLibraryHeader:
            return decodeCellLibrary(in);
        case type::GroupData:
            if (e.level == kSavedViewLevel) return decodeSavedView(in.p, in.fieldsEnd);
            if (e.level == kReferenceLevel) return decodeReference(in.p, in.fieldsEnd);
            return decodeColorTable(in);
        default:
            if (e.level == kAppReferenceLevel) return decodeReference(in.p, in.fieldsEnd);
            return decodeAppData(in);
    }
}

}  // namespace

Element decode(const uint8_t* data, size_t size, Dimension dimension) {
    if (size < 4) raise(kOwnError, "an element needs at least 4 bytes");
    Element e;
    decodeCommon(data, size, e);
    if (!opensUp(data, size, e)) {
        e.body = RawBody{Bytes(data, data + size)};
        return e;
    }
    const size_t minimum = e.type == type::CellLibraryHeader ? L::kLibEnd : L::kBody;
    if (size < minimum) {
        raise(kOwnError, "the " + typeName(e.type) + " header needs " + std::to_string(minimum) +
                             " bytes, the element holds " + std::to_string(size));
    }
    const Input in{data, size, fieldsEnd(data, size, e), dimension};
    e.body = decodeBody(in, e);
    e.linkage.assign(data + in.fieldsEnd, data + size);
    // A saved view keeps its view count where other elements keep their symbology.
    if (std::holds_alternative<SavedViewBody>(e.body)) e.symbology = {};
    takeLongFileName(e);
    return e;
}

}  // namespace vtl::dgn

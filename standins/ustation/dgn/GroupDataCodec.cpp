#include "dgn/GroupDataCodec.h"

#include <algorithm>
#include <string>

#include "core/Error.h"
#include "dgn/DFloat.h"
#include "dgn/Layout.h"
#include "dgn/Radix50.h"

namespace vtl::dgn {

namespace L = layout;

namespace {

void need(size_t end, size_t fieldsEnd, const std::string& what) {
    if (end <= fieldsEnd) return;
    raise(kOwnError, "the " + what + " needs " + std::to_string(end) +
                         " bytes, the element holds " + std::to_string(fieldsEnd));
}

[[noreturn]] void invalid(const std::string& what) {
    raise(err::InvalidCall, what);
}

std::array<uint16_t, 4> readLevels(const uint8_t* p) {
    return {getWord(p), getWord(p + 2), getWord(p + 4), getWord(p + 6)};
}

void writeLevels(uint8_t* p, const std::array<uint16_t, 4>& levels) {
    for (size_t i = 0; i < 4; ++i) putWord(p + 2 * i, levels[i]);
}

Point readPoint3(const uint8_t* p) {
    return L::readPoint(p, Dimension::Three);
}

void writePoint3(uint8_t* p, const Point& point) {
    L::writePoint(p, point, Dimension::Three);
}

std::array<double, 9> readMatrix(const uint8_t* p) {
    std::array<double, 9> m{};
    for (size_t i = 0; i < 9; ++i) m[i] = fromDFloat(p + 8 * i);
    return m;
}

void writeMatrix(uint8_t* p, const std::array<double, 9>& m) {
    for (size_t i = 0; i < 9; ++i) toDFloat(m[i], p + 8 * i);
}

std::vector<uint16_t> readWords(const uint8_t* p, size_t count) {
    std::vector<uint16_t> words;
    for (size_t i = 0; i < count; ++i) words.push_back(getWord(p + 2 * i));
    return words;
}

void writeWords(uint8_t* p, const std::vector<uint16_t>& words) {
    for (size_t i = 0; i < words.size(); ++i) putWord(p + 2 * i, words[i]);
}

// A counted text: the count word, then the characters in a field of fixed size. A count
// beyond the field, as a damaged file may hold, reads as the whole field.
std::string readCounted(const uint8_t* p, size_t countAt, size_t textAt, size_t size) {
    const size_t count = std::min<size_t>(getWord(p + countAt), size);
    return std::string(reinterpret_cast<const char*>(p + textAt), count);
}

void writeCounted(uint8_t* p, size_t countAt, size_t textAt, size_t size, const std::string& text,
                  const std::string& what) {
    if (text.size() > size) {
        invalid("The " + what + " \"" + text + "\" is longer than " + std::to_string(size) +
                " characters");
    }
    putWord(p + countAt, static_cast<uint16_t>(text.size()));
    std::copy(text.begin(), text.end(), p + textAt);
}

// What the attachment's own field holds of a path too long for it: its file name.
std::string fileField(const std::string& file) {
    if (file.size() <= L::kRefFileSize) return file;
    const size_t slash = file.find_last_of('/');
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    return name.substr(0, L::kRefFileSize);
}

}  // namespace

ViewInfo readViewInfo(const uint8_t* p) {
    ViewInfo view;
    view.flags = getWord(p + L::kViewFlags);
    view.levels = readLevels(p + L::kViewLevels);
    view.origin = readPoint3(p + L::kViewOrigin);
    view.delta = readPoint3(p + L::kViewDelta);
    view.rotation = readMatrix(p + L::kViewRotation);
    view.conversion = fromDFloat(p + L::kViewConversion);
    view.activeZ = getUnsignedLong(p + L::kViewActiveZ);
    return view;
}

void writeViewInfo(uint8_t* p, const ViewInfo& view) {
    putWord(p + L::kViewFlags, view.flags);
    writeLevels(p + L::kViewLevels, view.levels);
    writePoint3(p + L::kViewOrigin, view.origin);
    writePoint3(p + L::kViewDelta, view.delta);
    writeMatrix(p + L::kViewRotation, view.rotation);
    toDFloat(view.conversion, p + L::kViewConversion);
    putUnsignedLong(p + L::kViewActiveZ, view.activeZ);
}

SavedViewBody decodeSavedView(const uint8_t* p, size_t fieldsEnd) {
    need(L::kSavedViews, fieldsEnd, "saved view");
    const uint16_t countWord = getWord(p + L::kSavedViewCount);
    const size_t count = countWord & 0x7;
    need(L::kSavedViews + count * L::kViewInfoSize, fieldsEnd,
         "saved view of " + std::to_string(count) + " views");
    SavedViewBody body;
    body.name = fromRadix50(readWords(p + L::kSavedViewName, 2));
    body.description = fromRadix50(readWords(p + L::kSavedViewDescription, 7));
    body.fullScreen1 = p[L::kSavedViewFullScreen1];
    body.fullScreen2 = p[L::kSavedViewFullScreen2];
    body.reserved = static_cast<uint16_t>(countWord >> 3);
    for (size_t i = 0; i < count; ++i) {
        body.views.push_back(readViewInfo(p + L::kSavedViews + i * L::kViewInfoSize));
    }
    return body;
}

Bytes encodeSavedView(const SavedViewBody& body) {
    if (body.views.empty() || body.views.size() > L::kMaxSavedViews) {
        invalid("A saved view holds 1 to 7 views, not " + std::to_string(body.views.size()));
    }
    if (body.reserved > 0x1FFF) invalid("The reserved bits of a saved view take 13 bits");
    Bytes bytes(L::kSavedViews + body.views.size() * L::kViewInfoSize, 0);
    uint8_t* p = bytes.data();
    putWord(p + L::kSavedViewCount,
            static_cast<uint16_t>(body.views.size() | (body.reserved << 3)));
    writeWords(p + L::kSavedViewName, toRadix50(body.name, 2));
    writeWords(p + L::kSavedViewDescription, toRadix50(body.description, 7));
    p[L::kSavedViewFullScreen1] = body.fullScreen1;
    p[L::kSavedViewFullScreen2] = body.fullScreen2;
    for (size_t i = 0; i < body.views.size(); ++i) {
        writeViewInfo(p + L::kSavedViews + i * L::kViewInfoSize, body.views[i]);
    }
    return bytes;
}

ReferenceBody decodeReference(const uint8_t* p, size_t fieldsEnd) {
    need(L::kRefClip, fieldsEnd, "reference attachment");
    const size_t vertices = getWord(p + L::kRefClipCount);
    need(L::kRefClip + 8 * vertices, fieldsEnd,
         "reference attachment with " + std::to_string(vertices) + " clipping vertices");
    ReferenceBody r;
    r.file = readCounted(p, L::kRefFileChars, L::kRefFile, L::kRefFileSize);
    r.fileNumber = p[L::kRefFileNumber];
    r.builderOptions = getWord(p + L::kRefBuilderOptions);
    r.displayOptions = getWord(p + L::kRefDisplayOptions);
    std::copy_n(p + L::kRefDisplayFlags, r.displayFlags.size(), r.displayFlags.begin());
    for (size_t v = 0; v < 8; ++v) r.viewLevels[v] = readLevels(p + L::kRefViewLevels + 8 * v);
    r.referenceOrigin = readPoint3(p + L::kRefReferenceOrigin);
    r.transform = readMatrix(p + L::kRefTransform);
    r.conversion = fromDFloat(p + L::kRefConversion);
    r.masterOrigin = readPoint3(p + L::kRefMasterOrigin);
    r.logicalName = readCounted(p, L::kRefLogicalChars, L::kRefLogicalName, L::kRefLogicalNameSize);
    r.description =
        readCounted(p, L::kRefDescriptionChars, L::kRefDescription, L::kRefDescriptionSize);
    r.levelSymbologyMask = getWord(p + L::kRefLevelSymbologyMask);
    for (size_t i = 0; i < r.levelSymbology.size(); ++i) {
        r.levelSymbology[i] = getWord(p + L::kRefLevelSymbology + 2 * i);
    }
    r.zDelta = getLong(p + L::kRefZDelta);
    for (size_t i = 0; i < vertices; ++i) {
        const uint8_t* v = p + L::kRefClip + 8 * i;
        r.clip.push_back({getLong(v), getLong(v + 4)});
    }
    return r;
}

Bytes encodeReference(const ReferenceBody& r) {
    if (r.clip.size() > 0xFFFF) invalid("Too many clipping vertices");
    Bytes bytes(L::kRefClip + 8 * r.clip.size(), 0);
    uint8_t* p = bytes.data();
    writeCounted(p, L::kRefFileChars, L::kRefFile, L::kRefFileSize, fileField(r.file),
                 "reference file name");
    p[L::kRefFileNumber] = r.fileNumber;
    putWord(p + L::kRefBuilderOptions, r.builderOptions);
    putWord(p + L::kRefDisplayOptions, r.displayOptions);
    std::copy(r.displayFlags.begin(), r.displayFlags.end(), p + L::kRefDisplayFlags);
    for (size_t v = 0; v < 8; ++v) writeLevels(p + L::kRefViewLevels + 8 * v, r.viewLevels[v]);
    writePoint3(p + L::kRefReferenceOrigin, r.referenceOrigin);
    writeMatrix(p + L::kRefTransform, r.transform);
    toDFloat(r.conversion, p + L::kRefConversion);
    writePoint3(p + L::kRefMasterOrigin, r.masterOrigin);
    writeCounted(p, L::kRefLogicalChars, L::kRefLogicalName, L::kRefLogicalNameSize, r.logicalName,
                 "logical name");
    writeCounted(p, L::kRefDescriptionChars, L::kRefDescription, L::kRefDescriptionSize,
                 r.description, "reference description");
    putWord(p + L::kRefLevelSymbologyMask, r.levelSymbologyMask);
    for (size_t i = 0; i < r.levelSymbology.size(); ++i) {
        putWord(p + L::kRefLevelSymbology + 2 * i, r.levelSymbology[i]);
    }
    putLong(p + L::kRefZDelta, r.zDelta);
    putWord(p + L::kRefClipCount, static_cast<uint16_t>(r.clip.size()));
    for (size_t i = 0; i < r.clip.size(); ++i) {
        putLong(p + L::kRefClip + 8 * i, r.clip[i][0]);
        putLong(p + L::kRefClip + 8 * i + 4, r.clip[i][1]);
    }
    return bytes;
}

// The long name linkage: header word, owner, the length of the name in bytes, the name.
Bytes longFileLinkage(const ReferenceBody& body) {
    if (body.file.size() <= L::kRefFileSize) return {};
    const size_t words = 3 + (body.file.size() + 1) / 2;
    if (words > L::kMaxLinkageWords) {
        invalid("The reference file name \"" + body.file + "\" is longer than " +
                std::to_string(2 * (L::kMaxLinkageWords - 3)) + " characters");
    }
    Bytes linkage(2 * words, 0);
    putWord(linkage.data(), static_cast<uint16_t>(L::kUserLinkageBit | (words - 1)));
    putWord(linkage.data() + 2, kAppSignature);
    putWord(linkage.data() + 4, static_cast<uint16_t>(body.file.size()));
    std::copy(body.file.begin(), body.file.end(), linkage.begin() + 6);
    return linkage;
}

// Only user linkages tell their length, so the walk stops at the first other one; the
// stand-in writes its own linkage first.
void takeLongFileName(Element& e) {
    auto* body = std::get_if<ReferenceBody>(&e.body);
    if (!body) return;
    Bytes& linkage = e.linkage;
    for (size_t at = 0; at + 6 <= linkage.size();) {
        const uint16_t header = getWord(linkage.data() + at);
        if (!(header & L::kUserLinkageBit)) return;
        const size_t size = 2 * (size_t{header & 0xFFu} + 1);
        const size_t length = getWord(linkage.data() + at + 4);
        if (getWord(linkage.data() + at + 2) == kAppSignature && 6 + length <= size &&
            at + size <= linkage.size()) {
            body->file.assign(reinterpret_cast<const char*>(linkage.data() + at + 6), length);
            linkage.erase(linkage.begin() + static_cast<long>(at),
                          linkage.begin() + static_cast<long>(at + size));
            if (linkage.empty()) e.properties &= static_cast<uint16_t>(~prop::Attributes);
            return;
        }
        at += size;
    }
}

}  // namespace vtl::dgn

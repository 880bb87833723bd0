#include "dgn/FileScan.h"

#include <string>

#include "core/Error.h"
#include "dgn/ComplexLayout.h"
#include "dgn/ElementCodec.h"

namespace vtl::dgn {

namespace {

// Words to follow of the TCB and of a cell library's header element.
constexpr uint16_t kDesignHeaderWords = kDesignHeaderSize / 2 - 2;
constexpr uint16_t kLibraryHeaderWords = kLibraryHeaderSize / 2 - 2;
// Every element holds at least the type word, words to follow and its range.
constexpr size_t kSmallestElement = 28;

std::string at(uint64_t position) {
    return "at byte " + std::to_string(position);
}

[[noreturn]] void fault(const std::string& description) {
    raise(kOwnError, description);
}

// Which kind of V7 file the first element makes it.
bool isLibrary(const Bytes& image) {
    const bool leader = image.size() >= 4 && (image[0] == 0x08 || image[0] == 0xC8);
    const uint16_t words = image.size() >= 4 ? getWord(image.data() + 2) : 0;
    if (leader && image[1] == type::DesignHeader && words == kDesignHeaderWords) return false;
    if (leader && image[1] == type::GroupData && words == kLibraryHeaderWords) return true;
    fault("is not a DGN V7 design file or cell library");
}

// The size of the element at the position; faults when it does not fit in the file.
size_t elementSize(const Bytes& image, uint64_t position) {
    const uint64_t remaining = image.size() - position;
    if (remaining < 4) {
        fault("is cut short: " + std::to_string(remaining) + " bytes " + at(position) +
              " do not make an element");
    }
    const size_t size = 4 + 2 * size_t{getWord(image.data() + position + 2)};
    if (size > remaining) {
        fault("is cut short: the element " + at(position) + " needs " + std::to_string(size) +
              " bytes, " + std::to_string(remaining) + " remain");
    }
    if (size < kSmallestElement) {
        fault("holds a bad element length " + at(position) + ": " + std::to_string(size) +
              " bytes are too few for an element");
    }
    return size;
}

Record readRecord(const Bytes& image, uint64_t position, size_t size, Dimension dimension) {
    Record record;
    record.position = position;
    record.bytes.assign(image.begin() + static_cast<long>(position),
                        image.begin() + static_cast<long>(position + size));
    try {
        record.element = decode(record.bytes, dimension);
    } catch (const Error& e) {
        fault("holds a bad element length " + at(position) + " (" +
              typeName(record.bytes[1] & 0x7F) + "): " + e.description());
    }
    record.extent = extentOf(record.bytes);
    return record;
}

void checkExtents(const std::vector<Record>& records, size_t first, uint64_t end) {
    for (size_t k = first; k < records.size(); ++k) {
        const Record& r = records[k];
        if (r.position + r.extent > end) {
            fault("holds a bad element length " + at(r.position) + ": the components of the " +
                  typeName(r.element.type) + " run past the end of the elements");
        }
    }
}

bool isEndMarker(const Bytes& image, uint64_t position) {
    return image.size() - position >= 2 && image[position] == 0xFF && image[position + 1] == 0xFF;
}

}  // namespace

uint64_t scanElements(const Bytes& image, uint64_t position, Dimension dimension,
                      std::vector<Record>& records) {
    const size_t first = records.size();
    uint64_t complexEnd = position;  // the end of the complex element the scan is in
    while (position < image.size() && !isEndMarker(image, position)) {
        const size_t size = elementSize(image, position);
        records.push_back(readRecord(image, position, size, dimension));
        Record& record = records.back();
        record.component = position < complexEnd;
        if (!record.component) complexEnd = position + record.extent;
        position += size;
    }
    checkExtents(records, first, position);
    return position;
}

FileScan scanFile(const Bytes& image) {
    FileScan scan;
    scan.library = isLibrary(image);
    elementSize(image, 0);
    scan.header = scan.library ? DesignHeader{libraryDimension(image.data()), {"", "", 1, 1}, {}}
                               : readDesignHeader(image.data());
    scan.end = scanElements(image, 0, scan.header.dimension, scan.records);
    return scan;
}

}  // namespace vtl::dgn

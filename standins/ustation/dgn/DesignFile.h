// A V7 design file or cell library on disk and the operations the stand-in MicroStation needs:
// the element walk by byte position, appending, rewriting and deleting elements, compressing.
// Every change is written to disk at once, as the MicroStation generation the system drives
// does; elements keep their bytes unless they are changed.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "dgn/DesignHeader.h"
#include "dgn/Element.h"

namespace vtl::dgn {

// One stored element.
struct Record {
    uint64_t position = 0;  // byte offset in the file
    Bytes bytes;            // as stored
    Element element;        // decoded
    uint32_t extent = 0;    // bytes of the element with the components that follow it
    // Inside the extent of a complex header before it. The stored complex bit does not tell:
    // GDAL's writer sets it on chain and shape headers and on the 3-D design header too.
    bool component = false;

    uint32_t size() const { return static_cast<uint32_t>(bytes.size()); }
};

class DesignFile {
public:
    // Opens a design file or cell library. Raises an error (the file left as it is) when the
    // file is missing or unreadable, is not a V7 file, is cut short, or holds an element whose
    // length does not fit its contents.
    static DesignFile open(const std::filesystem::path& path);
    // Creates an empty design file with the global origin at the UORs given; error 58 when the
    // file exists.
    static DesignFile create(const std::filesystem::path& path, Dimension dimension,
                             const Units& units = {}, const std::array<double, 3>& origin = {});
    // Creates an empty cell library; error 58 when the file exists.
    static DesignFile createLibrary(const std::filesystem::path& path, Dimension dimension);

    // One object per open file: copies would write the file behind each other's back.
    DesignFile(const DesignFile&) = delete;
    DesignFile& operator=(const DesignFile&) = delete;
    DesignFile(DesignFile&&) = default;
    DesignFile& operator=(DesignFile&&) = default;

    const std::filesystem::path& path() const { return path_; }
    bool isCellLibrary() const { return library_; }
    const DesignHeader& header() const { return header_; }
    Dimension dimension() const { return header_.dimension; }
    // Every element in file order, deleted ones included. Pointers into it and the records
    // returned below stay valid until the next change.
    const std::vector<Record>& records() const { return records_; }
    // Where the end-of-design marker is, or would be written.
    uint64_t endOfElements() const { return end_; }

    // The first element that is not deleted at or after the position, nullptr at the end.
    const Record* find(uint64_t position) const;
    // The element that starts exactly at the position, deleted or not; nullptr when none does.
    const Record* at(uint64_t position) const;
    // The components of a complex element, in file order.
    std::vector<const Record*> components(const Record& head) const;

    // Appends an element, or a complex element (header and components), at the end; returns
    // its position.
    uint64_t append(const Element& element);
    uint64_t append(const Element& head, const std::vector<Element>& components);
    // Rewrites the element at the position, which may be a component. When no element of
    // the complex element it belongs to grew, they keep their places; otherwise the old ones
    // are deleted and the new ones appended at the end. Returns the element's new position.
    uint64_t rewrite(uint64_t position, const Element& element);
    // Rewrites a complex element as a whole, the same way.
    uint64_t rewrite(uint64_t position, const Element& head,
                     const std::vector<Element>& components);
    // Sets the deleted bit of the element and its components.
    void remove(uint64_t position);
    // Removes deleted elements from the file; positions change.
    void compress();

    // The eight views the design header keeps, and writing them back in place (design files
    // only; error 5 for a cell library).
    std::array<ViewInfo, kHeaderViews> headerViews() const;
    void writeHeaderViews(const std::array<ViewInfo, kHeaderViews>& views);

private:
    DesignFile(std::filesystem::path path, Bytes image);
    // Reading the image: all of it, the elements appended from a position on, or one element
    // changed in place.
    void load();
    void loadAppended(uint64_t from);
    void refresh(size_t index);
    // Runs a change; when it fails half way the records are read again from what was written.
    uint64_t changing(const std::function<uint64_t()>& change);
    void setDeleted(size_t index);
    size_t indexOf(uint64_t position) const;
    size_t groupEnd(size_t index) const;
    size_t topLevelOf(size_t index) const;
    uint64_t rewriteGroup(size_t first, std::vector<Element> elements, size_t target);
    uint64_t replaceGroup(size_t first, const Bytes& bytes);
    uint64_t appendBytes(const Bytes& bytes);
    void writeAt(uint64_t position, const Bytes& bytes);

    // The file held open for writing from its first change on, so each change is one write.
    class Writer {
    public:
        Writer() = default;
        ~Writer() { close(); }
        Writer(Writer&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
        Writer& operator=(Writer&& other) noexcept;
        Writer(const Writer&) = delete;
        Writer& operator=(const Writer&) = delete;
        // Writes at the position, opening the file first when needed; raises the file's error.
        void write(const std::filesystem::path& path, uint64_t position, const Bytes& bytes);
        void close();

    private:
        int fd_ = -1;
    };

    std::filesystem::path path_;
    Writer writer_;
    Bytes image_;
    bool library_ = false;
    DesignHeader header_;
    std::vector<Record> records_;
    uint64_t end_ = 0;
};

}  // namespace vtl::dgn

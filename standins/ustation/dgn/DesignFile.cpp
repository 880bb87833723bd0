#include "dgn/DesignFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <iterator>

#include "core/Error.h"
#include "core/Files.h"
#include "dgn/ComplexLayout.h"
#include "dgn/ElementCodec.h"
#include "dgn/FileScan.h"

namespace vtl::dgn {

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kDeletedBit = 0x80;

std::string quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

Bytes readWhole(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) raise(err::PathFileAccess, quoted(path) + " is a folder");
    const std::string content = files::readFile(path);
    return Bytes(content.begin(), content.end());
}

// Writes a file that must not exist yet, so no one's file is ever overwritten.
void writeNewFile(const fs::path& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file) throw errnoError(errno, path.string());
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    const int error = written == bytes.size() ? 0 : errno;
    if (std::fclose(file) != 0 || error != 0) {
        const int saved = error ? error : errno;
        std::remove(path.c_str());
        throw errnoError(saved ? saved : EIO, path.string());
    }
}

// A file without any write permission is read-only, as MicroStation opens a file whose
// read-only attribute is set, also for a user the system would let write it.
void requireWritable(const fs::path& path) {
    std::error_code ec;
    const fs::perms perms = fs::status(path, ec).permissions();
    if (ec) return;  // the write itself reports what is wrong
    constexpr fs::perms anyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((perms & anyWrite) == fs::perms::none) {
        raise(err::PermissionDenied, "The design file " + quoted(path) + " is read-only");
    }
}

Bytes withEndMarker(Bytes bytes) {
    bytes.push_back(0xFF);
    bytes.push_back(0xFF);
    return bytes;
}

// Whole files are written in blocks of 512 bytes, zeros after the end marker, as MicroStation
// writes them; some readers (GDAL among them) want at least one whole block.
constexpr size_t kBlockSize = 512;

Bytes inBlocks(Bytes bytes) {
    bytes.resize((bytes.size() + kBlockSize - 1) / kBlockSize * kBlockSize, 0);
    return bytes;
}

Bytes concat(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

void checkUnits(const Units& units) {
    if (units.subPerMaster <= 0 || units.uorPerSub <= 0) {
        raise(err::InvalidCall, "Sub units per master unit and UORs per sub unit must be positive");
    }
}

}  // namespace

DesignFile::DesignFile(fs::path path, Bytes image)
    : path_(std::move(path)), image_(std::move(image)) {
    load();
}

DesignFile DesignFile::open(const fs::path& path) {
    return DesignFile(path, readWhole(path));
}

DesignFile DesignFile::create(const fs::path& path, Dimension dimension, const Units& units,
                              const std::array<double, 3>& origin) {
    checkUnits(units);
    DesignHeader header;
    header.dimension = dimension;
    header.units = units;
    header.origin = origin;
    Bytes image = inBlocks(withEndMarker(makeDesignFileStart(header)));
    writeNewFile(path, image);
    return DesignFile(path, std::move(image));
}

DesignFile DesignFile::createLibrary(const fs::path& path, Dimension dimension) {
    Bytes image = inBlocks(withEndMarker(makeLibraryStart(dimension)));
    writeNewFile(path, image);
    return DesignFile(path, std::move(image));
}

void DesignFile::load() {
    FileScan scan;
    try {
        scan = scanFile(image_);
    } catch (const Error& e) {
        throw Error(e.number(), e.source(), "The file " + quoted(path_) + " " + e.description());
    }
    library_ = scan.library;
    header_ = scan.header;
    records_ = std::move(scan.records);
    end_ = scan.end;
}

void DesignFile::loadAppended(uint64_t from) {
    end_ = scanElements(image_, from, header_.dimension, records_);
}

void DesignFile::refresh(size_t index) {
    Record& record = records_[index];
    const auto begin = image_.begin() + static_cast<long>(record.position);
    record.bytes.assign(begin, begin + record.size());
    record.element = decode(record.bytes, header_.dimension);
}

uint64_t DesignFile::changing(const std::function<uint64_t()>& change) {
    try {
        return change();
    } catch (...) {
        try {
            load();
        } catch (const Error&) {  // the fault that stopped the change is the one to report
        }
        throw;
    }
}

void DesignFile::setDeleted(size_t index) {
    Record& record = records_[index];
    const uint8_t typeByte = static_cast<uint8_t>(record.bytes[1] | kDeletedBit);
    writeAt(record.position + 1, {typeByte});
    // The bit is all that changed: the element needs no decoding again.
    record.bytes[1] = typeByte;
    record.element.deleted = true;
}

namespace {

// The first record at or after the position.
std::vector<Record>::const_iterator firstFrom(const std::vector<Record>& records,
                                              uint64_t position) {
    return std::lower_bound(records.begin(), records.end(), position,
                            [](const Record& r, uint64_t p) { return r.position < p; });
}

}  // namespace

const Record* DesignFile::find(uint64_t position) const {
    for (auto it = firstFrom(records_, position); it != records_.end(); ++it) {
        if (!it->element.deleted) return &*it;
    }
    return nullptr;
}

const Record* DesignFile::at(uint64_t position) const {
    auto it = firstFrom(records_, position);
    return it != records_.end() && it->position == position ? &*it : nullptr;
}

std::vector<const Record*> DesignFile::components(const Record& head) const {
    std::vector<const Record*> parts;
    const size_t first = indexOf(head.position);
    for (size_t k = first + 1; k < groupEnd(first); ++k) parts.push_back(&records_[k]);
    return parts;
}

size_t DesignFile::indexOf(uint64_t position) const {
    const Record* record = at(position);
    if (!record) raise(err::InvalidCall, "There is no element at byte " + std::to_string(position));
    return static_cast<size_t>(record - records_.data());
}

size_t DesignFile::groupEnd(size_t index) const {
    const uint64_t end = records_[index].position + records_[index].extent;
    size_t k = index + 1;
    while (k < records_.size() && records_[k].position < end) ++k;
    return k;
}

// The nearest element before it that is no component: a step back per component rather than a
// walk from the start, so a rewrite costs the same in a large drawing as in a small one.
size_t DesignFile::topLevelOf(size_t index) const {
    while (index > 0 && records_[index].component) --index;
    return index;
}

uint64_t DesignFile::append(const Element& element) {
    Element live = element;
    live.deleted = false;
    return changing([&] { return appendBytes(encode(live, {header_.dimension})); });
}

namespace {

std::vector<Bytes> encodeNew(const Element& head, const std::vector<Element>& components,
                             Dimension dimension) {
    std::vector<Bytes> parts;
    Element live = head;
    live.deleted = false;
    parts.push_back(encode(live, {dimension}));
    for (Element component : components) {
        component.complex = true;
        component.deleted = false;
        parts.push_back(encode(component, {dimension}));
    }
    linkParts(parts, structureOf(parts), dimension);
    return parts;
}

}  // namespace

uint64_t DesignFile::append(const Element& head, const std::vector<Element>& components) {
    const Bytes bytes = concat(encodeNew(head, components, header_.dimension));
    return changing([&] { return appendBytes(bytes); });
}

uint64_t DesignFile::rewrite(uint64_t position, const Element& element) {
    const size_t index = indexOf(position);
    if (records_[index].element.deleted) {
        raise(err::InvalidCall, "The element at byte " + std::to_string(position) + " is deleted");
    }
    const size_t first = topLevelOf(index);
    std::vector<Element> elements;
    for (size_t k = first; k < groupEnd(first); ++k) elements.push_back(records_[k].element);
    elements[index - first] = element;
    return changing([&] { return rewriteGroup(first, elements, index - first); });
}

uint64_t DesignFile::rewrite(uint64_t position, const Element& head,
                             const std::vector<Element>& components) {
    const size_t first = indexOf(position);
    if (topLevelOf(first) != first || records_[first].element.deleted) {
        raise(err::InvalidCall, "No complex element starts at byte " + std::to_string(position));
    }
    if (groupEnd(first) - first == components.size() + 1) {
        std::vector<Element> elements{head};
        elements.insert(elements.end(), components.begin(), components.end());
        return changing([&] { return rewriteGroup(first, elements, 0); });
    }
    const Bytes bytes = concat(encodeNew(head, components, header_.dimension));
    return changing([&] { return replaceGroup(first, bytes); });
}

// Elements that keep their sizes are written in place; when one grew, the complex element
// it belongs to moves to the end. A component deleted on its own stays deleted: what the
// caller hands in says nothing about it (the header and the target are live, as checked).
uint64_t DesignFile::rewriteGroup(size_t first, std::vector<Element> elements, size_t target) {
    std::vector<Bytes> old, parts;
    for (size_t k = 0; k < elements.size(); ++k) {
        old.push_back(records_[first + k].bytes);
        elements[k].deleted = records_[first + k].element.deleted;
        if (k > 0) elements[k].complex = true;
        parts.push_back(encode(elements[k], {header_.dimension, old[k].size(), &old[k]}));
    }
    const uint64_t position = records_[first + target].position;
    if (parts == old) return position;
    linkParts(parts, structureOf(old), header_.dimension);
    for (size_t k = 0; k < parts.size(); ++k) {
        if (parts[k].size() != old[k].size()) {
            uint64_t offset = 0;
            for (size_t j = 0; j < target; ++j) offset += parts[j].size();
            return replaceGroup(first, concat(parts)) + offset;
        }
    }
    for (size_t k = 0; k < parts.size(); ++k) {
        if (parts[k] == old[k]) continue;
        writeAt(records_[first + k].position, parts[k]);
        refresh(first + k);
    }
    return position;
}

// The new form goes to the end before the old one is marked deleted, so a failure in between
// leaves a copy too many rather than none.
uint64_t DesignFile::replaceGroup(size_t first, const Bytes& bytes) {
    const size_t end = groupEnd(first);
    const uint64_t position = appendBytes(bytes);
    for (size_t k = first; k < end; ++k) setDeleted(k);
    return position;
}

void DesignFile::remove(uint64_t position) {
    const size_t index = indexOf(position);
    if (topLevelOf(index) != index) {
        raise(err::InvalidCall,
              "The element at byte " + std::to_string(position) + " is part of a complex element");
    }
    const size_t end = groupEnd(index);
    changing([&] {
        for (size_t k = index; k < end; ++k) setDeleted(k);
        return uint64_t{0};
    });
}

void DesignFile::compress() {
    requireWritable(path_);
    // The elements kept move up unchanged: their records only change their positions.
    Bytes image;
    std::vector<Record> kept;
    kept.reserve(records_.size());
    for (size_t k = 0; k < records_.size(); k = groupEnd(k)) {
        if (records_[k].element.deleted) continue;
        for (size_t j = k; j < groupEnd(k); ++j) {
            kept.push_back(records_[j]);
            kept.back().position = image.size();
            image.insert(image.end(), records_[j].bytes.begin(), records_[j].bytes.end());
        }
    }
    const uint64_t end = image.size();
    image = inBlocks(withEndMarker(std::move(image)));
    const fs::path temporary =
        path_.string() + ".compress-" + std::to_string(::getpid()) + "-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    writeNewFile(temporary, image);
    std::error_code ec;
    fs::permissions(temporary, fs::status(path_, ec).permissions(), ec);
    fs::rename(temporary, path_, ec);
    if (ec) {
        const int error = ec.value();
        fs::remove(temporary, ec);
        throw errnoError(error, path_.string());
    }
    writer_.close();  // it holds the file that was replaced
    image_ = std::move(image);
    records_ = std::move(kept);
    end_ = end;
}

uint64_t DesignFile::appendBytes(const Bytes& bytes) {
    const uint64_t position = end_;
    writeAt(position, withEndMarker(bytes));
    loadAppended(position);
    return position;
}

void DesignFile::writeAt(uint64_t position, const Bytes& bytes) {
    writer_.write(path_, position, bytes);
    if (image_.size() < position + bytes.size()) image_.resize(position + bytes.size());
    std::copy(bytes.begin(), bytes.end(), image_.begin() + static_cast<long>(position));
}

std::array<ViewInfo, kHeaderViews> DesignFile::headerViews() const {
    if (library_ || records_.empty()) raise(err::InvalidCall, "A cell library has no views");
    std::array<ViewInfo, kHeaderViews> views;
    for (int v = 1; v <= static_cast<int>(kHeaderViews); ++v) {
        views[static_cast<size_t>(v - 1)] = readHeaderView(records_[0].bytes.data(), v);
    }
    return views;
}

void DesignFile::writeHeaderViews(const std::array<ViewInfo, kHeaderViews>& views) {
    if (library_ || records_.empty()) raise(err::InvalidCall, "A cell library has no views");
    Bytes tcb = records_[0].bytes;
    for (int v = 1; v <= static_cast<int>(kHeaderViews); ++v) {
        writeHeaderView(tcb.data(), v, views[static_cast<size_t>(v - 1)]);
    }
    if (tcb == records_[0].bytes) return;
    changing([&] {
        writeAt(records_[0].position, tcb);
        refresh(0);
        return records_[0].position;
    });
}

DesignFile::Writer& DesignFile::Writer::operator=(Writer&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void DesignFile::Writer::write(const fs::path& path, uint64_t position, const Bytes& bytes) {
    if (fd_ < 0) {
        requireWritable(path);
        fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    }
    if (fd_ < 0) throw errnoError(errno, path.string());
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(position + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw errnoError(n < 0 ? errno : EIO, path.string());
        done += static_cast<size_t>(n);
    }
}

void DesignFile::Writer::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace vtl::dgn

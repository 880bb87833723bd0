// The .xls file checked before freexl reads it. freexl trusts the lengths a file gives (of a
// directory entry's name, a record, a string) and reads past its buffers when they are damaged;
// so the compound file's directory and the workbook stream's records and strings are walked here
// first, and a file whose lengths do not fit is refused as damaged.
#include <algorithm>
#include <optional>
#include <set>
#include <string_view>

#include "workbook/WorkbookReaders.h"

namespace vtl::workbook::detail {

namespace {

struct Damaged {};

uint8_t u8(std::string_view b, size_t at) {
    if (at >= b.size()) throw Damaged{};
    return static_cast<uint8_t>(b[at]);
}
uint16_t u16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(u8(b, at) | u8(b, at + 1) << 8);
}
uint32_t u32(std::string_view b, size_t at) {
    return static_cast<uint32_t>(u16(b, at)) | static_cast<uint32_t>(u16(b, at + 2)) << 16;
}

// --- The compound file --------------------------------------------------------------------------

constexpr uint32_t kLastSector = 0xFFFFFFF9;  // higher numbers mark free sectors and chain ends
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr size_t kEntrySize = 128;
constexpr size_t kMiniSectorSize = 64;

struct Entry {
    std::u16string name;
    uint8_t type = 0;
    uint32_t start = 0;
    uint32_t size = 0;
};

class Compound {
public:
    explicit Compound(std::string_view bytes) : bytes_(bytes) {
        const uint16_t shift = u16(bytes, 30);
        if (shift != 9 && shift != 12) throw Damaged{};
        sectorSize_ = size_t{1} << shift;
        readFat();
        const std::string directory = join(chain(u32(bytes, 48), fat_));
        for (size_t at = 0; at + kEntrySize <= directory.size(); at += kEntrySize)
            entries_.push_back(entry(std::string_view(directory).substr(at, kEntrySize)));
        checkMiniStream();
    }

    // The stream of the first entry with one of the names, as freexl takes it; nullopt when there
    // is none.
    std::optional<std::string> stream(std::initializer_list<std::u16string_view> names) const {
        for (const Entry& e : entries_) {
            for (std::u16string_view name : names) {
                if (e.name == name) return contents(e);
            }
        }
        return std::nullopt;
    }

private:
    std::string_view sector(uint32_t n) const {
        const uint64_t at = (uint64_t{n} + 1) * sectorSize_;
        if (at + sectorSize_ > bytes_.size()) throw Damaged{};
        return bytes_.substr(static_cast<size_t>(at), sectorSize_);
    }

    // The sectors of a chain; a chain that leaves its table, loops or ends in a free sector is
    // damaged.
    static std::vector<uint32_t> chain(uint32_t start, const std::vector<uint32_t>& table) {
        std::vector<uint32_t> sectors;
        for (uint32_t s = start; s != kEndOfChain; s = table[s]) {
            if (s > kLastSector || s >= table.size() || sectors.size() >= table.size())
                throw Damaged{};
            sectors.push_back(s);
        }
        return sectors;
    }

    std::string join(const std::vector<uint32_t>& sectors) const {
        std::string out;
        for (uint32_t s : sectors) out += sector(s);
        return out;
    }

    void appendTable(std::vector<uint32_t>& table, std::string_view data) const {
        for (size_t at = 0; at + 4 <= data.size(); at += 4) table.push_back(u32(data, at));
    }

    // The FAT: its sectors are listed in the header and in the chain of DIFAT sectors after it.
    void readFat() {
        std::vector<uint32_t> fatSectors;
        for (size_t i = 0; i < 109; ++i) fatSectors.push_back(u32(bytes_, 76 + 4 * i));
        uint32_t difat = u32(bytes_, 68);
        const size_t perSector = sectorSize_ / 4;
        for (size_t n = 0; difat <= kLastSector; ++n) {
            if (n > bytes_.size() / sectorSize_) throw Damaged{};
            std::string_view s = sector(difat);
            for (size_t i = 0; i + 1 < perSector; ++i) fatSectors.push_back(u32(s, 4 * i));
            difat = u32(s, 4 * (perSector - 1));
        }
        // The FAT needs a sector for every perSector sectors of the file; a list naming more (the
        // same sector again and again) would only exhaust memory.
        size_t listed = 0;
        for (uint32_t s : fatSectors) {
            if (s > kLastSector) continue;
            if (++listed > bytes_.size() / sectorSize_ / perSector + 2) throw Damaged{};
            appendTable(fat_, sector(s));
        }
    }

    Entry entry(std::string_view raw) const {
        const uint16_t nameSize = u16(raw, 64);
        if (nameSize > 64 || nameSize % 2 != 0) throw Damaged{};
        Entry e;
        for (size_t i = 0; i + 1 < nameSize; i += 2) {
            const char16_t c = u16(raw, i);
            if (c == 0) break;
            e.name += c;
        }
        e.type = u8(raw, 66);
        e.start = u32(raw, 116);
        e.size = u32(raw, 120);
        return e;
    }

    std::string contents(const Entry& e) const {
        std::string data;
        if (e.size < u32(bytes_, 56)) {
            data = miniContents(e);
        } else {
            data = join(chain(e.start, fat_));
        }
        if (data.size() < e.size) throw Damaged{};
        data.resize(e.size);
        return data;
    }

    const Entry& root() const {
        if (entries_.empty() || entries_.front().name != u"Root Entry") throw Damaged{};
        return entries_.front();
    }

    // freexl reads the mini stream's table and the root entry's stream whatever lies in them: the
    // header's count of mini table sectors and the root's size must match their chains.
    void checkMiniStream() const {
        const uint32_t start = u32(bytes_, 60), count = u32(bytes_, 64);
        const size_t sectors = start >= kEndOfChain && count == 0 ? 0 : chain(start, fat_).size();
        if (sectors != count) throw Damaged{};
        if (root().size > 0 && join(chain(root().start, fat_)).size() < root().size)
            throw Damaged{};
    }

    // A small stream lies in the mini stream, the root entry's stream, in sectors of 64 bytes.
    std::string miniContents(const Entry& e) const {
        std::vector<uint32_t> miniFat;
        appendTable(miniFat, join(chain(u32(bytes_, 60), fat_)));
        const std::string container = join(chain(root().start, fat_));
        std::string data;
        for (uint32_t s : chain(e.start, miniFat)) {
            const size_t at = size_t{s} * kMiniSectorSize;
            if (at + kMiniSectorSize > container.size()) throw Damaged{};
            data.append(container, at, kMiniSectorSize);
        }
        return data;
    }

    std::string_view bytes_;
    size_t sectorSize_ = 512;
    std::vector<uint32_t> fat_;
    std::vector<Entry> entries_;
};

// --- The workbook stream's records --------------------------------------------------------------

constexpr uint16_t kBof = 0x0809;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kLabel = 0x0204;
constexpr uint16_t kRString = 0x00D6;
constexpr uint16_t kDimension = 0x0200;
constexpr size_t kMaxRecord = 8224;

struct Record {
    uint16_t type;
    size_t offset;  // of its header in the stream
    std::string_view data;
};

std::vector<Record> records(std::string_view stream) {
    std::vector<Record> out;
    for (size_t at = 0; at + 4 <= stream.size();) {
        const uint16_t type = u16(stream, at), length = u16(stream, at + 2);
        if (type == 0 && length == 0) break;  // the padding after the last record
        if (length > kMaxRecord || at + 4 + length > stream.size()) throw Damaged{};
        out.push_back({type, at, stream.substr(at + 4, length)});
        at += 4 + length;
    }
    return out;
}

// A string's characters: one byte each, or two when the option flag's bit 0 says so.
size_t characterBytes(size_t characters, uint8_t options) {
    return characters * ((options & 1) != 0 ? 2 : 1);
}

void need(std::string_view data, size_t bytes) {
    if (bytes > data.size()) throw Damaged{};
}

// The string of a BOUNDSHEET, FORMAT, LABEL or RSTRING record lies within the record.
void checkString(const Record& r, bool biff8) {
    std::string_view d = r.data;
    switch (r.type) {
        case kBoundSheet:
            if (u8(d, 6) == 0) throw Damaged{};
            // freexl takes any option flag but 0 for two bytes a character here.
            need(d, biff8 ? 8 + characterBytes(u8(d, 6), u8(d, 7) != 0) : 7 + size_t{u8(d, 6)});
            break;
        case kFormat:
            if (!biff8) {
                need(d, 3 + size_t{u8(d, 2)});
            } else {
                const uint8_t options = u8(d, 4);
                const size_t header =
                    5 + ((options & 8) != 0 ? 2 : 0) + ((options & 4) != 0 ? 4 : 0);
                need(d, header + characterBytes(u16(d, 2), options));
            }
            break;
        case kLabel:
        case kRString:
            need(d, biff8 ? 9 + characterBytes(u16(d, 6), u8(d, 8)) : 8 + size_t{u16(d, 6)});
            break;
        default:
            break;
    }
}

// The shared strings: each string's characters may go on in the next CONTINUE record, which
// then starts with a new option byte; freexl reads the rest of a string from that one record.
class SharedStrings {
public:
    SharedStrings(const std::vector<Record>& all, size_t sst) {
        parts_.push_back(all[sst].data.substr(std::min<size_t>(8, all[sst].data.size())));
        for (size_t i = sst + 1; i < all.size() && all[i].type == kContinue; ++i)
            parts_.push_back(all[i].data);
        const uint32_t count = u32(all[sst].data, 4);
        for (uint32_t n = 0; n < count && !atEnd(); ++n) readString();
    }

private:
    bool atEnd() {
        while (part_ < parts_.size() && at_ >= parts_[part_].size()) ++part_, at_ = 0;
        return part_ >= parts_.size();
    }
    std::string_view take(size_t bytes) {
        if (bytes == 0) return {};
        if (atEnd() || at_ + bytes > parts_[part_].size()) throw Damaged{};
        std::string_view out = parts_[part_].substr(at_, bytes);
        at_ += bytes;
        return out;
    }
    // Bytes that may run on into the next records.
    void skip(size_t bytes) {
        while (bytes > 0) {
            if (atEnd()) throw Damaged{};
            const size_t here = std::min(bytes, parts_[part_].size() - at_);
            at_ += here;
            bytes -= here;
        }
    }
    void readString() {
        const size_t characters = u16(take(2), 0);
        uint8_t options = u8(take(1), 0);
        const size_t runs = (options & 8) != 0 ? u16(take(2), 0) : 0;
        const size_t extra = (options & 4) != 0 ? u32(take(4), 0) : 0;
        const size_t first =
            std::min(characters, (parts_[part_].size() - at_) / ((options & 1) != 0 ? 2 : 1));
        take(characterBytes(first, options));
        if (first < characters) {
            if (at_ != parts_[part_].size() || part_ + 1 >= parts_.size()) throw Damaged{};
            ++part_, at_ = 0;
            options = u8(take(1), 0);
            take(characterBytes(characters - first, options));
        }
        skip(4 * runs + extra);
    }

    std::vector<std::string_view> parts_;
    size_t part_ = 0, at_ = 0;
};

// Substreams as freexl follows them: each from a BOF to its EOF, and a sheet's DIMENSION sizes
// its cells once. A BOF inside a substream, or a second DIMENSION, would make freexl give one
// sheet's cells to another and lose the first allocation.
class Substreams {
public:
    void record(const Record& r) {
        if ((r.type == kBof) == open_) throw Damaged{};
        if (r.type == kBof) {
            open_ = true;
            start_ = r.offset;
            return;
        }
        if (r.type == kEof) open_ = false;
        if (r.type == kDimension && !dimensioned_.insert(start_).second) throw Damaged{};
    }
    bool hasDimension(uint32_t bof) const { return dimensioned_.contains(bof); }

private:
    bool open_ = false;
    size_t start_ = 0;
    std::set<size_t> dimensioned_;  // the BOF offsets of substreams with their DIMENSION
};

void checkRecords(std::string_view stream) {
    const std::vector<Record> all = records(stream);
    if (all.empty() || all[0].type != kBof) throw Damaged{};
    const uint16_t version = u16(all[0].data, 0);
    if (version != 0x0600 && version != 0x0500) throw Damaged{};
    const bool biff8 = version == 0x0600;
    std::set<uint32_t> worksheets;  // the offsets of their BOF records
    Substreams substreams;
    for (size_t i = 0; i < all.size(); ++i) {
        const Record& r = all[i];
        substreams.record(r);
        if (r.type == kBoundSheet && u8(r.data, 5) == 0) worksheets.insert(u32(r.data, 0));
        if (r.type == kSst) SharedStrings(all, i);
        checkString(r, biff8);
    }
    // freexl gives a worksheet without a DIMENSION the cells of another sheet.
    for (uint32_t sheet : worksheets) {
        if (!substreams.hasDimension(sheet)) throw Damaged{};
    }
}

}  // namespace

void checkXls(const std::filesystem::path& file, const std::string& bytes) {
    try {
        const Compound compound(bytes);
        const std::optional<std::string> stream = compound.stream({u"Workbook", u"Book"});
        if (!stream) throw Damaged{};
        checkRecords(*stream);
    } catch (const Damaged&) {
        fail(file, "is not a valid workbook: its .xls contents are damaged");
    }
}

}  // namespace vtl::workbook::detail

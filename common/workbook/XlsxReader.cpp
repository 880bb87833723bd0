// The .xlsx reader: the zip container through minizip (from memory), its XML parts through expat.
#include <expat.h>
#include <unzip.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "workbook/Dates.h"
#include "workbook/WorkbookReaders.h"

namespace vtl::workbook::detail {

namespace {

// --- The zip container, read from the bytes in memory -------------------------------------------

struct MemoryStream {
    const std::string* bytes;
    uint64_t position = 0;
};

voidpf openMemory(voidpf opaque, const void*, int) {
    return opaque;
}

uLong readMemory(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* s = static_cast<MemoryStream*>(stream);
    const uint64_t left = s->bytes->size() - std::min<uint64_t>(s->position, s->bytes->size());
    const uLong count = static_cast<uLong>(std::min<uint64_t>(size, left));
    std::memcpy(buffer, s->bytes->data() + s->position, count);
    s->position += count;
    return count;
}

uLong writeMemory(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T tellMemory(voidpf, voidpf stream) {
    return static_cast<MemoryStream*>(stream)->position;
}

long seekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<MemoryStream*>(stream);
    uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                    : origin == ZLIB_FILEFUNC_SEEK_CUR ? s->position
                                                       : s->bytes->size();
    if (base + offset > s->bytes->size()) return -1;
    s->position = base + offset;
    return 0;
}

int closeMemory(voidpf, voidpf) {
    return 0;
}
int errorMemory(voidpf, voidpf) {
    return 0;
}

class Zip {
public:
    Zip(const std::filesystem::path& file, const std::string& bytes)
        : file_(file), stream_{&bytes} {
        zlib_filefunc64_def io{};
        io.zopen64_file = openMemory;
        io.zread_file = readMemory;
        io.zwrite_file = writeMemory;
        io.ztell64_file = tellMemory;
        io.zseek64_file = seekMemory;
        io.zclose_file = closeMemory;
        io.zerror_file = errorMemory;
        io.opaque = &stream_;
        zip_ = unzOpen2_64("memory", &io);
        if (zip_ == nullptr) fail(file_, "is not a valid workbook: its zip container is damaged");
    }
    ~Zip() { unzClose(zip_); }
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;

    bool has(const std::string& name) { return unzLocateFile(zip_, name.c_str(), 2) == UNZ_OK; }

    // The unpacked part; nullopt when the container has no such part.
    std::optional<std::string> part(const std::string& name) {
        if (!has(name)) return std::nullopt;
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(zip_) != UNZ_OK) {
            damaged(name);
        }
        std::string data;
        char buffer[65536];
        int got;
        while ((got = unzReadCurrentFile(zip_, buffer, sizeof buffer)) > 0) {
            unpacked_ += static_cast<uint64_t>(got);
            if (unpacked_ > kMaxUnpackedBytes) {
                unzCloseCurrentFile(zip_);
                fail(file_, "is too large: it unpacks to more than 256 MiB");
            }
            data.append(buffer, static_cast<size_t>(got));
        }
        // A CRC mismatch or a truncated entry shows at the close.
        if (unzCloseCurrentFile(zip_) != UNZ_OK || got < 0) damaged(name);
        return data;
    }

private:
    [[noreturn]] void damaged(const std::string& name) {
        fail(file_, "is not a valid workbook: its part " + name + " is damaged");
    }

    std::filesystem::path file_;
    MemoryStream stream_;
    unzFile zip_ = nullptr;
    uint64_t unpacked_ = 0;
};

// --- XML parts ----------------------------------------------------------------------------------

// Names without their namespace: expat joins the namespace and the local name with '|'.
std::string_view localName(const char* name) {
    std::string_view n(name);
    size_t bar = n.rfind('|');
    return bar == std::string_view::npos ? n : n.substr(bar + 1);
}

// The attributes of one element as expat passes them (name, value, ..., null), by local name.
class Attributes {
public:
    explicit Attributes(const XML_Char** raw) : raw_(raw) {}
    bool contains(std::string_view name) const { return find(name) != nullptr; }
    // The value; "" when the element has no such attribute.
    std::string_view at(std::string_view name) const {
        const XML_Char* value = find(name);
        return value != nullptr ? std::string_view(value) : std::string_view();
    }

private:
    const XML_Char* find(std::string_view name) const {
        for (const XML_Char** a = raw_; *a != nullptr; a += 2) {
            if (localName(a[0]) == name) return a[1];
        }
        return nullptr;
    }
    const XML_Char** raw_;
};

struct XmlHandler {
    std::function<void(std::string_view, const Attributes&)> start;
    std::function<void(std::string_view)> end;
    std::function<void(std::string_view)> text;
};

struct XmlState {
    XML_Parser parser;
    const XmlHandler* handler;
    bool doctype = false;
};

void parseXml(const std::filesystem::path& file, const std::string& partName,
              const std::string& xml, const XmlHandler& handler) {
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(
        XML_ParserCreateNS(nullptr, '|'), &XML_ParserFree);
    XmlState state{parser.get(), &handler};
    XML_SetUserData(parser.get(), &state);
    // Workbook parts never carry a document type; refusing one rules out entity expansion.
    XML_SetStartDoctypeDeclHandler(
        parser.get(), [](void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
            auto* s = static_cast<XmlState*>(data);
            s->doctype = true;
            XML_StopParser(s->parser, XML_FALSE);
        });
    XML_SetElementHandler(
        parser.get(),
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto* s = static_cast<XmlState*>(data);
            if (!s->handler->start) return;
            s->handler->start(localName(name), Attributes(attributes));
        },
        [](void* data, const XML_Char* name) {
            auto* s = static_cast<XmlState*>(data);
            if (s->handler->end) s->handler->end(localName(name));
        });
    XML_SetCharacterDataHandler(parser.get(), [](void* data, const XML_Char* text, int length) {
        auto* s = static_cast<XmlState*>(data);
        if (s->handler->text) s->handler->text(std::string_view(text, static_cast<size_t>(length)));
    });
    const bool ok = XML_Parse(parser.get(), xml.data(), static_cast<int>(xml.size()), XML_TRUE) ==
                    XML_STATUS_OK;
    if (state.doctype) fail(file, "is refused: its part " + partName + " declares a document type");
    if (!ok) {
        fail(file, "is not a valid workbook: its part " + partName + " is not well-formed XML (" +
                       XML_ErrorString(XML_GetErrorCode(parser.get())) + ")");
    }
}

// --- Parts of the workbook ----------------------------------------------------------------------

// Tables of a workbook are bounded too: a few bytes of XML per entry must not turn into hundreds
// of megabytes of memory. Excel itself keeps fewer than 65,536 cell formats.
constexpr size_t kMaxEntries = 65536;

void checkCount(const std::filesystem::path& file, size_t count, uint64_t limit,
                const std::string& what) {
    if (count >= limit)
        fail(file, "is too large: it holds more than " + std::to_string(limit) + " " + what);
}

std::string partPath(std::string_view target) {
    if (!target.empty() && target.front() == '/') return std::string(target.substr(1));
    std::string path = "xl/" + std::string(target);
    // Targets are relative to xl/; "../" leaves it.
    while (path.find("/../") != std::string::npos) {
        size_t up = path.find("/../");
        size_t parent = path.rfind('/', up == 0 ? 0 : up - 1);
        path.erase(parent == std::string::npos ? 0 : parent + 1,
                   up + 4 - (parent == std::string::npos ? 0 : parent + 1));
    }
    return path;
}

struct Relationships {
    std::map<std::string, std::string> targets;  // id -> part path
    std::string sharedStrings = "xl/sharedStrings.xml";
    std::string styles = "xl/styles.xml";
};

Relationships readRelationships(const std::filesystem::path& file, Zip& zip) {
    Relationships rels;
    std::optional<std::string> xml = zip.part("xl/_rels/workbook.xml.rels");
    if (!xml) return rels;
    XmlHandler h;
    h.start = [&](std::string_view name, const Attributes& a) {
        if (name != "Relationship" || !a.contains("Id") || !a.contains("Target")) return;
        std::string path = partPath(a.at("Target"));
        std::string_view type = a.contains("Type") ? a.at("Type") : std::string_view();
        if (type.ends_with("/sharedStrings")) rels.sharedStrings = path;
        if (type.ends_with("/styles")) rels.styles = path;
        rels.targets[std::string(a.at("Id"))] = path;
    };
    parseXml(file, "xl/_rels/workbook.xml.rels", *xml, h);
    return rels;
}

// An attribute that is on unless it says "0" or "false"; absent means on.
bool isTrue(const Attributes& a, std::string_view name = "val") {
    if (!a.contains(name)) return true;
    std::string_view v = a.at(name);
    return v != "0" && v != "false";
}

struct SheetEntry {
    std::string name;
    std::string part;
};

struct SheetList {
    std::vector<SheetEntry> sheets;
    bool date1904 = false;  // the workbook counts its dates from 1904
};

SheetList readSheetList(const std::filesystem::path& file, Zip& zip, const Relationships& rels) {
    std::optional<std::string> xml = zip.part("xl/workbook.xml");
    if (!xml) fail(file, "is not a valid workbook: it has no part xl/workbook.xml");
    SheetList list;
    std::vector<SheetEntry>& sheets = list.sheets;
    XmlHandler h;
    h.start = [&](std::string_view name, const Attributes& a) {
        if (name == "workbookPr" && a.contains("date1904")) list.date1904 = isTrue(a, "date1904");
        if (name != "sheet" || !a.contains("name")) return;
        auto target =
            a.contains("id") ? rels.targets.find(std::string(a.at("id"))) : rels.targets.end();
        std::string part = target != rels.targets.end()
                               ? target->second
                               : "xl/worksheets/sheet" + std::to_string(sheets.size() + 1) + ".xml";
        checkCount(file, sheets.size(), kMaxEntries, "sheets");
        sheets.push_back({std::string(a.at("name")), part});
    };
    parseXml(file, "xl/workbook.xml", *xml, h);
    return list;
}

// Texts of <t> elements under <si> (or <is>), rich text runs joined, phonetic runs left out.
class TextCollector {
public:
    void start(std::string_view name) {
        if (name == "rPh") ++phonetic_;
        if (name == "t" && phonetic_ == 0) inText_ = true;
    }
    void end(std::string_view name) {
        if (name == "rPh") --phonetic_;
        if (name == "t") inText_ = false;
    }
    void text(std::string_view t) {
        if (inText_) value += t;
    }
    std::string value;

private:
    bool inText_ = false;
    int phonetic_ = 0;
};

std::vector<std::string> readSharedStrings(const std::filesystem::path& file, Zip& zip,
                                           const std::string& part) {
    std::vector<std::string> strings;
    std::optional<std::string> xml = zip.part(part);
    if (!xml) return strings;
    TextCollector collector;
    XmlHandler h;
    h.start = [&](std::string_view name, const Attributes&) {
        if (name == "si") collector.value.clear();
        collector.start(name);
    };
    h.end = [&](std::string_view name) {
        collector.end(name);
        if (name != "si") return;
        checkCount(file, strings.size(), kMaxCells, "shared texts");
        strings.push_back(std::move(collector.value));
    };
    h.text = [&](std::string_view t) { collector.text(t); };
    parseXml(file, part, *xml, h);
    return strings;
}

struct Style {
    bool bold = false;
    std::string numberFormat;
};

// Built-in number formats that have a code of their own; 0 is "General", kept as empty. The date
// and time formats (14 to 22, 45 to 47) show as the codes the file format names for them.
std::string builtInFormat(int id) {
    static const std::map<int, std::string> formats{{1, "0"},
                                                    {2, "0.00"},
                                                    {3, "#,##0"},
                                                    {4, "#,##0.00"},
                                                    {9, "0%"},
                                                    {10, "0.00%"},
                                                    {11, "0.00E+00"},
                                                    {14, "mm-dd-yy"},
                                                    {15, "d-mmm-yy"},
                                                    {16, "d-mmm"},
                                                    {17, "mmm-yy"},
                                                    {18, "h:mm AM/PM"},
                                                    {19, "h:mm:ss AM/PM"},
                                                    {20, "h:mm"},
                                                    {21, "h:mm:ss"},
                                                    {22, "m/d/yy h:mm"},
                                                    {45, "mm:ss"},
                                                    {46, "[h]:mm:ss"},
                                                    {47, "mmss.0"},
                                                    {49, "@"}};
    auto f = formats.find(id);
    return f == formats.end() ? std::string() : f->second;
}

int number(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > 100000000) return value;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<Style> readStyles(const std::filesystem::path& file, Zip& zip,
                              const std::string& part) {
    std::vector<Style> styles;
    std::optional<std::string> xml = zip.part(part);
    if (!xml) return styles;
    std::map<int, std::string> customFormats;
    std::vector<bool> boldFonts;
    std::string_view section;
    XmlHandler h;
    h.start = [&](std::string_view name, const Attributes& a) {
        if (name == "numFmts" || name == "fonts" || name == "cellXfs" || name == "cellStyleXfs" ||
            name == "dxfs") {
            section = name == "numFmts"   ? "numFmts"
                      : name == "fonts"   ? "fonts"
                      : name == "cellXfs" ? "cellXfs"
                                          : "other";
        } else if (section == "numFmts" && name == "numFmt" && a.contains("numFmtId")) {
            checkCount(file, customFormats.size(), kMaxEntries, "number formats");
            customFormats[number(a.at("numFmtId"))] =
                a.contains("formatCode") ? a.at("formatCode") : "";
        } else if (section == "fonts" && name == "font") {
            checkCount(file, boldFonts.size(), kMaxEntries, "fonts");
            boldFonts.push_back(false);
        } else if (section == "fonts" && name == "b" && !boldFonts.empty()) {
            boldFonts.back() = isTrue(a);
        } else if (section == "cellXfs" && name == "xf") {
            checkCount(file, styles.size(), kMaxEntries, "cell formats");
            Style style;
            size_t font = a.contains("fontId") ? static_cast<size_t>(number(a.at("fontId"))) : 0;
            style.bold = font < boldFonts.size() && boldFonts[font];
            int format = a.contains("numFmtId") ? number(a.at("numFmtId")) : 0;
            auto custom = customFormats.find(format);
            style.numberFormat =
                custom != customFormats.end() ? custom->second : builtInFormat(format);
            if (style.numberFormat == "General") style.numberFormat.clear();
            styles.push_back(style);
        }
    };
    h.end = [&](std::string_view name) {
        if (name == "numFmts" || name == "fonts" || name == "cellXfs" || name == "cellStyleXfs" ||
            name == "dxfs") {
            section = {};
        }
    };
    parseXml(file, part, *xml, h);
    return styles;
}

// "AB12" -> row 12, column 28; false for anything that is not a cell reference in the sheet.
bool parseReference(std::string_view ref, int32_t& row, int32_t& column) {
    size_t i = 0;
    int64_t c = 0, r = 0;
    while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])) && c <= kMaxColumn) {
        c = c * 26 + (std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
        ++i;
    }
    if (i == 0 || i == ref.size()) return false;
    for (; i < ref.size(); ++i) {
        if (ref[i] < '0' || ref[i] > '9' || r > kMaxRow) return false;
        r = r * 10 + (ref[i] - '0');
    }
    if (c > kMaxColumn || r < 1 || r > kMaxRow) return false;
    row = static_cast<int32_t>(r);
    column = static_cast<int32_t>(c);
    return true;
}

double parseNumber(std::string_view text) {
    std::string s(text);
    char* end = nullptr;
    double value = std::strtod(s.c_str(), &end);
    return end == s.c_str() ? 0 : value;
}

struct SheetContext {
    const std::filesystem::path& file;
    const std::vector<std::string>& strings;
    const std::vector<Style>& styles;
    CellBudget& budget;
    bool date1904;
};

// The serial date of 1904-01-01 in the dates counted from 1900.
constexpr double kDays1900To1904 = 1462;

class SheetReader {
public:
    SheetReader(const SheetContext& context, Sheet& sheet) : c_(context), sheet_(sheet) {}

    void start(std::string_view name, const Attributes& a) {
        if (name == "row") {
            row_ = a.contains("r") ? number(a.at("r")) : row_ + 1;
            column_ = 0;
        } else if (name == "c") {
            startCell(a);
        } else if (inCell_ && name == "f") {
            formula_ = true;
        } else if (inCell_ && (name == "v" || name == "is")) {
            inValue_ = name == "v";
            if (name == "is") inline_.emplace();
        } else if (inline_) {
            inline_->start(name);
        }
    }

    void end(std::string_view name) {
        if (inline_) inline_->end(name);
        if (name == "v") inValue_ = false;
        if (name == "c") endCell();
    }

    void text(std::string_view t) {
        if (inValue_) value_ += t;
        if (inline_) inline_->text(t);
    }

private:
    void startCell(const Attributes& a) {
        int32_t row = row_, column = column_ + 1;
        if (a.contains("r") && !parseReference(a.at("r"), row, column)) {
            fail(c_.file, "is not a valid workbook: a cell of sheet " + sheet_.name +
                              " has the reference " + std::string(a.at("r")));
        }
        if (row < 1 || row > kMaxRow || column > kMaxColumn) {
            fail(c_.file, "is not a valid workbook: sheet " + sheet_.name +
                              " holds a cell outside the sheet");
        }
        row_ = row;
        column_ = column;
        inCell_ = true;
        type_ = a.contains("t") ? std::string(a.at("t")) : "n";
        style_ = a.contains("s") ? static_cast<size_t>(number(a.at("s"))) : 0;
        value_.clear();
        inline_.reset();
        formula_ = false;
    }

    void endCell() {
        inCell_ = false;
        Cell cell;
        if (style_ < c_.styles.size()) {
            cell.bold = c_.styles[style_].bold;
            cell.numberFormat = c_.styles[style_].numberFormat;
        }
        cell.formula = formula_;
        setValue(cell);
        inline_.reset();
        if (cell == Cell{}) return;
        c_.budget.cell(sheet_, widths_, row_, column_) = std::move(cell);
    }

    void setValue(Cell& cell) {
        if (type_ == "inlineStr") {
            if (inline_) setText(cell, std::move(inline_->value));
        } else if (value_.empty()) {
            return;
        } else if (type_ == "s") {
            size_t index = static_cast<size_t>(number(value_));
            if (index >= c_.strings.size()) {
                fail(c_.file, "is not a valid workbook: sheet " + sheet_.name +
                                  " names a missing shared text");
            }
            setText(cell, c_.strings[index]);
        } else if (type_ == "str" || type_ == "e") {
            setText(cell, value_);
        } else if (type_ == "d") {
            setIsoDate(cell);
        } else {  // "n" and "b": TRUE and FALSE read as the numbers 1 and 0
            cell.type = Cell::Type::Number;
            cell.number = parseNumber(value_);
            // Dates counted from 1904 become the serial dates counted from 1900.
            if (c_.date1904 && isDateFormat(cell.numberFormat)) cell.number += kDays1900To1904;
        }
    }

    // A date written as an ISO 8601 text ("2024-05-14", "2024-05-14T15:30:05.250Z") is the same
    // date as a number in a date format; one that is no date stays its text.
    void setIsoDate(Cell& cell) const {
        std::string text = value_.substr(0, std::min(value_.find_first_of(".Z+"), size_t{19}));
        if (text.size() > 10 && text[10] == 'T') text[10] = ' ';
        const std::optional<double> serial = serialOfText(text);
        if (!serial) return setText(cell, value_);
        cell.type = Cell::Type::Number;
        cell.number = *serial;
        if (!isDateFormat(cell.numberFormat))
            cell.numberFormat = text.size() > 10 ? "yyyy-mm-dd hh:mm:ss" : "yyyy-mm-dd";
    }

    static void setText(Cell& cell, std::string text) {
        cell.type = Cell::Type::Text;
        cell.text = std::move(text);
    }

    const SheetContext& c_;
    Sheet& sheet_;
    std::vector<int32_t> widths_;
    int32_t row_ = 0, column_ = 0;
    bool inCell_ = false, inValue_ = false, formula_ = false;
    std::string type_, value_;
    size_t style_ = 0;
    std::optional<TextCollector> inline_;
};

}  // namespace

Cell& CellBudget::cell(Sheet& sheet, std::vector<int32_t>& widths, int32_t row, int32_t column) {
    if (static_cast<int32_t>(widths.size()) < row) {
        used_ +=
            static_cast<uint64_t>(row - static_cast<int32_t>(widths.size()));  // a row costs a cell
        widths.resize(static_cast<size_t>(row), 0);
    }
    int32_t& width = widths[static_cast<size_t>(row - 1)];
    if (column > width) {
        used_ += static_cast<uint64_t>(column - width);
        width = column;
    }
    if (used_ > kMaxCells) fail(file_, "is too large: it holds more than 4194304 cells");
    return sheet.cell(row, column);
}

WorkbookData readXlsx(const std::filesystem::path& file, const std::string& bytes) {
    Zip zip(file, bytes);
    if (zip.has("xl/workbook.bin")) {
        fail(file, "is a binary workbook (.xlsb), which cannot be read; save it as .xlsx or .xls");
    }
    Relationships rels = readRelationships(file, zip);
    const SheetList list = readSheetList(file, zip, rels);
    const std::vector<SheetEntry>& entries = list.sheets;
    if (entries.empty()) fail(file, "holds no worksheet");
    std::vector<std::string> strings = readSharedStrings(file, zip, rels.sharedStrings);
    std::vector<Style> styles = readStyles(file, zip, rels.styles);
    CellBudget budget(file);
    SheetContext context{file, strings, styles, budget, list.date1904};
    WorkbookData workbook;
    for (const SheetEntry& entry : entries) {
        Sheet& sheet = workbook.sheets.emplace_back();
        sheet.name = entry.name;
        std::optional<std::string> xml = zip.part(entry.part);
        if (!xml)
            fail(file, "is not a valid workbook: the part of sheet " + entry.name + " is missing");
        SheetReader reader(context, sheet);
        XmlHandler h;
        h.start = [&](std::string_view name, const Attributes& a) { reader.start(name, a); };
        h.end = [&](std::string_view name) { reader.end(name); };
        h.text = [&](std::string_view t) { reader.text(t); };
        parseXml(file, entry.part, *xml, h);
    }
    return workbook;
}

}  // namespace vtl::workbook::detail

#include "workbook/ExcelRange.h"

#include <cctype>
#include <optional>
#include <utility>

#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "workbook/Dates.h"
#include "workbook/WorkbookFile.h"

namespace vtl::excel {

namespace detail {

using workbook::Cell;
using workbook::Sheet;

namespace {

// One reference: letters, digits or both, each part optionally after "$".
bool parseReference(std::string_view ref, int32_t& row, int32_t& column) {
    size_t i = 0;
    if (i < ref.size() && ref[i] == '$') ++i;
    int64_t c = 0, r = 0;
    size_t letters = i;
    while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])) && c <= 16384) {
        c = c * 26 + (std::toupper(static_cast<unsigned char>(ref[i++])) - 'A' + 1);
    }
    letters = i - letters;
    if (i < ref.size() && ref[i] == '$' && letters > 0) ++i;
    size_t digits = i;
    while (i < ref.size() && std::isdigit(static_cast<unsigned char>(ref[i])) && r <= kSheetRows) {
        r = r * 10 + (ref[i++] - '0');
    }
    digits = i - digits;
    if (i != ref.size() || (letters == 0 && digits == 0) || c > 16384 || r > kSheetRows)
        return false;
    if (digits > 0 && r == 0) return false;
    column = letters > 0 ? static_cast<int32_t>(c) : 0;
    row = digits > 0 ? static_cast<int32_t>(r) : 0;
    return true;
}

}  // namespace

bool parseAddress(const std::string& address, Area& area) {
    size_t colon = address.find(':');
    std::string first = address.substr(0, colon);
    std::string second = colon == std::string::npos ? first : address.substr(colon + 1);
    int32_t r1, c1, r2, c2;
    if (!parseReference(first, r1, c1) || !parseReference(second, r2, c2)) return false;
    if ((r1 == 0) != (r2 == 0) || (c1 == 0) != (c2 == 0)) return false;
    if (colon == std::string::npos && (r1 == 0 || c1 == 0)) return false;
    area = {r1 == 0 ? 1 : std::min(r1, r2), c1 == 0 ? 1 : std::min(c1, c2),
            r1 == 0 ? kSheetRows : std::max(r1, r2), c1 == 0 ? 16384 : std::max(c1, c2)};
    return true;
}

std::string columnName(int32_t column) {
    std::string name;
    for (; column > 0; column = (column - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
    return name;
}

namespace {

// --- Find's patterns: "*" any run, "?" one character, "~" the next character as it is --------

struct Token {
    enum class Kind { Literal, One, Any } kind;
    std::string_view character;
};

std::vector<Token> tokens(std::string_view pattern) {
    std::vector<Token> out;
    std::vector<std::string_view> chars = text::characters(pattern);
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] == "~" && i + 1 < chars.size()) {
            out.push_back({Token::Kind::Literal, chars[++i]});
        } else if (chars[i] == "*") {
            out.push_back({Token::Kind::Any, {}});
        } else {
            out.push_back({chars[i] == "?" ? Token::Kind::One : Token::Kind::Literal, chars[i]});
        }
    }
    return out;
}

bool matches(const std::vector<Token>& pattern, const std::vector<std::string_view>& chars) {
    // Iterative matching with one backtrack point for the last "*".
    size_t p = 0, t = 0, star = std::string::npos, resume = 0;
    while (t < chars.size()) {
        if (p < pattern.size() && pattern[p].kind == Token::Kind::Any) {
            star = p++;
            resume = t;
        } else if (p < pattern.size() &&
                   (pattern[p].kind == Token::Kind::One || pattern[p].character == chars[t])) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p].kind == Token::Kind::Any) ++p;
    return p == pattern.size();
}

class NothingRange final : public Range, public RangeFont {
public:
    int32_t Row() override { throw objectNotSet(); }
    int32_t Column() override { throw objectNotSet(); }
    Variant Value() override { throw objectNotSet(); }
    void Value(const Variant&) override { throw objectNotSet(); }
    std::string NumberFormat() override { throw objectNotSet(); }
    void NumberFormat(const std::string&) override { throw objectNotSet(); }
    RangeFont& Font() override { throw objectNotSet(); }
    bool Bold() override { throw objectNotSet(); }
    void Bold(bool) override { throw objectNotSet(); }
    void Select() override { throw objectNotSet(); }
    RangeRows Rows() override { throw objectNotSet(); }
    RangePtr Find(const Variant&, const RangePtr&, long, long, long, long) override {
        throw objectNotSet();
    }
};

class CellRange final : public Range, public RangeFont {
public:
    CellRange(std::shared_ptr<Book> book, size_t sheet, Area area, std::string label)
        : book_(std::move(book)), sheet_(sheet), area_(area), label_(std::move(label)) {}

    int32_t Row() override { return area_.row1; }
    int32_t Column() override { return area_.column1; }
    Variant Value() override { return value(effective(area_.row1, area_.column1)); }
    void Value(const Variant& value) override {
        book_->log(label_ + ".Value = " + value.asText());
        forEachCell([&](Cell& cell) { assign(cell, value); });
    }
    std::string NumberFormat() override {
        std::string format = effective(area_.row1, area_.column1).numberFormat;
        return format.empty() ? "General" : format;
    }
    void NumberFormat(const std::string& format) override {
        book_->log(label_ + ".NumberFormat = " + format);
        const std::string stored = format == "General" ? "" : format;
        setStyle([&](Cell& cell) { cell.numberFormat = stored; });
    }
    RangeFont& Font() override { return *this; }
    bool Bold() override { return effective(area_.row1, area_.column1).bold; }
    void Bold(bool bold) override {
        book_->log(label_ + ".Font.Bold = " + (bold ? "True" : "False"));
        setStyle([&](Cell& cell) { cell.bold = bold; });
    }
    void Select() override { book_->log(label_ + ".Select"); }
    RangeRows Rows() override { return {area_.row2 - area_.row1 + 1}; }
    RangePtr Find(const Variant& what, const RangePtr& after, long, long lookAt, long order,
                  long direction) override;

private:
    Sheet& sheet() { return book_->data.sheets[sheet_]; }
    std::map<int32_t, Cell>& columns() { return book_->columnFormats[sheet_]; }

    Cell effective(int32_t row, int32_t column) {
        Cell cell = sheet().at(row, column);
        auto format = columns().find(column);
        if (format != columns().end() && cell.numberFormat.empty())
            cell.numberFormat = format->second.numberFormat;
        if (format != columns().end() && !cell.bold) cell.bold = format->second.bold;
        return cell;
    }

    static Variant value(const Cell& cell) {
        if (cell.type == Cell::Type::Text) return Variant(cell.text);
        if (const std::optional<double> date = workbook::dateOf(cell)) return Variant::date(*date);
        if (cell.type == Cell::Type::Number) return Variant(cell.number);
        return Variant();
    }

    static void assign(Cell& cell, const Variant& value) {
        cell.type = value.isEmpty() ? Cell::Type::Empty : Cell::Type::Text;
        cell.text.clear();
        cell.number = 0;
        cell.formula = false;
        if (value.isNumber()) {
            cell.type = Cell::Type::Number;
            cell.number = value.number();
        } else if (value.isDate()) {
            // As Excel does, a date put into a cell without a date format gives it one.
            cell.type = Cell::Type::Number;
            cell.number = value.date();
            if (!workbook::isDateFormat(cell.numberFormat)) cell.numberFormat = "yyyy-mm-dd";
        } else if (value.isText()) {
            setText(cell, value.text());
        }
    }

    static void setText(Cell& cell, const std::string& text) {
        if (text.starts_with("'")) {
            cell.text = text.substr(1);
            return;
        }
        std::optional<double> number;
        try {
            if (cell.numberFormat != "@") number = num::parseNumber(text);
        } catch (const Error&) {
            // beyond a double: kept as the text it is
        }
        if (number) {
            cell.type = Cell::Type::Number;
            cell.number = *number;
        } else {
            cell.text = text;
        }
    }

    // The rows a change reaches: whole columns end at the last used row.
    int32_t lastRow() {
        return area_.wholeColumns() ? std::min(area_.row2, sheet().lastRow()) : area_.row2;
    }

    template <class F>
    void forEachCell(F&& change) {
        for (int32_t row = area_.row1, last = lastRow(); row <= last; ++row) {
            for (int32_t column = area_.column1; column <= area_.column2; ++column) {
                Cell& cell = sheet().cell(row, column);
                Cell styled = effective(row, column);
                cell.numberFormat = styled.numberFormat;
                cell.bold = styled.bold;
                change(cell);
            }
        }
    }

    template <class F>
    void setStyle(F&& change) {
        if (area_.wholeColumns()) {
            for (int32_t column = area_.column1; column <= area_.column2; ++column)
                change(columns()[column]);
            for (int32_t row = area_.row1, last = lastRow(); row <= last; ++row) {
                for (int32_t column = area_.column1; column <= area_.column2; ++column) {
                    if (sheet().at(row, column).type != Cell::Type::Empty)
                        change(sheet().cell(row, column));
                }
            }
            return;
        }
        forEachCell(change);
    }

    RangePtr cellAt(int32_t row, int32_t column) {
        return makeRange(book_, sheet_, {row, column, row, column},
                         "Range(" + columnName(column) + std::to_string(row) + ")");
    }

    std::shared_ptr<Book> book_;
    size_t sheet_;
    Area area_;
    std::string label_;
};

RangePtr CellRange::Find(const Variant& what, const RangePtr& after, long, long lookAt, long order,
                         long direction) {
    const std::string lowered = text::lower(what.asText());  // the tokens point into it
    std::vector<Token> pattern = tokens(lowered);
    if (lookAt != xlWhole) {
        pattern.insert(pattern.begin(), {Token::Kind::Any, {}});
        pattern.push_back({Token::Kind::Any, {}});
    }
    // Only used cells can match: the search runs over the range within the used area.
    const Sheet& s = sheet();
    const int32_t r1 = std::max(area_.row1, std::max(s.firstRow(), 1)),
                  r2 = std::min(area_.row2, s.lastRow());
    const int32_t c1 = std::max(area_.column1, std::max(s.firstColumn(), 1)),
                  c2 = std::min(area_.column2, s.lastColumn());
    if (r1 > r2 || c1 > c2) return nothing();
    const int64_t rows = r2 - r1 + 1, cols = c2 - c1 + 1, total = rows * cols;
    const bool byRows = order != xlByColumns;
    // Cells in search order, compared by (row, column) or (column, row).
    auto key = [&](int32_t row, int32_t column) {
        return byRows ? std::pair(row, column) : std::pair(column, row);
    };
    const auto afterKey =
        after ? key(after->Row(), after->Column()) : key(area_.row1, area_.column1);
    const bool back = direction == xlPrevious;
    std::optional<std::pair<int32_t, int32_t>> wrapped;  // the first match from the other end
    for (int64_t i = 0; i < total; ++i) {
        const int64_t k = back ? total - 1 - i : i;
        const int32_t row = static_cast<int32_t>(r1 + (byRows ? k / cols : k % rows));
        const int32_t column = static_cast<int32_t>(c1 + (byRows ? k % cols : k / rows));
        const bool beyond = back ? key(row, column) < afterKey : key(row, column) > afterKey;
        if (!beyond && wrapped) continue;
        const Cell& cell = s.at(row, column);
        if (cell.type == Cell::Type::Empty) continue;
        if (!matches(pattern, text::characters(text::lower(value(cell).asText())))) continue;
        if (beyond) return cellAt(row, column);
        wrapped = std::pair(row, column);
    }
    if (wrapped) return cellAt(wrapped->first, wrapped->second);
    return nothing();
}

}  // namespace

RangePtr makeRange(std::shared_ptr<Book> book, size_t sheet, Area area, std::string label) {
    return std::make_shared<CellRange>(std::move(book), sheet, area, std::move(label));
}

RangePtr nothing() {
    return std::make_shared<NothingRange>();
}

}  // namespace detail
}  // namespace vtl::excel

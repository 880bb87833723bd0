#include "workbook/JetProvider.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>
#include <vector>

#include "common/RegistryModule.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "workbook/Condition.h"
#include "workbook/Dates.h"
#include "workbook/Recordset.h"
#include "workbook/WorkbookFile.h"

namespace vtl::ado::jet {

namespace {

// The default reader: the workbook file itself.
workbook::WorkbookData readWorkbookFile(const std::filesystem::path& file) {
    return workbook::readWorkbook(file);
}

WorkbookReader& installedReader() {
    static WorkbookReader reader;
    return reader;
}

constexpr int32_t kSheetRows = 65536;  // the rows and columns of an Excel 8.0 sheet
constexpr int32_t kSheetColumns = 256;
constexpr long kTextSize = 255;

Error jetError(long number, const std::string& description) {
    return Error(number, "Microsoft JET Database Engine", description);
}

// --- Connection string -------------------------------------------------------------------------

using Properties = std::vector<std::pair<std::string, std::string>>;

// The ";"-separated items of a connection string; a ";" inside double quotes is part of its item.
std::vector<std::string> items(std::string_view s) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (const char c : s) {
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    if (quoted) throw adoError(adoerr::WrongArguments);
    return out;
}

// "Key=Value" items, a value in double quotes without them; an item without "=" is a key alone.
Properties parseProperties(std::string_view s) {
    Properties props;
    for (const std::string& item : items(s)) {
        const size_t eq = item.find('=');
        std::string key = text::trim(item.substr(0, eq));
        std::string value = eq == std::string::npos ? "" : text::trim(item.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (!key.empty()) props.emplace_back(std::move(key), std::move(value));
    }
    return props;
}

std::optional<std::string> property(const Properties& props, std::string_view key) {
    for (const auto& [k, v] : props) {
        if (text::iequals(k, key)) return v;
    }
    return std::nullopt;
}

void checkExcelProperties(const std::string& extended) {
    const Properties props = parseProperties(extended);
    if (!property(props, "Excel 8.0"))
        throw jetError(kGeneralError, "Could not find installable ISAM.");
    if (!text::iequals(property(props, "HDR").value_or("YES"), "NO") ||
        property(props, "IMEX").value_or("0") != "1") {
        throw jetError(kGeneralError,
                       "Only workbooks read without headers in import mode (IMEX=1;HDR=NO) are "
                       "supported.");
    }
}

// --- The query ---------------------------------------------------------------------------------

struct Query {
    std::vector<std::string> fields;  // empty for "*"
    std::string table;
    std::string where;
};

std::string unbracketed(std::string s) {
    s = text::trim(s);
    if (s.size() >= 2 && s.front() == '[' && s.back() == ']') s = s.substr(1, s.size() - 2);
    return s;
}

Query parseQuery(std::string_view command) {
    std::string s = text::trimSpace(command);
    while (!s.empty() && (s.back() == ';' || std::isspace(static_cast<unsigned char>(s.back()))))
        s.pop_back();
    if (!text::istartsWith(s, "SELECT ")) {
        throw jetError(kSyntaxError,
                       "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', "
                       "'SELECT', or 'UPDATE'.");
    }
    const size_t from = text::ifind(s, " FROM ");
    if (from == std::string::npos) throw jetError(kSyntaxError, "Syntax error in FROM clause.");
    Query q;
    const std::string list = text::trim(std::string_view(s).substr(7, from - 7));
    if (list != "*") {
        for (const std::string& item : text::split(list, ','))
            q.fields.push_back(unbracketed(item));
    }
    const std::string rest = text::trim(std::string_view(s).substr(from + 6));
    const size_t close = rest.find(']');
    if (rest.empty() || rest.front() != '[' || close == std::string::npos) {
        throw jetError(kSyntaxError, "Syntax error in FROM clause.");
    }
    q.table = rest.substr(1, close - 1);
    const std::string after = text::trim(std::string_view(rest).substr(close + 1));
    if (!after.empty() && !text::istartsWith(after, "WHERE")) {
        throw jetError(kSyntaxError, "Syntax error in FROM clause.");
    }
    if (!after.empty()) q.where = after.substr(5);
    return q;
}

// --- The sheet area ----------------------------------------------------------------------------

struct Area {
    const workbook::Sheet* sheet = nullptr;
    int32_t firstRow = 1;
    int32_t lastRow = 0;  // the last row read: the range's end or the sheet's last used row
    int32_t firstColumn = 1;
    int32_t width = kSheetColumns;
    int32_t starWidth = 1;  // the fields "*" selects
};

// "E40" as column 5, row 40.
std::optional<std::pair<int32_t, int32_t>> cellReference(std::string_view ref) {
    size_t i = 0;
    int32_t column = 0;
    while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])) && i < 2) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
        ++i;
    }
    const std::optional<int32_t> row = num::parseWhole32(ref.substr(i));
    if (i == 0 || !row || ref.substr(i).find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    if (column > kSheetColumns || *row < 1 || *row > kSheetRows) return std::nullopt;
    return std::make_pair(column, *row);
}

Area findArea(const workbook::WorkbookData& book, const std::string& table) {
    const Error notFound = jetError(
        kObjectNotFound, "The Microsoft Jet database engine could not find the object '" + table +
                             "'. Make sure the object exists and that you spell its name and "
                             "path name correctly.");
    std::string name = table;
    if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'')
        name = name.substr(1, name.size() - 2);
    const size_t dollar = name.rfind('$');
    if (dollar == std::string::npos) throw notFound;
    const auto sheet = std::find_if(book.sheets.begin(), book.sheets.end(), [&](const auto& s) {
        return text::iequals(s.name, std::string_view(name).substr(0, dollar));
    });
    if (sheet == book.sheets.end()) throw notFound;
    Area area{&*sheet};
    area.lastRow = sheet->lastRow();
    area.starWidth = std::max(1, sheet->lastColumn());
    const std::string range = name.substr(dollar + 1);
    if (range.empty()) return area;  // the whole sheet, from A1
    const std::vector<std::string> corners = text::split(range, ':');
    if (corners.size() != 2) throw notFound;
    const auto a = cellReference(corners[0]);
    const auto b = cellReference(corners[1]);
    if (!a || !b) throw notFound;
    area.firstColumn = std::min(a->first, b->first);
    area.width = std::abs(a->first - b->first) + 1;
    area.starWidth = area.width;
    area.firstRow = std::min(a->second, b->second);
    area.lastRow = std::min(std::max(a->second, b->second), area.lastRow);
    return area;
}

// --- Columns -----------------------------------------------------------------------------------

int typeGuessRows() {
    using namespace RegistryModule;
    const RegData data = RegGetValue(HKEY_LOCAL_MACHINE, kEngineKey, kTypeGuessRows, "", true);
    if (const auto* n = std::get_if<int32_t>(&data)) return *n >= 0 ? *n : kDefaultTypeGuessRows;
    if (const auto* s = std::get_if<std::string>(&data)) {
        const std::optional<int32_t> n = num::parseWhole32(*s);
        if (n && *n >= 0) return *n;
    }
    return kDefaultTypeGuessRows;
}

// What a column's guessed rows hold: numbers only, texts only, or both or nothing (read as text,
// numbers in their text form).
enum class Guess { Numbers, Texts, Mixed };

Guess guessColumn(const Area& area, int32_t column, int guessRows) {
    bool numbers = false;
    bool texts = false;
    const int32_t last =
        guessRows == 0 ? area.lastRow : std::min(area.lastRow, area.firstRow + guessRows - 1);
    for (int32_t row = area.firstRow; row <= last; ++row) {
        const workbook::Cell& cell = area.sheet->at(row, column);
        const bool date = workbook::dateOf(cell).has_value();
        numbers = numbers || (cell.type == workbook::Cell::Type::Number && !date);
        texts = texts || cell.type == workbook::Cell::Type::Text || date;
    }
    if (numbers && !texts) return Guess::Numbers;
    return texts && !numbers ? Guess::Texts : Guess::Mixed;
}

// A cell as its column delivers it; a value the column's type cannot hold is Null. A date is
// delivered as its short date, the text the callers compare.
Value cellValue(const workbook::Cell& cell, Guess guess) {
    using Type = workbook::Cell::Type;
    if (const std::optional<double> date = workbook::dateOf(cell)) {
        return guess != Guess::Numbers ? Value(workbook::dateText(*date)) : Value::null();
    }
    if (cell.type == Type::Number && guess != Guess::Texts) {
        return guess == Guess::Numbers ? Value(cell.number) : Value(num::text(cell.number));
    }
    if (cell.type == Type::Text && guess != Guess::Numbers) return Value(cell.text);
    return Value::null();
}

// The field number of a name "F1", "F2", ... within the area; -1 for any other name.
int fieldNumber(std::string_view name, const Area& area) {
    if (name.size() < 2 || std::toupper(static_cast<unsigned char>(name[0])) != 'F') return -1;
    if (name.substr(1).find_first_not_of("0123456789") != std::string_view::npos) return -1;
    const std::optional<int32_t> n = num::parseWhole32(name.substr(1));
    return n && *n >= 1 && *n <= area.width ? *n : -1;
}

std::vector<int> selectedFields(const Query& q, const Area& area) {
    std::vector<int> numbers;
    if (q.fields.empty()) {
        for (int n = 1; n <= area.starWidth; ++n) numbers.push_back(n);
    }
    for (const std::string& name : q.fields) {
        const int n = fieldNumber(name, area);
        if (n < 0)
            throw jetError(kMissingParameter,
                           "No value given for one or more required parameters.");
        numbers.push_back(n);
    }
    return numbers;
}

std::optional<Condition> whereCondition(const Query& q, const Area& area, int& widest) {
    if (text::trim(q.where).empty()) return std::nullopt;
    try {
        return Condition::parse(q.where, [&](std::string_view name) {
            const int n = fieldNumber(name, area);
            widest = std::max(widest, n);
            return n - 1;
        });
    } catch (const ConditionError& e) {
        if (e.kind() == ConditionError::Kind::UnknownField) {
            throw jetError(kMissingParameter,
                           "No value given for one or more required parameters.");
        }
        throw jetError(kSyntaxError,
                       "Syntax error in query expression '" + text::trim(q.where) + "'.");
    }
}

Table runQuery(const workbook::WorkbookData& book, const Query& q) {
    const Area area = findArea(book, q.table);
    const std::vector<int> selected = selectedFields(q, area);
    int widest = *std::max_element(selected.begin(), selected.end());
    const std::optional<Condition> where = whereCondition(q, area, widest);

    const int guessRows = typeGuessRows();
    std::vector<Guess> guesses;
    for (int n = 1; n <= widest; ++n)
        guesses.push_back(guessColumn(area, area.firstColumn + n - 1, guessRows));
    Table table;
    for (int n : selected) {
        const bool numbers = guesses[n - 1] == Guess::Numbers;
        table.fields.push_back(
            {"F" + num::text(n), numbers ? adDouble : adVarWChar, numbers ? 0 : kTextSize, 0});
    }
    for (int32_t r = area.firstRow; r <= area.lastRow; ++r) {
        Row row;
        for (int n = 1; n <= widest; ++n)
            row.push_back(cellValue(area.sheet->at(r, area.firstColumn + n - 1), guesses[n - 1]));
        if (where && !where->holds(row)) continue;
        Row out;
        for (int n : selected) out.push_back(row[n - 1]);
        table.rows.push_back(std::move(out));
    }
    return table;
}

}  // namespace

void setWorkbookReader(WorkbookReader reader) {
    installedReader() = std::move(reader);
}

Table openCommand(const std::string& connection, const std::string& command) {
    const Properties props = parseProperties(connection);
    if (!text::iequals(property(props, "Provider").value_or(""), kProvider)) {
        throw adoError(adoerr::ProviderNotFound);
    }
    checkExcelProperties(property(props, "Extended Properties").value_or(""));
    const std::string file = property(props, "Data Source").value_or("");
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(file, ec)) {
        throw jetError(kGeneralError, "Could not find file '" + file + "'.");
    }
    const Query query = parseQuery(command);
    const WorkbookReader& reader = installedReader();
    return runQuery(reader ? reader(file) : readWorkbookFile(file), query);
}

}  // namespace vtl::ado::jet

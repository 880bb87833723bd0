// The cells behind the Excel objects: an open workbook and the ranges of its sheets.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "workbook/Excel.h"
#include "workbook/WorkbookData.h"

namespace vtl::excel::detail {

// Sheets in Excel 97-2003 have 65536 rows; a range from row 1 to it spans whole columns.
inline constexpr int32_t kColumnRows = 65536;
inline constexpr int32_t kSheetRows = 1048576;

struct Book {
    workbook::WorkbookData data;
    std::filesystem::path file;  // empty until saved
    // Formats given to whole columns, per sheet: cells written later take them, but they do not
    // make the column used.
    std::vector<std::map<int32_t, workbook::Cell>> columnFormats;
    std::vector<std::string>* journal = nullptr;
    bool closed = false;

    void log(const std::string& line) {
        if (journal != nullptr) journal->push_back(line);
    }
};

struct Area {
    int32_t row1, column1, row2, column2;
    bool wholeColumns() const { return row1 == 1 && row2 >= kColumnRows; }
};

// "A1", "B2:E7", "A:B", "$A$1"; false for anything else.
bool parseAddress(const std::string& address, Area& area);
std::string columnName(int32_t column);

RangePtr makeRange(std::shared_ptr<Book> book, size_t sheet, Area area, std::string label);
RangePtr nothing();

}  // namespace vtl::excel::detail

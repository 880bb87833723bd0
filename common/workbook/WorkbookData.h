// The contents of a workbook file as the Excel facade and the Jet reader see them: sheets of
// typed cells, rows and columns counted from 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtl::workbook {

struct Cell {
    enum class Type { Empty, Text, Number };
    Type type = Type::Empty;
    std::string text;   // Text: the value as stored (UTF-8)
    double number = 0;  // Number: the value
    bool bold = false;
    std::string numberFormat;  // "General" when empty; "@" is the text format; a date format
                               // makes a number a date (workbook/Dates.h)
    // A formula: its value is the result the file stored with it, Empty when it stored none;
    // either way the cell is used.
    bool formula = false;
    bool operator==(const Cell&) const = default;
};

class Sheet {
public:
    std::string name;

    // The cell at (row, column), both from 1; an empty cell where nothing was stored.
    const Cell& at(int32_t row, int32_t column) const;
    // The cell at (row, column) for writing; the sheet grows to hold it.
    Cell& cell(int32_t row, int32_t column);

    // The last row and column that hold a stored cell (0 for none), and the first ones.
    int32_t lastRow() const;
    int32_t lastColumn() const;
    int32_t firstRow() const;
    int32_t firstColumn() const;

private:
    std::vector<std::vector<Cell>> rows_;  // rows_[row - 1][column - 1]
};

struct WorkbookData {
    std::vector<Sheet> sheets;  // in the workbook's order; a readable workbook has one at least
};

}  // namespace vtl::workbook

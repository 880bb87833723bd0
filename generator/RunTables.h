// The run tables: fixed text tables whose bounds are checked on every access, as the runtime's
// fixed arrays are. Rows are only materialised once written, so a table is cheap to reset per
// header file and reading an unwritten row inside the bounds gives empty texts.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/Error.h"

namespace vtl {

// The runtime's error for an index outside a fixed array.
inline constexpr long kSubscriptOutOfRange = err::SubscriptOutOfRange;

// Raises error 9 "Subscript out of range".
[[noreturn]] void raiseSubscriptOutOfRange();

// A text table with rows 0 to LastRow and columns 0 to LastColumn.
template <int LastRow, int LastColumn>
class TextTable {
public:
    static constexpr int kLastRow = LastRow;
    static constexpr int kLastColumn = LastColumn;
    using Row = std::array<std::string, LastColumn + 1>;

    // The text at (row, column); error 9 outside the bounds.
    const std::string& operator()(int row, int column) const {
        check(row, column);
        if (row >= static_cast<int>(rows_.size())) return empty();
        return rows_[row][column];
    }

    void set(int row, int column, std::string value) {
        check(row, column);
        materialise(row)[column] = std::move(value);
    }

    // Columns first to last of another table's row copied into this table's row.
    template <class Other>
    void copyColumns(int row, const Other& from, int fromRow, int first, int last) {
        check(row, first);
        check(row, last);
        for (int column = first; column <= last; ++column) set(row, column, from(fromRow, column));
    }

    // Every column of the row becomes empty.
    void clearRow(int row) {
        check(row, 0);
        if (row < static_cast<int>(rows_.size())) rows_[row] = Row{};
    }

    // Every row becomes empty.
    void clear() { rows_.clear(); }

private:
    static void check(int row, int column) {
        if (row < 0 || row > LastRow || column < 0 || column > LastColumn) {
            raiseSubscriptOutOfRange();
        }
    }
    static const std::string& empty() {
        static const std::string none;
        return none;
    }
    Row& materialise(int row) {
        if (row >= static_cast<int>(rows_.size())) rows_.resize(row + 1);
        return rows_[row];
    }

    std::vector<Row> rows_;
};

// TopoTable, IdfTable and LineEndTable.
using RunTable = TextTable<9999, 20>;

}  // namespace vtl

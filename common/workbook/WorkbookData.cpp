#include "workbook/WorkbookData.h"

#include <algorithm>
#include <stdexcept>

namespace vtl::workbook {

namespace {

const Cell kEmpty;

bool stored(const Cell& cell) {
    return cell.type != Cell::Type::Empty || cell.bold || !cell.numberFormat.empty() ||
           cell.formula;
}

}  // namespace

const Cell& Sheet::at(int32_t row, int32_t column) const {
    if (row < 1 || column < 1 || row > static_cast<int32_t>(rows_.size())) return kEmpty;
    const std::vector<Cell>& cells = rows_[row - 1];
    if (column > static_cast<int32_t>(cells.size())) return kEmpty;
    return cells[column - 1];
}

Cell& Sheet::cell(int32_t row, int32_t column) {
    if (row < 1 || column < 1) throw std::out_of_range("rows and columns count from 1");
    if (row > static_cast<int32_t>(rows_.size())) rows_.resize(row);
    std::vector<Cell>& cells = rows_[row - 1];
    if (column > static_cast<int32_t>(cells.size())) cells.resize(column);
    return cells[column - 1];
}

int32_t Sheet::lastRow() const {
    for (int32_t row = static_cast<int32_t>(rows_.size()); row >= 1; --row) {
        for (const Cell& c : rows_[row - 1]) {
            if (stored(c)) return row;
        }
    }
    return 0;
}

int32_t Sheet::firstRow() const {
    for (int32_t row = 1; row <= static_cast<int32_t>(rows_.size()); ++row) {
        for (const Cell& c : rows_[row - 1]) {
            if (stored(c)) return row;
        }
    }
    return 0;
}

int32_t Sheet::lastColumn() const {
    int32_t last = 0;
    for (const std::vector<Cell>& cells : rows_) {
        for (int32_t column = static_cast<int32_t>(cells.size()); column > last; --column) {
            if (stored(cells[column - 1])) {
                last = column;
                break;
            }
        }
    }
    return last;
}

int32_t Sheet::firstColumn() const {
    int32_t first = 0;
    for (const std::vector<Cell>& cells : rows_) {
        const int32_t size = static_cast<int32_t>(cells.size());
        const int32_t limit = first == 0 ? size : std::min(size, first - 1);
        for (int32_t column = 1; column <= limit; ++column) {
            if (stored(cells[column - 1])) {
                first = column;
                break;
            }
        }
    }
    return first;
}

}  // namespace vtl::workbook

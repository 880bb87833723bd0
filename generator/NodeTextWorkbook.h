// The node-text workbook as the node filling reads it (first worksheet only): row 1 holds the
// header "filename" over the file column and node headers ("nn=5") over the node columns; each
// further row names an iso drawing in its file cell and gives the texts of its nodes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "workbook/Excel.h"

namespace vtl::NodeTextWorkbook {

// Node numbers the texts are kept for: 0 to 999.
inline constexpr int32_t kNodeNumbers = 1000;
// The columns searched for the file header and for node headers.
inline constexpr int32_t kFileHeaderColumns = 251;
inline constexpr int32_t kNodeColumns = 250;
// The rows that name drawings.
inline constexpr int32_t kFirstFileRow = 2;
inline constexpr int32_t kLastFileRow = 2001;

// The texts of one drawing by node number; an empty text leaves its node as it is.
using NodeTexts = std::array<std::string, kNodeNumbers>;

// The first of the columns 1 to 251 whose row-1 cell is exactly "filename"; 0 when none is.
int32_t fileColumn(excel::Worksheet& sheet);

// The node number a header names: a header whose trimmed text contains "nn=" (any case) names
// the number after its first "nn=", read as a leading number and rounded to a whole number
// (halves to even). Nothing for any other header, and for a number beyond the 32-bit range.
std::optional<int64_t> nodeNumberOf(const std::string& header);

// A node column: its column and the node number its header names (0 to 999).
struct NodeColumn {
    int32_t column = 0;
    int32_t node = 0;
};

// A column whose header names no node number from 0 to 999 ("nn=1000"): left out of the filling.
struct RejectedHeader {
    int32_t column = 0;
    std::string header;
};

struct NodeHeaders {
    std::vector<NodeColumn> columns;
    std::vector<RejectedHeader> rejected;
};

// The node headers of the columns 1 to 250, in column order.
NodeHeaders nodeHeaders(excel::Worksheet& sheet);

// The first of the rows 2 to 2001 whose file cell is not empty and occurs in the drawing's path,
// ignoring case (a cell "ISO12" belongs to ".../ISO123.i01" too); 0 when none does.
int32_t drawingRow(excel::Worksheet& sheet, int32_t fileColumn, const std::string& path);

// The trimmed text of a cell; an empty cell gives "".
std::string cellText(excel::Worksheet& sheet, int32_t row, int32_t column);

}  // namespace vtl::NodeTextWorkbook

#include "NodeTextWorkbook.h"

#include <cmath>

#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::NodeTextWorkbook {

namespace {

std::string rawText(excel::Worksheet& sheet, int32_t row, int32_t column) {
    return sheet.Cells(row, column)->Value().asText();
}

}  // namespace

std::string cellText(excel::Worksheet& sheet, int32_t row, int32_t column) {
    return text::trim(rawText(sheet, row, column));
}

int32_t fileColumn(excel::Worksheet& sheet) {
    for (int32_t column = 1; column <= kFileHeaderColumns; ++column) {
        if (rawText(sheet, 1, column) == "filename") return column;
    }
    return 0;
}

std::optional<int64_t> nodeNumberOf(const std::string& header) {
    const std::string trimmed = text::trim(header);
    const size_t at = text::ifind(trimmed, "nn=");
    if (at == std::string::npos) return {};
    // The number follows the first "nn=" wherever it stands ("Pos nn=5" is node 5).
    const double value = num::leadingNumber(std::string_view(trimmed).substr(at + 3));
    if (!(std::fabs(value) < 2147483647.0)) return {};
    return num::toLong(value);
}

NodeHeaders nodeHeaders(excel::Worksheet& sheet) {
    NodeHeaders headers;
    for (int32_t column = 1; column <= kNodeColumns; ++column) {
        const std::string header = rawText(sheet, 1, column);
        std::optional<int64_t> node = nodeNumberOf(header);
        if (node && *node >= 0 && *node < kNodeNumbers) {
            headers.columns.push_back({column, static_cast<int32_t>(*node)});
        } else if (text::ifind(header, "nn=") != std::string::npos) {
            headers.rejected.push_back({column, header});
        }
    }
    return headers;
}

int32_t drawingRow(excel::Worksheet& sheet, int32_t fileColumn, const std::string& path) {
    for (int32_t row = kFirstFileRow; row <= kLastFileRow; ++row) {
        const std::string file = rawText(sheet, row, fileColumn);
        if (!file.empty() && text::ifind(path, file) != std::string::npos) return row;
    }
    return 0;
}

}  // namespace vtl::NodeTextWorkbook

// The two readers behind readWorkbook and what they share; not part of the library's interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "workbook/WorkbookData.h"

namespace vtl::workbook::detail {

// Workbooks beyond these limits are refused before they exhaust memory: the bytes unpacked from
// one .xlsx and the cells of one workbook (counted as the area the rows span).
inline constexpr uint64_t kMaxUnpackedBytes = 256ull << 20;
inline constexpr uint64_t kMaxCells = 4ull << 20;
// Excel's own sheet limits.
inline constexpr int32_t kMaxRow = 1048576;
inline constexpr int32_t kMaxColumn = 16384;

[[noreturn]] void fail(const std::filesystem::path& file, const std::string& why);

// Stores cells into a sheet and refuses a workbook that grows beyond kMaxCells.
class CellBudget {
public:
    explicit CellBudget(const std::filesystem::path& file) : file_(file) {}
    Cell& cell(Sheet& sheet, std::vector<int32_t>& widths, int32_t row, int32_t column);

private:
    std::filesystem::path file_;
    uint64_t used_ = 0;
};

WorkbookData readXlsx(const std::filesystem::path& file, const std::string& bytes);
WorkbookData readXls(const std::filesystem::path& file);
// Refuses an .xls whose directory, records or strings do not fit their lengths, before freexl
// reads past its buffers on them.
void checkXls(const std::filesystem::path& file, const std::string& bytes);

}  // namespace vtl::workbook::detail

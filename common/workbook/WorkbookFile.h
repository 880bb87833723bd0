// Workbook files on disk: read by content (.xlsx or .xls), written as .xlsx.
#pragma once

#include <filesystem>

#include "workbook/WorkbookData.h"

namespace vtl::workbook {

// The error number of every failure to read or write a workbook file, as Excel raises it.
inline constexpr long kWorkbookError = 1004;

// Reads a workbook file, deciding the format by content (.xlsx zip or .xls BIFF8 compound file).
// Raises vtl::Error (core/Error.h) with a number and a clear description for a missing, locked,
// corrupt, password-protected, .xlsb or sheetless file; the file is never changed.
WorkbookData readWorkbook(const std::filesystem::path& file);

// Writes the workbook as .xlsx (libxlsxwriter): cell types, bold and number format "@" kept.
void writeXlsx(const WorkbookData& workbook, const std::filesystem::path& file);

}  // namespace vtl::workbook

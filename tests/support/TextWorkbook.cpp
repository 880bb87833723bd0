#include "support/TextWorkbook.h"

#include "workbook/WorkbookFile.h"

namespace vtl::test {

std::filesystem::path writeTextWorkbook(const std::filesystem::path& file,
                                        const std::vector<std::vector<std::string>>& rows) {
    workbook::WorkbookData data;
    workbook::Sheet& sheet = data.sheets.emplace_back();
    sheet.name = "Sheet1";
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            if (rows[r][c].empty()) continue;
            workbook::Cell& cell =
                sheet.cell(static_cast<int32_t>(r + 1), static_cast<int32_t>(c + 1));
            cell.type = workbook::Cell::Type::Text;
            cell.text = rows[r][c];
        }
    }
    workbook::writeXlsx(data, file);
    return file;
}

}  // namespace vtl::test

// The .xls (BIFF8) reader through freexl: sheets and cell values; freexl gives no cell styles.
#include <freexl.h>

#include "workbook/Dates.h"
#include "workbook/WorkbookReaders.h"

namespace vtl::workbook::detail {

namespace {

class XlsHandle {
public:
    explicit XlsHandle(const std::filesystem::path& file) : file_(file) {
        int rc = freexl_open(file.c_str(), &handle_);
        if (rc != FREEXL_OK) fail(file_, "is not a valid workbook: its .xls contents are damaged");
    }
    ~XlsHandle() {
        if (handle_ != nullptr) freexl_close(handle_);
    }
    XlsHandle(const XlsHandle&) = delete;
    XlsHandle& operator=(const XlsHandle&) = delete;

    unsigned info(unsigned short what) const {
        unsigned value = 0;
        if (freexl_get_info(handle_, what, &value) != FREEXL_OK) damaged();
        return value;
    }
    const void* get() const { return handle_; }
    [[noreturn]] void damaged() const {
        fail(file_, "is not a valid workbook: its .xls contents are damaged");
    }

private:
    std::filesystem::path file_;
    const void* handle_ = nullptr;
};

// freexl hands a date over as its text and gives no cell formats: the cell gets back its serial
// date and a format that shows what the text showed.
void storeDate(Cell& cell, const FreeXL_CellValue& value) {
    const char* text = value.value.text_value != nullptr ? value.value.text_value : "";
    const std::optional<double> serial = serialOfText(text);
    if (!serial) {
        cell.type = Cell::Type::Text;
        cell.text = text;
        return;
    }
    cell.type = Cell::Type::Number;
    cell.number = *serial;
    cell.numberFormat = value.type == FREEXL_CELL_DATE       ? "yyyy-mm-dd"
                        : value.type == FREEXL_CELL_DATETIME ? "yyyy-mm-dd hh:mm:ss"
                                                             : "hh:mm:ss";
}

void storeValue(Cell& cell, const FreeXL_CellValue& value) {
    switch (value.type) {
        case FREEXL_CELL_INT:
            cell.type = Cell::Type::Number;
            cell.number = value.value.int_value;
            break;
        case FREEXL_CELL_DOUBLE:
            cell.type = Cell::Type::Number;
            cell.number = value.value.double_value;
            break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            cell.type = Cell::Type::Text;
            cell.text = value.value.text_value != nullptr ? value.value.text_value : "";
            break;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            storeDate(cell, value);
            break;
        default:
            break;
    }
}

void readSheet(const XlsHandle& xls, unsigned short index, Sheet& sheet, CellBudget& budget) {
    const char* name = nullptr;
    if (freexl_get_worksheet_name(xls.get(), index, &name) != FREEXL_OK ||
        freexl_select_active_worksheet(xls.get(), index) != FREEXL_OK) {
        xls.damaged();
    }
    sheet.name = name != nullptr ? name : "";
    unsigned rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(xls.get(), &rows, &columns) != FREEXL_OK) xls.damaged();
    std::vector<int32_t> widths;
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value{};
            if (freexl_get_cell_value(xls.get(), r, c, &value) != FREEXL_OK) xls.damaged();
            if (value.type == FREEXL_CELL_NULL) continue;
            Cell cell;
            storeValue(cell, value);
            budget.cell(sheet, widths, static_cast<int32_t>(r + 1), static_cast<int32_t>(c + 1)) =
                std::move(cell);
        }
    }
}

}  // namespace

WorkbookData readXls(const std::filesystem::path& file) {
    XlsHandle xls(file);
    if (xls.info(FREEXL_BIFF_PASSWORD) == FREEXL_BIFF_OBFUSCATED) {
        fail(file, "is protected by a password and cannot be read");
    }
    const unsigned count = xls.info(FREEXL_BIFF_SHEET_COUNT);
    if (count == 0) fail(file, "holds no worksheet");
    CellBudget budget(file);
    WorkbookData workbook;
    workbook.sheets.resize(count);
    for (unsigned i = 0; i < count; ++i)
        readSheet(xls, static_cast<unsigned short>(i), workbook.sheets[i], budget);
    return workbook;
}

}  // namespace vtl::workbook::detail

// The .xlsx writer through libxlsxwriter. The file is written beside its destination and renamed
// over it only when complete, so a failed save leaves the earlier file as it was.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <map>
#include <utility>

#include "workbook/WorkbookFile.h"
#include "workbook/WorkbookReaders.h"

namespace vtl::workbook {

namespace {

using detail::fail;

bool lockedByAnother(const std::filesystem::path& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return locked;
}

class Writer {
public:
    Writer(const std::filesystem::path& file, const std::filesystem::path& temp) : file_(file) {
        book_ = workbook_new(temp.c_str());
        if (book_ == nullptr) fail(file_, "cannot be written");
    }
    ~Writer() {
        if (book_ != nullptr) workbook_close(book_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void sheet(const Sheet& sheet) {
        lxw_worksheet* out =
            workbook_add_worksheet(book_, sheet.name.empty() ? nullptr : sheet.name.c_str());
        if (out == nullptr)
            fail(file_, "cannot be written: the sheet name '" + sheet.name + "' is not valid");
        // The used area is found once: each bound is a walk over the sheet.
        const int32_t lastRow = sheet.lastRow(), lastColumn = sheet.lastColumn();
        for (int32_t row = std::max(sheet.firstRow(), 1); row <= lastRow; ++row) {
            for (int32_t column = 1; column <= lastColumn; ++column) {
                cell(out, row, column, sheet.at(row, column));
            }
        }
    }

    void close() {
        lxw_error rc = workbook_close(book_);
        book_ = nullptr;
        if (rc != LXW_NO_ERROR) fail(file_, std::string("cannot be written: ") + lxw_strerror(rc));
    }

private:
    void cell(lxw_worksheet* out, int32_t row, int32_t column, const Cell& cell) {
        const auto r = static_cast<lxw_row_t>(row - 1);
        const auto c = static_cast<lxw_col_t>(column - 1);
        lxw_format* f = format(cell);
        lxw_error rc = LXW_NO_ERROR;
        if (cell.type == Cell::Type::Text)
            rc = worksheet_write_string(out, r, c, cell.text.c_str(), f);
        if (cell.type == Cell::Type::Number) rc = worksheet_write_number(out, r, c, cell.number, f);
        if (cell.type == Cell::Type::Empty && f != nullptr)
            rc = worksheet_write_blank(out, r, c, f);
        if (rc != LXW_NO_ERROR) fail(file_, std::string("cannot be written: ") + lxw_strerror(rc));
    }

    lxw_format* format(const Cell& cell) {
        if (!cell.bold && cell.numberFormat.empty()) return nullptr;
        auto key = std::make_pair(cell.bold, cell.numberFormat);
        auto found = formats_.find(key);
        if (found != formats_.end()) return found->second;
        lxw_format* f = workbook_add_format(book_);
        if (cell.bold) format_set_bold(f);
        if (!cell.numberFormat.empty()) format_set_num_format(f, cell.numberFormat.c_str());
        return formats_[key] = f;
    }

    std::filesystem::path file_;
    lxw_workbook* book_ = nullptr;
    std::map<std::pair<bool, std::string>, lxw_format*> formats_;
};

}  // namespace

void writeXlsx(const WorkbookData& workbook, const std::filesystem::path& file) {
    if (lockedByAnother(file)) fail(file, "is locked for editing by another user");
    std::filesystem::path temp = file;
    temp += ".~" + std::to_string(::getpid());
    try {
        Writer writer(file, temp);
        if (workbook.sheets.empty()) writer.sheet(Sheet{});
        for (const Sheet& sheet : workbook.sheets) writer.sheet(sheet);
        writer.close();
        std::error_code ec;
        std::filesystem::rename(temp, file, ec);
        if (ec) fail(file, "cannot be written: " + ec.message());
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw;
    }
}

}  // namespace vtl::workbook

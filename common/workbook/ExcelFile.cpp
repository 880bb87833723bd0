#include "workbook/ExcelFile.h"

#include <algorithm>

#include "core/Error.h"
#include "workbook/ExcelRange.h"
#include "workbook/WorkbookFile.h"

namespace vtl::excel {

namespace {

using detail::Area;
using detail::Book;

class FileWorksheet final : public Worksheet {
public:
    FileWorksheet(std::shared_ptr<Book> book, size_t index)
        : book_(std::move(book)), index_(index) {}

    std::string Name() override { return book_->data.sheets[index_].name; }
    RangePtr Cells(int32_t row, int32_t column) override {
        if (row < 1 || column < 1 || row > detail::kSheetRows || column > 16384)
            fail("Cells(" + std::to_string(row) + ", " + std::to_string(column) + ")");
        return range({row, column, row, column},
                     "Cells(" + std::to_string(row) + ", " + std::to_string(column) + ")");
    }
    RangePtr Cells() override { return range({1, 1, detail::kSheetRows, 16384}, "Cells"); }
    RangePtr Range(const std::string& address) override {
        Area area{};
        if (!detail::parseAddress(address, area)) fail("Range(" + address + ")");
        return range(area, "Range(" + address + ")");
    }
    RangePtr UsedRange() override {
        const workbook::Sheet& s = book_->data.sheets[index_];
        if (s.lastRow() == 0) return range({1, 1, 1, 1}, "UsedRange");
        return range({s.firstRow(), s.firstColumn(), s.lastRow(), s.lastColumn()}, "UsedRange");
    }

private:
    RangePtr range(Area area, std::string label) {
        return detail::makeRange(book_, index_, area, std::move(label));
    }
    [[noreturn]] static void fail(const std::string& call) {
        throw Error(workbook::kWorkbookError, "",
                    "Application-defined or object-defined error: " + call);
    }

    std::shared_ptr<Book> book_;
    size_t index_;
};

class FileWorkbook final : public Workbook {
public:
    explicit FileWorkbook(std::shared_ptr<Book> book) : book_(std::move(book)) {}

    WorksheetPtr Worksheets(int32_t index) override {
        if (index < 1 || index > static_cast<int32_t>(book_->data.sheets.size())) {
            throw Error(err::SubscriptOutOfRange, "", "Subscript out of range");
        }
        return std::make_shared<FileWorksheet>(book_, static_cast<size_t>(index - 1));
    }
    void SaveAs(const std::string& path) override {
        book_->log("SaveAs " + path);
        workbook::writeXlsx(book_->data, path);
        book_->file = path;
    }
    void Save() override {
        book_->log("Save");
        if (book_->file.empty())
            throw Error(workbook::kWorkbookError, "", "The workbook has no file to be saved to");
        workbook::writeXlsx(book_->data, book_->file);
    }
    void Close() override {
        book_->log("Close");
        book_->closed = true;
    }

private:
    std::shared_ptr<Book> book_;
};

std::shared_ptr<Book> newBook(workbook::WorkbookData data, std::vector<std::string>* journal) {
    auto book = std::make_shared<Book>();
    book->data = std::move(data);
    book->columnFormats.resize(book->data.sheets.size());
    book->journal = journal;
    return book;
}

class FileWorkbooks final : public Workbooks {
public:
    explicit FileWorkbooks(std::vector<std::string>* journal) : journal_(journal) {}

    WorkbookPtr Open(const std::string& path) override {
        log("Workbooks.Open " + path);
        auto book = newBook(workbook::readWorkbook(path), journal_);
        book->file = path;
        return add(book);
    }
    WorkbookPtr Add() override {
        log("Workbooks.Add");
        workbook::WorkbookData data;
        data.sheets.emplace_back().name = "Sheet1";
        return add(newBook(std::move(data), journal_));
    }
    WorkbookPtr Item(int32_t index) override {
        prune();
        if (index < 1 || index > Count())
            throw Error(err::SubscriptOutOfRange, "", "Subscript out of range");
        return std::make_shared<FileWorkbook>(books_[static_cast<size_t>(index - 1)]);
    }
    int32_t Count() override {
        prune();
        return static_cast<int32_t>(books_.size());
    }
    void closeAll() {
        for (auto& book : books_) book->closed = true;
        books_.clear();
    }

private:
    WorkbookPtr add(std::shared_ptr<Book> book) {
        prune();
        books_.push_back(book);
        return std::make_shared<FileWorkbook>(book);
    }
    void prune() {
        std::erase_if(books_, [](const std::shared_ptr<Book>& b) { return b->closed; });
    }
    void log(const std::string& line) {
        if (journal_ != nullptr) journal_->push_back(line);
    }

    std::vector<std::string>* journal_;
    std::vector<std::shared_ptr<Book>> books_;
};

class FileApplication final : public Application {
public:
    explicit FileApplication(std::vector<std::string>* journal)
        : journal_(journal), workbooks_(journal) {}

    excel::Workbooks& Workbooks() override { return workbooks_; }
    bool Visible() override { return visible_; }
    void Visible(bool visible) override {
        log(std::string("Visible = ") + (visible ? "True" : "False"));
        visible_ = visible;
    }
    bool DisplayAlerts() override { return alerts_; }
    void DisplayAlerts(bool display) override {
        log(std::string("DisplayAlerts = ") + (display ? "True" : "False"));
        alerts_ = display;
    }
    void Quit() override {
        log("Quit");
        workbooks_.closeAll();
    }

private:
    void log(const std::string& line) {
        if (journal_ != nullptr) journal_->push_back(line);
    }

    std::vector<std::string>* journal_;
    FileWorkbooks workbooks_;
    bool visible_ = false;
    bool alerts_ = true;
};

}  // namespace

std::unique_ptr<Application> createApplication(std::vector<std::string>* journal) {
    return std::make_unique<FileApplication>(journal);
}

WorkbookPtr openWorkbookObject(const std::string& path) {
    FileWorkbooks workbooks(nullptr);
    return workbooks.Open(path);  // the workbook's cells stay with the object it returns
}

}  // namespace vtl::excel

// What the programs call on Excel's automation objects, with the members' own names. Implemented
// over workbook files (ExcelFile.h); the tests of the callers record the calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "workbook/Value.h"

namespace vtl::excel {

// The values a cell gives and takes, as the automation runtime's variants carry them: the same
// values as a recordset's fields (an empty cell reads as Empty here, never Null).
using Variant = ado::Value;

// Arguments of Find.
inline constexpr long xlValues = -4163;
inline constexpr long xlFormulas = -4123;
inline constexpr long xlWhole = 1;
inline constexpr long xlPart = 2;
inline constexpr long xlByRows = 1;
inline constexpr long xlByColumns = 2;
inline constexpr long xlNext = 1;
inline constexpr long xlPrevious = 2;

class Range;
using RangePtr = std::shared_ptr<Range>;

class RangeFont {
public:
    virtual ~RangeFont() = default;
    virtual bool Bold() = 0;
    virtual void Bold(bool bold) = 0;
};

struct RangeRows {
    int32_t count;
    int32_t Count() const { return count; }
};

// A block of cells. The range Find returns when it found nothing raises error 91 from every
// member, as a call through an unset object variable does.
class Range {
public:
    virtual ~Range() = default;
    virtual int32_t Row() = 0;
    virtual int32_t Column() = 0;
    // The value of the first cell; setting it sets every cell. A text set with a leading "'" is
    // stored as the rest, as text; another text that reads as a number is stored as the number
    // unless the cell has the text format "@".
    virtual Variant Value() = 0;
    virtual void Value(const Variant& value) = 0;
    virtual std::string NumberFormat() = 0;
    virtual void NumberFormat(const std::string& format) = 0;
    virtual RangeFont& Font() = 0;
    virtual void Select() = 0;
    virtual RangeRows Rows() = 0;
    // Searches the range's cells, ignoring case; What may hold "*" and "?", "~" takes the next
    // character as it is. The search starts after the After cell (the range's first cell when
    // null), goes by rows or by columns, forward or back, and wraps around.
    virtual RangePtr Find(const Variant& What, const RangePtr& After = nullptr,
                          long LookIn = xlFormulas, long LookAt = xlPart,
                          long SearchOrder = xlByRows, long SearchDirection = xlNext) = 0;
};

class Worksheet {
public:
    virtual ~Worksheet() = default;
    virtual std::string Name() = 0;
    virtual RangePtr Cells(int32_t row, int32_t column) = 0;
    // All cells of the sheet.
    virtual RangePtr Cells() = 0;
    // "A1", "A1:E1", "A:B", "$A$1"; a bad address raises error 1004.
    virtual RangePtr Range(const std::string& address) = 0;
    // From the first to the last used cell; the cell A1 on an empty sheet.
    virtual RangePtr UsedRange() = 0;
};
using WorksheetPtr = std::shared_ptr<Worksheet>;

class Workbook {
public:
    virtual ~Workbook() = default;
    // Counted from 1.
    virtual WorksheetPtr Worksheets(int32_t index) = 0;
    virtual void SaveAs(const std::string& path) = 0;
    virtual void Save() = 0;
    // Closes without saving.
    virtual void Close() = 0;
};
using WorkbookPtr = std::shared_ptr<Workbook>;

class Workbooks {
public:
    virtual ~Workbooks() = default;
    // A missing, damaged or locked file raises error 1004 naming the file.
    virtual WorkbookPtr Open(const std::string& path) = 0;
    // A new workbook with one empty sheet, not yet saved.
    virtual WorkbookPtr Add() = 0;
    // The open workbooks counted from 1.
    virtual WorkbookPtr Item(int32_t index) = 0;
    virtual int32_t Count() = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual excel::Workbooks& Workbooks() = 0;
    virtual bool Visible() = 0;
    virtual void Visible(bool visible) = 0;
    virtual bool DisplayAlerts() = 0;
    virtual void DisplayAlerts(bool display) = 0;
    // Ends the instance; open workbooks are closed unsaved.
    virtual void Quit() = 0;
};

}  // namespace vtl::excel

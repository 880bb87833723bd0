// Dates in workbooks. A workbook stores a date as a number, the days since 1900-01-00 with the
// time of day as the fraction (Excel's serial date, with its 1900-02-29); the cell's number format
// makes it a date. Its text is the short date as the programs show it: always the form
// "yyyy-mm-dd", followed by " hh:mm:ss" when it has a time of day, and the time alone for a
// serial below 1 (a time without a date). The form is fixed, as the programs fix the decimal
// separator, so a date reads the same on every machine.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "workbook/WorkbookData.h"

namespace vtl::workbook {

// The last serial date Excel shows: 9999-12-31 23:59:59.
inline constexpr double kLastSerialDate = 2958466.0;

// Whether a number format code shows a date or a time: it holds a day, month, year, hour or
// second code outside quoted texts, escaped characters and bracketed colours or conditions.
bool isDateFormat(std::string_view code);

// The serial date a cell holds: a number in a date or time format, within the dates Excel shows.
std::optional<double> dateOf(const Cell& cell);

// The short date of a serial date (see above).
std::string dateText(double serial);

// The serial date of a text "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" or "hh:mm:ss"; nullopt for any
// other text.
std::optional<double> serialOfText(std::string_view text);

}  // namespace vtl::workbook

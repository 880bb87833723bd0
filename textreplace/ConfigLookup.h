// The configuration workbook: its rows (Find, Replace, Level, Color, Weight on the first sheet,
// headers in row 1) read once into a table cut off from the workbook, and the lookups against
// it. Excel gives the sheet's name and last used row; the Jet provider reads the rows, with its
// TypeGuessRows set to 0 meanwhile so a column of mixed content is read as text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "workbook/Recordset.h"

namespace vtl::tarnwell {

// The text between two "'", as it stands.
std::string QuoteString(const std::string& text);
// The text with every "'" doubled.
std::string EscapeQuotes(const std::string& text);
// The text as a single-quoted SQL string literal.
std::string SqlQuote(const std::string& text);

// The registry key and value of the Jet Excel engine that the load sets to 0 and puts back.
inline constexpr char kJetExcelKey[] = "Software\\Microsoft\\Jet\\4.0\\Engines\\Excel";
inline constexpr char kTypeGuessRows[] = "TypeGuessRows";

// The table of the last load; nullptr before the first load and after CloseConfigRecordset.
std::shared_ptr<ado::Recordset>& ConfigRecordset();

// Loads the workbook's rows into ConfigRecordset, replacing the table held. Rows whose Find and
// Replace are the same text (letter case counts) and rows with neither are left out. A missing
// workbook raises error 1 "Excel config file: '<path>' not exists" and keeps the table held;
// other failures raise with "SearchInit" in front of their source, the table closed. No Excel
// instance is left behind, and TypeGuessRows is put back in either case.
void SearchInit(const std::string& workbook);

// The Replace of the first row whose Find is the text, exactly, and whose Level, Color and
// Weight are those given; "" when none matches. With -1 in any of the three: the text itself
// when some row's Find is the text, else "". "" without a table or for a blank text. Errors are
// raised with "Search4" in front of their source.
std::string Search4(const std::string& text, int16_t level, int16_t color, int16_t weight);

// True when some row's Find is the text, exactly, and its Level, Color and Weight are those
// given, whatever its Replace; false without a table or for a blank text. Errors are raised with
// "IsConfigured" in front of their source.
bool IsConfigured(const std::string& text, int16_t level, int16_t color, int16_t weight);

// Closes and releases the table; every error is ignored.
void CloseConfigRecordset();

}  // namespace vtl::tarnwell

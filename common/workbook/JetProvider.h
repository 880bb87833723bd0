// The Jet 4.0 OLE DB provider ("Microsoft.Jet.OLEDB.4.0") over Excel workbooks, for the query
// shapes the programs build: SELECT of fields F1, F2, ... (or *) FROM [Sheet$] or
// [Sheet$A2:E40], with an optional WHERE condition. Headers are off (fields named by column
// position), a date is read as its short date text, and a column of mixed content is read as
// text; each column's type is guessed from its first TypeGuessRows rows (the Jet Excel engine's
// registry value; 0 guesses over every row).
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "workbook/Table.h"
#include "workbook/WorkbookData.h"

namespace vtl::ado::jet {

inline constexpr char kProvider[] = "Microsoft.Jet.OLEDB.4.0";
inline constexpr char kEngineKey[] = "Software\\Microsoft\\Jet\\4.0\\Engines\\Excel";
inline constexpr char kTypeGuessRows[] = "TypeGuessRows";
// The rows guessed over when the registry holds no TypeGuessRows value.
inline constexpr int kDefaultTypeGuessRows = 8;

// Jet's error numbers.
inline constexpr long kGeneralError = -2147467259;
inline constexpr long kSyntaxError = -2147217900;
inline constexpr long kMissingParameter = -2147217904;
inline constexpr long kObjectNotFound = -2147217865;

// The rows of a command text on the data source of a connection string; raises 3706 when the
// string names another provider, Jet's own errors for a bad source or query.
Table openCommand(const std::string& connection, const std::string& command);

// Reads a workbook file, raising vtl::Error when it cannot.
using WorkbookReader = std::function<workbook::WorkbookData(const std::filesystem::path&)>;
// Replaces the reader that openCommand uses; an empty one brings the default back.
void setWorkbookReader(WorkbookReader reader);

}  // namespace vtl::ado::jet

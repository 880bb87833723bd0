#include "textreplace/ConfigLookup.h"

#include <optional>

#include "common/FileOperationModule.h"
#include "common/RegistryModule.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "textreplace/Events.h"
#include "textreplace/OutsidePrograms.h"
#include "textreplace/modTools.h"

namespace vtl::tarnwell {

namespace {

using namespace RegistryModule;

constexpr char kConnectionStart[] = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";
constexpr char kExtendedProperties[] = ";Extended Properties=\"Excel 8.0;IMEX=1;HDR=NO\";";
constexpr char kSelect[] = "SELECT [F1], [F2], [F3], [F4], [F5] FROM [";
// Find and Replace compared as the replacement compares texts: exactly, letter case counting
// (StrComp's binary mode), so a row that only changes the case of a text is kept.
constexpr char kWhere[] =
    "] WHERE(StrComp([F1], [F2], 0) <> 0 OR ([F1] IS NULL AND NOT [F2] IS NULL) "
    "OR (NOT [F1] IS NULL AND [F2] IS NULL));";

std::string registryText(const RegData& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<int32_t>(&value)) return std::to_string(*number);
    return "";
}

std::unique_ptr<excel::Application> createExcel() {
    try {
        return outside().createExcel();
    } catch (const Error&) {
        raise(kOwnError, "Microsoft Excel not found or not correct installed");
    }
}

// The first sheet's name and the range of its rows below the headers: "A2:E" and the last used
// row, at least 2, so a sheet of headers alone has no rows to read; "" for an empty sheet, which
// is read whole.
std::pair<std::string, std::string> sheetArea(excel::Application& excel, const std::string& path) {
    excel.Workbooks().Open(path);
    excel::WorksheetPtr sheet = excel.Workbooks().Item(1)->Worksheets(1);
    const std::string name = sheet->Name();
    std::string range;
    try {
        const int32_t last = sheet->Cells()
                                 ->Find(excel::Variant("*"), sheet->Range("A1"), excel::xlFormulas,
                                        excel::xlPart, excel::xlByRows, excel::xlPrevious)
                                 ->Row();
        range = "A2:E" + std::to_string(std::max(last, 2));
    } catch (const Error&) {  // nothing found: the sheet is empty
    }
    return {name, range};
}

std::shared_ptr<ado::Recordset> readRows(const std::string& path, const std::string& sheet,
                                         const std::string& range) {
    const std::string connection = kConnectionStart + path + kExtendedProperties;
    const std::string query = kSelect + sheet + "$" + range + kWhere;
    auto rows = std::make_shared<ado::Recordset>();
    rows->setCursorLocation(ado::adUseClient);
    rows->Open(query, connection, ado::adOpenStatic, ado::adLockReadOnly, ado::adCmdText);
    rows->setActiveConnection(nullptr);
    return rows;
}

}  // namespace

std::string QuoteString(const std::string& text) {
    return "'" + text + "'";
}

std::string EscapeQuotes(const std::string& text) {
    return text::replaceAll(text, "'", "''");
}

std::string SqlQuote(const std::string& text) {
    return QuoteString(EscapeQuotes(text));
}

std::shared_ptr<ado::Recordset>& ConfigRecordset() {
    static std::shared_ptr<ado::Recordset> table;
    return table;
}

void SearchInit(const std::string& workbook) {
    if (!FileOperationModule::IsFileExists(workbook, 0)) {
        raise(kOwnError, "Excel config file: " + QuoteString(workbook) + " not exists");
    }
    std::unique_ptr<excel::Application> excel;
    std::shared_ptr<ado::Recordset> rows;
    std::string guessRows;
    std::optional<Error> failure;
    try {
        CloseConfigRecordset();
        excel = createExcel();
        const auto [sheet, range] = sheetArea(*excel, workbook);
        excel->Quit();
        excel.reset();
        guessRows =
            registryText(RegGetValue(HKEY_LOCAL_MACHINE, kJetExcelKey, kTypeGuessRows, "", true));
        if (guessRows != "0")
            RegSetValue(HKEY_LOCAL_MACHINE, kJetExcelKey, kTypeGuessRows, "0", "");
        rows = readRows(workbook, sheet, range);
        ConfigRecordset() = rows;
    } catch (...) {
        failure = toError(std::current_exception());
        ResumeNext ignoring;
        ignoring([&] { modTools::CloseRecordset(rows); });
        ignoring([] { CloseConfigRecordset(); });
        ignoring([&] {
            if (excel) excel->Quit();
        });
        excel.reset();
    }
    if (!text::trim(guessRows).empty() && guessRows != "0") {
        RegSetValue(HKEY_LOCAL_MACHINE, kJetExcelKey, kTypeGuessRows, guessRows, "");
    }
    if (failure) throw passOnProcedure(*failure, "SearchInit");
}

namespace {

// The field of the first row that matches the text and, unless any of them is -1, the level,
// colour and weight; nullopt when none does.
std::optional<ado::Value> lookup(const std::string& text, int16_t level, int16_t color,
                                 int16_t weight, int field) {
    ado::Recordset* table = ConfigRecordset().get();
    if (text::trim(text).empty() || !table || table->State() == ado::adStateClosed) return {};
    std::string filter = "[F1] = " + SqlQuote(text);
    if (level != -1 && color != -1 && weight != -1) {
        filter += " AND [F3] = " + std::to_string(level) + " AND [F4] = " + std::to_string(color) +
                  " AND [F5] = " + std::to_string(weight);
    }
    table->setFilter(filter);
    // The filter compares texts regardless of letter case, as the provider does; a replacement
    // applies to its Find as it stands, so the first row whose Find is exactly the text answers.
    for (; !table->EOF_(); table->MoveNext()) {
        const ado::Value& find = table->Fields()(0).Value();
        if (find.isNull() || find.asText() != text) continue;
        return table->Fields()(field).Value();
    }
    return {};
}

}  // namespace

std::string Search4(const std::string& text, int16_t level, int16_t color, int16_t weight) {
    try {
        const bool existence = level == -1 || color == -1 || weight == -1;
        const std::optional<ado::Value> answer =
            lookup(text, level, color, weight, existence ? 0 : 1);
        return !answer || answer->isNull() ? "" : answer->asText();
    } catch (...) {
        throw passOnProcedure(toError(std::current_exception()), "Search4");
    }
}

bool IsConfigured(const std::string& text, int16_t level, int16_t color, int16_t weight) {
    try {
        return lookup(text, level, color, weight, 0).has_value();
    } catch (...) {
        throw passOnProcedure(toError(std::current_exception()), "IsConfigured");
    }
}

void CloseConfigRecordset() {
    modTools::CloseRecordset(ConfigRecordset());
}

}  // namespace vtl::tarnwell

#include "textreplace/TextExtract.h"

#include <memory>
#include <optional>
#include <set>
#include <tuple>

#include "common/FileOperationModule.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "platform/MessageBoxes.h"
#include "textreplace/ConfigLookup.h"
#include "textreplace/Events.h"
#include "textreplace/MSTNSession.h"
#include "textreplace/OutsidePrograms.h"
#include "textreplace/TextReplace.h"

namespace vtl::tarnwell {

using namespace FileOperationModule;

bool PrepareOutputWorkbook(const std::string& workbook) {
    if (!IsFileExists(workbook, 0)) return true;
    const int32_t answer =
        ShowMessage("Overwrite file " + workbook + "?", platform::vbQuestion + platform::vbYesNo);
    if (answer == platform::vbNo) return false;
    if (IsFileAlreadyInUse(workbook)) RaiseLastError();
    if (!DeleteFileA(workbook, false)) RaiseLastError();
    return true;
}

std::string AsCellText(const std::string& text) {
    bool number = true;
    try {
        number = num::parseNumber(text).has_value();
    } catch (const Error&) {  // a number too large for a double still reads as one
    }
    return number || text.starts_with("'") ? "'" + text : text;
}

namespace {

const char* const kHeaders[] = {"Find", "Replace", "Level", "Color", "Weight"};

// The texts of one file, each written once per level, colour and weight.
class SheetWriter {
public:
    explicit SheetWriter(excel::Worksheet& sheet) : sheet_(sheet) {
        const int32_t used = sheet.UsedRange()->Rows().Count();
        const bool filled = !text::trim(sheet.Cells(used, 1)->Value().asText()).empty();
        row_ = used + (filled ? 1 : 0);
    }

    void add(mstn::Element& element) {
        std::string text;
        if (element.GetString(text) != mstn::Application::MBE_Success) return;
        if (text::trim(text).empty()) return;
        const int32_t level = element.Level(), color = element.Color(), weight = element.Weight();
        if (!seen_.emplace(text, level, color, weight).second) return;
        if (IsConfigured(text, static_cast<int16_t>(level), static_cast<int16_t>(color),
                         static_cast<int16_t>(weight))) {
            return;
        }
        const std::string cell = AsCellText(text);
        sheet_.Cells(row_, 1)->Value(excel::Variant(cell));
        sheet_.Cells(row_, 2)->Value(excel::Variant(cell));
        sheet_.Cells(row_, 3)->Value(excel::Variant(level));
        sheet_.Cells(row_, 4)->Value(excel::Variant(color));
        sheet_.Cells(row_, 5)->Value(excel::Variant(weight));
        ++row_;
        ++lines_;
    }
    int32_t lines() const { return lines_; }

private:
    excel::Worksheet& sheet_;
    int32_t row_ = 1;
    int32_t lines_ = 0;
    std::set<std::tuple<std::string, int32_t, int32_t, int32_t>> seen_;
};

void writeHeaders(excel::Worksheet& sheet) {
    sheet.Range("A1:B65536")->NumberFormat("@");
    for (int32_t column = 1; column <= 5; ++column) {
        sheet.Cells(1, column)->Value(excel::Variant(kHeaders[column - 1]));
    }
    sheet.Range("A1:E1")->Font().Bold(true);
}

excel::WorkbookPtr openOutput(excel::Application& excel, const std::string& workbook) {
    if (IsFileExists(workbook, 0)) {
        LogEvent("Using existing excel workbook: '" + workbook + "' ...");
        return excel.Workbooks().Open(workbook);
    }
    LogEvent("Creating new excel workbook: '" + workbook + "' ...");
    excel::WorkbookPtr book = excel.Workbooks().Add();
    book->SaveAs(workbook);
    return book;
}

void saveOutput(excel::Application& excel, excel::Worksheet& sheet) {
    LogEvent("Saving current Excel Workbook ...");
    sheet.Range("A:A")->NumberFormat("@");
    sheet.Range("B:B")->NumberFormat("@");
    excel.DisplayAlerts(false);
    sheet.Range("A1")->Select();
    excel::WorkbookPtr book = excel.Workbooks().Item(1);
    book->Save();
    book->Close();
}

struct Extraction {
    std::unique_ptr<excel::Application> excel;
    std::shared_ptr<mstn::Application> microStation;
    int32_t lines = 0;
};

void extract(Extraction& run, const std::string& dgn, const std::string& workbook) {
    excel::Application& excel = *run.excel;
    openOutput(excel, workbook);
    excel::WorksheetPtr sheet = excel.Workbooks().Item(1)->Worksheets(1);
    excel.Visible(false);
    run.microStation = outside().openMicroStation();
    std::shared_ptr<mstn::Element> element = run.microStation->MbeElement();
    run.microStation->MbeSendCommand("newfile " + dgn);
    run.microStation->setVisible(0);
    writeHeaders(*sheet);
    SheetWriter writer(*sheet);
    walkTexts(
        *element, [&writer](mstn::Element& e) { writer.add(e); }, false);
    saveOutput(excel, *sheet);
    run.lines = writer.lines();
}

}  // namespace

void DGN2XLS(const std::string& dgn, const std::string& workbook, bool firstFile) {
    LogEvent("Importing DGN file: " + QuoteString(dgn) +
             " into excel file: " + QuoteString(workbook) + " ...");
    Extraction run;
    std::optional<Error> failure;
    try {
        checkDesignFile(dgn);
        checkWorkbookFolder(workbook);
        ResumeNext ignoring;
        // Only the workbook itself tells what is configured, never a table an earlier run left.
        if (firstFile) {
            CloseConfigRecordset();
            ignoring([&] { SearchInit(workbook); });
        }
        ignoring([&] { run.excel = outside().createExcel(); });
        if (!run.excel) raise(kOwnError, "Microsoft Excel not found or not correct installed");
        extract(run, dgn, workbook);
        LogEvent(std::to_string(run.lines) + " lines imported successfully");
    } catch (...) {
        failure = NameEndedMicroStation(toError(std::current_exception()), dgn);
    }
    ResumeNext ignoring;
    ignoring([] { CloseConfigRecordset(); });
    QuitApplication(run.microStation);
    ignoring([&] {
        if (run.excel) run.excel->Quit();
    });
    run.excel.reset();
    if (failure) throw passOnProcedure(*failure, "DGN2XLS");
}

}  // namespace vtl::tarnwell

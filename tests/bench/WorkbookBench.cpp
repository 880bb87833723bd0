// Loading the tool's configuration workbook at the sheet limit of 65,536 rows (Find, Replace,
// Level, Color, Weight), written once by our writer: our reader, the Excel objects over it,
// and python3-openpyxl on the same file for comparison.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "support/PythonScript.h"
#include "support/TempDir.h"
#include "workbook/ExcelFile.h"
#include "workbook/WorkbookFile.h"

namespace {

using namespace vtl;

const std::filesystem::path& configWorkbook() {
    static test::TempDir dir;
    static const std::filesystem::path file = [] {
        workbook::WorkbookData book;
        workbook::Sheet& sheet = book.sheets.emplace_back();
        sheet.name = "Config";
        const char* headers[] = {"Find", "Replace", "Level", "Color", "Weight"};
        for (int c = 0; c < 5; ++c)
            sheet.cell(1, c + 1) = {workbook::Cell::Type::Text, headers[c], 0, true, "@"};
        for (int row = 2; row <= 65536; ++row) {
            const std::string text = "Text " + std::to_string(row);
            sheet.cell(row, 1) = {workbook::Cell::Type::Text, text, 0, false, "@"};
            sheet.cell(row, 2) = {workbook::Cell::Type::Text, "New " + text, 0, false, "@"};
            sheet.cell(row, 3) = {workbook::Cell::Type::Number, "", double(row % 63 + 1)};
            sheet.cell(row, 4) = {workbook::Cell::Type::Number, "", double(row % 256)};
            sheet.cell(row, 5) = {workbook::Cell::Type::Number, "", double(row % 16)};
        }
        std::filesystem::path path = dir / "config.xlsx";
        workbook::writeXlsx(book, path);
        return path;
    }();
    return file;
}

double oursSeconds = 0, openpyxlSeconds = 0;

void BM_ReadWorkbook(benchmark::State& state) {
    const std::filesystem::path& file = configWorkbook();
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        workbook::WorkbookData book = workbook::readWorkbook(file);
        oursSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(book.sheets[0].lastRow());
    }
}
BENCHMARK(BM_ReadWorkbook)->Unit(benchmark::kMillisecond);

// What the workbook lookup does through Excel: open, the sheet's name and its last used row.
void BM_ExcelOpenAndLastRow(benchmark::State& state) {
    const std::string file = configWorkbook().string();
    for (auto _ : state) {
        auto app = excel::createApplication();
        excel::WorksheetPtr sheet = app->Workbooks().Open(file)->Worksheets(1);
        excel::RangePtr last =
            sheet->Cells()->Find("*", sheet->Range("A1"), excel::xlValues, excel::xlPart,
                                 excel::xlByRows, excel::xlPrevious);
        benchmark::DoNotOptimize(last->Row());
        app->Quit();
    }
}
BENCHMARK(BM_ExcelOpenAndLastRow)->Unit(benchmark::kMillisecond);

// openpyxl's load_workbook alone, timed inside Python so that the interpreter's start is left out.
void BM_OpenpyxlLoadWorkbook(benchmark::State& state) {
    const std::string file = configWorkbook().string();
    for (auto _ : state) {
        std::string printed = test::runPython(
            "import openpyxl, time\nstart = time.perf_counter()\n"
            "wb = openpyxl.load_workbook(r'" +
            file +
            "')\n"
            "print(time.perf_counter() - start)\n");
        openpyxlSeconds = std::stod(printed);
        state.SetIterationTime(openpyxlSeconds);
    }
}
BENCHMARK(BM_OpenpyxlLoadWorkbook)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (oursSeconds > 0 && openpyxlSeconds > 0) {
        std::printf("Last load of %s: ours %.0f ms, openpyxl %.0f ms, openpyxl / ours = %.1f\n",
                    configWorkbook().filename().c_str(), oursSeconds * 1000, openpyxlSeconds * 1000,
                    openpyxlSeconds / oursSeconds);
    }
    return 0;
}

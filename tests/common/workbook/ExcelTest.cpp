#include <gtest/gtest.h>

#include "core/Error.h"
#include "platform/AtomicFile.h"
#include "support/FakeExcel.h"
#include "support/PythonScript.h"
#include "support/TempDir.h"
#include "workbook/ExcelFile.h"
#include "workbook/WorkbookFile.h"

namespace vtl::excel {
namespace {

using test::TempDir;

Error failure(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return Error(0, "", "");
}

std::string readWorkbookNames(const std::filesystem::path& file) {
    std::string names;
    for (const workbook::Sheet& sheet : workbook::readWorkbook(file).sheets) names += sheet.name;
    return names;
}

// A sheet of a new workbook with the given texts at (row, column).
struct NewSheet {
    std::unique_ptr<Application> app = createApplication();
    WorkbookPtr book = app->Workbooks().Add();
    WorksheetPtr sheet = book->Worksheets(1);

    NewSheet(std::initializer_list<std::tuple<int, int, const char*>> cells) {
        for (const auto& [row, column, text] : cells) sheet->Cells(row, column)->Value(text);
    }
    std::string at(const RangePtr& found) {
        return std::to_string(found->Row()) + "," + std::to_string(found->Column());
    }
};

TEST(ExcelFind, FindsCaseInsensitivelyAfterTheGivenCellByRowsAndWraps) {
    NewSheet s(
        {{2, 1, "Pipe"}, {2, 3, "pipe support"}, {4, 2, "PIPE"}, {5, 1, "a*b"}, {6, 1, "axb"}});
    auto find = [&](const char* what, const char* after, long lookAt, long order = xlByRows,
                    long dir = xlNext) {
        return s.at(
            s.sheet->Cells()->Find(what, s.sheet->Range(after), xlValues, lookAt, order, dir));
    };
    EXPECT_EQ(find("pipe", "A1", xlWhole), "2,1");
    EXPECT_EQ(find("pipe", "A2", xlWhole), "4,2");  // after the cell itself
    EXPECT_EQ(find("pipe", "B4", xlWhole), "2,1");  // wrapped to the start
    EXPECT_EQ(find("pipe", "A2", xlPart), "2,3");
    EXPECT_EQ(find("p?pe", "A2", xlWhole), "4,2");
    EXPECT_EQ(find("A~*B", "A1", xlWhole), "5,1");  // "~*" is the star itself
    EXPECT_EQ(find("a*b", "A5", xlWhole), "6,1");
    EXPECT_EQ(find("pipe", "A2", xlWhole, xlByColumns), "4,2");
    EXPECT_EQ(find("pipe", "B4", xlWhole, xlByColumns), "2,1");
    EXPECT_EQ(find("pipe", "C2", xlPart, xlByColumns), "2,1");
    EXPECT_EQ(find("pipe", "B4", xlWhole, xlByRows, xlPrevious), "2,1");
    EXPECT_EQ(find("pipe", "A2", xlWhole, xlByRows, xlPrevious), "4,2");  // wrapped to the end
}

TEST(ExcelFind, TheLastUsedRowAndNothingFound) {
    NewSheet s({{1, 1, "Find"}, {7, 2, "x"}, {3, 5, "12"}});
    RangePtr last =
        s.sheet->Cells()->Find("*", s.sheet->Range("A1"), xlValues, xlPart, xlByRows, xlPrevious);
    EXPECT_EQ(last->Row(), 7);
    EXPECT_EQ(s.sheet->Cells()->Find("12", nullptr, xlValues, xlWhole)->Column(),
              5);  // a number's text

    NewSheet empty({});
    RangePtr none = empty.sheet->Cells()->Find("*", empty.sheet->Range("A1"), xlValues, xlPart,
                                               xlByRows, xlPrevious);
    Error e = failure([&] { none->Row(); });
    EXPECT_EQ(e.number(), 91);
    EXPECT_EQ(failure([&] { s.sheet->Cells()->Find("nowhere")->Row(); }).number(), 91);
}

TEST(ExcelCells, ValuesAsExcelStoresThem) {
    NewSheet s({});
    WorksheetPtr ws = s.sheet;
    ws->Range("A1:B65536")->NumberFormat("@");
    ws->Range("A2")->Value("'12");
    ws->Range("B2")->Value("12");
    ws->Range("C2")->Value("12");
    ws->Range("D2")->Value("'007");
    ws->Range("E2")->Value(3.5);
    ws->Range("G2")->Value(62L);
    ws->Range("F2")->Value("1.5E3");
    EXPECT_EQ(ws->Cells(2, 1)->Value(), Variant("12"));
    EXPECT_EQ(ws->Cells(2, 2)->Value(), Variant("12"));  // the column's text format keeps it text
    EXPECT_EQ(ws->Cells(2, 3)->Value(), Variant(12));
    EXPECT_EQ(ws->Cells(2, 4)->Value(), Variant("007"));
    EXPECT_EQ(ws->Cells(2, 5)->Value(), Variant(3.5));
    EXPECT_EQ(ws->Cells(2, 6)->Value(), Variant(1500));
    EXPECT_EQ(ws->Cells(2, 7)->Value(), Variant(62));
    EXPECT_TRUE(ws->Cells(9, 9)->Value().isEmpty());
    EXPECT_EQ(ws->Cells(9, 1)->NumberFormat(), "@");
    EXPECT_EQ(ws->Cells(9, 3)->NumberFormat(), "General");
    ws->Range("A1:E1")->Font().Bold(true);
    EXPECT_TRUE(ws->Range("C1")->Font().Bold());
    EXPECT_FALSE(ws->Range("C2")->Font().Bold());
}

TEST(ExcelCells, TheUsedRangeStartsAtTheFirstUsedCellAndColumnFormatsDoNotExtendIt) {
    NewSheet s({});
    EXPECT_EQ(s.sheet->UsedRange()->Rows().Count(), 1);  // an empty sheet: A1
    s.sheet->Range("A1:B65536")->NumberFormat("@");
    s.sheet->Range("A:A")->NumberFormat("@");
    s.sheet->Cells(3, 2)->Value("first");
    EXPECT_EQ(s.sheet->UsedRange()->Rows().Count(), 1);
    s.sheet->Cells(7, 4)->Value(1);
    EXPECT_EQ(s.sheet->UsedRange()->Rows().Count(), 5);
    EXPECT_EQ(s.sheet->UsedRange()->Row(), 3);
}

TEST(ExcelWorkbooks, AnExtractionWritesAWorkbookThatOpenpyxlReads) {
    TempDir dir;
    const std::string path = (dir / "extract.xls").string();
    std::vector<std::string> journal;
    std::unique_ptr<Application> app = createApplication(&journal);
    app->Workbooks().Add()->SaveAs(path);
    WorksheetPtr ws = app->Workbooks().Item(1)->Worksheets(1);
    app->Visible(false);
    ws->Range("A1:B65536")->NumberFormat("@");
    const char* headers[] = {"Find", "Replace", "Level", "Color", "Weight"};
    for (int i = 0; i < 5; ++i)
        ws->Range(std::string(1, static_cast<char>('A' + i)) + "1")->Value(headers[i]);
    ws->Range("A1:E1")->Font().Bold(true);
    int32_t next = ws->UsedRange()->Rows().Count();
    if (!ws->Range("A" + std::to_string(next))->Value().asText().empty()) ++next;
    ws->Cells(next, 1)->Value("'12");
    ws->Cells(next, 2)->Value("'12");
    ws->Cells(next, 3)->Value(5);
    ws->Cells(next, 4)->Value(3);
    ws->Cells(next, 5)->Value(0);
    ws->Range("A:A")->NumberFormat("@");
    app->DisplayAlerts(false);
    ws->Range("A1")->Select();
    app->Workbooks().Item(1)->Save();
    app->Workbooks().Item(1)->Close();
    app->Quit();
    EXPECT_EQ(app->Workbooks().Count(), 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"Workbooks.Add",
                                                 "SaveAs " + path,
                                                 "Visible = False",
                                                 "Range(A1:B65536).NumberFormat = @",
                                                 "Range(A1).Value = Find",
                                                 "Range(B1).Value = Replace",
                                                 "Range(C1).Value = Level",
                                                 "Range(D1).Value = Color",
                                                 "Range(E1).Value = Weight",
                                                 "Range(A1:E1).Font.Bold = True",
                                                 "Cells(2, 1).Value = '12",
                                                 "Cells(2, 2).Value = '12",
                                                 "Cells(2, 3).Value = 5",
                                                 "Cells(2, 4).Value = 3",
                                                 "Cells(2, 5).Value = 0",
                                                 "Range(A:A).NumberFormat = @",
                                                 "DisplayAlerts = False",
                                                 "Range(A1).Select",
                                                 "Save",
                                                 "Close",
                                                 "Quit"}));
    EXPECT_EQ(
        test::runPython("import openpyxl\nws = openpyxl.load_workbook(open(r'" + path +
                        "', 'rb')).worksheets[0]\n"
                        "for row in ws.iter_rows():\n"
                        "    print(*[f'{c.value!r}/{c.font.b}/{c.number_format}' for c in row])\n"),
        "'Find'/True/@ 'Replace'/True/@ 'Level'/True/General 'Color'/True/General "
        "'Weight'/True/General\n"
        "'12'/False/@ '12'/False/@ 5/False/General 3/False/General 0/False/General\n");

    // The next file opens it and appends after the last used row.
    std::unique_ptr<Application> again = createApplication();
    WorksheetPtr reopened = again->Workbooks().Open(path)->Worksheets(1);
    EXPECT_EQ(reopened->Name(), "Sheet1");
    EXPECT_EQ(reopened->UsedRange()->Rows().Count(), 2);
    EXPECT_EQ(reopened->Cells(2, 1)->Value(), Variant("12"));
    EXPECT_EQ(reopened->Cells(2, 3)->Value(), Variant(5));
}

// The texts of row 1's cells as a caller reads them, joined by "|".
std::string rowTexts(const std::string& path, int32_t columns) {
    WorksheetPtr ws = openWorkbookObject(path)->Worksheets(1);
    std::string texts;
    for (int32_t c = 1; c <= columns; ++c)
        texts += (c > 1 ? "|" : "") + ws->Cells(1, c)->Value().asText();
    return texts;
}

TEST(ExcelCells, DatesReadAsTheirShortDateWithTheTimeWhereTheyHaveOne) {
    TempDir dir;
    test::runPython(R"(
import datetime, openpyxl, xlwt
from openpyxl.utils.datetime import CALENDAR_MAC_1904
folder = r')" + dir.str() +
                    R"('
wb = openpyxl.Workbook()
ws = wb.active
ws["A1"] = datetime.date(2024, 5, 14)
ws["B1"] = datetime.datetime(2024, 5, 14, 15, 30)
ws["C1"] = datetime.time(7, 5, 9)
ws["D1"] = 45426; ws["D1"].number_format = "mm-dd-yy"
ws["E1"] = 45426.25; ws["E1"].number_format = 'dd"."mm"."yyyy [hh]" h"'
ws["F1"] = 45426; ws["F1"].number_format = '#,##0 "days";[Red]-0'
ws["G1"] = 45426
ws["H1"] = 1.5; ws["H1"].number_format = "[h]:mm"
wb.save(folder + "/dates.xlsx")
# A workbook that counts its dates from 1904.
wb = openpyxl.Workbook()
wb.epoch = CALENDAR_MAC_1904
wb.active["A1"] = datetime.date(2024, 5, 14)
wb.save(folder + "/mac.xlsx")
# Dates written as ISO 8601 texts.
wb = openpyxl.Workbook(iso_dates=True)
wb.active["A1"] = datetime.date(2024, 5, 14)
wb.active["B1"] = datetime.datetime(2024, 5, 14, 15, 30, 5)
wb.save(folder + "/iso.xlsx")
wb = xlwt.Workbook()
ws = wb.add_sheet("Nodes")
ws.write(0, 0, datetime.date(2024, 5, 14), xlwt.easyxf(num_format_str="DD.MM.YYYY"))
ws.write(0, 1, datetime.datetime(2024, 5, 14, 15, 30), xlwt.easyxf(num_format_str="YYYY-MM-DD hh:mm"))
ws.write(0, 2, datetime.time(7, 5, 9), xlwt.easyxf(num_format_str="hh:mm:ss"))
ws.write(0, 3, 45426)
wb.save(folder + "/dates.xls")
)");
    const std::string xlsx = (dir / "dates.xlsx").string();
    EXPECT_EQ(rowTexts(xlsx, 8),
              "2024-05-14|2024-05-14 15:30:00|07:05:09|2024-05-14|2024-05-14 06:00:00|45426|"
              "45426|1900-01-01 12:00:00");
    EXPECT_TRUE(openWorkbookObject(xlsx)->Worksheets(1)->Cells(1, 1)->Value().isDate());
    EXPECT_EQ(rowTexts((dir / "mac.xlsx").string(), 1), "2024-05-14");
    EXPECT_EQ(rowTexts((dir / "iso.xlsx").string(), 2), "2024-05-14|2024-05-14 15:30:05");
    EXPECT_EQ(rowTexts((dir / "dates.xls").string(), 4),
              "2024-05-14|2024-05-14 15:30:00|07:05:09|45426");
}

// Without a stored result a formula reads as empty, yet its cell counts to the used range;
// Excel stores the result beside the formula.
TEST(ExcelCells, AFormulaReadsAsItsStoredResultAndWithoutOneAsEmptyButUsed) {
    TempDir dir;
    const std::string path = (dir / "formulas.xlsx").string();
    test::runPython(R"py(
import openpyxl, zipfile
wb = openpyxl.Workbook()
ws = wb.active
ws["A1"] = "nn=1"
ws["B1"] = 2
ws["C1"] = "=B1*2"
ws["D4"] = "=SUM(B1, C1)"
wb.save(r')py" + path +
                    R"py(')
src = zipfile.ZipFile(r')py" +
                    path + R"py(')
out = zipfile.ZipFile(r')py" +
                    (dir / "stored.xlsx").string() + R"py(', 'w')
for item in src.infolist():
    data = src.read(item.filename)
    if item.filename == 'xl/worksheets/sheet1.xml':
        data = data.replace(b'<f>B1*2</f><v></v>', b'<f>B1*2</f><v>4</v>')
        data = data.replace(b'<f>SUM(B1, C1)</f><v></v>', b'<f>SUM(B1, C1)</f><v>6</v>')
    out.writestr(item, data)
out.close()
)py");
    WorksheetPtr ws = openWorkbookObject(path)->Worksheets(1);
    EXPECT_TRUE(ws->Cells(1, 3)->Value().isEmpty());
    EXPECT_TRUE(ws->Cells(4, 4)->Value().isEmpty());
    EXPECT_EQ(ws->UsedRange()->Rows().Count(), 4);
    WorksheetPtr withResults = openWorkbookObject((dir / "stored.xlsx").string())->Worksheets(1);
    EXPECT_EQ(withResults->Cells(1, 3)->Value(), Variant(4));
    EXPECT_EQ(withResults->Cells(4, 4)->Value(), Variant(6));
}

TEST(ExcelWorkbooks, OpeningMissingDamagedOrLockedFilesAndBadCallsRaise) {
    TempDir dir;
    std::unique_ptr<Application> app = createApplication();
    const std::string missing = (dir / "none.xls").string();
    Error e = failure([&] { app->Workbooks().Open(missing); });
    EXPECT_EQ(e.number(), 1004);
    EXPECT_EQ(e.description(), "'" + missing + "' could not be found");
    const std::string damaged = dir.write("bad.xls", "not a workbook").string();
    EXPECT_EQ(failure([&] { app->Workbooks().Open(damaged); }).number(), 1004);
    EXPECT_EQ(test::readFile(damaged), "not a workbook");

    const std::string path = (dir / "nodes.xls").string();
    test::runPython(
        "import xlwt\nwb = xlwt.Workbook()\nws = wb.add_sheet('Nodes')\nws.write(0, 3, "
        "'filename')\n"
        "ws.write(1, 3, 'ISO-1')\nwb.save(r'" +
        path + "')\n");
    {
        platform::FileLock lock(path, platform::FileLock::Mode::Exclusive);
        EXPECT_EQ(failure([&] { openWorkbookObject(path); }).description(),
                  "'" + path + "' is locked for editing by another user");
    }
    WorkbookPtr book = openWorkbookObject(path);
    WorksheetPtr ws = book->Worksheets(1);
    EXPECT_EQ(ws->Cells(1, 4)->Value(), Variant("filename"));
    EXPECT_EQ(ws->Cells(2, 4)->Value(), Variant("ISO-1"));
    EXPECT_TRUE(ws->Cells(2001, 251)->Value().isEmpty());
    EXPECT_EQ(failure([&] { book->Worksheets(2); }).number(), 9);
    EXPECT_EQ(failure([&] { ws->Range("A1:"); }).number(), 1004);
    EXPECT_EQ(failure([&] { ws->Cells(0, 1); }).number(), 1004);
}

TEST(ExcelWorkbooks, TheFakeRecordsItsInstancesAndCanBeMissing) {
    TempDir dir;
    test::FakeExcel excel;
    std::unique_ptr<Application> app = excel.create();
    app->Workbooks().Add()->SaveAs((dir / "a.xls").string());
    app->Quit();
    excel.installed = false;
    EXPECT_EQ(failure([&] { excel.create(); }).number(), 429);
    EXPECT_EQ(excel.journal,
              (std::vector<std::string>{"CreateObject Excel.Application", "Workbooks.Add",
                                        "SaveAs " + (dir / "a.xls").string(), "Quit",
                                        "CreateObject Excel.Application"}));
    EXPECT_EQ(readWorkbookNames(dir / "a.xls"), "Sheet1");
}

}  // namespace
}  // namespace vtl::excel

#include <gtest/gtest.h>

#include "core/Error.h"
#include "platform/AtomicFile.h"
#include "support/PythonScript.h"
#include "support/TempDir.h"
#include "workbook/WorkbookFile.h"

namespace vtl::workbook {
namespace {

using test::readFile;
using test::runPython;
using test::TempDir;

Cell text(std::string t, bool bold = false, std::string format = {}) {
    return {Cell::Type::Text, std::move(t), 0, bold, std::move(format)};
}
Cell number(double n, std::string format = {}) {
    return {Cell::Type::Number, "", n, false, std::move(format)};
}

// The error a read or write raises; fails the test when none is raised.
Error failure(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return Error(0, "", "");
}

// --- Files written by openpyxl and xlwt ---------------------------------------------------------

TEST(WorkbookRead, AnOpenpyxlWorkbookKeepsSheetsTextsNumbersBoldAndTextFormat) {
    TempDir dir;
    std::filesystem::path file = dir / "config.xlsx";
    runPython(R"(
import openpyxl
from openpyxl.styles import Font
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Config"
for col, name in enumerate(["Find", "Replace", "Level", "Color", "Weight"], 1):
    ws.cell(1, col, name).font = Font(bold=True)
ws["A2"] = "12"; ws["A2"].number_format = "@"
ws["B2"] = "Größe"
ws["C2"] = 5; ws["D2"] = 3.25; ws["E2"] = -7
ws["AB1000"] = "far away"
wb.create_sheet("Second")["B3"] = 1e20
wb.create_sheet("Empty")
wb.save(")" + file.string() +
              R"(")
)");
    WorkbookData book = readWorkbook(file);
    ASSERT_EQ(book.sheets.size(), 3u);
    const Sheet& config = book.sheets[0];
    EXPECT_EQ(config.name, "Config");
    EXPECT_EQ(config.at(1, 1), text("Find", true));
    EXPECT_EQ(config.at(1, 5), text("Weight", true));
    EXPECT_EQ(config.at(2, 1), text("12", false, "@"));
    EXPECT_EQ(config.at(2, 2), text("Größe"));
    EXPECT_EQ(config.at(2, 3), number(5));
    EXPECT_EQ(config.at(2, 4), number(3.25));
    EXPECT_EQ(config.at(2, 5), number(-7));
    EXPECT_EQ(config.at(3, 1), Cell{});
    EXPECT_EQ(config.at(1000, 28), text("far away"));
    EXPECT_EQ(config.firstRow(), 1);
    EXPECT_EQ(config.lastRow(), 1000);
    EXPECT_EQ(config.lastColumn(), 28);
    EXPECT_EQ(book.sheets[1].name, "Second");
    EXPECT_EQ(book.sheets[1].at(3, 2), number(1e20));
    EXPECT_EQ(book.sheets[1].firstRow(), 3);
    EXPECT_EQ(book.sheets[2].name, "Empty");
    EXPECT_EQ(book.sheets[2].lastRow(), 0);
}

TEST(WorkbookRead, AnXlwtWorkbookKeepsSheetsTextsAndNumbers) {
    TempDir dir;
    std::filesystem::path file = dir / "nodes.xls";
    runPython(R"(
import xlwt
wb = xlwt.Workbook()
ws = wb.add_sheet("Nodes")
ws.write(0, 0, "filename"); ws.write(0, 1, "nn=12"); ws.write(0, 2, "NN= 3")
ws.write(1, 0, "ISO-4711"); ws.write(1, 1, "Größe 80"); ws.write(1, 2, 42)
ws.write(4, 3, 2.5)
wb.add_sheet("Other").write(9, 0, -1)
wb.save(")" + file.string() +
              R"(")
)");
    WorkbookData book = readWorkbook(file);
    ASSERT_EQ(book.sheets.size(), 2u);
    const Sheet& nodes = book.sheets[0];
    EXPECT_EQ(nodes.name, "Nodes");
    EXPECT_EQ(nodes.at(1, 1), text("filename"));
    EXPECT_EQ(nodes.at(1, 3), text("NN= 3"));
    EXPECT_EQ(nodes.at(2, 1), text("ISO-4711"));
    EXPECT_EQ(nodes.at(2, 2), text("Größe 80"));
    EXPECT_EQ(nodes.at(2, 3), number(42));
    EXPECT_EQ(nodes.at(3, 1), Cell{});
    EXPECT_EQ(nodes.at(5, 4), number(2.5));
    EXPECT_EQ(nodes.lastRow(), 5);
    EXPECT_EQ(book.sheets[1].name, "Other");
    EXPECT_EQ(book.sheets[1].at(10, 1), number(-1));
}

// --- Parts that openpyxl does not write: shared and rich texts, booleans, custom formats --------

// Writes an .xlsx of the given parts (name, contents) with Python's zipfile.
std::filesystem::path zipParts(const TempDir& dir, const std::string& name,
                               const std::vector<std::pair<std::string, std::string>>& parts) {
    std::filesystem::path file = dir / name;
    std::string script = "import zipfile\nz = zipfile.ZipFile(r'" + file.string() +
                         "', 'w', zipfile.ZIP_DEFLATED)\n";
    for (const auto& [part, content] : parts) {
        dir.write(part + ".part", content);
        script += "z.write(r'" + (dir / (part + ".part")).string() + "', '" + part + "')\n";
    }
    runPython(script + "z.close()\n");
    return file;
}

const char kWorkbookXml[] =
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Tabelle 1" sheetId="1" r:id="rId7"/></sheets></workbook>)";
const char kRelsXml[] =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/data.xml"/>)"
    R"(<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="texts.xml"/>)"
    R"(</Relationships>)";

TEST(WorkbookRead, SharedRichAndInlineTextsBooleansAndCustomFormatsAreRead) {
    TempDir dir;
    const std::string styles =
        R"(<x:styleSheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<x:numFmts><x:numFmt numFmtId="164" formatCode="0.000"/></x:numFmts>)"
        R"(<x:fonts><x:font/><x:font><x:b/></x:font><x:font><x:b val="0"/></x:font></x:fonts>)"
        R"(<x:cellStyleXfs><x:xf numFmtId="49" fontId="1"/></x:cellStyleXfs>)"
        R"(<x:cellXfs><x:xf numFmtId="0" fontId="0"/><x:xf numFmtId="164" fontId="1"/>)"
        R"(<x:xf numFmtId="49" fontId="2"/></x:cellXfs></x:styleSheet>)";
    const std::string texts =
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>plain</t></si>)"
        R"(<si><r><rPr><b/></rPr><t>rich </t></r><r><t xml:space="preserve">runs </t></r>)"
        R"(<rPh><t>PHONETIC</t></rPh></si><si><t>a &amp; b</t></si></sst>)";
    const std::string sheet =
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
        R"(<row r="2"><c r="B2" t="s"><v>1</v></c><c t="s"><v>0</v></c><c t="b"><v>1</v></c></row>)"
        R"(<row><c t="inlineStr"><is><t>inline</t></is></c><c s="1"><v>2.5</v></c><c s="2"/>)"
        R"(<c t="str"><v>formula text</v></c><c t="s"><v>2</v></c></row></sheetData></worksheet>)";
    std::filesystem::path file = zipParts(dir, "parts.xlsx",
                                          {{"xl/workbook.xml", kWorkbookXml},
                                           {"xl/_rels/workbook.xml.rels", kRelsXml},
                                           {"xl/styles.xml", styles},
                                           {"xl/texts.xml", texts},
                                           {"xl/worksheets/data.xml", sheet}});
    WorkbookData book = readWorkbook(file);
    ASSERT_EQ(book.sheets.size(), 1u);
    const Sheet& s = book.sheets[0];
    EXPECT_EQ(s.name, "Tabelle 1");
    EXPECT_EQ(s.at(2, 2), text("rich runs "));
    EXPECT_EQ(s.at(2, 3), text("plain"));
    EXPECT_EQ(s.at(2, 4), number(1));
    EXPECT_EQ(s.at(3, 1), text("inline"));
    EXPECT_EQ(s.at(3, 2), (Cell{Cell::Type::Number, "", 2.5, true, "0.000"}));
    EXPECT_EQ(s.at(3, 3), (Cell{Cell::Type::Empty, "", 0, false, "@"}));
    EXPECT_EQ(s.at(3, 4), text("formula text"));
    EXPECT_EQ(s.at(3, 5), text("a & b"));
    EXPECT_EQ(s.firstRow(), 2);
}

// --- Bad input: a clear error numbered as Excel numbers it, and the file left as it was ---------

void expectRefused(const std::filesystem::path& file, const std::string& why) {
    const std::string before = readFile(file);
    Error e = failure([&] { readWorkbook(file); });
    EXPECT_EQ(e.number(), kWorkbookError);
    EXPECT_EQ(e.description(), "'" + file.string() + "' " + why);
    EXPECT_EQ(readFile(file), before);
}

TEST(WorkbookRead, MissingNonWorkbookAndLockedFilesAreRefused) {
    TempDir dir;
    Error missing = failure([&] { readWorkbook(dir / "none.xlsx"); });
    EXPECT_EQ(missing.number(), 1004);
    EXPECT_EQ(missing.description(), "'" + (dir / "none.xlsx").string() + "' could not be found");
    expectRefused(dir.write("notes.xlsx", "Find;Replace\n"),
                  "is not a workbook: it is neither an .xlsx nor an .xls file");
    expectRefused(dir.write("empty.xls", ""),
                  "is not a workbook: it is neither an .xlsx nor an .xls file");

    std::filesystem::path locked = dir / "locked.xlsx";
    runPython("import openpyxl\nopenpyxl.Workbook().save(r'" + locked.string() + "')\n");
    {
        platform::FileLock lock(locked, platform::FileLock::Mode::Exclusive);
        ASSERT_TRUE(lock.held());
        expectRefused(locked, "is locked for editing by another user");
    }
    EXPECT_EQ(readWorkbook(locked).sheets.size(), 1u);  // readable again once released
}

TEST(WorkbookRead, DamagedProtectedBinaryAndSheetlessWorkbooksAreRefused) {
    TempDir dir;
    std::filesystem::path whole = dir / "whole.xlsx";
    runPython(
        "import openpyxl\nwb = openpyxl.Workbook()\nwb.active['A1'] = 'x' * 5000\nwb.save(r'" +
        whole.string() + "')\n");
    const std::string bytes = readFile(whole);
    expectRefused(dir.write("truncated.xlsx", bytes.substr(0, bytes.size() / 2)),
                  "is not a valid workbook: its zip container is damaged");

    std::string encrypted("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    encrypted.resize(1024, '\0');
    for (char c : std::string("EncryptionInfo")) encrypted += std::string{c, '\0'};
    encrypted.resize(4096, '\0');
    expectRefused(dir.write("protected.xlsx", encrypted),
                  "is protected by a password and cannot be read");
    std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    compound.resize(4096, '\x7F');
    expectRefused(dir.write("damaged.xls", compound),
                  "is not a valid workbook: its .xls contents are damaged");

    expectRefused(zipParts(dir, "binary.xlsb", {{"xl/workbook.bin", "\x83\x01"}}),
                  "is a binary workbook (.xlsb), which cannot be read; save it as .xlsx or .xls");
    expectRefused(
        zipParts(
            dir, "nosheet.xlsx",
            {{"xl/workbook.xml",
              R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"/>)"}}),
        "holds no worksheet");
    expectRefused(zipParts(dir, "noworkbook.xlsx", {{"docProps/app.xml", "<Properties/>"}}),
                  "is not a valid workbook: it has no part xl/workbook.xml");
}

// An .xls written by python3-xlwt, and copies of it whose directory or records were damaged
// (found by mutating it): freexl read past its buffers on them or lost memory.
TEST(WorkbookRead, AnXlsWhoseLengthsDoNotFitIsRefusedBeforeFreexlReadsIt) {
    const std::filesystem::path corpus = VTL_WORKBOOK_CORPUS;
    EXPECT_EQ(readWorkbook(corpus / "nodes.xls").sheets.at(0).at(2, 2), text("Größe 80"));
    for (const char* name :
         {"damaged-directory-name-4886.xls", "damaged-directory-name-65535.xls",
          "damaged-directory-name-66.xls", "damaged-mini-table-count.xls",
          "damaged-sheet-without-eof.xls"}) {
        SCOPED_TRACE(name);
        expectRefused(corpus / name, "is not a valid workbook: its .xls contents are damaged");
    }
}

TEST(WorkbookRead, EntityExpansionAndOversizedWorkbooksAreRefused) {
    TempDir dir;
    const std::string bomb =
        R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;&lol;&lol;">]>)"
        R"(<workbook><sheets><sheet name="&lol2;" sheetId="1"/></sheets></workbook>)";
    expectRefused(zipParts(dir, "bomb.xlsx", {{"xl/workbook.xml", bomb}}),
                  "is refused: its part xl/workbook.xml declares a document type");

    // 300 rows, each reaching the last column: 4.9 million cells to hold.
    std::string wide =
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)";
    for (int row = 1; row <= 300; ++row)
        wide += "<row><c r=\"XFD" + std::to_string(row) + "\"><v>1</v></c></row>";
    wide += "</sheetData></worksheet>";
    const std::string oneSheet =
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheets><sheet name="S"/></sheets></workbook>)";
    expectRefused(zipParts(dir, "wide.xlsx",
                           {{"xl/workbook.xml", oneSheet}, {"xl/worksheets/sheet1.xml", wide}}),
                  "is too large: it holds more than 4194304 cells");

    // A shared-text part that unpacks to 257 MiB from a few hundred kilobytes.
    std::filesystem::path huge = dir / "huge.xlsx";
    runPython("import zipfile\nz = zipfile.ZipFile(r'" + huge.string() +
              "', 'w', zipfile.ZIP_DEFLATED)\n"
              "z.writestr('xl/workbook.xml', '" +
              oneSheet +
              "')\n"
              "z.writestr('xl/sharedStrings.xml', '<sst><si><t>' + ' ' * (257 << 20) + "
              "'</t></si></sst>')\n"
              "z.close()\n");
    expectRefused(huge, "is too large: it unpacks to more than 256 MiB");

    // Millions of empty shared texts or cell formats from a few kilobytes each.
    std::filesystem::path texts = dir / "texts.xlsx";
    std::filesystem::path formats = dir / "formats.xlsx";
    runPython("import zipfile\nfor name, part, xml in [(r'" + texts.string() +
              "', 'xl/sharedStrings.xml', '<sst>' + '<si/>' * 4194305 + '</sst>'), (r'" +
              formats.string() +
              "', 'xl/styles.xml', '<styleSheet><cellXfs>' + '<xf/>' * 65537 + "
              "'</cellXfs></styleSheet>')]:\n"
              "    z = zipfile.ZipFile(name, 'w', zipfile.ZIP_DEFLATED)\n"
              "    z.writestr('xl/workbook.xml', '" +
              oneSheet +
              "')\n"
              "    z.writestr(part, xml)\n"
              "    z.close()\n");
    expectRefused(texts, "is too large: it holds more than 4194304 shared texts");
    expectRefused(formats, "is too large: it holds more than 65536 cell formats");

    expectRefused(
        zipParts(dir, "badref.xlsx",
                 {{"xl/workbook.xml", oneSheet},
                  {"xl/worksheets/sheet1.xml",
                   R"(<worksheet><sheetData><row><c r="XFE1"/></row></sheetData></worksheet>)"}}),
        "is not a valid workbook: a cell of sheet S has the reference XFE1");
}

// --- Files we write, read back by openpyxl -----------------------------------------------------

TEST(WorkbookWrite, OpenpyxlReadsOurTextsNumbersBoldAndTextFormat) {
    TempDir dir;
    std::filesystem::path file = dir / "out.xlsx";
    WorkbookData book;
    Sheet& first = book.sheets.emplace_back();
    first.name = "Texts";
    first.cell(1, 1) = text("Find", true);
    first.cell(1, 2) = text("Replace", true);
    first.cell(2, 1) = text("12", false, "@");
    first.cell(2, 2) = text("O'Neil & Größe", false, "@");
    first.cell(2, 3) = number(62);
    first.cell(2, 4) = number(-0.5, "0.00");
    first.cell(3, 1) = {Cell::Type::Empty, "", 0, false, "@"};
    Sheet& second = book.sheets.emplace_back();
    second.name = "Zwei";
    second.cell(4, 3) = number(7);
    writeXlsx(book, file);

    const std::string printed = runPython(R"(
import openpyxl
wb = openpyxl.load_workbook(")" + file.string() +
                                          R"(")
for ws in wb.worksheets:
    print(ws.title, ws.min_row, ws.max_row)
    for row in ws.iter_rows():
        for c in row:
            if c.value is not None or c.number_format != "General":
                print(c.coordinate, repr(c.value), c.font.b, c.number_format)
)");
    EXPECT_EQ(printed,
              "Texts 1 3\n"
              "A1 'Find' True General\n"
              "B1 'Replace' True General\n"
              "A2 '12' False @\n"
              "B2 \"O'Neil & Größe\" False @\n"
              "C2 62 False General\n"
              "D2 -0.5 False 0.00\n"
              "A3 None False @\n"
              "Zwei 4 4\n"
              "C4 7 False General\n");
    EXPECT_EQ(readWorkbook(file).sheets[0].at(2, 2), text("O'Neil & Größe", false, "@"));
}

TEST(WorkbookWrite, AFailedWriteLeavesTheEarlierFileAsItWas) {
    TempDir dir;
    std::filesystem::path file = dir.write("keep.xlsx", "earlier contents");
    WorkbookData book;
    book.sheets.emplace_back().name = "bad[name]";
    Error e = failure([&] { writeXlsx(book, file); });
    EXPECT_EQ(e.number(), kWorkbookError);
    EXPECT_EQ(e.description(),
              "'" + file.string() + "' cannot be written: the sheet name 'bad[name]' is not valid");
    EXPECT_EQ(readFile(file), "earlier contents");
    EXPECT_EQ(test::entryNames(dir.path()), std::vector<std::string>{"keep.xlsx"});

    platform::FileLock lock(file, platform::FileLock::Mode::Exclusive);
    Error locked = failure([&] { writeXlsx(WorkbookData{}, file); });
    EXPECT_EQ(locked.description(),
              "'" + file.string() + "' is locked for editing by another user");
    EXPECT_EQ(readFile(file), "earlier contents");
}

}  // namespace
}  // namespace vtl::workbook

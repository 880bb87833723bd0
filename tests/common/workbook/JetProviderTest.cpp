#include <gtest/gtest.h>

#include "common/RegistryModule.h"
#include "support/TempDir.h"
#include "workbook/JetProvider.h"
#include "workbook/Recordset.h"
#include "workbook/WorkbookFile.h"

namespace vtl::ado {
namespace {

using workbook::Cell;
using workbook::Sheet;
using workbook::WorkbookData;

template <class F>
Error raised(F&& call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return Error(0, "", "");
}

Cell txt(const std::string& s) {
    return {Cell::Type::Text, s};
}
Cell num(double n) {
    return {Cell::Type::Number, "", n};
}
const Cell none;

void putRow(Sheet& sheet, int32_t row, const std::vector<Cell>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].type != Cell::Type::Empty)
            sheet.cell(row, static_cast<int32_t>(i) + 1) = cells[i];
    }
}

// The query the configuration lookup builds for a table part such as "Konfig$A2:E10".
std::string lookupQuery(const std::string& table) {
    return "SELECT [F1], [F2], [F3], [F4], [F5] FROM [" + table +
           "] WHERE([F1] <> [F2] OR ([F1] IS NULL AND NOT [F2] IS NULL) OR (NOT [F1] IS NULL AND "
           "[F2] IS NULL));";
}

class JetProvider : public ::testing::Test {
protected:
    test::ScopedPlatformHome home_;
    test::TempDir dir_;
    std::filesystem::path file_ = dir_.write("config.xls", "workbook");
    WorkbookData book_;
    std::vector<std::filesystem::path> readFiles_;

    void SetUp() override {
        jet::setWorkbookReader([this](const std::filesystem::path& file) {
            readFiles_.push_back(file);
            return book_;
        });
    }
    void TearDown() override { jet::setWorkbookReader({}); }

    std::string connection(const std::string& file) const {
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file +
               ";Extended Properties=\"Excel 8.0;IMEX=1;HDR=NO\";";
    }
    void setTypeGuessRows(const RegistryModule::RegInput& value) {
        ASSERT_TRUE(RegistryModule::RegSetValue(RegistryModule::HKEY_LOCAL_MACHINE, jet::kEngineKey,
                                                "TypeGuessRows", value, ""));
    }
    void open(Recordset& rs, const std::string& query) {
        rs.setCursorLocation(adUseClient);
        rs.Open(query, connection(file_.string()), adOpenStatic, adLockReadOnly, adCmdText);
        rs.setActiveConnection(nullptr);
    }
    Sheet& sheet(const std::string& name) {
        book_.sheets.push_back(Sheet{});
        book_.sheets.back().name = name;
        return book_.sheets.back();
    }
    // The configuration workbook: a header row and rows of Find, Replace, Level, Color, Weight.
    void configurationWorkbook() {
        Sheet& s = sheet("Konfig");
        putRow(s, 1, {txt("Find"), txt("Replace"), txt("Level"), txt("Color"), txt("Weight")});
        putRow(s, 2, {txt("A-100"), txt("B-100"), num(5), num(3), num(0)});
        putRow(s, 3, {txt("O'Neil"), txt("Oneil"), num(1), num(1), num(1)});
        putRow(s, 4, {txt("A-100"), txt("second"), num(5), num(3), num(0)});
        putRow(s, 5, {txt("same"), txt("same"), num(1), num(1), num(1)});
        putRow(s, 6, {none, none, num(4), num(4), num(4)});
        putRow(s, 7, {txt("noreplace"), none, num(2), num(2), num(2)});
        putRow(s, 8, {none, txt("orphan"), num(2), num(2), num(2)});
        putRow(s, 9, {txt("Case"), txt("CASE"), num(1), num(1), num(1)});
        putRow(s, 10, {num(12), txt("x-12"), txt("text"), num(3), num(3)});
        sheet("Second");
    }
};

TEST_F(JetProvider, TheLookupQueryLoadsTheRowsWhoseFindAndReplaceDiffer) {
    configurationWorkbook();
    setTypeGuessRows(int32_t{0});
    Recordset rs;
    open(rs, lookupQuery("Konfig$A2:E10"));
    EXPECT_EQ(readFiles_, std::vector<std::filesystem::path>{file_});
    EXPECT_EQ(rs.State(), adStateOpen);
    EXPECT_EQ(rs.ActiveConnection(), "");
    ASSERT_EQ(rs.Fields().Count(), 5);
    EXPECT_EQ(rs.Fields()(0).Name(), "F1");
    EXPECT_EQ(rs.Fields()(4).Name(), "F5");
    // Rows 2, 3, 4, 7, 8 and 10: equal texts (in any letter case) and empty pairs are left out.
    EXPECT_EQ(rs.RecordCount(), 6);
    std::vector<std::string> finds;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
        finds.push_back(rs.Fields()(0).Value().asText());
    EXPECT_EQ(finds, (std::vector<std::string>{"A-100", "O'Neil", "A-100", "noreplace", "", "12"}));
}

TEST_F(JetProvider, StrCompComparesTextsAsTheyStandOrRegardlessOfCase) {
    configurationWorkbook();
    setTypeGuessRows(int32_t{0});
    Recordset exact;
    open(exact,
         "SELECT [F1], [F2] FROM [Konfig$A2:E10] WHERE(StrComp([F1], [F2], 0) <> 0 OR "
         "([F1] IS NULL AND NOT [F2] IS NULL) OR (NOT [F1] IS NULL AND [F2] IS NULL));");
    // Row 9 only changes the letter case of its text: kept now, beside the six rows above.
    std::vector<std::string> finds;
    for (exact.MoveFirst(); !exact.EOF_(); exact.MoveNext())
        finds.push_back(exact.Fields()(0).Value().asText());
    EXPECT_EQ(finds, (std::vector<std::string>{"A-100", "O'Neil", "A-100", "noreplace", "", "Case",
                                               "12"}));
    Recordset ignoringCase;
    open(ignoringCase, "SELECT [F1] FROM [Konfig$A2:E10] WHERE StrComp([F1], [F2], 1) = 0");
    EXPECT_EQ(ignoringCase.RecordCount(), 2);  // "same" and "Case"
    Recordset bad;
    EXPECT_THROW(open(bad, "SELECT [F1] FROM [Konfig$A2:E10] WHERE StrComp([F1], [F2], 2) = 0"),
                 Error);
}

TEST_F(JetProvider, LookupsFilterTheDisconnectedTable) {
    configurationWorkbook();
    setTypeGuessRows(int32_t{0});
    Recordset rs;
    open(rs, lookupQuery("Konfig$A2:E10"));

    rs.setFilter("[F1] = 'A-100' AND [F3] = 5 AND [F4] = 3 AND [F5] = 0");
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Fields()(1).Value(), Value("B-100"));  // the upper row wins
    rs.setFilter("[F1] = 'O''Neil'");
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields()(0).Value(), Value("O'Neil"));
    rs.setFilter("[F1] = 'noreplace' AND [F3] = 2 AND [F4] = 2 AND [F5] = 2");
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_TRUE(rs.Fields()(1).Value().isNull());
    rs.setFilter("[F1] = 'same'");
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.BOF() && rs.EOF_());
    rs.setFilter("[F1] = '12'");
    EXPECT_EQ(rs.Fields()(1).Value(), Value("x-12"));
}

TEST_F(JetProvider, AMixedColumnIsReadAsTextAndAPlainNumberColumnAsNumbers) {
    configurationWorkbook();
    setTypeGuessRows(int32_t{0});
    Recordset rs;
    open(rs, lookupQuery("Konfig$A2:E10"));
    EXPECT_EQ(rs.Fields()(0).Type(), adVarWChar);  // "12" among texts
    EXPECT_EQ(rs.Fields()(2).Type(), adVarWChar);  // "text" among levels
    EXPECT_EQ(rs.Fields()(3).Type(), adDouble);
    EXPECT_EQ(rs.Fields()(2).Value(), Value("5"));
    EXPECT_EQ(rs.Fields()(3).Value(), Value(3));
}

TEST_F(JetProvider, NumbersInATextColumnTakeTheSharedNumberForm) {
    Sheet& s = sheet("Sheet1");
    putRow(s, 1, {txt("label")});
    putRow(s, 2, {num(1e20)});
    putRow(s, 3, {num(0.1 + 0.2)});
    putRow(s, 4, {num(-2.5)});
    setTypeGuessRows(int32_t{0});
    Recordset rs;
    open(rs, "SELECT * FROM [Sheet1$]");
    std::vector<Value> values;
    for (; !rs.EOF_(); rs.MoveNext()) values.push_back(rs.Fields()(0).Value());
    EXPECT_EQ(values, (std::vector<Value>{"label", "1E+20", "0.3", "-2.5"}));
}

class TypeGuessing : public JetProvider {
protected:
    // Column A: numbers with a text in row 3; column B: texts with a number in row 4.
    void SetUp() override {
        JetProvider::SetUp();
        Sheet& s = sheet("Sheet1");
        putRow(s, 1, {num(7), txt("a")});
        putRow(s, 2, {num(8), txt("b")});
        putRow(s, 3, {txt("eight"), none});
        putRow(s, 4, {num(12.5), num(3)});
    }
    std::vector<Value> column(Recordset& rs, long field) {
        std::vector<Value> values;
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
            values.push_back(rs.Fields()(field).Value());
        return values;
    }
};

TEST_F(TypeGuessing, GuessingOverEveryRowMakesBothColumnsText) {
    setTypeGuessRows(int32_t{0});
    Recordset rs;
    open(rs, "SELECT * FROM [Sheet1$]");
    EXPECT_EQ(column(rs, 0), (std::vector<Value>{"7", "8", "eight", "12.5"}));
    EXPECT_EQ(column(rs, 1), (std::vector<Value>{"a", "b", Value::null(), "3"}));
}

TEST_F(TypeGuessing, CellsBeyondTheGuessedRowsThatDoNotFitTheColumnAreNull) {
    setTypeGuessRows(int32_t{2});
    Recordset rs;
    open(rs, "SELECT * FROM [Sheet1$]");
    EXPECT_EQ(rs.Fields()(0).Type(), adDouble);
    EXPECT_EQ(column(rs, 0), (std::vector<Value>{7, 8, Value::null(), 12.5}));
    EXPECT_EQ(column(rs, 1), (std::vector<Value>{"a", "b", Value::null(), Value::null()}));
}

TEST_F(TypeGuessing, AMissingRegistryValueGuessesOverEightRows) {
    Recordset rs;
    open(rs, "SELECT [F1] FROM [Sheet1$]");
    EXPECT_EQ(rs.Fields().Count(), 1);
    EXPECT_EQ(column(rs, 0), (std::vector<Value>{"7", "8", "eight", "12.5"}));
}

TEST_F(JetProvider, TheWholeSheetStartsAtA1AndAnEmptySheetHasNoRows) {
    configurationWorkbook();
    putRow(book_.sheets[1], 3, {none, txt("x")});
    Recordset rs;
    open(rs, "SELECT * FROM [second$]");
    EXPECT_EQ(rs.Fields().Count(), 2);
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.MoveLast();
    EXPECT_TRUE(rs.Fields()(0).Value().isNull());
    EXPECT_EQ(rs.Fields()(1).Value(), Value("x"));

    book_.sheets[1] = Sheet{};
    book_.sheets[1].name = "Second";
    Recordset empty;
    open(empty, lookupQuery("Second$"));
    EXPECT_EQ(empty.State(), adStateOpen);
    EXPECT_EQ(empty.Fields().Count(), 5);
    EXPECT_EQ(empty.RecordCount(), 0);
    EXPECT_TRUE(empty.BOF() && empty.EOF_());
    EXPECT_EQ(raised([&] { empty.MoveLast(); }).number(), 3021);
}

TEST_F(JetProvider, AServerSideRecordsetCannotBeCutOffFromItsConnection) {
    configurationWorkbook();
    Recordset rs;
    rs.Open(lookupQuery("Konfig$A2:E10"), connection(file_.string()), adOpenStatic, adLockReadOnly,
            adCmdText);
    EXPECT_EQ(rs.ActiveConnection(), connection(file_.string()));
    const Error e = raised([&] { rs.setActiveConnection(nullptr); });
    EXPECT_EQ(e.number(), 3705);
    EXPECT_EQ(e.description(), "Operation is not allowed when the object is open.");
    rs.Close();
    EXPECT_EQ(rs.State(), adStateClosed);
}

TEST_F(JetProvider, AConnectionToAnotherProviderFails) {
    configurationWorkbook();
    const std::string query = lookupQuery("Konfig$A2:E10");
    for (const std::string& c : {"Data Source=" + file_.string() + ";",
                                 "Provider=SQLOLEDB;Data Source=" + file_.string() + ";"}) {
        Recordset rs;
        const Error e = raised([&] { rs.Open(query, c); });
        EXPECT_EQ(e.number(), 3706);
        EXPECT_EQ(e.description(), "Provider cannot be found. It may not be properly installed.");
        EXPECT_EQ(rs.State(), adStateClosed);
    }
    EXPECT_TRUE(readFiles_.empty());
}

TEST_F(JetProvider, ABadDataSourceOrExtendedPropertyGetsJetsError) {
    configurationWorkbook();
    Recordset rs;
    const std::string missing = (dir_ / "none.xls").string();
    Error e = raised([&] { rs.Open(lookupQuery("Konfig$"), connection(missing)); });
    EXPECT_EQ(e.number(), -2147467259);
    EXPECT_EQ(e.description(), "Could not find file '" + missing + "'.");
    EXPECT_EQ(e.source(), "Microsoft JET Database Engine");

    const std::string base = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file_.string();
    e = raised([&] {
        rs.Open("SELECT * FROM [Konfig$]",
                base + ";Extended Properties=\"Excel 5.0;IMEX=1;HDR=NO\";");
    });
    EXPECT_EQ(e.description(), "Could not find installable ISAM.");
    e = raised([&] {
        rs.Open("SELECT * FROM [Konfig$]", base + ";Extended Properties=\"Excel 8.0;IMEX=1\";");
    });
    EXPECT_EQ(e.number(), -2147467259);
    e = raised([&] {
        rs.Open("SELECT * FROM [Konfig$]",
                base + ";Extended Properties=\"Excel 8.0;IMEX=1;HDR=NO;");
    });
    EXPECT_EQ(e.number(), 3001);  // the quote is never closed
    EXPECT_EQ(rs.State(), adStateClosed);
}

TEST_F(JetProvider, AQueryOnAMissingSheetOrFieldOrWithBadSyntaxFails) {
    configurationWorkbook();
    Recordset rs;
    const std::string c = connection(file_.string());
    Error e = raised([&] { rs.Open(lookupQuery("Other$A2:E3"), c); });
    EXPECT_EQ(e.number(), -2147217865);
    EXPECT_EQ(e.description(),
              "The Microsoft Jet database engine could not find the object 'Other$A2:E3'. Make "
              "sure the object exists and that you spell its name and path name correctly.");
    EXPECT_EQ(raised([&] { rs.Open(lookupQuery("Konfig$A0:E3"), c); }).number(), -2147217865);
    EXPECT_EQ(raised([&] { rs.Open(lookupQuery("Konfig"), c); }).number(), -2147217865);

    e = raised([&] { rs.Open("SELECT [F6] FROM [Konfig$A2:E10]", c); });
    EXPECT_EQ(e.number(), -2147217904);
    EXPECT_EQ(e.description(), "No value given for one or more required parameters.");
    EXPECT_EQ(raised([&] { rs.Open("SELECT * FROM [Konfig$A2:E10] WHERE [G1] = 1", c); }).number(),
              -2147217904);

    e = raised([&] { rs.Open("SELECT * FROM [Konfig$A2:E10] WHERE [F1] = 'x", c); });
    EXPECT_EQ(e.number(), -2147217900);
    EXPECT_EQ(e.description(), "Syntax error in query expression '[F1] = 'x'.");
    e = raised([&] { rs.Open("DELETE FROM [Konfig$]", c); });
    EXPECT_EQ(e.description(),
              "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
              "'UPDATE'.");
    EXPECT_EQ(raised([&] { rs.Open("SELECT * FROM Konfig$", c); }).description(),
              "Syntax error in FROM clause.");
    EXPECT_EQ(rs.State(), adStateClosed);
}

TEST_F(JetProvider, TheWorkbookReadersErrorPassesThrough) {
    jet::setWorkbookReader([](const std::filesystem::path&) -> WorkbookData {
        throw Error(70, "", "Permission denied");
    });
    Recordset rs;
    const Error e = raised([&] { rs.Open(lookupQuery("Konfig$"), connection(file_.string())); });
    EXPECT_EQ(e.number(), 70);
    EXPECT_EQ(e.description(), "Permission denied");
    EXPECT_EQ(rs.State(), adStateClosed);
}

}  // namespace
}  // namespace vtl::ado

namespace vtl::ado {
namespace {

// The provider on a real file, through the workbook reader: a table written as the extraction
// writes it, read back by the lookup's query.
TEST(JetProviderOnFiles, ReadsTheRowsOfAWrittenWorkbook) {
    test::ScopedPlatformHome home;
    test::TempDir dir;
    workbook::WorkbookData book;
    book.sheets.emplace_back();
    workbook::Sheet& sheet = book.sheets.back();
    sheet.name = "Konfig";
    putRow(sheet, 1, {txt("Find"), txt("Replace"), txt("Level"), txt("Color"), txt("Weight")});
    putRow(sheet, 2, {txt("P-1"), txt("P-2"), num(10), num(3), num(2)});
    putRow(sheet, 3, {txt("same"), txt("same"), num(1), num(1), num(1)});
    const std::filesystem::path file = dir / "config.xlsx";
    workbook::writeXlsx(book, file);

    Recordset rs;
    rs.setCursorLocation(adUseClient);
    rs.Open(lookupQuery("Konfig$A2:E3"),
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file.string() +
                ";Extended Properties=\"Excel 8.0;IMEX=1;HDR=NO\";",
            adOpenStatic, adLockReadOnly, adCmdText);
    rs.setActiveConnection(nullptr);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields()(0).Value(), Value("P-1"));
    EXPECT_EQ(rs.Fields()(1).Value(), Value("P-2"));
    EXPECT_EQ(rs.Fields()(2).Value(), Value(10.0));
}

}  // namespace
}  // namespace vtl::ado

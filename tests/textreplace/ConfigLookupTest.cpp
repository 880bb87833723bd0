// The configuration workbook read once through Excel and the Jet provider, written by openpyxl,
// and the lookups against the table it leaves.
#include <gtest/gtest.h>

#include <filesystem>

#include "ToolRuns.h"
#include "common/RegistryModule.h"
#include "platform/AtomicFile.h"
#include "platform/RegistryStore.h"
#include "support/ErrorOf.h"
#include "support/PythonScript.h"
#include "textreplace/ConfigLookup.h"
#include "workbook/JetProvider.h"

namespace vtl::tarnwell {
namespace {

namespace fs = std::filesystem;
using namespace RegistryModule;

class ConfigLookupTest : public ::testing::Test {
protected:
    void TearDown() override {
        CloseConfigRecordset();
        ado::jet::setWorkbookReader({});
    }

    void setGuessRows(const RegInput& value) {
        RegSetValue(HKEY_LOCAL_MACHINE, kJetExcelKey, kTypeGuessRows, value, "");
    }
    RegData guessRows() const {
        return RegGetValue(HKEY_LOCAL_MACHINE, kJetExcelKey, kTypeGuessRows, "", true);
    }
    fs::path lookupWorkbook() {
        return test::writeConfigWorkbook(
            dir / "cfg.xlsx",
            {"'A-100', 'B-100', 5, 3, 0", "'A-100', 'C-100', 5, 3, 0", "'A-100', 'D-100', 6, 3, 0",
             "'Same', 'Same', 1, 1, 1", "'case', 'CASE', 1, 1, 1",
             "\"O'Neil\", \"O'Brien\", 1, 2, 3", "'blank', None, 1, 1, 1", "'PUMP', 'P-1', 1, 1, 1",
             "'12', 'twelve', 1, 1, 1"});
    }

    vtl::test::ScopedPlatformHome home;
    vtl::test::TempDir dir;
    test::InProcessPrograms programs;
    ScopedOutsidePrograms scopedPrograms{programs};
};

TEST_F(ConfigLookupTest, TheUpperRowOfTextLevelColourAndWeightGivesTheReplacement) {
    const fs::path file = lookupWorkbook();
    SearchInit(file.string());
    EXPECT_EQ(programs.excel.journal,
              (std::vector<std::string>{"CreateObject Excel.Application",
                                        "Workbooks.Open " + file.string(), "Quit"}));
    EXPECT_EQ(Search4("A-100", 5, 3, 0), "B-100");
    EXPECT_EQ(Search4("A-100", 6, 3, 0), "D-100");
    EXPECT_EQ(Search4("A-100", 5, 3, 1), "");
    EXPECT_EQ(Search4("O'Neil", 1, 2, 3), "O'Brien");
    // A row whose Replace is its Find is not loaded; one that only changes the case is.
    EXPECT_EQ(Search4("Same", 1, 1, 1), "");
    EXPECT_EQ(Search4("case", 1, 1, 1), "CASE");
    // An empty Replace replaces nothing, but the text is configured.
    EXPECT_EQ(Search4("blank", 1, 1, 1), "");
    EXPECT_EQ(Search4("blank", -1, -1, -1), "blank");
    // Find is the text as it stands.
    EXPECT_EQ(Search4("PUMP", 1, 1, 1), "P-1");
    EXPECT_EQ(Search4("Pump", 1, 1, 1), "");
    EXPECT_EQ(Search4("pump", -1, -1, -1), "");
    EXPECT_EQ(Search4("12", 1, 1, 1), "twelve");
    EXPECT_EQ(Search4("12.0", 1, 1, 1), "");
    EXPECT_EQ(Search4("A-100", -1, 3, 0), "A-100");
    EXPECT_EQ(Search4("Same", -1, -1, -1), "");
    EXPECT_EQ(Search4("   ", 5, 3, 0), "");
    ASSERT_NE(ConfigRecordset(), nullptr);
    EXPECT_EQ(ConfigRecordset()->ActiveConnection(), "");
    ConfigRecordset()->setFilter("");
    EXPECT_EQ(ConfigRecordset()->RecordCount(), 8);
}

TEST_F(ConfigLookupTest, WithoutATableEveryLookupIsEmpty) {
    EXPECT_EQ(Search4("A-100", 5, 3, 0), "");
    SearchInit(lookupWorkbook().string());
    CloseConfigRecordset();
    EXPECT_EQ(ConfigRecordset(), nullptr);
    EXPECT_EQ(Search4("A-100", -1, -1, -1), "");
    CloseConfigRecordset();  // twice does no harm
}

TEST_F(ConfigLookupTest, ADateCellIsLookedUpAndAnsweredAsItsShortDate) {
    const std::string date = "__import__('datetime').date(2024, 5, 14)";
    const std::string time = "__import__('datetime').datetime(2024, 6, 1, 8, 15)";
    SearchInit(test::writeConfigWorkbook(
                   dir / "dates.xlsx", {date + ", 'Mai', 1, 2, 3", "'Rev', " + time + ", 1, 2, 3"})
                   .string());
    EXPECT_EQ(Search4("2024-05-14", 1, 2, 3), "Mai");
    EXPECT_EQ(Search4("2024-05-14", -1, -1, -1), "2024-05-14");
    EXPECT_EQ(Search4("45426", -1, -1, -1), "");
    EXPECT_EQ(Search4("Rev", 1, 2, 3), "2024-06-01 08:15:00");
}

TEST_F(ConfigLookupTest, AHeaderOnlyOrEmptySheetLoadsNoRows) {
    SearchInit(test::writeConfigWorkbook(dir / "header.xlsx", {}).string());
    ASSERT_NE(ConfigRecordset(), nullptr);
    EXPECT_EQ(ConfigRecordset()->RecordCount(), 0);
    vtl::test::runPython("import openpyxl\nopenpyxl.Workbook().save(r'" +
                         (dir / "empty.xlsx").string() + "')\n");
    SearchInit((dir / "empty.xlsx").string());
    EXPECT_EQ(ConfigRecordset()->RecordCount(), 0);
    // An Excel 97-2003 workbook is read as well.
    SearchInit(test::writeConfigWorkbook(dir / "cfg.xls", {"'A', 'B', 1, 2, 3"}).string());
    EXPECT_EQ(Search4("A", 1, 2, 3), "B");
}

TEST_F(ConfigLookupTest, TypeGuessRowsIsZeroDuringTheLoadAndPutBackAfterIt) {
    // A Find column of numbers whose last row is a text: read as text only when every row
    // is guessed over.
    std::vector<std::string> rows;
    for (int i = 0; i < 9; ++i) rows.push_back(std::to_string(10 + i) + ", 'N', 1, 1, 1");
    rows.push_back("'X-1', 'Y-1', 1, 1, 1");
    const fs::path file = test::writeConfigWorkbook(dir / "mixed.xlsx", rows);
    setGuessRows(int32_t{8});
    SearchInit(file.string());
    EXPECT_EQ(Search4("X-1", 1, 1, 1), "Y-1");
    EXPECT_EQ(Search4("10", 1, 1, 1), "N");
    EXPECT_EQ(guessRows(), RegData(int32_t{8}));

    // Also when the load fails after setting it; 0 stays 0, and a missing value is left at 0.
    ado::jet::setWorkbookReader([](const fs::path&) -> workbook::WorkbookData {
        throw Error(-2147467259, "Microsoft JET Database Engine", "Unexpected error from driver");
    });
    const Error failed = vtl::test::errorOf([&] { SearchInit(file.string()); });
    EXPECT_EQ(failed.number(), -2147467259);
    EXPECT_EQ(failed.source(), "SearchInit: Microsoft JET Database Engine");
    EXPECT_EQ(failed.description(), "Unexpected error from driver");
    EXPECT_EQ(ConfigRecordset(), nullptr);
    EXPECT_EQ(programs.excel.journal.back(), "Quit");
    EXPECT_EQ(guessRows(), RegData(int32_t{8}));
    ado::jet::setWorkbookReader({});
    setGuessRows(int32_t{0});
    SearchInit(file.string());
    EXPECT_EQ(guessRows(), RegData(int32_t{0}));
    platform::registry().deleteValue(platform::kLocalMachine, kJetExcelKey, kTypeGuessRows);
    SearchInit(file.string());
    EXPECT_EQ(guessRows(), RegData(int32_t{0}));
}

TEST_F(ConfigLookupTest, AWorkbookThatCannotBeReadLeavesNoTableAndNoExcel) {
    const fs::path good = lookupWorkbook();
    SearchInit(good.string());
    // A missing workbook keeps the table held.
    const Error missing = vtl::test::errorOf([&] { SearchInit((dir / "gone.xls").string()); });
    EXPECT_EQ(missing.number(), 1);
    EXPECT_EQ(missing.description(),
              "Excel config file: '" + (dir / "gone.xls").string() + "' not exists");
    EXPECT_EQ(Search4("A-100", 5, 3, 0), "B-100");

    const fs::path corrupt = dir.write("corrupt.xlsx", "no workbook at all");
    const Error damaged = vtl::test::errorOf([&] { SearchInit(corrupt.string()); });
    EXPECT_EQ(damaged.number(), 1004);
    EXPECT_EQ(damaged.source().substr(0, 10), "SearchInit");
    EXPECT_NE(damaged.description().find(corrupt.string()), std::string::npos);
    EXPECT_EQ(ConfigRecordset(), nullptr);
    EXPECT_EQ(programs.excel.journal.back(), "Quit");

    {
        platform::FileLock lock(good, platform::FileLock::Mode::Exclusive);
        const Error locked = vtl::test::errorOf([&] { SearchInit(good.string()); });
        EXPECT_NE(locked.description().find("is locked for editing by another user"),
                  std::string::npos);
    }
    programs.excel.installed = false;
    const Error noExcel = vtl::test::errorOf([&] { SearchInit(good.string()); });
    EXPECT_EQ(noExcel.number(), 1);
    EXPECT_EQ(noExcel.source(), "SearchInit");
    EXPECT_EQ(noExcel.description(), "Microsoft Excel not found or not correct installed");
}

TEST(QuotingTest, TextsBecomeSqlLiteralsWithTheirQuotesDoubled) {
    EXPECT_EQ(QuoteString("O'Neil"), "'O'Neil'");
    EXPECT_EQ(EscapeQuotes("O'Neil's"), "O''Neil''s");
    EXPECT_EQ(SqlQuote("O'Neil"), "'O''Neil'");
    EXPECT_EQ(SqlQuote(""), "''");
}

}  // namespace
}  // namespace vtl::tarnwell

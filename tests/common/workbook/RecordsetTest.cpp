#include <gtest/gtest.h>

#include "workbook/Recordset.h"

namespace vtl::ado {
namespace {

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

// The wizard's sample table: five text columns and three rows added by name.
void buildSampleTable(Recordset& rs) {
    rs.setCursorLocation(adUseClient);
    for (const char* name : {"No", "Connect to", "Delta X", "Delta Y", "Elevation"}) {
        rs.Fields().Append(name, adVarWChar, 255);
    }
    rs.Open();
    const std::vector<std::string> names = {"No", "Connect to", "Delta X", "Delta Y", "Elevation"};
    rs.AddNew(names, {"3", "Stutzen3", "Grid-Line-3  333", "Grid-Line-C 333", "3"});
    rs.AddNew(names, {"2", "Stutzen2", "Grid-Line-2  222", "Grid-Line-B 222", "2"});
    rs.AddNew(names, {"1", "Stutzen1", "Grid-Line-1  111", "Grid-Line-A 111", "1"});
}

TEST(Recordset, TheSampleTableIsDrawnFromItsLastRecordBackToBeforeTheFirst) {
    Recordset rs;
    buildSampleTable(rs);
    EXPECT_EQ(rs.State(), adStateOpen);
    EXPECT_EQ(rs.RecordCount(), 3);
    ASSERT_EQ(rs.Fields().Count(), 5);
    EXPECT_EQ(rs.Fields()(1).Name(), "Connect to");
    EXPECT_EQ(rs.Fields()(1).Type(), adVarWChar);
    EXPECT_EQ(rs.Fields()(1).DefinedSize(), 255);
    ASSERT_FALSE(rs.BOF() && rs.EOF_());

    std::vector<std::string> drawn;
    rs.MoveLast();
    while (!rs.BOF()) {
        for (long i = 0; i < rs.Fields().Count(); ++i)
            drawn.push_back(rs.Fields()(i).Value().text());
        rs.MovePrevious();
    }
    const std::vector<std::string> expected = {
        "1", "Stutzen1", "Grid-Line-1  111", "Grid-Line-A 111", "1",
        "2", "Stutzen2", "Grid-Line-2  222", "Grid-Line-B 222", "2",
        "3", "Stutzen3", "Grid-Line-3  333", "Grid-Line-C 333", "3"};
    EXPECT_EQ(drawn, expected);
    EXPECT_TRUE(rs.BOF());
    EXPECT_FALSE(rs.EOF_());
    EXPECT_EQ(raised([&] { rs.Fields()(0).Value(); }).number(), 3021);
    EXPECT_EQ(raised([&] { rs.MovePrevious(); }).number(), 3021);
    rs.MoveNext();  // from before the first record onto it
    EXPECT_EQ(rs.Fields()("no").Value().text(), "3");
}

TEST(Recordset, AnEmptyRecordsetIsAtBothEndsAndHasNoRecordToMoveTo) {
    Recordset rs;
    rs.Fields().Append("No", adVarWChar, 255);
    rs.Open();
    EXPECT_TRUE(rs.BOF());
    EXPECT_TRUE(rs.EOF_());
    EXPECT_EQ(rs.RecordCount(), 0);
    const Error e = raised([&] { rs.MoveLast(); });
    EXPECT_EQ(e.number(), 3021);
    EXPECT_EQ(e.description(),
              "Either BOF or EOF is True, or the current record has been deleted. Requested "
              "operation requires a current record.");
    EXPECT_EQ(raised([&] { rs.MovePrevious(); }).number(), 3021);
    EXPECT_EQ(raised([&] { rs.MoveNext(); }).number(), 3021);
    EXPECT_EQ(raised([&] { rs.MoveFirst(); }).number(), 3021);
}

TEST(Recordset, FieldsAreFoundByPositionOrNameAndDefinedOnlyBeforeOpening) {
    Recordset rs;
    rs.Fields().Append("No", adVarWChar, 4);
    rs.Fields().Append("Count", adInteger);
    rs.Fields().Append("Length", adDouble);
    EXPECT_EQ(raised([&] { rs.Fields().Append("no", adVarWChar, 3); }).number(), 3367);
    EXPECT_EQ(raised([&] { rs.Fields().Append("Date", 7); }).number(), 3001);
    rs.Open();
    EXPECT_EQ(raised([&] { rs.Fields().Append("Other", adVarWChar, 3); }).number(), 3219);
    EXPECT_EQ(raised([&] { rs.Open(); }).number(), 3705);
    const Error missing = raised([&] { rs.Fields()(3); });
    EXPECT_EQ(missing.number(), 3265);
    EXPECT_EQ(missing.description(),
              "Item cannot be found in the collection corresponding to the requested name or "
              "ordinal.");
    EXPECT_EQ(raised([&] { rs.Fields()("Width"); }).number(), 3265);
    EXPECT_EQ(raised([&] { rs.Fields()(-1); }).number(), 3265);

    rs.AddNew({"COUNT", "Length"}, {"7", 2.5});
    EXPECT_TRUE(rs.Fields()("No").Value().isNull());
    EXPECT_EQ(rs.Fields()("Count").Value(), Value(7));
    EXPECT_EQ(rs.Fields()(2).Value(), Value(2.5));
    rs.AddNew({"No", "Count"}, {12.5, Value()});
    EXPECT_EQ(rs.Fields()(0).Value(), Value("12.5"));
    EXPECT_TRUE(rs.Fields()(1).Value().isNull());
    EXPECT_EQ(rs.RecordCount(), 2);
}

TEST(Recordset, AddNewRejectsValuesItsFieldsCannotHold) {
    Recordset rs;
    rs.Fields().Append("No", adVarWChar, 3);
    rs.Fields().Append("Count", adInteger);
    rs.Open();
    EXPECT_EQ(raised([&] { rs.AddNew({"No"}, {"1", "2"}); }).number(), 3001);
    EXPECT_EQ(raised([&] { rs.AddNew({"Nr"}, {"1"}); }).number(), 3265);
    EXPECT_EQ(raised([&] { rs.AddNew({"No"}, {"four"}); }).number(), -2147217887);
    EXPECT_EQ(raised([&] { rs.AddNew({"Count"}, {"many"}); }).number(), -2147217887);
    rs.AddNew({"No"}, {"äöü"});  // three characters, six bytes
    EXPECT_EQ(rs.RecordCount(), 1);
}

TEST(Recordset, AClosedRecordsetRefusesEveryRowOperation) {
    Recordset rs;
    EXPECT_EQ(rs.State(), adStateClosed);
    const Error e = raised([&] { rs.RecordCount(); });
    EXPECT_EQ(e.number(), 3704);
    EXPECT_EQ(e.description(), "Operation is not allowed when the object is closed.");
    EXPECT_EQ(e.source(), "ADODB.Recordset");
    EXPECT_EQ(raised([&] { rs.Close(); }).number(), 3704);
    EXPECT_EQ(raised([&] { rs.Open(); }).number(), 3709);  // no fields to open on

    buildSampleTable(rs);
    rs.Close();
    EXPECT_EQ(rs.State(), adStateClosed);
    EXPECT_EQ(raised([&] { rs.BOF(); }).number(), 3704);
    EXPECT_EQ(raised([&] { rs.EOF_(); }).number(), 3704);
    EXPECT_EQ(raised([&] { rs.MoveLast(); }).number(), 3704);
    EXPECT_EQ(raised([&] { rs.setFilter("[No] = '1'"); }).number(), 3704);
    EXPECT_EQ(raised([&] { rs.AddNew({}, {}); }).number(), 3704);
    EXPECT_EQ(raised([&] { rs.Close(); }).number(), 3704);
    // A closed recordset is built again from scratch.
    buildSampleTable(rs);
    EXPECT_EQ(rs.RecordCount(), 3);
}

// The lookup table as the configuration workbook fills it: Find, Replace, Level, Color, Weight.
class FilteredTable : public ::testing::Test {
protected:
    Recordset rs;
    void SetUp() override {
        rs.setCursorLocation(adUseClient);
        for (const char* name : {"F1", "F2"}) rs.Fields().Append(name, adVarWChar, 255);
        for (const char* name : {"F3", "F4", "F5"}) rs.Fields().Append(name, adDouble);
        rs.Open();
        const std::vector<std::string> f = {"F1", "F2", "F3", "F4", "F5"};
        rs.AddNew(f, {"A-100", "B-100", 5, 3, 0});
        rs.AddNew(f, {"O'Neil", "Oneil", 1, 1, 1});
        rs.AddNew(f, {"A-100", "lower row", 5, 3, 0});
        rs.AddNew(f, {"blank", Value::null(), 2, 2, 2});
        rs.AddNew(f, {"A-100", "other level", 6, 3, 0});
        rs.MoveFirst();
    }
};

TEST_F(FilteredTable, AFilterShowsTheMatchingRowsWithTheFirstInSourceOrderCurrent) {
    rs.setFilter("[F1] = 'A-100' AND [F3] = 5 AND [F4] = 3 AND [F5] = 0");
    EXPECT_EQ(rs.Filter(), "[F1] = 'A-100' AND [F3] = 5 AND [F4] = 3 AND [F5] = 0");
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Fields()(1).Value().text(), "B-100");
    rs.MoveNext();
    EXPECT_EQ(rs.Fields()(1).Value().text(), "lower row");
    rs.MoveNext();
    EXPECT_TRUE(rs.EOF_());

    rs.setFilter("[F1] = 'A-100'");
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.Fields()(0).Value().text(), "A-100");
    rs.setFilter("[F1] = 'a-100' AND [F3] = 6");  // texts compare regardless of letter case
    EXPECT_EQ(rs.Fields()(1).Value().text(), "other level");
}

// A filter read before the table was built again names the new table's fields.
TEST_F(FilteredTable, AFilterSetAgainAfterTheFieldsChangedFindsTheNewFields) {
    rs.setFilter("[F1] = 'A-100'");
    rs.Close();
    for (const char* name : {"F2", "F1"}) rs.Fields().Append(name, adVarWChar, 255);
    rs.Open();
    rs.AddNew({"F1", "F2"}, {"A-100", "found"});
    rs.setFilter("[F1] = 'A-100'");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields()(0).Value().text(), "found");
}

TEST_F(FilteredTable, AQuoteInsideAFilterTextIsDoubled) {
    rs.setFilter("[F1] = 'O''Neil' AND [F3] = 1 AND [F4] = 1 AND [F5] = 1");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields()(1).Value().text(), "Oneil");
    rs.setFilter("[F1] = 'O''Neil'");
    EXPECT_EQ(rs.Fields()(0).Value().text(), "O'Neil");
}

TEST_F(FilteredTable, AnEmptyCellReadsNull) {
    rs.setFilter("[F1] = 'blank' AND [F3] = 2 AND [F4] = 2 AND [F5] = 2");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_TRUE(rs.Fields()(1).Value().isNull());
    EXPECT_EQ(rs.Fields()(1).Value().asText(), "");
}

TEST_F(FilteredTable, AFilterMatchingNothingLeavesNoCurrentRecord) {
    rs.setFilter("[F1] = 'A-100' AND [F3] = 9 AND [F4] = 3 AND [F5] = 0");
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.BOF());
    EXPECT_TRUE(rs.EOF_());
    EXPECT_EQ(raised([&] { rs.Fields()(1).Value(); }).number(), 3021);
    EXPECT_EQ(raised([&] { rs.MoveLast(); }).number(), 3021);
    EXPECT_EQ(raised([&] { rs.MovePrevious(); }).number(), 3021);
}

TEST_F(FilteredTable, ClearingTheFilterShowsEveryRowFromTheFirst) {
    rs.setFilter("[F1] = 'blank'");
    rs.setFilter("");
    EXPECT_EQ(rs.Filter(), "");
    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_EQ(rs.Fields()(1).Value().text(), "B-100");
    rs.setFilter("[F1] = 'blank'");
    rs.setFilter(adFilterNone);
    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_EQ(raised([&] { rs.setFilter(1L); }).number(), 3001);
}

TEST_F(FilteredTable, AFilterThatIsNoConditionIsRefused) {
    for (const char* bad : {"[F1] = 'A-100", "[F9] = 1", "[F1] =", "[F1] 'x'", "[F1] = 'x' AND",
                            "([F1] = 'x'", "[F1] = 'x' [F2] = 'y'"}) {
        const Error e = raised([&] { rs.setFilter(bad); });
        EXPECT_EQ(e.number(), 3001) << bad;
    }
    EXPECT_EQ(rs.RecordCount(), 5);  // the earlier view stays
}

TEST_F(FilteredTable, ComparisonsWithNullAreNeverTrue) {
    rs.setFilter("[F2] = 'x' OR NOT [F2] = 'x'");
    EXPECT_EQ(rs.RecordCount(), 4);  // the row with a Null Replace is neither
    rs.setFilter("F2 <> 'B-100' AND F3 >= 5 OR (F1 = 'blank')");
    EXPECT_EQ(rs.RecordCount(), 3);  // "lower row", "blank", "other level"
}

TEST(Recordset, ATextFilterFindsTheSameRowsInALargeTableAsComparingEachRowWould) {
    Recordset rs;
    rs.setCursorLocation(adUseClient);
    rs.Fields().Append("F1", adVarWChar, 255);
    rs.Fields().Append("F3", adDouble);
    rs.Open();
    const std::vector<std::string> f = {"F1", "F3"};
    for (int i = 0; i < 5000; ++i) rs.AddNew(f, {"row " + std::to_string(i), i});
    rs.AddNew(f, {"Pump", 1});
    rs.AddNew(f, {"PUMP", 2});
    rs.AddNew(f, {"12", 3});
    rs.AddNew(f, {"12.0", 4});
    rs.AddNew(f, {"Ärger", 5});
    rs.AddNew(f, {"ÄRGER", 6});
    rs.AddNew(f, {Value::null(), 7});
    auto shown = [&](const std::string& filter) {
        rs.setFilter(filter);
        std::vector<double> levels;
        for (; !rs.EOF_(); rs.MoveNext()) levels.push_back(rs.Fields()(1).Value().number());
        return levels;
    };
    EXPECT_EQ(shown("[F1] = 'pump'"), (std::vector<double>{1, 2}));
    EXPECT_EQ(shown("[F1] = 'pump' AND [F3] = 2"), (std::vector<double>{2}));
    EXPECT_EQ(shown("[F3] = 2 AND 'PuMp' = [F1]"), (std::vector<double>{2}));
    EXPECT_EQ(shown("[F1] = '12'"), (std::vector<double>{3}));  // "12.0" is another text
    EXPECT_EQ(shown("[F1] = 'ärger'"), (std::vector<double>{5, 6}));
    EXPECT_EQ(shown("[F1] = 'row 4999'"), (std::vector<double>{4999}));
    // Without an AND-ed text every row is tested, in source order: "row 3" first.
    EXPECT_EQ(shown("[F1] = 'pump' OR [F3] = 3"), (std::vector<double>{3, 1, 2, 3}));
    // A row added after a lookup is found by the next one.
    rs.AddNew(f, {"pUMP", 8});
    EXPECT_EQ(shown("[F1] = 'Pump'"), (std::vector<double>{1, 2, 8}));
}

TEST(Recordset, ANumberFieldFindsTheNumberOfANumericText) {
    Recordset rs;
    rs.setCursorLocation(adUseClient);
    rs.Fields().Append("F1", adDouble);
    rs.Open();
    for (double v : {12.0, 12.5, 13.0}) rs.AddNew({"F1"}, {v});
    rs.setFilter("[F1] = '12.50'");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields()(0).Value().number(), 12.5);
    rs.setFilter("[F1] = 'twelve'");
    EXPECT_EQ(rs.RecordCount(), 0);
}

TEST(Recordset, SettingTheConnectionToNothingKeepsTheRowsOfAClientSideRecordset) {
    Recordset rs;
    buildSampleTable(rs);
    rs.setActiveConnection(nullptr);
    EXPECT_EQ(rs.ActiveConnection(), "");
    EXPECT_EQ(rs.State(), adStateOpen);
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(raised([&] { rs.setCursorLocation(adUseServer); }).number(), 3705);
}

}  // namespace
}  // namespace vtl::ado

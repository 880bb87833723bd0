#include <gtest/gtest.h>

#include "workbook/WorkbookData.h"

namespace vtl::workbook {
namespace {

TEST(WorkbookSheet, AnEmptySheetHasNoUsedCellsAndReadsEmptyEverywhere) {
    Sheet sheet;
    EXPECT_EQ(sheet.lastRow(), 0);
    EXPECT_EQ(sheet.firstRow(), 0);
    EXPECT_EQ(sheet.lastColumn(), 0);
    EXPECT_EQ(sheet.firstColumn(), 0);
    EXPECT_EQ(sheet.at(1, 1).type, Cell::Type::Empty);
    EXPECT_EQ(sheet.at(0, -3).type, Cell::Type::Empty);
    EXPECT_THROW(sheet.cell(0, 1), std::out_of_range);
}

TEST(WorkbookSheet, TheUsedAreaRunsFromTheFirstToTheLastStoredCell) {
    Sheet sheet;
    sheet.cell(3, 4) = {Cell::Type::Text, "Find"};
    sheet.cell(7, 2) = {Cell::Type::Number, "", 12.5};
    sheet.cell(9, 9);  // touched, never given anything
    sheet.cell(5, 6).bold = true;
    EXPECT_EQ(sheet.firstRow(), 3);
    EXPECT_EQ(sheet.lastRow(), 7);
    EXPECT_EQ(sheet.firstColumn(), 2);
    EXPECT_EQ(sheet.lastColumn(), 6);
    EXPECT_EQ(sheet.at(3, 4).text, "Find");
    EXPECT_EQ(sheet.at(7, 2).number, 12.5);
    EXPECT_EQ(sheet.at(7, 3).type, Cell::Type::Empty);
}

}  // namespace
}  // namespace vtl::workbook

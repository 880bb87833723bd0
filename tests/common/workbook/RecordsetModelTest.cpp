#include <gtest/gtest.h>

#include "workbook/RecordsetModel.h"

namespace vtl::ado {
namespace {

TEST(RecordsetModel, TheGridShowsTheShownRecordsWithoutMovingTheCursor) {
    Recordset rs;
    rs.setCursorLocation(adUseClient);
    rs.Fields().Append("No", adVarWChar, 255);
    rs.Fields().Append("Delta X", adVarWChar, 255);
    RecordsetModel model(rs);
    EXPECT_EQ(model.rowCount(), 0);  // closed
    EXPECT_EQ(model.columnCount(), 0);

    rs.Open();
    rs.AddNew({"No", "Delta X"}, {"3", "Grid-Line-3  333"});
    rs.AddNew({"No"}, {"2"});
    rs.MoveFirst();
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Delta X");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "Grid-Line-3  333");
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "2");
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), "");  // Null
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::EditRole).isValid());
    EXPECT_EQ(rs.Fields()(0).Value().text(), "3");  // still on the first record

    rs.setFilter("[No] = '2'");
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "2");
    EXPECT_EQ(model.flags(model.index(0, 0)) & Qt::ItemIsEditable, Qt::NoItemFlags);
}

}  // namespace
}  // namespace vtl::ado

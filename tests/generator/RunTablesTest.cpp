#include <gtest/gtest.h>

#include <functional>

#include "core/Error.h"
#include "generator/RunTables.h"

namespace vtl {
namespace {

void expectOutOfRange(const std::function<void()>& access) {
    try {
        access();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 9);
        EXPECT_EQ(e.description(), "Subscript out of range");
    }
}

TEST(RunTableTest, BoundsAreCheckedOnEveryAccess) {
    RunTable table;
    EXPECT_EQ(table(5000, 7), "");
    table.set(9999, 20, "last");
    EXPECT_EQ(table(9999, 20), "last");
    expectOutOfRange([&] { table.set(10000, 0, "x"); });
    expectOutOfRange([&] { table.set(1, 21, "x"); });
    expectOutOfRange([&] { table.set(-1, 0, "x"); });
    expectOutOfRange([&] { (void)table(10000, 0); });
    expectOutOfRange([&] { (void)table(0, -1); });
    expectOutOfRange([&] { table.clearRow(10000); });
    expectOutOfRange([&] { table.copyColumns(1, table, 2, 0, 21); });
}

}  // namespace
}  // namespace vtl

// The text form of key-ins.
#include <gtest/gtest.h>

#include "engine/Keyins.h"

namespace vtl::ustation {
namespace {

TEST(KeyinsTest, SplitsAtSemicolonsAndDropsEmptyKeyins) {
    EXPECT_EQ(splitKeyins(" reset;;place  lstring ;xy=1,2;"),
              (std::vector<std::string>{"reset", "place  lstring", "xy=1,2"}));
    EXPECT_TRUE(splitKeyins(" ; ").empty());
}

TEST(KeyinsTest, PhrasesIgnoreCaseAndRepeatedBlanks) {
    EXPECT_EQ(phraseOf("  PLACE \t LString "), "place lstring");
    auto a = assignmentOf("XY = 1.5, -2");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->name, "xy");
    EXPECT_EQ(a->value, "1.5, -2");
    EXPECT_FALSE(assignmentOf("place text"));
    EXPECT_FALSE(assignmentOf("two words=1"));
}

TEST(KeyinsTest, PointsTakeTwoOrThreeNumbersWithDecimalPoints) {
    auto p = parsePoint("1.5,-2.25,3");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, 1.5);
    EXPECT_EQ(p->y, -2.25);
    EXPECT_EQ(p->z, 3);
    auto zero = parsePoint("0");
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->x, 0);
    EXPECT_EQ(zero->y, 0);
    EXPECT_FALSE(parsePoint("1,5;2"));
    EXPECT_FALSE(parsePoint("1,2,3,4"));
    EXPECT_FALSE(parsePoint("1,2e3"));
    EXPECT_FALSE(parsePoint(""));
    EXPECT_FALSE(parsePoint("1,,2"));
}

}  // namespace
}  // namespace vtl::ustation

#include <gtest/gtest.h>

#include "common/Orginal_Tokernizer.h"

namespace vtl::Orginal_Tokernizer {
namespace {

using Tokens = std::vector<std::string>;

TEST(Tokenize, RunsOfDelimitersSeparateWithoutEmptyTokens) {
    EXPECT_EQ(Tokenize("a  b", " "), (Tokens{"a", "b"}));
    EXPECT_EQ(Tokenize(" x", " "), (Tokens{"x"}));
    EXPECT_EQ(Tokenize("  12   ELBOW  3.5 ", "  "), (Tokens{"12", "ELBOW", "3.5"}));
    EXPECT_EQ(Tokenize("line 1\n\n\nline 2\n", "\n"), (Tokens{"line 1", "line 2"}));
}

TEST(Tokenize, EveryCharacterOfTheSetDelimitsExactly) {
    EXPECT_EQ(Tokenize("a,b;c", ",;"), (Tokens{"a", "b", "c"}));
    EXPECT_EQ(Tokenize("aXbxc", "x"), (Tokens{"aXb", "c"}));
    const std::string nul(1, '\0');
    EXPECT_EQ(Tokenize("/iso" + nul + "a.h" + nul + "b.h", nul), (Tokens{"/iso", "a.h", "b.h"}));
}

TEST(Tokenize, ShortTextComesBackWholeAndDelimitersOnlyGiveNothing) {
    EXPECT_EQ(Tokenize(",", ","), (Tokens{","}));
    EXPECT_EQ(Tokenize("", " "), (Tokens{""}));
    EXPECT_EQ(Tokenize("a", "a"), (Tokens{"a"}));
    EXPECT_TRUE(Tokenize("    ", " ").empty());
    EXPECT_TRUE(Tokenize(",,", ",").empty());
}

TEST(Tokenize, CountsAndComparesWholeCharacters) {
    // One character of two bytes is a short text; a multi-byte delimiter splits only at itself.
    EXPECT_EQ(Tokenize("§", "§"), (Tokens{"§"}));
    EXPECT_EQ(Tokenize("a§b", "§"), (Tokens{"a", "b"}));
    EXPECT_EQ(Tokenize("Übergang Ölfilter", "§ "), (Tokens{"Übergang", "Ölfilter"}));
}

}  // namespace
}  // namespace vtl::Orginal_Tokernizer

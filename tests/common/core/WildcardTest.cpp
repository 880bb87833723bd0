#include <gtest/gtest.h>

#include <filesystem>

#include "core/Wildcard.h"
#include "support/TempDir.h"

namespace vtl::wildcard {
namespace {

TEST(Wildcard, TrailingQuestionMarksMatchOneCharacterOrNone) {
    for (const char* name : {"PIPE1.X01", "pipe1.x1", "PIPE1.X", "Pipe1.xAB"}) {
        EXPECT_TRUE(matches("PIPE1.X??", name)) << name;
    }
    for (const char* name : {"PIPE1.X001", "PIPE1.Y01", "PIPE1X01", "PIPE2.X01", "PIPE1."}) {
        EXPECT_FALSE(matches("PIPE1.X??", name)) << name;
    }
    // Inside the name "?" needs a character.
    EXPECT_TRUE(matches("a?c", "abc"));
    EXPECT_FALSE(matches("a?c", "ac"));
}

TEST(Wildcard, StarMatchesAnyRunAndIgnoresCase) {
    EXPECT_TRUE(matches("*.DGN", "overview.dgn"));
    EXPECT_TRUE(matches("*", ""));
    EXPECT_TRUE(matches("*a*b", "xaxb"));
    EXPECT_FALSE(matches("*a*b", "xbxa"));
    EXPECT_FALSE(matches("*.dgn", "overview.dgn.bak"));
    EXPECT_FALSE(matches("abc", "abcd"));
}

TEST(Wildcard, StarDotStarMatchesEveryName) {
    for (const char* name : {"README", "a.b", ".hidden", "a.b.c", "x"}) {
        EXPECT_TRUE(matches("*.*", name)) << name;
    }
    EXPECT_TRUE(matches("base.*", "base"));
    EXPECT_FALSE(matches("base.*", "basement"));
}

TEST(Wildcard, QuestionMarkTakesOneWholeUtf8Character) {
    EXPECT_TRUE(matches("?.txt", "\xC3\xA4.txt"));
    EXPECT_FALSE(matches("??.txt", "\xC3\xA4.txt"));
}

TEST(Wildcard, ListGivesMatchingFilesWithoutFoldersSortedIgnoringCase) {
    test::TempDir dir;
    for (const char* name : {"b.X01", "A.x02", "c.txt", "a.X1"}) dir.write(name, "");
    std::filesystem::create_directory(dir / "d.X03");
    EXPECT_EQ(list(dir.path(), "*.X??"), (std::vector<std::string>{"A.x02", "a.X1", "b.X01"}));
    EXPECT_TRUE(list(dir / "missing", "*").empty());
}

}  // namespace
}  // namespace vtl::wildcard

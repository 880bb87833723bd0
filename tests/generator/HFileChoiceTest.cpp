#include <gtest/gtest.h>

#include "core/Error.h"
#include "generator/HFileChoice.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using HFileChoice::headerFilesOf;
using HFileChoice::isHeaderFileName;
using Files = std::vector<std::string>;

class HFileChoiceTest : public ::testing::Test {
protected:
    // Collects the list lines reported missing.
    HFileChoice::MissingEntry collect() {
        return [this](const std::string& line) { missing.push_back(line); };
    }
    std::string file(const std::string& name, const std::string& content = "") {
        return dir.write(name, content).string();
    }

    test::TempDir dir;
    Files missing;
};

TEST(HFileChoiceName, HeaderNamesMatchWithCase) {
    EXPECT_TRUE(isHeaderFileName("a.h"));
    EXPECT_TRUE(isHeaderFileName("P2002.h1"));
    EXPECT_TRUE(isHeaderFileName("notes.html"));
    EXPECT_FALSE(isHeaderFileName("A.H"));
    EXPECT_FALSE(isHeaderFileName("run.txt"));
}

TEST_F(HFileChoiceTest, OneOrSeveralHeaderFilesAreTakenAsChosen) {
    const std::string a = file("iso/a.h"), b = file("iso/b.h1");
    EXPECT_EQ(headerFilesOf({a}, collect()), Files{a});
    EXPECT_EQ(headerFilesOf({a, b}, collect()), (Files{a, b}));
    // A name the dialog offers that is gone by now is still a header file: the run reports it.
    const std::string gone = (dir / "iso/gone.txt").string();
    EXPECT_EQ(headerFilesOf({gone}, collect()), Files{gone});
    EXPECT_TRUE(missing.empty());
}

TEST_F(HFileChoiceTest, AnExistingFileWithACapitalHIsReadAsAList) {
    const std::string b = file("b.h");
    const std::string list = file("A.H", "b.h\n");
    EXPECT_EQ(headerFilesOf({list}, collect()), Files{b});
}

TEST_F(HFileChoiceTest, TheHeaderPatternLooksAtTheFileNameOnly) {
    // A folder named like a header file does not make the list in it a header file.
    const std::string p = file("proj.h/p.h");
    const std::string list = file("proj.h/run.txt", "p.h\n");
    EXPECT_EQ(headerFilesOf({list}, collect()), Files{p});
}

TEST_F(HFileChoiceTest, ListLinesAreTrimmedAndCountFromTheListsFolder) {
    const std::string b = file("lists/b.h"), c = file("other/c.h");
    const std::string list =
        file("lists/run.txt", "  b.h  \r\n\n   \n" + c + "\r\nmissing.h\n" + b + "\n");
    EXPECT_EQ(headerFilesOf({list}, collect()), (Files{b, c, b}));
    EXPECT_EQ(missing, Files{"missing.h"});
}

TEST_F(HFileChoiceTest, AListWithoutAnExistingFileIsAnError) {
    const std::string list = file("run.txt", "x.h\n\n/nowhere/y.h\n");
    try {
        headerFilesOf({list}, collect());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kOwnError);
        EXPECT_EQ(e.description(), "No h-Files in file: '" + list + "' found");
    }
    EXPECT_EQ(missing, (Files{"x.h", "/nowhere/y.h"}));
    EXPECT_THROW(headerFilesOf({file("empty.txt")}, collect()), Error);
}

}  // namespace
}  // namespace vtl

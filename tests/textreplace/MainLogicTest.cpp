// The main window's logic: the run's files from the folder and the list, the TEMP check, and
// what the file list takes in.
#include <gtest/gtest.h>

#include "ToolFixture.h"
#include "textreplace/MainLogic.h"

namespace vtl::tarnwell::MainLogic {
namespace {

using Texts = std::vector<std::string>;

class TodoFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file :
             {"project/a.dgn", "project/iso/P1.i01", "project/iso/P1.dgn", "project/notes.txt"}) {
            tool.dir.write(file, "x");
        }
    }
    std::string folder() const { return (tool.dir / "project").string(); }
    std::string at(const std::string& name) const { return folder() + "/" + name; }

    // Runs GetTodoFiles and gives its error, "" when there was none.
    std::string errorOf(const TodoSources& sources) {
        try {
            GetTodoFiles(sources);
            return {};
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 1);
            EXPECT_EQ(e.source(), "GetTodoFiles");
            return e.description();
        }
    }

    test::ScopedTool tool;
};

TEST_F(TodoFilesTest, FolderFilesComeFirstThenTheListNothingRemoved) {
    const Texts files = GetTodoFiles({true, folder(), "dgn", true, {"/other/b.dgn", at("a.dgn")}});
    EXPECT_EQ(files, (Texts{at("iso/P1.dgn"), at("a.dgn"), "/other/b.dgn", at("a.dgn")}));
    EXPECT_EQ(tool.events, (Texts{"File extensions: dgn", "4 file(s) found"}));
}

TEST_F(TodoFilesTest, EachExtensionIsSearchedInTurnBlankPiecesSkipped) {
    const Texts files = GetTodoFiles({true, folder(), " dgn , ,i0* ,DGN", false, {}});
    EXPECT_EQ(files, (Texts{at("iso/P1.dgn"), at("a.dgn"), at("iso/P1.i01"), at("iso/P1.dgn"),
                            at("a.dgn")}));
    EXPECT_EQ(tool.events, (Texts{"File extensions:  dgn , ,i0* ,DGN", "5 file(s) found"}));
}

TEST_F(TodoFilesTest, AnEmptySourceIsAnEventNotAnError) {
    const Texts files = GetTodoFiles({true, folder(), "xls", true, {"/x/b.dgn"}});
    EXPECT_EQ(files, (Texts{"/x/b.dgn"}));
    EXPECT_EQ(tool.events,
              (Texts{"File extensions: xls", "No DGN files in directory: '" + folder() + "' found",
                     "1 file(s) found"}));
    tool.events.clear();
    EXPECT_EQ(GetTodoFiles({true, folder(), "dgn", true, {}}).size(), 2u);
    EXPECT_EQ(tool.events, (Texts{"File extensions: dgn", "No files added to the file list",
                                  "2 file(s) found"}));
}

TEST_F(TodoFilesTest, TheErrorsThatEndARunBeforeItStarts) {
    EXPECT_EQ(errorOf({false, folder(), "dgn", false, {"/x/b.dgn"}}),
              "Please check the checkbox of finding file in folder or using the files in the file "
              "list.");
    const std::string missing = (tool.dir / "gone").string();
    EXPECT_EQ(errorOf({true, missing, "dgn", true, {"/x/b.dgn"}}),
              "Input directory: '" + missing + "' not exits");
    tool.events.clear();
    EXPECT_EQ(errorOf({true, folder(), "", false, {}}), "No files found.");
    EXPECT_EQ(tool.events,
              (Texts{"File extensions: ", "No DGN files in directory: '" + folder() + "' found"}));
}

TEST(TempFolderTest, ABlankOrMissingTempStopsTheStart) {
    vtl::test::TempDir dir;
    EXPECT_NO_THROW(checkTempFolder(dir.str()));
    const std::string request =
        ". Please first set operating system environment variable TEMP to correct folder";
    try {
        checkTempFolder(" ");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(), "TEMP directory not defined" + request);
    }
    const std::string missing = (dir / "none").string();
    try {
        checkTempFolder(missing);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "TEMP directory: '" + missing + "' not exists" + request);
    }
}

TEST(FileListTest, TheDialogComparesExactlyTheDropIgnoringCase) {
    const Texts listed{"/x/a.dgn", "/x/b.dgn.bak"};
    EXPECT_EQ(newFromDialog(listed, {"/X/A.DGN", "/x/a.dgn", "/x/b.dgn", "/x/c.dgn", "/x/c.dgn"}),
              (Texts{"/X/A.DGN", "/x/b.dgn", "/x/c.dgn"}));
    EXPECT_EQ(newFromDrop(listed, {"/X/A.DGN", "/x/B.dgn", "/x/b.DGN", "/x/folder"}),
              (Texts{"/x/B.dgn", "/x/folder"}));
}

// More files than a 16-bit counter holds are each worked on and counted.
TEST(FileLoopTest, EveryFileIsCountedPast32767AndAStopRequestEndsTheRunBeforeTheNextFile) {
    test::ScopedTool tool;
    size_t steps = 0;
    std::string counter;
    Texts shown;
    bool stop = false;
    const FileLoop loop{[&](const std::string& text) {
                            counter = text;
                            if (steps == 32767 || steps + 1 == 40000) shown.push_back(text);
                        },
                        [&] { return stop; },
                        [&](size_t index) {
                            EXPECT_EQ(index, steps);
                            ++steps;
                        }};
    runFileLoop(40000, loop);
    EXPECT_EQ(steps, 40000u);
    EXPECT_EQ(shown, (Texts{"32768 / 40000", "40000 / 40000"}));
    EXPECT_TRUE(tool.events.empty());

    steps = 0;
    const FileLoop stopping{loop.showCounter, [&] { return steps == 2; }, loop.step};
    runFileLoop(3, stopping);
    EXPECT_EQ(steps, 2u);
    EXPECT_EQ(counter, "2 / 3");
    EXPECT_EQ(tool.events, (Texts{"The run stops before file 3 / 3: the program is closing"}));
}

}  // namespace
}  // namespace vtl::tarnwell::MainLogic

#include <gtest/gtest.h>

#include <filesystem>

#include "common/Dialog.h"
#include "platform/FileDialogs.h"

namespace vtl {
namespace {

using platform::FileDialogRequest;
using platform::FileFilter;
using platform::parseFileFilter;
using Filters = std::vector<FileFilter>;

TEST(FileFilter, PairsOfDescriptionAndPatterns) {
    EXPECT_EQ(parseFileFilter("INI-File (*.ini)|*.ini"),
              (Filters{{"INI-File (*.ini)", {"*.ini"}}}));
    EXPECT_EQ(parseFileFilter("IsoGen h-File (*.h; *.h1)|*.h;*.h1|ASCII-List file (*.*)|*.*|"),
              (Filters{{"IsoGen h-File (*.h; *.h1)", {"*.h", "*.h1"}},
                       {"ASCII-List file (*.*)", {"*"}}}));
    EXPECT_EQ(parseFileFilter("MicroStation EXE-File (ustation.exe)|ustation.exe"),
              (Filters{{"MicroStation EXE-File (ustation.exe)", {"ustation.exe"}}}));
}

TEST(FileFilter, TheListEndsWhereTheDialogsEndIt) {
    EXPECT_TRUE(parseFileFilter("").empty());
    EXPECT_TRUE(parseFileFilter("Only a description").empty());
    EXPECT_EQ(parseFileFilter("A|*.a||B|*.b"), (Filters{{"A", {"*.a"}}}));
    EXPECT_EQ(parseFileFilter("A|*.a|B|"), (Filters{{"A", {"*.a"}}}));
}

class DialogWithScript : public ::testing::Test {
protected:
    platform::ScriptedFileDialogs script_;
    platform::ScopedFileDialogs scoped_{script_};
};

TEST_F(DialogWithScript, OpenFileOffersEveryFileFromTheCurrentFolderByDefault) {
    script_.answer("/data/vtl.ini");
    EXPECT_EQ(FileDialog().OpenFile(), "/data/vtl.ini");
    const FileDialogRequest& asked = script_.requests().at(0);
    EXPECT_EQ(asked.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(asked.filters, (Filters{{"Alle Dateien (*.*)", {"*"}}}));
    EXPECT_EQ(asked.initialDir, std::filesystem::current_path().string());
}

TEST_F(DialogWithScript, GivenFilterAndFolderAreUsedAndCancelGivesEmpty) {
    script_.cancel();
    EXPECT_EQ(FileDialog().OpenFile("Excel-File (*.xls)|*.xls", "/projects/iso/"), "");
    const FileDialogRequest& asked = script_.requests().at(0);
    EXPECT_EQ(asked.filters, (Filters{{"Excel-File (*.xls)", {"*.xls"}}}));
    EXPECT_EQ(asked.initialDir, "/projects/iso/");
}

TEST_F(DialogWithScript, SaveFileProposesTheDefaultName) {
    script_.answer("/out/texts.xls");
    EXPECT_EQ(FileDialog().SaveFile("texts.xls", std::nullopt, "/out"), "/out/texts.xls");
    const FileDialogRequest& asked = script_.requests().at(0);
    EXPECT_EQ(asked.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(asked.defaultName, "texts.xls");
    EXPECT_EQ(asked.filters.at(0).description, "Alle Dateien (*.*)");
    EXPECT_EQ(asked.initialDir, "/out");
}

TEST_F(DialogWithScript, SeveralFilesAnswerShowManyInOrder) {
    using Files = std::vector<std::string>;
    script_.answerMany({"/iso/a.h", "/iso/b.h1"});
    script_.answer("/iso/c.h");
    script_.cancel();
    script_.answerMany({"/iso/d.h", "/iso/e.h"});
    FileDialogRequest request;
    EXPECT_EQ(platform::fileDialogs().showMany(request), (Files{"/iso/a.h", "/iso/b.h1"}));
    EXPECT_EQ(platform::fileDialogs().showMany(request), Files{"/iso/c.h"});
    EXPECT_EQ(platform::fileDialogs().showMany(request), Files{});
    EXPECT_EQ(platform::fileDialogs().show(request), "/iso/d.h");
    EXPECT_EQ(script_.requests().size(), 4u);
}

// Dialogs that offer one file at a time still serve a choice of several.
class OneFileDialogs : public platform::FileDialogs {
public:
    std::string answer;
    std::string show(const FileDialogRequest&) override { return answer; }
};

TEST(FileDialogsShowMany, ByDefaultOffersOneFile) {
    OneFileDialogs one;
    one.answer = "/iso/a.h";
    EXPECT_EQ(one.showMany({}), std::vector<std::string>{"/iso/a.h"});
    one.answer.clear();
    EXPECT_TRUE(one.showMany({}).empty());
}

TEST(DialogWithoutApplication, AnswersEmpty) {
    // No QApplication in this program: the Qt dialogs cannot show and count as cancelled.
    EXPECT_EQ(FileDialog().OpenFile("INI-File (*.ini)|*.ini"), "");
}

}  // namespace
}  // namespace vtl

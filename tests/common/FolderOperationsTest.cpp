// The folder procedures of the file layer: the file search, folder creation, the folder picker,
// path parts and the recorded error raised again.
#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>

#include "common/FileOperationModule.h"
#include "platform/FileDialogs.h"
#include "support/LastErrorRecord.h"
#include "support/TempDir.h"

namespace vtl::FileOperationModule {
namespace {

namespace fs = std::filesystem;
using test::lastErrorRecord;
using Paths = std::vector<std::string>;

// A project tree: files in the top folder and in nested sub-folders, in mixed case.
class FindFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"b.dgn", "A.DGN", "c.txt", "Sub/x.dgn", "Sub/Deep/y.dgn",
                                 "alpha/z.dgn", "alpha/p.i01", ".hidden/h.dgn", ".h.dgn"}) {
            fs::create_directories((dir / file).parent_path());
            dir.write(file, "x");
        }
    }
    std::string at(const std::string& name) const { return root() + "/" + name; }
    std::string root() const { return dir.str(); }

    test::TempDir dir;
};

TEST_F(FindFileTest, SubFoldersComeFirstDepthFirstAndEveryListingIsSortedIgnoringCase) {
    EXPECT_EQ(FindFile(root(), "*.dgn", true), (Paths{at("alpha/z.dgn"), at("Sub/Deep/y.dgn"),
                                                      at("Sub/x.dgn"), at("A.DGN"), at("b.dgn")}));
    EXPECT_EQ(lastErrorRecord().number, 0);
    // A start folder given with its separator gets no second one.
    EXPECT_EQ(FindFile(root() + "/", "*.I0*", true), (Paths{root() + "/alpha/p.i01"}));
}

TEST_F(FindFileTest, WithoutRecursionOnlyTheFolderItself) {
    EXPECT_EQ(FindFile(root(), "*.dgn", false), (Paths{at("A.DGN"), at("b.dgn")}));
}

TEST_F(FindFileTest, NoMatchIsEmptyWithTheRecordCleared) {
    RecordLastError("x", Error(9, "", "stale"));
    EXPECT_TRUE(FindFile(root(), "*.xls", true).empty());
    EXPECT_EQ(lastErrorRecord().number, 0);
}

TEST_F(FindFileTest, AMissingStartFolderIsRecorded) {
    const std::string missing = at("nowhere");
    EXPECT_TRUE(FindFile(missing, "*.dgn", true).empty());
    const test::LastErrorRecord r = lastErrorRecord();
    EXPECT_EQ(r.number, 1);
    EXPECT_EQ(r.description, "Start path '" + missing + "' not exists");
    EXPECT_EQ(r.source.rfind("FindFile", 0), 0u);
}

TEST_F(FindFileTest, ALinkedFolderIsNotEnteredSoALoopEnds) {
    fs::create_directory_symlink(dir.path(), dir / "Sub/loop");
    fs::create_directory_symlink(dir / "alpha", dir / "linked");
    EXPECT_EQ(FindFile(root(), "*.dgn", true), (Paths{at("alpha/z.dgn"), at("Sub/Deep/y.dgn"),
                                                      at("Sub/x.dgn"), at("A.DGN"), at("b.dgn")}));
}

TEST(CreateFolderTest, CreatesTheFolderWithItsParents) {
    test::TempDir dir;
    // Characters a command interpreter would act on are plain characters of the name.
    const std::string folder = (dir / "a \"b\" $HOME & c/d").string();
    EXPECT_TRUE(CreateFolderA(folder));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(lastErrorRecord().number, 0);
    EXPECT_EQ(test::entryNames(dir.path()), (std::vector<std::string>{"a \"b\" $HOME & c"}));
}

TEST(CreateFolderTest, TheThreeFailures) {
    test::TempDir dir;
    EXPECT_FALSE(CreateFolderA("  "));
    EXPECT_EQ(lastErrorRecord().description, "Directory name not defined");
    EXPECT_EQ(lastErrorRecord().source.rfind("CreateFolderA", 0), 0u);

    EXPECT_FALSE(CreateFolderA(dir.str()));
    EXPECT_EQ(lastErrorRecord().description, "Directory '" + dir.str() + "' exists already");

    const std::string underFile = (dir.write("file", "x") / "sub").string();
    EXPECT_FALSE(CreateFolderA(underFile));
    EXPECT_EQ(lastErrorRecord().number, 1);
    EXPECT_EQ(lastErrorRecord().description, "Creating directory '" + underFile + "' failed");
}

TEST(PathPartsTest, FolderAndNameOfAPath) {
    const std::pair<const char*, const char*> folders[] = {
        {"/a/b.txt", "/a/"}, {"/a/b/", "/a/"}, {"b.txt", ""}, {"/", "/"},
        {"/a", "/"},         {"a/b", "a/"},    {"a/", ""},    {"", ""}};
    for (const auto& [path, folder] : folders) EXPECT_EQ(GetPathName(path), folder) << path;
    const std::pair<const char*, const char*> names[] = {
        {"/a/b.txt", "b.txt"}, {"/a/", ""}, {"b", "b"}, {"a/b.c.d", "b.c.d"}};
    for (const auto& [path, name] : names) EXPECT_EQ(GetFileName(path), name) << path;
}

TEST(RaiseLastErrorTest, RaisesOnlyARecordedFailure) {
    test::TempDir dir;
    ASSERT_TRUE(IsFileExists(dir.str(), 1));
    EXPECT_NO_THROW(RaiseLastError());
    ASSERT_FALSE(CreateFolderA(""));
    try {
        RaiseLastError();
        FAIL() << "no error raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(), "Directory name not defined");
        EXPECT_EQ(e.source().rfind("CreateFolderA", 0), 0u);
    }
}

TEST(LastModifiedTest, TheFilesTimeOrTheZeroTime) {
    test::TempDir dir;
    const std::string file = dir.write("a.log", "x").string();
    utimbuf times{1700000000, 1700000000};
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
    EXPECT_EQ(std::chrono::system_clock::to_time_t(GetFileLastModifiedDate(file)), 1700000000);
    EXPECT_EQ(lastErrorRecord().number, 0);
    EXPECT_EQ(GetFileLastModifiedDate((dir / "missing").string()),
              std::chrono::system_clock::time_point{});
    EXPECT_EQ(lastErrorRecord().number, 53);
    EXPECT_EQ(lastErrorRecord().source.rfind("GetFileLastModifiedDate", 0), 0u);
}

TEST(BrowseForFolderTest, PicksAFolderAndRemembersWhereItStarted) {
    platform::ScriptedFileDialogs dialogs;
    platform::ScopedFileDialogs scoped{dialogs};
    dialogs.answer("/data/project");
    EXPECT_EQ(BrowseForFolder("Select directory with DGN files", "  /data  "), "/data/project/");
    dialogs.cancel();
    EXPECT_EQ(BrowseForFolder("Again", ""), "");
    ASSERT_EQ(dialogs.requests().size(), 2u);
    const platform::FileDialogRequest& first = dialogs.requests()[0];
    EXPECT_EQ(first.kind, platform::FileDialogRequest::Kind::Folder);
    EXPECT_EQ(first.title, "Select directory with DGN files");
    EXPECT_EQ(first.initialDir, "/data");
    // A blank start folder opens where the last call that named one did.
    EXPECT_EQ(dialogs.requests()[1].initialDir, "/data");
}

}  // namespace
}  // namespace vtl::FileOperationModule

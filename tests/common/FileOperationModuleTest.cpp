#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <set>

#include "common/FileOperationModule.h"
#include "support/FakeClock.h"
#include "support/LastErrorRecord.h"
#include "support/TempDir.h"

namespace vtl::FileOperationModule {
namespace {

namespace fs = std::filesystem;
using test::readFile;

using test::lastErrorRecord;

// Holds a file locked for writing, as a program that has it open does.
class Holder {
public:
    explicit Holder(const fs::path& file) : fd_(::open(file.c_str(), O_RDWR)) {
        ::flock(fd_, LOCK_EX);
    }
    ~Holder() { ::close(fd_); }

private:
    int fd_;
};

TEST(VersionTest, OwnExecutableReportsTheEmbeddedVersion) {
    EXPECT_EQ(GetFileVersion(""), "1.0.0.0");
    EXPECT_EQ(GetVersionString("", false), "1.0.0.0");
    EXPECT_EQ(GetVersionString("", true), "01.00.00.00");
}

TEST(VersionTest, EachFileGetsItsOwnTextAndWordsStayUnsigned) {
    const std::string fixture = VTL_FIXTURE_EXE;
    EXPECT_EQ(GetVersionString("", false), "1.0.0.0");
    EXPECT_EQ(GetVersionString(fixture, false), "40000.1.0.12");
    EXPECT_EQ(GetVersionString(fixture, true), "40000.01.00.12");
    EXPECT_EQ(GetVersionString("", false), "1.0.0.0");
}

TEST(VersionTest, FilesWithoutVersionRecordGiveZeros) {
    test::TempDir dir;
    EXPECT_EQ(GetFileVersion(dir.write("plain.txt", "hello").string()), "0.0.0.0");
    EXPECT_EQ(GetFileVersion((dir / "missing.exe").string()), "0.0.0.0");
    EXPECT_EQ(lastErrorRecord().number, 0);
}

TEST(FileExistsTest, KindsFileFolderDriveAndOthers) {
    test::TempDir dir;
    std::string file = dir.write("a.txt", "x").string();
    EXPECT_TRUE(IsFileExists(file, 0));
    EXPECT_FALSE(IsFileExists(dir.str(), 0));
    EXPECT_TRUE(IsFileExists(dir.str(), 1));
    EXPECT_FALSE(IsFileExists(file, 1));
    EXPECT_TRUE(IsFileExists("/", 2));
    EXPECT_FALSE(IsFileExists(dir.str(), 2));
    RecordLastError("x", Error(9, "", "stale"));
    EXPECT_FALSE(IsFileExists(file, 5));
    EXPECT_EQ(lastErrorRecord().number, 0);
}

TEST(CopyFileTest, MissingSourceIsRecorded) {
    test::TempDir dir;
    std::string source = (dir / "nope.dgn").string();
    EXPECT_FALSE(CopyFileA(source, (dir / "b").string(), false, false, false));
    test::LastErrorRecord r = lastErrorRecord();
    EXPECT_EQ(r.number, 1);
    EXPECT_EQ(r.description, "File '" + source + "' not exists");
    EXPECT_EQ(r.source.rfind("CopyFileA", 0), 0u);
}

TEST(CopyFileTest, CopiesOverAnExistingFileAndVerifies) {
    test::TempDir dir;
    fs::path source = dir.write("seed.dgn", "seed data");
    fs::path dest = dir.write("out.vtl", "old contents that are longer");
    EXPECT_TRUE(CopyFileA(source.string(), dest.string(), false, false, true));
    EXPECT_EQ(readFile(dest), "seed data");
    EXPECT_EQ(fs::last_write_time(dest), fs::last_write_time(source));
    EXPECT_EQ(lastErrorRecord().number, 0);
    fs::path viaShell = dir / "shell.vtl";
    EXPECT_TRUE(CopyFileA(source.string(), viaShell.string(), true, false, true));
    EXPECT_EQ(readFile(viaShell), "seed data");
}

TEST(CopyFileTest, InUseCheckAcceptsADestinationThatDoesNotExistYet) {
    test::TempDir dir;
    fs::path source = dir.write("seed.dgn", "seed");
    EXPECT_TRUE(CopyFileA(source.string(), (dir / "new.vtl").string(), false, true, false));
}

TEST(CopyFileTest, DestinationInUseIsLeftUntouched) {
    test::TempDir dir;
    fs::path source = dir.write("seed.dgn", "new");
    fs::path dest = dir.write("open.vtl", "the user's drawing");
    Holder held(dest);
    EXPECT_FALSE(CopyFileA(source.string(), dest.string(), false, true, false));
    EXPECT_EQ(lastErrorRecord().description, "File '" + dest.string() + "' is already in use");
    EXPECT_FALSE(CopyFileA(source.string(), dest.string(), false, false, false));
    EXPECT_EQ(lastErrorRecord().number, 70);
    EXPECT_FALSE(CopyFileA(source.string(), dest.string(), true, false, false));
    EXPECT_EQ(lastErrorRecord().description, "Error code: 32");
    EXPECT_EQ(readFile(dest), "the user's drawing");
}

TEST(CopyFileTest, CopyOntoItselfKeepsTheFile) {
    test::TempDir dir;
    fs::path file = dir.write("same.dgn", "precious");
    EXPECT_FALSE(
        CopyFileA(file.string(), (dir.path() / "." / "same.dgn").string(), false, false, false));
    EXPECT_EQ(readFile(file), "precious");
}

TEST(DeleteFileTest, BlankAndMissingNamesSucceed) {
    test::TempDir dir;
    EXPECT_TRUE(DeleteFileA("  ", false));
    EXPECT_TRUE(DeleteFileA((dir / "missing.txt").string(), false));
    EXPECT_EQ(lastErrorRecord().number, 0);
}

// A fresh account: a home without its data folder, the file in it, so the home's trash takes it
// wherever the test's own folder lies.
TEST(DeleteFileTest, DeletesPlainlyOrToTheTrashOfAFreshAccount) {
    test::TempDir dir;
    test::ScopedEnv home("HOME", (dir / "home").string());
    test::ScopedEnv data("XDG_DATA_HOME", std::nullopt);
    fs::path plain = dir.write("home/plain.txt", "x");
    EXPECT_TRUE(DeleteFileA(plain.string(), false));
    EXPECT_FALSE(fs::exists(plain));
    fs::path trashed = dir.write("home/trashed.txt", "y");
    EXPECT_TRUE(DeleteFileA(trashed.string(), true)) << lastErrorRecord().description;
    EXPECT_FALSE(fs::exists(trashed));
    EXPECT_EQ(readFile(dir / "home/.local/share/Trash/files/trashed.txt"), "y");
}

TEST(DeleteFileTest, ShellDeleteOfAFileInUseIsRefused) {
    test::TempDir dir;
    fs::path file = dir.write("busy.dgn", "z");
    Holder held(file);
    EXPECT_FALSE(DeleteFileA(file.string(), true));
    EXPECT_EQ(lastErrorRecord().description, "File '" + file.string() + "' already in use");
    EXPECT_TRUE(fs::exists(file));
}

TEST(InUseTest, MissingFileCountsAsInUseWithFileNotFound) {
    test::TempDir dir;
    std::string file = (dir / "gone.dgn").string();
    EXPECT_TRUE(IsFileAlreadyInUse(file));
    test::LastErrorRecord r = lastErrorRecord();
    EXPECT_EQ(r.number, 53);
    EXPECT_EQ(r.description, "File '" + file + "' is already in use");
    EXPECT_EQ(r.source.rfind("IsFileAlreadyInUse", 0), 0u);
}

TEST(InUseTest, LockedFileIsInUseUntilReleased) {
    test::TempDir dir;
    fs::path file = dir.write("f.dgn", "z");
    {
        Holder held(file);
        EXPECT_TRUE(IsFileAlreadyInUse(file.string()));
    }
    EXPECT_FALSE(IsFileAlreadyInUse(file.string()));
    EXPECT_EQ(lastErrorRecord().number, 0);
}

// The wait for a file on a fake clock that starts at `start`.
class ReadyWaitTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FakeClock fake;
    ScopedClock scoped{fake};
    const int64_t start = fake.nowMs();
};

TEST_F(ReadyWaitTest, FileCreatedAfterThreeSecondsIsFound) {
    fs::path file = dir / "copy.vtl";
    fake.onProcessEvents([&](int64_t now) {
        if (now - start >= 3000 && !fs::exists(file)) dir.write("copy.vtl", "done");
    });
    EXPECT_TRUE(IsFileExistsA(file.string()));
    EXPECT_GE(fake.nowMs() - start, 3000);
    EXPECT_LE(fake.nowMs() - start, 3100);
    EXPECT_EQ(lastErrorRecord().number, 0);
}

TEST_F(ReadyWaitTest, GivesUpAfterTwoMinutes) {
    EXPECT_FALSE(IsFileExistsA((dir / "never.vtl").string()));
    EXPECT_GE(fake.nowMs() - start, 120000);
    EXPECT_LT(fake.nowMs() - start, 120100);
    EXPECT_EQ(fake.sleepCalls(), fake.eventCalls());
    test::LastErrorRecord r = lastErrorRecord();
    EXPECT_EQ(r.number, 1);
    EXPECT_EQ(r.description,
              "Checking if file exists failed (timeout 120000 milliseconds is reached)");
    EXPECT_EQ(r.source.rfind("IsFileExistsA", 0), 0u);
}

TEST_F(ReadyWaitTest, WaitsWhileTheCopyIsStillHeld) {
    fs::path file = dir.write("busy.vtl", "partial");
    auto held = std::make_unique<Holder>(file);
    fake.onProcessEvents([&](int64_t now) {
        if (now - start >= 500) held.reset();
    });
    EXPECT_TRUE(IsFileExistsA(file.string()));
    EXPECT_GE(fake.nowMs() - start, 500);
}

TEST(PathTest, BaseNamesAndSeparators) {
    EXPECT_EQ(GetFileBaseName("archive"), "archive");
    EXPECT_EQ(GetFileBaseName("/x.y/file"), "file");
    EXPECT_EQ(GetFileBaseName("C:\\x.y\\file"), "file");
    EXPECT_EQ(GetFileBaseName("C:/a/b.c.txt"), "b.c");
    EXPECT_EQ(AddBackslash("/tmp"), "/tmp/");
    EXPECT_EQ(AddBackslash("/tmp/"), "/tmp/");
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(AddBackslash("  "), "  ");
}

TEST(PathTest, TemporaryNamesAreUniqueWithAnExtension) {
    std::set<std::string> names;
    for (int i = 0; i < 1000; ++i) names.insert(GetTempName());
    EXPECT_EQ(names.size(), 1000u);
    EXPECT_NE(names.begin()->find('.'), std::string::npos);
    EXPECT_EQ(GetTempBaseName().find('.'), std::string::npos);
}

}  // namespace
}  // namespace vtl::FileOperationModule

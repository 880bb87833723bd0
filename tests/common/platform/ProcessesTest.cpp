#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "common/modProcess.h"
#include "platform/Processes.h"
#include "support/TempDir.h"

namespace vtl::platform {
namespace {

namespace fs = std::filesystem;

std::optional<ProcessEntry> find(int32_t pid) {
    for (const ProcessEntry& e : processes().list()) {
        if (e.pid == pid) return e;
    }
    return std::nullopt;
}

std::unique_ptr<ChildProcess> startSleeper(const fs::path& program) {
    return processes().start({program.string(), "30"}, {});
}

TEST(Processes, ListsThisProcessWithParentAndImageName) {
    auto self = find(::getpid());
    ASSERT_TRUE(self);
    EXPECT_EQ(self->parentPid, ::getppid());
    EXPECT_EQ(self->imageName, fs::read_symlink("/proc/self/exe").filename().string());
}

TEST(Processes, ImageNameOfADeletedExecutableHasNoSuffix) {
    test::TempDir dir;
    fs::copy_file("/bin/sleep", dir / "ustation copy.exe");
    auto child = startSleeper(dir / "ustation copy.exe");
    fs::remove(dir / "ustation copy.exe");
    auto entry = find(child->pid());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->imageName, "ustation copy.exe");
    EXPECT_EQ(entry->parentPid, ::getpid());
    EXPECT_TRUE(processes().terminate(child->pid()));
    EXPECT_EQ(child->wait(), 128 + SIGKILL);
}

// A process that ends while its entry is read leaves files that fail on reading; here a
// "stat" that is a folder fails the same way.
TEST(Processes, AnEntryThatCannotBeReadIsLeftOutOfTheSnapshot) {
    test::TempDir proc;
    fs::create_directories(proc / "100/stat");
    proc.write("200/stat", "200 (ustation.exe) S 1 200 200 0 -1");
    fs::create_symlink("/opt/mstn/ustation.exe", proc / "200/exe");
    const std::vector<ProcessEntry> entries = listProcFolder(proc.str());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].pid, 200);
    EXPECT_EQ(entries[0].parentPid, 1);
    EXPECT_EQ(entries[0].imageName, "ustation.exe");
}

TEST(Processes, AFolderThatCannotBeWalkedIsAnError) {
    test::TempDir dir;
    EXPECT_THROW(listProcFolder((dir / "no proc").string()), Error);
}

TEST(Processes, ChildReportsStillActiveUntilItEnds) {
    auto child = processes().start({"/bin/sh", "-c", "sleep 0.3; exit 7"}, {});
    EXPECT_EQ(child->exitCode(), kStillActive);
    EXPECT_EQ(child->wait(), 7);
    EXPECT_EQ(child->exitCode(), 7);
}

TEST(Processes, DetachedChildHasItsOwnSessionAndAppendsItsOutput) {
    test::TempDir dir;
    fs::path log = dir.write("out.log", "before\n");
    StartOptions options{.detached = true, .output = log.string()};
    auto child = processes().start({"/bin/sh", "-c", "echo out; echo err >&2; read x"}, options);
    // "read" meets the end of its input at once: the child's input is not ours.
    EXPECT_EQ(child->wait(), 1);
    EXPECT_EQ(test::readFile(log), "before\nout\nerr\n");
    auto shell = processes().start(
        {"/bin/sh", "-c", "exit $(( $(cut -d' ' -f6 /proc/$$/stat) == $$ ))"}, options);
    EXPECT_EQ(shell->wait(), 1);
}

TEST(Processes, StartingAMissingProgramRaisesFileNotFound) {
    try {
        processes().start({"/nonexistent/program"}, {});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
}

TEST(Processes, TerminateRefusesIdsThatNameProcessGroups) {
    // In a process group of its own, so that a wrong kill(0) would end the helper alone.
    pid_t helper = ::fork();
    if (helper == 0) {
        ::setpgid(0, 0);
        ::_exit(processes().terminate(0) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(helper, &status, 0), helper);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(processes().terminate(0x3FFFFFFF));
}

TEST(ModProcess, KilledChildNoLongerExistsEvenBeforeItIsReaped) {
    auto child = startSleeper("/bin/sleep");
    EXPECT_TRUE(modProcess::IsProcessExists(child->pid()));
    EXPECT_TRUE(modProcess::KillProcess(child->pid(), 0));
    for (int i = 0; i < 200 && modProcess::IsProcessExists(child->pid()); ++i) ::usleep(5000);
    EXPECT_FALSE(modProcess::IsProcessExists(child->pid()));
    EXPECT_EQ(child->wait(), 128 + SIGKILL);
    EXPECT_FALSE(modProcess::KillProcess(child->pid(), 0));
}

TEST(ModProcess, UnknownIdsAndNamesFindNothing) {
    EXPECT_FALSE(modProcess::IsProcessExists(0x3FFFFFFF));
    EXPECT_FALSE(modProcess::KillApp("no-such-program-7f3a.exe", false));
    EXPECT_FALSE(modProcess::KillApp("no-such-program-7f3a.exe", true));
}

}  // namespace
}  // namespace vtl::platform

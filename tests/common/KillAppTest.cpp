// Ends real processes by name; runs under the lock of the tests that do so.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/modProcess.h"
#include "platform/Processes.h"
#include "support/TempDir.h"

namespace vtl::modProcess {
namespace {

namespace fs = std::filesystem;
using platform::processes;

TEST(KillApp, EndsEveryRunningProcessOfTheNameAndNoOther) {
    test::TempDir dir;
    fs::copy_file("/bin/sleep", dir / "ustation.exe");
    fs::copy_file("/bin/sleep", dir / "xustation.exe");
    auto first = processes().start({(dir / "ustation.exe").string(), "30"}, {});
    auto second = processes().start({(dir / "ustation.exe").string(), "30"}, {});
    auto other = processes().start({(dir / "xustation.exe").string(), "30"}, {});

    EXPECT_TRUE(KillApp("USTATION.exe", false));
    EXPECT_EQ(first->wait(), 128 + SIGKILL);
    EXPECT_EQ(second->wait(), 128 + SIGKILL);
    EXPECT_EQ(other->exitCode(), platform::kStillActive);

    EXPECT_TRUE(KillProcess(other->pid(), 0));
    EXPECT_EQ(other->wait(), 128 + SIGKILL);
}

}  // namespace
}  // namespace vtl::modProcess

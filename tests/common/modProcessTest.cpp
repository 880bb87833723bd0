#include <gtest/gtest.h>

#include "common/modProcess.h"
#include "platform/Processes.h"
#include "support/FakePlatform.h"

namespace vtl::modProcess {
namespace {

using test::FakeProcesses;

class ModProcessFake : public ::testing::Test {
protected:
    ModProcessFake() {
        table.add(10, 0, "explorer.exe");
        table.add(20, 10, "ustation.exe");   // parent still runs
        table.add(21, 0, "USTATION.EXE");    // no parent
        table.add(22, 999, "ustation.exe");  // parent gone
        table.add(23, 10, "ustation.exe.bak");
    }
    test::FakeProcesses table;
    platform::ScopedProcesses scoped{table};
};

TEST_F(ModProcessFake, OrphansOnlyLeavesProcessesWhoseParentRuns) {
    EXPECT_TRUE(KillApp("UStation.exe", true));
    EXPECT_EQ(table.terminated(), (std::vector<int32_t>{21, 22}));
    EXPECT_TRUE(IsProcessExists(20));
}

TEST_F(ModProcessFake, WithoutOrphansOnlyEveryProcessOfTheNameEnds) {
    EXPECT_TRUE(KillApp("ustation.exe", false));
    EXPECT_EQ(table.terminated(), (std::vector<int32_t>{20, 21, 22}));
    EXPECT_FALSE(KillApp("ustation.exe", false));
}

TEST_F(ModProcessFake, IsAppRunningFindsTheFirstProcessOfTheNameWhateverItsCase) {
    int32_t pid = 0;
    EXPECT_TRUE(IsAppRunning("UStation.EXE", &pid));
    EXPECT_EQ(pid, 20);
    EXPECT_TRUE(IsAppRunning("explorer.exe"));
    pid = 7;
    EXPECT_FALSE(IsAppRunning("ustation", &pid));
    EXPECT_EQ(pid, 7);
    table.failListing(Error(70, "Snapshot", "Permission denied"));
    try {
        IsAppRunning("ustation.exe");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.source(), "IsAppRunning");
    }
}

TEST_F(ModProcessFake, FailuresCarryTheProcedureNameAndTheInnerSourceInTheDescription) {
    table.failListing(Error(70, "Snapshot", "Permission denied"));
    try {
        KillApp("ustation.exe", false);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 70);
        EXPECT_EQ(e.source(), "KillApp");
        EXPECT_EQ(e.description(), "Snapshot: Permission denied");
    }
    setProgramTitle("Vistrel");
    table.failListing(Error(70, "Vistrel", "Permission denied"));
    try {
        IsProcessExists(10);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.source(), "IsProcessExists");
        EXPECT_EQ(e.description(), "Permission denied");
    }
    setProgramTitle("");
}

TEST_F(ModProcessFake, KillProcessOfAnUnknownIdFailsQuietly) {
    EXPECT_FALSE(KillProcess(555, 0));
    EXPECT_TRUE(KillProcess(10, 0));
}

}  // namespace
}  // namespace vtl::modProcess

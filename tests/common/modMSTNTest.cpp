#include <gtest/gtest.h>

#include "common/RegistryModule.h"
#include "common/modMSTN.h"
#include "common/mstnmacro.h"
#include "platform/Processes.h"
#include "platform/WindowSystem.h"
#include "support/FakeClock.h"
#include "support/FakeMicroStation.h"
#include "support/FakePlatform.h"
#include "support/ServerThread.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using namespace modMSTN;
namespace reg = RegistryModule;

class MicroStationChoiceTest : public ::testing::Test {
protected:
    void install(const std::string& name, const std::string& path, const std::string& version) {
        const std::string key = std::string(kInstallationsKey) + name;
        reg::RegSetValue(reg::HKEY_LOCAL_MACHINE, key, "PathName", path, "");
        reg::RegSetValue(reg::HKEY_LOCAL_MACHINE, key, "Version", version, "");
    }
    std::string exe(const std::string& name) { return dir.write(name, "").string(); }

    test::ScopedPlatformHome home;
    test::TempDir dir;
};

TEST_F(MicroStationChoiceTest, NoInstallationsGiveAnEmptyListAndPath) {
    EXPECT_TRUE(GetMSTNInstallations().empty());
    EXPECT_EQ(GetDefaultMSTNPath(), "");
}

TEST_F(MicroStationChoiceTest, VersionSevenIsPreferredOverTheFirstListed) {
    install("A", exe("v8/ustation.exe"), "08.05");
    install("B", exe("v7/ustation.exe"), "07.01");
    std::vector<MSTNInstall> list = GetMSTNInstallations();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Version, "08.05");
    EXPECT_EQ(GetDefaultMSTNPath(), list[1].PathName);
}

TEST_F(MicroStationChoiceTest, WithoutVersionSevenTheFirstIsTaken) {
    install("A", exe("v8/ustation.exe"), "08.05");
    install("B", exe("v9/ustation.exe"), "09.00");
    EXPECT_EQ(GetDefaultMSTNPath(), (dir / "v8/ustation.exe").string());
}

TEST_F(MicroStationChoiceTest, InstallationsWhoseExecutableIsMissingAreSkipped) {
    install("A", (dir / "gone/ustation.exe").string(), "07.01");
    install("B", exe("here/ustation.exe"), "08.00");
    std::vector<MSTNInstall> list = GetMSTNInstallations();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].PathName, (dir / "here/ustation.exe").string());
}

class MSTNOpenTest : public ::testing::Test {
protected:
    test::ScopedPlatformHome home;
    test::FakeClock fakeClock;
    ScopedClock clock{fakeClock};
    test::FakeWindowSystem fakeWindows;
    platform::ScopedWindows windows{fakeWindows};
    test::FakeProcesses fakeProcesses;
    platform::ScopedProcesses processes{fakeProcesses};
};

Error openError(const std::string& path) {
    try {
        MSTNOpen(path);
    } catch (const Error& e) {
        return e;
    }
    return Error(0, "", "no error");
}

TEST_F(MSTNOpenTest, NoWindowAndNoInstallationIsNotDefined) {
    Error e = openError("  ");
    EXPECT_EQ(e.number(), 1);
    EXPECT_EQ(e.description(), "MicroStation EXE-File not defined");
    EXPECT_EQ(e.source().rfind("MSTNOpen", 0), 0u);
    EXPECT_TRUE(fakeProcesses.starts().empty());
}

TEST_F(MSTNOpenTest, NoWindowAndAMissingExecutableIsNotExisting) {
    Error e = openError("/opt/Bentley Systems/ustation.exe");
    EXPECT_EQ(e.number(), 1);
    EXPECT_EQ(e.description(),
              "MicroStation EXE-File : '/opt/Bentley Systems/ustation.exe' not existing");
}

TEST_F(MSTNOpenTest, NoWindowStartsTheExecutableWithItsSwitchApart) {
    test::TempDir dir;
    std::string exe = dir.write("with blank/ustation.exe", "").string();
    Error e = openError(exe);  // the fake start brings up no server
    ASSERT_EQ(fakeProcesses.starts().size(), 1u);
    EXPECT_EQ(fakeProcesses.starts()[0].argv, (std::vector<std::string>{exe, "/Automation"}));
    EXPECT_EQ(e.number(), err::CannotCreateObject);
    EXPECT_EQ(e.description(), "MicroStation not correctly installed or not found");
}

TEST_F(MSTNOpenTest, ARunningWindowIsAttachedWhateverThePath) {
    fakeWindows.open("MicroStation - a.dgn", "MSTNTop");
    fakeProcesses.add(4711, 1, "USTATION.EXE");
    test::FakeMicroStation fake;
    test::ServerThread server(fake);
    std::shared_ptr<mstn::Application> app = MSTNOpen("/not/a/path.exe");
    ASSERT_TRUE(app);
    app->MbeSendCommand("NULL");
    server.stop();
    EXPECT_TRUE(fakeProcesses.starts().empty());
    EXPECT_EQ(fake.keyins, std::vector<std::string>{"NULL"});
    EXPECT_GE(fakeClock.sleptMs(), 500);
}

// Just after a kill the window can still show while its process has gone.
TEST_F(MSTNOpenTest, AWindowWithoutItsProcessCountsAsNoMicroStation) {
    fakeWindows.open("MicroStation - a.dgn", "MSTNTop");
    fakeProcesses.add(4711, 1, "ustation.exe.bak");
    test::TempDir dir;
    std::string exe = dir.write("ustation.exe", "").string();
    Error e = openError(exe);
    ASSERT_EQ(fakeProcesses.starts().size(), 1u);
    EXPECT_EQ(fakeProcesses.starts()[0].argv, (std::vector<std::string>{exe, "/Automation"}));
    EXPECT_EQ(e.number(), err::CannotCreateObject);
}

// Sees the macro file as MicroStation does when the key-in arrives.
class MacroReader : public test::FakeMicroStation {
public:
    void MbeSendCommand(const std::string& keyin) override {
        FakeMicroStation::MbeSendCommand(keyin);
        content = test::readFile(keyin.substr(std::string("macro ").size()));
    }
    std::string content;
};

TEST(RunMSTNMacroTest, WritesRunsAndRemovesTheMacroFile) {
    test::TempDir tmp;
    test::ScopedEnv env("TMP", tmp.str());
    tmp.write("macro.bas", "old");
    tmp.write("macro.ba", "older");
    auto reader = std::make_shared<MacroReader>();
    MSTNApp = reader;
    mstnmacro::RunMSTNMacro("MbeSendCommand \"fit all\"");
    MSTNApp.reset();
    EXPECT_EQ(reader->keyins, std::vector<std::string>{"macro " + (tmp / "macro.bas").string()});
    EXPECT_EQ(reader->content, "Sub main\r\nMbeSendCommand \"fit all\"\r\nEnd Sub\r\n");
    EXPECT_FALSE(std::filesystem::exists(tmp / "macro.bas"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "macro.ba"));
}

TEST(RunMSTNMacroTest, WithoutAnAttachedMicroStationRaisesError91) {
    MSTNApp.reset();
    try {
        mstnmacro::RunMSTNMacro("x");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::ObjectNotSet);
        EXPECT_EQ(e.description(), "Object variable or With block variable not set");
    }
}

TEST(RunMSTNMacroTest, AFailingMacroKeyinStillRemovesTheFile) {
    test::TempDir tmp;
    test::ScopedEnv env("TMP", tmp.str());
    auto fake = std::make_shared<test::FakeMicroStation>();
    fake->failOnCall(1, Error(462, "", "gone"));
    MSTNApp = fake;
    EXPECT_THROW(mstnmacro::RunMSTNMacro("x"), Error);
    MSTNApp.reset();
    EXPECT_FALSE(std::filesystem::exists(tmp / "macro.bas"));
}

}  // namespace
}  // namespace vtl

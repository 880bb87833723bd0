#include <gtest/gtest.h>

#include "common/RegistryModule.h"
#include "core/Error.h"
#include "generator/MSTNChoice.h"
#include "generator/NumberFormat.h"
#include "generator/VTLLogic.h"
#include "generator/Variablen.h"
#include "platform/RegistryStore.h"
#include "platform/WindowSystem.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using modMSTN::MSTNInstall;
using Entries = std::vector<std::string>;

TEST(GetMSTNPath, AnInstallationEntryGivesThePathAfterItsVersion) {
    EXPECT_EQ(MSTNChoice::pathOf("(07.01.00.00) /opt/bentley/ustation.exe"),
              "/opt/bentley/ustation.exe");
    EXPECT_EQ(MSTNChoice::pathOf("  (08.05)    /opt/a b/ustation.exe  "), "/opt/a b/ustation.exe");
    EXPECT_EQ(MSTNChoice::pathOf("(07.01) /opt/Program Files (x86)/ustation.exe"),
              "/opt/Program Files (x86)/ustation.exe");
}

TEST(GetMSTNPath, ABarePathStaysWholeEvenWithParentheses) {
    EXPECT_EQ(MSTNChoice::pathOf("/opt/Program Files (x86)/Bentley/ustation.exe"),
              "/opt/Program Files (x86)/Bentley/ustation.exe");
    EXPECT_EQ(MSTNChoice::pathOf("  /opt/ustation.exe "), "/opt/ustation.exe");
    EXPECT_EQ(MSTNChoice::pathOf(""), "");
}

TEST(MSTNChoiceList, EntriesKeepTheOrderAndAVersionSevenIsPreferred) {
    const std::vector<MSTNInstall> installs = {{"/v8/ustation.exe", "08.05"},
                                               {"/v7a/ustation.exe", "07.01"},
                                               {"  ", "07.02"},  // no path: no entry
                                               {"/v7b/ustation.exe", "07.02"}};
    const MSTNChoice::Choice choice = MSTNChoice::choose(installs, "");
    EXPECT_EQ(choice.entries, (Entries{"(08.05) /v8/ustation.exe", "(07.01) /v7a/ustation.exe",
                                       "(07.02) /v7b/ustation.exe"}));
    EXPECT_EQ(choice.selected, "(07.02) /v7b/ustation.exe");
}

TEST(MSTNChoiceList, TheConfiguredPathWinsInAnyCaseElseTheFirst) {
    const std::vector<MSTNInstall> installs = {{"/V8/UStation.exe", "08.05"},
                                               {"/v9/ustation.exe", "09.00"}};
    EXPECT_EQ(MSTNChoice::choose(installs, "/v8/ustation.exe").selected,
              "(08.05) /V8/UStation.exe");
    EXPECT_EQ(MSTNChoice::choose(installs, "/v9/USTATION.EXE").selected,
              "(09.00) /v9/ustation.exe");
    EXPECT_EQ(MSTNChoice::choose(installs, "/elsewhere/ustation.exe").selected,
              "(08.05) /V8/UStation.exe");
    EXPECT_EQ(MSTNChoice::choose({}, "/v9/ustation.exe").selected, "");
}

TEST(MSTNChoiceList, BrowseStartsInTheFolderOfTheChosenExecutable) {
    EXPECT_EQ(MSTNChoice::browseFolder("(07.01) /opt/Program Files (x86)/ustation.exe"),
              "/opt/Program Files (x86)/");
    EXPECT_EQ(MSTNChoice::browseFolder("/opt/b/ustation.exe"), "/opt/b/");
    EXPECT_EQ(MSTNChoice::browseFolder(""), "");
}

std::string separator(const char* name) {
    return std::get<std::string>(RegistryModule::RegGetValue(
        RegistryModule::HKEY_CURRENT_USER, "Control Panel\\International", name, "", true));
}

TEST(NumberSeparators, SeparatorsThatWereNotThereAreNotWrittenBackEmpty) {
    test::ScopedPlatformHome home;
    resetRunState();
    NumberFormat::restoreNumberSeparators();
    EXPECT_EQ(separator("sDecimal"), "");
    NumberFormat::setNumberSeparators();
    EXPECT_EQ(separator("sDecimal"), ".");
    NumberFormat::restoreNumberSeparators();
    EXPECT_EQ(separator("sDecimal"), ".");
    EXPECT_EQ(separator("sThousand"), ",");
    resetRunState();
}

// Several locales group thousands with a blank.
TEST(NumberSeparators, ABlankThousandsSeparatorIsWrittenBackAsItWas) {
    test::ScopedPlatformHome home;
    resetRunState();
    const char* key = "Control Panel\\International";
    ASSERT_TRUE(platform::registry().createKey(platform::kCurrentUser, key));
    ASSERT_TRUE(platform::registry().setValue(platform::kCurrentUser, key, "sThousand",
                                              platform::stringValue(" ")));
    NumberFormat::setNumberSeparators();
    EXPECT_EQ(separator("sThousand"), ",");
    NumberFormat::restoreNumberSeparators();
    EXPECT_EQ(platform::registry().queryValue(platform::kCurrentUser, key, "sThousand"),
              platform::stringValue(" "));
    resetRunState();
}

TEST(WindowExist, AnyTitleContainingTheTextIgnoringCase) {
    test::FakeWindowSystem fake;
    platform::ScopedWindows scoped(fake);
    EXPECT_FALSE(VTLLogic::Window_exist("P1001.vtl"));
    EXPECT_FALSE(VTLLogic::otherMicroStationOpen());
    fake.open("Explorer - /projects/Piping", "Explorer");
    EXPECT_TRUE(VTLLogic::otherMicroStationOpen());
    fake.open("microstation - p1001.VTL", "MSTNTop");
    EXPECT_TRUE(VTLLogic::Window_exist("P1001.vtl"));
    EXPECT_FALSE(VTLLogic::Window_exist("P1001.ics"));
}

}  // namespace
}  // namespace vtl

#include <gtest/gtest.h>

#include <fstream>

#include "common/RegistryModule.h"
#include "platform/RegistryStore.h"
#include "support/TempDir.h"

namespace vtl::RegistryModule {
namespace {

using platform::registry;
using platform::RegistryValue;
using test::readFile;
namespace regtype = platform::regtype;

constexpr const char* kKey = "Software\\Vistrel\\Test";

class RegistryModuleTest : public ::testing::Test {
protected:
    test::ScopedPlatformHome home_;

    void store(const std::string& name, const RegistryValue& value) {
        ASSERT_TRUE(registry().createKey(HKEY_LOCAL_MACHINE, kKey));
        ASSERT_TRUE(registry().setValue(HKEY_LOCAL_MACHINE, kKey, name, value));
    }
    RegistryValue stored(const std::string& name) {
        return registry().queryValue(HKEY_LOCAL_MACHINE, kKey, name).value_or(RegistryValue{});
    }
};

TEST_F(RegistryModuleTest, StringsFollowTheStringRule) {
    store("plain", platform::stringValue("1.5"));
    store("multi", {regtype::MultiString, {'a', 0, 'b', 0, 0}});
    store("padded", platform::stringValue("  x  "));
    store("expand", {regtype::ExpandString, {'%', 'T', '%', 0}});
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "plain", "", true), RegData("1.5"));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "PLAIN", "", false), RegData("1.5;"));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "multi", "", true), RegData("a"));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "multi", "", false), RegData("a;b;;"));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "padded", "", true), RegData("x"));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "expand", "", true), RegData("%T%"));
}

TEST_F(RegistryModuleTest, NumbersBytesAndOtherTypes) {
    store("dword", platform::dwordValue(0xFFFFFFFE));
    store("bigendian", {regtype::DwordBigEndian, {1, 0, 0, 0}});
    store("bytes", {regtype::Binary, {7, 8, 9}});
    store("qword", {11, {1, 0, 0, 0, 0, 0, 0, 0}});
    store("longdword", {regtype::Dword, {1, 0, 0, 0, 0}});
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "dword", "", true), RegData(int32_t{-2}));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "bigendian", "", true), RegData(int32_t{1}));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "bytes", "", true),
              RegData(std::vector<uint8_t>{7, 8, 9}));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "qword", "", true), RegData(""));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "longdword", "", true), RegData(""));
}

TEST_F(RegistryModuleTest, MissingValuesKeysAndRootsGiveEmptyStrings) {
    store("x", platform::dwordValue(1));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "missing", "", true), RegData(""));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, "Software\\None", "x", "", true), RegData(""));
    EXPECT_EQ(RegGetValue(HKEY_CURRENT_USER, kKey, "x", "", true), RegData(""));
    EXPECT_EQ(RegGetValue(0x80000000, kKey, "x", "", true), RegData(""));
}

TEST_F(RegistryModuleTest, OnlyWholeNumbersBecomeDwords) {
    EXPECT_TRUE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "twelve", std::string("12"), ""));
    EXPECT_EQ(stored("twelve"), platform::dwordValue(12));
    EXPECT_TRUE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "negative", std::string(" -3 "), ""));
    EXPECT_EQ(stored("negative"), platform::dwordValue(static_cast<uint32_t>(-3)));
    EXPECT_TRUE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "number", int32_t{0}, ""));
    EXPECT_EQ(stored("number"), platform::dwordValue(0));
    EXPECT_TRUE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "whole", 7.0, ""));
    EXPECT_EQ(stored("whole"), platform::dwordValue(7));
    EXPECT_TRUE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "half", 2.5, ""));
    EXPECT_EQ(stored("half"), platform::stringValue("2.5"));
    for (const char* text : {"12a", "1.5", "1,000", "1e3", "2147483648", "."}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "text", std::string(text), ""));
        EXPECT_EQ(stored("text"), platform::stringValue(text));
    }
    EXPECT_TRUE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "text", std::string("  ,  "), ""));
    EXPECT_EQ(stored("text"), platform::stringValue(","));
}

TEST_F(RegistryModuleTest, UntrimmedStringsKeepTheirBlanks) {
    EXPECT_TRUE(RegSetUntrimmedString(HKEY_LOCAL_MACHINE, kKey, "blank", " ", ""));
    EXPECT_EQ(stored("blank"), platform::stringValue(" "));
    EXPECT_TRUE(RegSetUntrimmedString(HKEY_LOCAL_MACHINE, kKey, "twelve", "12", ""));
    EXPECT_EQ(stored("twelve"), platform::stringValue("12"));
    store("multi", {regtype::MultiString, {' ', 0, 'b', 0, 0}});
    store("dword", platform::dwordValue(1));
    EXPECT_EQ(RegGetUntrimmedString(HKEY_LOCAL_MACHINE, kKey, "blank", ""), " ");
    EXPECT_EQ(RegGetUntrimmedString(HKEY_LOCAL_MACHINE, kKey, "multi", ""), " ");
    EXPECT_EQ(RegGetUntrimmedString(HKEY_LOCAL_MACHINE, kKey, "dword", ""), "");
    EXPECT_EQ(RegGetUntrimmedString(HKEY_LOCAL_MACHINE, kKey, "missing", ""), "");
    EXPECT_EQ(RegGetUntrimmedString(HKEY_LOCAL_MACHINE, kKey, "blank", "server"), "");
    EXPECT_FALSE(RegSetUntrimmedString(HKEY_LOCAL_MACHINE, kKey, "blank", " ", "server"));
}

TEST_F(RegistryModuleTest, KeysAreCreatedWithTheirParentsAndMatchedIgnoringCase) {
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Control Panel\\International", ""));
    EXPECT_TRUE(RegCreateKey(HKEY_CURRENT_USER, "Control Panel\\International", ""));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "control panel", ""));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "CONTROL PANEL\\international", "  "));
    EXPECT_TRUE(RegCreateKey(HKEY_CURRENT_USER, "control panel\\INTERNATIONAL", ""));
    EXPECT_EQ(RegGetSubKeys(HKEY_CURRENT_USER, "Control Panel", "").items,
              std::vector<std::string>{"International"});
    EXPECT_TRUE(RegSetValue(HKEY_CURRENT_USER, "control panel\\international", "sDecimal",
                            std::string(","), ""));
    EXPECT_EQ(RegGetValue(HKEY_CURRENT_USER, "Control Panel\\International", "SDECIMAL", "", true),
              RegData(","));
}

TEST_F(RegistryModuleTest, SubKeysInStableOrderWithTheRuntimeBounds) {
    for (const char* name : {"b", "C", "a"}) {
        RegCreateKey(HKEY_LOCAL_MACHINE, std::string("Software\\Bentley\\MicroStation\\") + name,
                     "");
    }
    RegCreateKey(HKEY_LOCAL_MACHINE, "Software\\Bentley\\MicroStation\\a\\deeper", "");
    SubKeyList list = RegGetSubKeys(HKEY_LOCAL_MACHINE, "Software\\Bentley\\MicroStation", "");
    EXPECT_EQ(list.lowerBound, 0);
    EXPECT_EQ(list.items, (std::vector<std::string>{"a", "b", "C"}));
    SubKeyList none = RegGetSubKeys(HKEY_LOCAL_MACHINE, "Software\\Bentley\\MicroStation\\b", "");
    EXPECT_EQ(none.lowerBound, 0);
    EXPECT_EQ(none.items, std::vector<std::string>{""});
    SubKeyList missing = RegGetSubKeys(HKEY_LOCAL_MACHINE, "Software\\Missing", "");
    EXPECT_EQ(missing.lowerBound, -1);
    EXPECT_EQ(missing.items, std::vector<std::string>{""});
}

TEST_F(RegistryModuleTest, RemoteComputerFailsCleanly) {
    store("x", platform::stringValue("local"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey, "server"));
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "x", "server", true), RegData(""));
    EXPECT_FALSE(RegCreateKey(HKEY_LOCAL_MACHINE, "Software\\New", "server"));
    EXPECT_FALSE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "x", std::string("remote"), "server"));
    EXPECT_EQ(RegGetSubKeys(HKEY_LOCAL_MACHINE, "Software", "server").lowerBound, -1);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\New", ""));
    EXPECT_EQ(stored("x"), platform::stringValue("local"));
}

TEST_F(RegistryModuleTest, StoreKeepsEveryByteAcrossReloads) {
    std::string odd = "quote\" back\\slash\ttab \xC3\xA9";
    store(odd, platform::stringValue(odd));
    store("", {regtype::String, {'n', 'o', 'n', 'u', 'l'}});
    store("embedded", {regtype::String, {'a', 0, 'b', 0}});
    store("empty", {regtype::Binary, {}});
    EXPECT_EQ(stored(odd), platform::stringValue(odd));
    EXPECT_EQ(stored(""), (RegistryValue{regtype::String, {'n', 'o', 'n', 'u', 'l'}}));
    EXPECT_EQ(stored("embedded"), (RegistryValue{regtype::String, {'a', 0, 'b', 0}}));
    EXPECT_EQ(stored("empty"), (RegistryValue{regtype::Binary, {}}));
    EXPECT_NE(readFile(platform::FileRegistry::storeFile())
                  .find("[HKEY_LOCAL_MACHINE\\Software\\Vistrel\\Test]"),
              std::string::npos);
}

TEST_F(RegistryModuleTest, DamagedStoreFailsAndIsLeftAlone) {
    store("x", platform::stringValue("1"));
    std::string damaged = readFile(platform::FileRegistry::storeFile()) + "garbage line\n";
    std::ofstream(platform::FileRegistry::storeFile(), std::ios::binary) << damaged;
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, kKey, "x", "", true), RegData(""));
    EXPECT_FALSE(RegSetValue(HKEY_LOCAL_MACHINE, kKey, "y", std::string("2"), ""));
    EXPECT_EQ(readFile(platform::FileRegistry::storeFile()), damaged);
}

TEST_F(RegistryModuleTest, DeletingKeysAndValues) {
    RegCreateKey(HKEY_LOCAL_MACHINE, "Software\\A\\B\\C", "");
    RegCreateKey(HKEY_LOCAL_MACHINE, "Software\\AB", "");
    store("x", platform::dwordValue(1));
    EXPECT_TRUE(registry().deleteValue(HKEY_LOCAL_MACHINE, kKey, "X"));
    EXPECT_FALSE(registry().deleteValue(HKEY_LOCAL_MACHINE, kKey, "x"));
    EXPECT_TRUE(registry().deleteKey(HKEY_LOCAL_MACHINE, "software\\a"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\A\\B\\C", ""));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\AB", ""));
    EXPECT_FALSE(registry().deleteKey(HKEY_LOCAL_MACHINE, ""));
}

}  // namespace
}  // namespace vtl::RegistryModule

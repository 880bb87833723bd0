// reg.exe run as a user runs it, sharing the registry store with this process.
#include <gtest/gtest.h>

#include <QProcess>
#include <vector>

#include "common/RegistryModule.h"
#include "platform/RegistryStore.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using namespace RegistryModule;

struct Outcome {
    int exitCode = -1;
    std::string out, err;
};

QStringList arguments(const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    return list;
}

void start(QProcess& p, const std::vector<std::string>& args) {
    p.start(QStringLiteral(VTL_STANDINS_DIR "/reg.exe"), arguments(args));
}

Outcome finish(QProcess& p) {
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(10000));
    return {p.exitCode(), p.readAllStandardOutput().toStdString(),
            p.readAllStandardError().toStdString()};
}

Outcome reg(const std::vector<std::string>& args, const std::string& input = "") {
    QProcess p;
    start(p, args);
    EXPECT_TRUE(p.waitForStarted(10000));
    p.write(input.data(), static_cast<qint64>(input.size()));
    return finish(p);
}

constexpr const char* kNotFound =
    "ERROR: The system was unable to find the specified registry key or value.\n";

TEST(RegExeTest, ValuesAddedByRegReadByTheLibrary) {
    test::ScopedPlatformHome home;
    const std::string key = "HKLM\\Software\\Bentley\\MicroStation\\7.1";
    Outcome added =
        reg({"add", key, "/v", "PathName", "/t", "REG_SZ", "/d", "/opt/ustation.exe", "/f"});
    EXPECT_EQ(added.exitCode, 0);
    EXPECT_EQ(added.out, "The operation completed successfully.\n");
    EXPECT_EQ(reg({"ADD", "HKEY_LOCAL_MACHINE\\software\\bentley\\microstation\\7.1", "/V", "Count",
                   "/T", "reg_dword", "/D", "0x10"})
                  .exitCode,
              0);
    EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, "Software\\Bentley\\MicroStation\\7.1", "pathname",
                          "", true),
              RegData("/opt/ustation.exe"));
    EXPECT_EQ(
        RegGetValue(HKEY_LOCAL_MACHINE, "Software\\Bentley\\MicroStation\\7.1", "Count", "", true),
        RegData(int32_t{16}));
    EXPECT_EQ(RegGetSubKeys(HKEY_LOCAL_MACHINE, "Software\\Bentley\\MicroStation", "").items,
              std::vector<std::string>{"7.1"});
}

TEST(RegExeTest, ValuesWrittenByTheLibraryQueriedByReg) {
    test::ScopedPlatformHome home;
    ASSERT_TRUE(RegSetValue(HKEY_CURRENT_USER, "Software\\Vistrel", "Rows", std::string("12"), ""));
    ASSERT_TRUE(
        RegSetValue(HKEY_CURRENT_USER, "Software\\Vistrel", "Scale", std::string("1.5"), ""));
    ASSERT_TRUE(platform::registry().setValue(HKEY_CURRENT_USER, "Software\\Vistrel", "Bytes",
                                              {platform::regtype::Binary, {0x0a, 0xb0, 0x01}}));
    ASSERT_TRUE(RegCreateKey(HKEY_CURRENT_USER, "Software\\Vistrel\\Sub", ""));
    Outcome one = reg({"query", "HKCU\\Software\\Vistrel", "/v", "Scale"});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_EQ(one.out, "\nHKEY_CURRENT_USER\\Software\\Vistrel\n    Scale    REG_SZ    1.5\n\n");
    Outcome all = reg({"query", "HKCU\\Software\\Vistrel"});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_EQ(all.out,
              "\nHKEY_CURRENT_USER\\Software\\Vistrel\n"
              "    Rows    REG_DWORD    0xc\n"
              "    Scale    REG_SZ    1.5\n"
              "    Bytes    REG_BINARY    0AB001\n"
              "\nHKEY_CURRENT_USER\\Software\\Vistrel\\Sub\n");
}

TEST(RegExeTest, ErrorsGiveMessagesAndExitCodeOne) {
    test::ScopedPlatformHome home;
    Outcome missing = reg({"query", "HKLM\\Software\\Missing"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, kNotFound);
    reg({"add", "HKCU\\K", "/v", "x", "/d", "1"});
    EXPECT_EQ(reg({"query", "HKCU\\K", "/v", "y"}).err, kNotFound);
    EXPECT_EQ(reg({"delete", "HKCU\\K", "/v", "y", "/f"}).exitCode, 1);
    EXPECT_EQ(reg({"query", "HKCR\\K"}).err,
              "ERROR: Invalid key name.\nType \"REG QUERY /?\" for usage.\n");
    Outcome badNumber = reg({"add", "HKCU\\K", "/v", "n", "/t", "REG_DWORD", "/d", "1.5", "/f"});
    EXPECT_EQ(badNumber.exitCode, 1);
    EXPECT_EQ(badNumber.err, "ERROR: Invalid syntax. Specify valid numeric value.\n");
    EXPECT_EQ(reg({"add", "HKCU\\K", "/d", "1"}).err,
              "ERROR: Invalid syntax.\nType \"REG ADD /?\" for usage.\n");
    EXPECT_EQ(reg({"add", "HKCU\\K", "/v", "b", "/t", "REG_BINARY", "/d", "01"}).exitCode, 1);
    EXPECT_EQ(reg({}).exitCode, 1);
    EXPECT_EQ(RegGetValue(HKEY_CURRENT_USER, "K", "n", "", true), RegData(""));
}

TEST(RegExeTest, DeleteAsksWithoutForce) {
    test::ScopedPlatformHome home;
    reg({"add", "HKCU\\Software\\A\\B", "/v", "x", "/d", "1"});
    Outcome kept = reg({"delete", "HKCU\\Software\\A\\B", "/v", "x"}, "no\n");
    EXPECT_EQ(kept.exitCode, 0);
    EXPECT_EQ(kept.out,
              "Delete the registry value x (Yes/No)? The operation was cancelled by the user.\n");
    EXPECT_EQ(RegGetValue(HKEY_CURRENT_USER, "Software\\A\\B", "x", "", true), RegData("1"));
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\A\\B", "/v", "X"}, "yes\n").exitCode, 0);
    EXPECT_EQ(RegGetValue(HKEY_CURRENT_USER, "Software\\A\\B", "x", "", true), RegData(""));
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\A", "/f"}).exitCode, 0);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\A\\B", ""));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Software", ""));
}

TEST(RegExeTest, ConcurrentWritersKeepEveryValue) {
    test::ScopedPlatformHome home;
    constexpr int kWriters = 16;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.push_back(std::make_unique<QProcess>());
        start(*writers.back(),
              {"add", "HKLM\\Software\\Race\\" + std::to_string(i % 4), "/v",
               "v" + std::to_string(i), "/t", "REG_DWORD", "/d", std::to_string(i), "/f"});
    }
    for (auto& p : writers) EXPECT_EQ(finish(*p).exitCode, 0);
    for (int i = 0; i < kWriters; ++i) {
        EXPECT_EQ(RegGetValue(HKEY_LOCAL_MACHINE, "Software\\Race\\" + std::to_string(i % 4),
                              "v" + std::to_string(i), "", true),
                  RegData(int32_t{i}));
    }
}

}  // namespace
}  // namespace vtl

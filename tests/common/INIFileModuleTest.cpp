#include <gtest/gtest.h>

#include "common/INIFileModule.h"
#include "support/TempDir.h"

namespace vtl::INIFileModule {
namespace {

using test::readFile;

TEST(ReadINITest, SingleValuesAndDefaults) {
    test::TempDir dir;
    std::string ini =
        dir.write("vtl.ini", "[Vistrel]\r\nSeed = \" a.dgn \"\r\nempty=\r\n").string();
    EXPECT_EQ(ReadINI(ini, "VISTREL", "seed", "x"), "a.dgn");
    EXPECT_EQ(ReadINI(ini, "Vistrel", "empty", "x"), "");
    EXPECT_EQ(ReadINI(ini, "Vistrel", "missing", "x"), "x");
    EXPECT_EQ(ReadINI(ini, "Vistrel", "missing", ""), "");
    EXPECT_EQ(ReadINI((dir / "none.ini").string(), "Vistrel", "seed", "dflt"), "dflt");
}

TEST(ReadINITest, ListModeJoinsKeyNames) {
    test::TempDir dir;
    std::string ini = dir.write("t.ini", "[Files]\na=1\nb=2\n[None]\n").string();
    EXPECT_EQ(ReadINI(ini, "Files", "", "", false), "a;b");
    EXPECT_EQ(ReadINI(ini, "None", "", "", false), "");
    // Single-value mode over a list drops the separators.
    EXPECT_EQ(ReadINI(ini, "Files", "", "", true), "ab");
}

TEST(ReadINITest, LargeReadsGoBeyondTheNormalBuffer) {
    test::TempDir dir;
    std::string longValue(40000, 'x');
    std::string ini = dir.write("l.ini", "[S]\nk=" + longValue + "\n").string();
    EXPECT_EQ(ReadINI(ini, "S", "k", "", true, false), longValue.substr(0, 32767));
    EXPECT_EQ(ReadINI(ini, "S", "k", "", true, true), longValue);
}

TEST(WriteINITest, WritesAndReadsBack) {
    test::TempDir dir;
    std::string ini = dir.write("vtl.ini", "; pointer\r\n[Programm]\r\ninifile=old\r\n").string();
    EXPECT_NE(WriteINI(ini, "Programm", "IniFile", "/data/cfg.ini"), 0);
    EXPECT_EQ(readFile(ini), "; pointer\r\n[Programm]\r\ninifile=/data/cfg.ini\r\n");
    EXPECT_EQ(ReadINI(ini, "Programm", "inifile", ""), "/data/cfg.ini");
    EXPECT_EQ(WriteINI((dir / "missing" / "x.ini").string(), "A", "b", "c"), 0);
}

}  // namespace
}  // namespace vtl::INIFileModule

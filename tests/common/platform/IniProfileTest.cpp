#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniProfile.h"
#include "support/TempDir.h"

namespace vtl::platform {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using namespace std::string_literals;

std::string read(const fs::path& file, std::string_view section, std::string_view key,
                 std::string_view fallback = "") {
    ProfileRead r = getPrivateProfileString(section, key, fallback, 32768, file);
    return r.buffer.substr(0, r.count);
}

int32_t write(const fs::path& file, std::string_view section, std::string_view key,
              std::string_view value) {
    return writePrivateProfileString(section, key, value, file);
}

TEST(IniReadTest, ValuesAreTrimmedUnquotedAndMatchedIgnoringCase) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini",
                             "[Programm]\r\n"
                             "  IniFile =  c:\\x\\vtl.ini  \r\n"
                             "quoted=\"  spaced  \"\r\n"
                             "single='x'\r\n"
                             "half=\"x\r\n"
                             "Empty=\r\n"
                             "eq=a=b\r\n"
                             "; commented=1\r\n");
    EXPECT_EQ(read(ini, "programm", "INIFILE"), "c:\\x\\vtl.ini");
    EXPECT_EQ(read(ini, "Programm", "quoted"), "  spaced  ");
    EXPECT_EQ(read(ini, "Programm", "single"), "x");
    EXPECT_EQ(read(ini, "Programm", "half"), "\"x");
    EXPECT_EQ(read(ini, "Programm", "eq"), "a=b");
    // Present but empty is not missing: no default.
    EXPECT_EQ(read(ini, "Programm", "Empty", "dflt"), "");
    EXPECT_EQ(read(ini, "Programm", "commented", "dflt"), "dflt");
    EXPECT_EQ(read(ini, "Other", "IniFile", "dflt  "), "dflt");
    EXPECT_EQ(read(dir / "missing.ini", "Programm", "IniFile", "dflt"), "dflt");
}

TEST(IniReadTest, ListModeCountsAsThePlatformDoes) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini", "[S]\na=1\nb=2\n[T]\n[S2]\nc=3\n");
    ProfileRead keys = getPrivateProfileString("s", "", "", 100, ini);
    EXPECT_EQ(keys.buffer, "a\0b\0\0"s);
    EXPECT_EQ(keys.count, 4u);
    ProfileRead sections = getPrivateProfileString("", "", "", 100, ini);
    EXPECT_EQ(sections.buffer, "S\0T\0S2\0\0"s);
    EXPECT_EQ(sections.count, 7u);
    // An empty or missing section gives the default.
    EXPECT_EQ(getPrivateProfileString("T", "", "dflt", 100, ini).count, 4u);
    EXPECT_EQ(getPrivateProfileString("none", "", "", 100, ini).count, 0u);
}

TEST(IniReadTest, ShapesReadAndListedAsThePlatformDoes) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini",
                             "[ Blank ]\r\n"
                             "key=1\r\n"
                             "#hash = 2\r\n"
                             "; semi=3\r\n"
                             "=empty\r\n"
                             "last=4\r\n");
    // The requested section loses its blanks as the one in the file does.
    EXPECT_EQ(read(ini, "  blank\t", "key"), "1");
    // Lines beginning with "#" or ";" define keys that read by name; ";" lines are not listed.
    EXPECT_EQ(read(ini, "Blank", "#HASH", "dflt"), "2");
    EXPECT_EQ(read(ini, "Blank", "; semi", "dflt"), "3");
    EXPECT_EQ(read(ini, "Blank", "semi", "dflt"), "dflt");
    // The empty key name is an empty entry, which ends the list for anyone reading it.
    ProfileRead keys = getPrivateProfileString(" Blank ", "", "dflt", 100, ini);
    EXPECT_EQ(keys.buffer, "key\0#hash\0\0last\0\0"s);
    EXPECT_EQ(keys.count, 16u);

    // An existing empty file lists no sections; the key list of a section gives the default.
    fs::path empty = dir.write("empty.ini", "");
    ProfileRead sections = getPrivateProfileString("", "", "dflt", 100, empty);
    EXPECT_EQ(sections.buffer, "\0"s);  // the list's closing NUL
    EXPECT_EQ(sections.count, 0u);
    ProfileRead none = getPrivateProfileString("S", "", "dflt", 100, empty);
    EXPECT_EQ(none.buffer, "dflt\0"s);
    EXPECT_EQ(none.count, 4u);
    EXPECT_EQ(read(empty, "S", "k", "dflt"), "dflt");
    EXPECT_EQ(getPrivateProfileString("", "", "dflt", 100, dir / "missing.ini").buffer,
              "dflt\0"s);
}

TEST(IniReadTest, AHeaderOfBlanksStartsNoSection) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini", "[A]\r\nx=1\r\n[ ]\r\ny=2\r\n[B]\r\nz=3\r\n");
    EXPECT_EQ(read(ini, "A", "y", "dflt"), "dflt");
    EXPECT_EQ(read(ini, " ", "y", "dflt"), "dflt");
    EXPECT_EQ(read(ini, "A", "x", "dflt"), "1");
    EXPECT_EQ(read(ini, "B", "z", "dflt"), "3");
    EXPECT_EQ(getPrivateProfileString("", "", "", 100, ini).buffer, "A\0B\0\0"s);
    EXPECT_EQ(getPrivateProfileString(" ", "", "dflt", 100, ini).buffer, "dflt\0"s);
    EXPECT_EQ(getPrivateProfileString("A", "", "", 100, ini).buffer, "x\0\0"s);
}

TEST(IniWriteTest, RequestedSectionLosesItsBlanks) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini", "[A]\nx=1\n");
    EXPECT_NE(write(ini, " a ", "x", "2"), 0);
    EXPECT_NE(write(ini, "\tB ", "y", "3"), 0);
    EXPECT_EQ(readFile(ini), "[A]\nx=2\n[B]\ny=3\n");
}

TEST(IniReadTest, ResultsAreCutToTheBuffer) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini", "[S]\nkey=abcdef\nsecond=1\n");
    ProfileRead value = getPrivateProfileString("S", "key", "", 4, ini);
    EXPECT_EQ(value.buffer, "abc\0"s);
    EXPECT_EQ(value.count, 3u);
    ProfileRead list = getPrivateProfileString("S", "", "", 6, ini);
    EXPECT_EQ(list.buffer, "key\0\0\0"s);
    EXPECT_EQ(list.count, 4u);
    EXPECT_EQ(getPrivateProfileString("S", "key", "", 0, ini).count, 0u);
}

TEST(IniWriteTest, ChangesOnlyItsLineAndKeepsEverythingElse) {
    test::TempDir dir;
    std::string before =
        "; settings\r\n"
        "[A]\r\n"
        "# note\r\n"
        "Key = old\r\n"
        "other=1\r\n"
        "\r\n"
        "[B]\r\n"
        "key=b\r\n";
    fs::path ini = dir.write("a.ini", before);
    EXPECT_NE(write(ini, "a", "KEY", "new"), 0);
    std::string expected = before;
    expected.replace(expected.find("Key = old"), 9, "Key=new");
    EXPECT_EQ(readFile(ini), expected);
}

TEST(IniWriteTest, NewKeysAndSectionsFollowTheFileStyle) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini", "[A]\nx=1\n; end of A\n\n[B]\ny=2");
    EXPECT_NE(write(ini, "A", "z", "3"), 0);
    EXPECT_NE(write(ini, "B", "w", "4"), 0);
    EXPECT_NE(write(ini, "C", "v", "5"), 0);
    EXPECT_EQ(readFile(ini), "[A]\nx=1\n; end of A\nz=3\n\n[B]\ny=2\nw=4\n[C]\nv=5\n");
}

TEST(IniWriteTest, MissingFileIsCreatedWithCrLf) {
    test::TempDir dir;
    fs::path ini = dir / "new.ini";
    EXPECT_NE(write(ini, "Programm", "inifile", "x"), 0);
    EXPECT_EQ(readFile(ini), "[Programm]\r\ninifile=x\r\n");
    EXPECT_EQ(read(ini, "PROGRAMM", "IniFile"), "x");
}

TEST(IniWriteTest, DeletesKeysAndSections) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini", "[A]\nx=1\ny=2\n[B]\n; b\nz=3\n[C]\n");
    EXPECT_NE(writePrivateProfileString("A", "X", std::nullopt, ini), 0);
    EXPECT_NE(writePrivateProfileString("b", std::nullopt, std::nullopt, ini), 0);
    EXPECT_NE(writePrivateProfileString("none", "k", std::nullopt, ini), 0);
    EXPECT_EQ(readFile(ini), "[A]\ny=2\n[C]\n");
    EXPECT_NE(writePrivateProfileString("A", "k", std::nullopt, dir / "absent.ini"), 0);
    EXPECT_FALSE(fs::exists(dir / "absent.ini"));
}

TEST(IniWriteTest, FailuresLeaveTheFileAsItWas) {
    test::TempDir dir;
    EXPECT_EQ(write(dir / "no" / "such" / "a.ini", "A", "x", "1"), 0);
    fs::path ini = dir.write("a.ini", "[A]\nx=1\n");
    // Values and names that would not read back as written.
    EXPECT_EQ(write(ini, "A", "x", "1\n[B]"), 0);
    EXPECT_EQ(write(ini, "A", "k=v", "1"), 0);
    EXPECT_EQ(write(ini, "A", "", "1"), 0);
    EXPECT_EQ(write(ini, "", "x", "1"), 0);
    EXPECT_EQ(write(ini, "A", ";x", "1"), 0);
    ::chmod(ini.c_str(), 0444);
    if (::access(ini.c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_EQ(write(ini, "A", "x", "2"), 0);
    }
    EXPECT_EQ(readFile(ini), "[A]\nx=1\n");
}

TEST(IniWriteTest, KeepsModeAndWritesThroughSymbolicLinks) {
    test::TempDir dir;
    fs::path real = dir.write("real.ini", "[A]\nx=1\n");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, dir / "link.ini");
    EXPECT_NE(write(dir / "link.ini", "A", "x", "2"), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readFile(real), "[A]\nx=2\n");
    struct stat st {};
    ::stat(real.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary files are left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(IniWriteTest, ByteOrderMarkStaysInFront) {
    test::TempDir dir;
    fs::path ini = dir.write("a.ini", "\xEF\xBB\xBF[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(read(ini, "A", "x"), "1");
    EXPECT_NE(writePrivateProfileString("A", std::nullopt, std::nullopt, ini), 0);
    EXPECT_EQ(readFile(ini), "\xEF\xBB\xBF[B]\r\ny=2\r\n");
}

}  // namespace
}  // namespace vtl::platform

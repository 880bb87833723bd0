#include <gtest/gtest.h>

#include <functional>

#include "common/FileOperationModule.h"
#include "core/Error.h"
#include "core/Files.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using test::TempDir;

TEST(WholeFiles, KeepEveryByteBothWays) {
    TempDir dir;
    const std::string bytes("line 1\r\n\xB0 2\0tail", 16);
    files::writeFile(dir / "a.bin", bytes);
    EXPECT_EQ(files::readFile(dir / "a.bin"), bytes);
    files::writeFile(dir / "a.bin", "short");
    EXPECT_EQ(files::readFile(dir / "a.bin"), "short");
}

// The runtime's own errors: "File not found" (53) for a missing file, as the run log shows it.
long errorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

TEST(WholeFiles, AMissingFileAFolderOrAMissingFolderRaiseTheRuntimesErrors) {
    TempDir dir;
    EXPECT_EQ(errorNumberOf([&] { files::readFile(dir / "missing.h"); }), 53);
    EXPECT_EQ(errorNumberOf([&] { files::readFile(dir.path()); }), 75);
    EXPECT_EQ(errorNumberOf([&] { files::writeFile(dir / "no" / "folder.txt", "x"); }), 53);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST(CommandLinePaths, AreQuotedWholeAndRefuseQuotesAndLineBreaks) {
    EXPECT_EQ(FileOperationModule::quotedForCommand("/data/my project/P1.h"),
              "\"/data/my project/P1.h\"");
    for (const std::string bad : {"a\"b", "a\nb", "a\rb"}) {
        try {
            FileOperationModule::quotedForCommand(bad);
            FAIL() << "accepted " << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 1);
        }
    }
}

}  // namespace
}  // namespace vtl

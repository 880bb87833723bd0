#include "core/Environment.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace vtl::env {
namespace {

TEST(TempFolderTest, AnUnsetOrEmptyVariableFallsBackToTmpdirElseTmp) {
    test::ScopedEnv temp("TEMP", "/data/temp");
    test::ScopedEnv tmp("TMP", "");
    test::ScopedEnv tmpdir("TMPDIR", "/data/tmpdir");
    EXPECT_EQ(tempFolder(), "/data/temp");
    EXPECT_EQ(tmpFolder(), "/data/tmpdir");
    {
        test::ScopedEnv unset("TEMP", std::nullopt);
        test::ScopedEnv emptyTmpdir("TMPDIR", "");
        EXPECT_EQ(tempFolder(), "/tmp");
        EXPECT_EQ(tmpFolder(), "/tmp");
    }
    // A folder that does not exist is still what the variable names.
    test::ScopedEnv missing("TMP", "/no/such/folder");
    EXPECT_EQ(tmpFolder(), "/no/such/folder");
}

}  // namespace
}  // namespace vtl::env

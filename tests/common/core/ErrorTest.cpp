#include "core/Error.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vtl {
namespace {

class ErrorSourceTest : public ::testing::Test {
protected:
    void SetUp() override { setProgramTitle("Vistrel"); }
    void TearDown() override { setProgramTitle(""); }
};

TEST_F(ErrorSourceTest, LibraryFormPutsLineAndReceivedSourceAfterTheName) {
    EXPECT_EQ(librarySource("CopyFileA", 12, "inner"), "CopyFileA:12: inner");
    EXPECT_EQ(librarySource("CopyFileA", 0, "inner"), "CopyFileA: inner");
    EXPECT_EQ(librarySource("CopyFileA", 7, ""), "CopyFileA:7");
}

TEST_F(ErrorSourceTest, BlankSourceOrProgramTitleIsNotChained) {
    EXPECT_EQ(librarySource("MSTNOpen", 0, "   "), "MSTNOpen");
    EXPECT_EQ(librarySource("MSTNOpen", 0, "Vistrel"), "MSTNOpen");
    EXPECT_EQ(methodSource("startvtl", "Vistrel"), "startvtl");
    EXPECT_EQ(methodSource("startvtl", "leitung_einzeichnen"), "startvtl:leitung_einzeichnen");
}

TEST_F(ErrorSourceTest, PassingOnKeepsNumberAndDescription) {
    Error inner(53, "inner", "File not found", 4);
    Error library = passOnLibrary(inner, "GetDefaultMSTNPath");
    EXPECT_EQ(library.number(), 53);
    EXPECT_EQ(library.source(), "GetDefaultMSTNPath:4: inner");
    EXPECT_EQ(library.description(), "File not found");
    EXPECT_EQ(passOnMethod(inner, "Start_Click").source(), "Start_Click:inner");
}

TEST_F(ErrorSourceTest, NamedFormMovesReceivedSourceIntoDescription) {
    Error named = passOnNamed(Error(5, "snapshot", "Invalid procedure call"), "KillApp");
    EXPECT_EQ(named.source(), "KillApp");
    EXPECT_EQ(named.description(), "snapshot: Invalid procedure call");
    EXPECT_EQ(passOnNamed(Error(5, "Vistrel", "x"), "KillApp").description(), "x");
}

TEST(ErrorTest, RaiseKeepsTheRaisingLine) {
    try {
        raise(kOwnError, "boom");
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(), "boom");
        EXPECT_GT(e.line(), 0);
        EXPECT_EQ(e.source(), "");
    }
}

TEST(ErrorTest, ForeignExceptionsBecomeRuntimeErrors) {
    namespace fs = std::filesystem;
    auto caught = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return toError(std::current_exception());
        }
        return Error(0, "", "");
    };
    Error missing = caught([] { (void)fs::file_size("/no/such/file/anywhere"); });
    EXPECT_EQ(missing.number(), err::FileNotFound);
    EXPECT_EQ(caught([] { throw std::runtime_error("odd"); }).description(), "odd");
    EXPECT_EQ(caught([] { throw Error(42, "s", "d"); }).number(), 42);
}

TEST(ResumeNextTest, EveryStatementRunsAndTheFirstErrorStaysPending) {
    ResumeNext next;
    int ran = 0;
    next([&] { ++ran; });
    next([&] { ++ran; raise(kOwnError, "first"); });
    next([&] { ++ran; raise(2, "second"); });
    next([&] { ++ran; });
    EXPECT_EQ(ran, 4);
    ASSERT_TRUE(next.failed());
    EXPECT_EQ(next.first()->description(), "first");
    EXPECT_THROW(next.raisePending(), Error);
    next.clear();
    EXPECT_NO_THROW(next.raisePending());
}

}  // namespace
}  // namespace vtl

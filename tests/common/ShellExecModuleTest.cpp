#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/ShellExecModule.h"
#include "core/Error.h"
#include "platform/Shell.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace vtl::ShellExecModule {
namespace {

namespace fs = std::filesystem;
using platform::splitCommandLine;
using test::ScopedEnv;
using test::TempDir;
using Args = std::vector<std::string>;

struct Outcome {
    int32_t result = -1;
    long number = 0;
    std::string description;
};

Outcome run(const std::string& operation, const std::string& file, const std::string& parameters,
            const std::string& directory) {
    Outcome outcome;
    try {
        ShellExec(operation, file, parameters, directory, outcome.result);
    } catch (const Error& e) {
        outcome.number = e.number();
        outcome.description = e.description();
    }
    return outcome;
}

std::string waitForFile(const fs::path& file) {
    for (int waited = 0; waited < 5000 && !fs::exists(file); waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return test::readFile(file);
}

TEST(ShellExec, MissingFileOrFolderRaisesError1AndStillReportsTheCode) {
    TempDir dir;
    const std::string missing = (dir / "Iso 1.xls").string();
    Outcome outcome = run("Open", missing, "", "");
    EXPECT_EQ(outcome.result, 2);
    EXPECT_EQ(outcome.number, 1);
    EXPECT_EQ(outcome.description, "File: '" + missing + "' not found");

    const std::string document = dir.write("a.xls", "").string();
    const std::string nowhere = (dir / "nowhere").string();
    outcome = run("Open", document, "", nowhere);
    EXPECT_EQ(outcome.result, 3);
    EXPECT_EQ(outcome.description, "Path: '" + nowhere + "' not found");
}

TEST(ShellExec, StartsAProgramDetachedInTheFolderWithItsOwnArguments) {
    TempDir dir;
    fs::create_directories(dir / "work");
    const fs::path program = dir.writeExecutable("bin/Tarnwell.exe",
                                                 "#!/bin/sh\n"
                                                 "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done\n"
                                                 "  cut -d' ' -f4,6 /proc/$$/stat; } > r.tmp\n"
                                                 "mv r.tmp report.txt\n");
    Outcome outcome =
        run("Open", program.string(), R"("two words" plain "say ""hi""")", (dir / "work").string());
    EXPECT_GT(outcome.result, 32);
    EXPECT_EQ(outcome.number, 0);

    std::istringstream report(waitForFile(dir / "work/report.txt"));
    std::string line;
    std::getline(report, line);
    EXPECT_EQ(fs::path(line), fs::canonical(dir / "work"));
    Args args;
    for (int i = 0; i < 3 && std::getline(report, line); ++i) args.push_back(line);
    EXPECT_EQ(args, (Args{"[two words]", "[plain]", "[say \"hi\"]"}));
    // Neither our child nor in our session.
    pid_t parent = 0, session = 0;
    report >> parent >> session;
    EXPECT_NE(parent, ::getpid());
    EXPECT_NE(session, ::getsid(0));
}

TEST(ShellExec, DocumentsGoToXdgOpenAndWithoutItThereIsNoAssociation) {
    TempDir dir;
    const fs::path opened = dir / "opened.txt";
    dir.writeExecutable("bin/xdg-open", "#!/bin/sh\necho \"$@\" > '" + opened.string() + "'\n");
    const std::string document = dir.write("Plan A.xls", "").string();
    {
        ScopedEnv path("PATH", (dir / "bin").string());
        EXPECT_GT(run("Open", document, "ignored", "").result, 32);
        EXPECT_EQ(waitForFile(opened), document + "\n");
    }
    ScopedEnv path("PATH", dir.str());
    Outcome outcome = run("Open", document, "", "");
    EXPECT_EQ(outcome.result, 31);
    EXPECT_EQ(outcome.description, "No association for file extension");
}

TEST(ShellExec, UnusableProgramsAndUnknownVerbsFail) {
    TempDir dir;
    const fs::path broken = dir.writeExecutable("broken.exe", "MZ not a program here");
    Outcome outcome = run("", broken.string(), "", "");
    EXPECT_EQ(outcome.result, 11);
    EXPECT_EQ(outcome.description, "Invalid 'EXE-file' or error in 'EXE-image'");

    EXPECT_EQ(run("print", dir.write("a.txt", "").string(), "", "").result, 31);
}

TEST(ShellExec, FileBehindAClosedFolderIsAccessDenied) {
    if (::geteuid() == 0) GTEST_SKIP() << "root passes every permission check";
    TempDir dir;
    const std::string file = dir.write("closed/a.xls", "").string();
    fs::permissions(dir / "closed", fs::perms::none);
    Outcome outcome = run("Open", file, "", "");
    EXPECT_EQ(outcome.result, 5);
    EXPECT_EQ(outcome.description, "Access denied");
}

TEST(ShellExec, EveryResultUpTo32IsAFailureWithItsMessage) {
    test::FakeShell fake;
    platform::ScopedShell scoped(fake);
    const std::vector<std::pair<int32_t, std::string>> table = {
        {0, "Unknown error"},
        {1, "Unknown error"},
        {12, "Unknown error"},
        {26, "A sharing violation occurred"},
        {32, "DLL not found"}};
    for (const auto& [code, text] : table) {
        fake.result = code;
        Outcome outcome = run("Open", "f", "", "");
        EXPECT_EQ(outcome.result, code);
        EXPECT_EQ(outcome.number, 1) << code;
        EXPECT_EQ(outcome.description, text) << code;
    }
    fake.result = 33;
    EXPECT_EQ(run("Open", "f", "p", "d").number, 0);
    EXPECT_EQ(fake.calls.back().parameters, "p");
    EXPECT_EQ(fake.calls.back().directory, "d");
}

TEST(SplitCommandLine, FollowsTheQuotingRulesOfWindowsPrograms) {
    EXPECT_EQ(splitCommandLine(" a\tb  c "), (Args{"a", "b", "c"}));
    EXPECT_TRUE(splitCommandLine("   ").empty());
    EXPECT_EQ(splitCommandLine(R"("two words" x"y z")"), (Args{"two words", "xy z"}));
    EXPECT_EQ(splitCommandLine(R"(a "" b)"), (Args{"a", "", "b"}));
    EXPECT_EQ(splitCommandLine(R"("a""b")"), (Args{"a\"b"}));
    EXPECT_EQ(splitCommandLine(R"(C:\dir\ \"x\")"), (Args{R"(C:\dir\)", "\"x\""}));
    EXPECT_EQ(splitCommandLine(R"(a\\"b c" d\\\"e)"), (Args{R"(a\b c)", R"(d\"e)"}));
}

}  // namespace
}  // namespace vtl::ShellExecModule

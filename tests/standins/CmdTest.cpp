// The stand-in command interpreter, started from a shell as the command runner starts it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;

class Cmd : public ::testing::Test {
protected:
    struct Result {
        int exitCode;
        std::string out, err;
    };

    // Runs cmd.exe in the work folder with `input` as its standard input; `arguments` is shell
    // text.
    Result run(const std::string& arguments, const std::string& path = "/usr/bin:/bin",
               const std::string& input = "") {
        const fs::path in = capture.write("in", input);
        const std::string line = "cd '" + work.str() + "' && PATH='" + path + "' '" +
                                 VTL_STANDINS_DIR + "/cmd.exe' " + arguments + " <'" + in.string() +
                                 "' >'" + (capture / "out").string() + "' 2>'" +
                                 (capture / "err").string() + "'";
        int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readFile(capture / "out"),
                test::readFile(capture / "err")};
    }

    std::vector<std::string> names() const { return test::entryNames(work.path()); }

    void makeReadOnly(const std::string& name) {
        fs::permissions(work / name,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }

    test::TempDir work, capture;
};

TEST_F(Cmd, DelWithWildcardsKeepsWhatDoesNotMatch) {
    for (const char* n : {"PIPE.X01", "pipe.x1", "PIPE.X", "PIPE.X001", "PIPE.Y01", "OTHER.X01"}) {
        work.write(n, "x");
    }
    Result r =
        run("/c 'del PIPE.X?"
            "?'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(names(), (std::vector<std::string>{"OTHER.X01", "PIPE.X001", "PIPE.Y01"}));

    r = run("/c del nothing.X??");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Could Not Find " + (work / "nothing.X??").string() + "\r\n");
}

TEST_F(Cmd, DelOfAReadOnlyFileFailsForThatFileAlone) {
    for (const char* n : {"a.tmp", "b.tmp", "c.tmp"}) work.write(n, "x");
    makeReadOnly("b.tmp");
    Result r = run("/c del /q '*.tmp'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, (work / "b.tmp").string() + "\r\nAccess is denied.\r\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"b.tmp"}));

    r = run("/c del /F b.tmp");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(names().empty());
}

TEST_F(Cmd, DelOfAFolderAsksFirstAndQuietDelDoesNot) {
    for (const char* n : {"old/a.x", "old/b.y", "old/sub/c.z"}) work.write(n, "x");
    const std::string prompt = (work / "old").string() + "/*, Are you sure (Y/N)? \r\n";
    const std::vector<std::string> all{"a.x", "b.y", "sub"};

    Result r = run("/c del old");  // no answer: nothing is deleted
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, prompt);
    EXPECT_EQ(test::entryNames(work / "old"), all);
    r = run("/c del old", "/usr/bin:/bin", "n\n");
    EXPECT_EQ(r.out, prompt);
    EXPECT_EQ(test::entryNames(work / "old"), all);
    r = run("/c del old", "/usr/bin:/bin", "maybe\nY\n");  // asked again until Y or N
    EXPECT_EQ(r.out, prompt + prompt);
    EXPECT_EQ(test::entryNames(work / "old"), std::vector<std::string>{"sub"});

    work.write("old/d.x", "x");
    r = run("/c del /q old");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::entryNames(work / "old"), std::vector<std::string>{"sub"});
    EXPECT_EQ(test::entryNames(work / "old/sub"), std::vector<std::string>{"c.z"});
}

TEST_F(Cmd, EchoOffAndRemarksDoNothing) {
    work.write("a.txt", "a");
    fs::path batch = work.write("run.bat",
                                "@echo off\r\n"
                                "rem copy a.txt b.txt >> remark.txt\r\n"
                                "REM\r\n"
                                "copy a.txt c.txt\r\n");
    Result r = run("/c '\"" + batch.string() + "\"'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "        1 file(s) copied.\r\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"a.txt", "c.txt", "run.bat"}));

    for (const char* line : {"'@echo off'", "'ECHO On'", "'rem nothing > x.txt'", "Rem"}) {
        r = run(std::string("/c ") + line);
        EXPECT_EQ(r.exitCode, 0) << line;
        EXPECT_EQ(r.out + r.err, "") << line;
    }
    EXPECT_FALSE(fs::exists(work / "x.txt"));
    EXPECT_EQ(run("/c remark").exitCode, 127);  // only the word rem begins a remark
}

TEST_F(Cmd, CopyOneFileKeepsItsTimeAndOverwrites) {
    fs::path source = work.write("seed.dgn", "seed");
    fs::last_write_time(source, fs::last_write_time(source) - std::chrono::hours(5));
    work.write("target.dgn", "old content that is longer");
    Result r = run("/c copy /y /b seed.dgn target.dgn");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "        1 file(s) copied.\r\n");
    EXPECT_EQ(test::readFile(work / "target.dgn"), "seed");
    EXPECT_EQ(fs::last_write_time(work / "target.dgn"), fs::last_write_time(source));
}

TEST_F(Cmd, CopyWithWildcardsIntoAFolderWithBlanks) {
    work.write("a.dgn", "a");
    work.write("B.DGN", "b");
    work.write("c.txt", "c");
    fs::create_directory(work / "out dir");
    Result r = run("/c copy '*.dgn' '\"out dir/\"'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a.dgn\r\nB.DGN\r\n        2 file(s) copied.\r\n");
    EXPECT_EQ(test::readFile(work / "out dir/B.DGN"), "b");
    EXPECT_FALSE(fs::exists(work / "out dir/c.txt"));
}

TEST_F(Cmd, CopyRefusesWhatWouldLoseData) {
    work.write("a.txt", "a");
    work.write("ro.txt", "keep");
    makeReadOnly("ro.txt");

    Result r = run("/c copy missing.txt x.txt");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The system cannot find the file specified.\r\n");
    EXPECT_EQ(r.out, "        0 file(s) copied.\r\n");

    r = run("/c copy a.txt ./a.txt");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The file cannot be copied onto itself.\r\n");
    EXPECT_EQ(test::readFile(work / "a.txt"), "a");

    r = run("/c copy a.txt ro.txt");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Access is denied.\r\n");
    EXPECT_EQ(test::readFile(work / "ro.txt"), "keep");
}

TEST_F(Cmd, RedirectionAppendsOutputAndErrorsAndPassesTheExitCodeOn) {
    test::TempDir bin;
    bin.writeExecutable("both", "#!/bin/sh\necho out\necho err >&2\nexit 3\n");
    const std::string path = bin.str() + ":/usr/bin:/bin";
    work.write("my log.txt", "first\n");

    Result r = run("/c 'both >> \"my log.txt\" 2>&1'", path);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out + r.err, "");
    r = run("/c 'both >>\"my log.txt\" 2>&1'", path);
    EXPECT_EQ(test::readFile(work / "my log.txt"), "first\nout\nerr\nout\nerr\n");
    // Redirections act in the order written: here errors go where output went before.
    r = run("/c 'both 2>&1 >>\"my log.txt\"'", path);
    EXPECT_EQ(r.out, "err\n");
    EXPECT_EQ(test::readFile(work / "my log.txt"), "first\nout\nerr\nout\nerr\nout\n");

    r = run("/c 'both > new.txt 2>>errors.txt'", path);
    EXPECT_EQ(test::readFile(work / "new.txt"), "out\n");
    EXPECT_EQ(test::readFile(work / "errors.txt"), "err\n");
}

TEST_F(Cmd, ProgramsGetTheirArgumentsGroupedByQuotes) {
    EXPECT_EQ(run("/c 'sh -c \"exit  42\" ignored'").exitCode, 42);
    // The arguments after /c form one command line.
    EXPECT_EQ(run("/c sh -c '\"exit 43\"'").exitCode, 43);
    Result r = run("/c no-such-command-x1");
    EXPECT_EQ(r.exitCode, 127);
    EXPECT_EQ(r.err,
              "'no-such-command-x1' is not recognized as an internal or external command,\r\n"
              "operable program or batch file.\r\n");
}

TEST_F(Cmd, RunsTheLineOfABatchFileInAFolderWithBlanks) {
    work.write("a b.txt", "data");
    fs::path batch = work.write("batch dir/run.bat",
                                "copy \"a b.txt\" \"c d.txt\" >> \"log file.txt\" 2>&1\r\n");
    Result r = run("/c '\"" + batch.string() + "\"'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::readFile(work / "c d.txt"), "data");
    EXPECT_EQ(test::readFile(work / "log file.txt"), "        1 file(s) copied.\r\n");
    EXPECT_EQ(names(),
              (std::vector<std::string>{"a b.txt", "batch dir", "c d.txt", "log file.txt"}));
}

TEST_F(Cmd, MkdirMakesNestedFoldersAndReportsExistingOnes) {
    EXPECT_EQ(run("/c mkdir '\"new dir/sub\"'").exitCode, 0);
    EXPECT_TRUE(fs::is_directory(work / "new dir/sub"));
    Result r = run("/c md '\"new dir\"'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "A subdirectory or file new dir already exists.\r\n");
}

TEST_F(Cmd, BadLinesGetClearErrors) {
    Result r = run("/c 'copy a.txt b.txt >> missing/log.txt'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The system cannot find the path specified.\r\n");
    EXPECT_EQ(run("/c 'del x | more'").exitCode, 1);
    EXPECT_EQ(run("/c 'copy a.txt >>'").exitCode, 1);
    EXPECT_EQ(run("").exitCode, 1);
}

}  // namespace
}  // namespace vtl

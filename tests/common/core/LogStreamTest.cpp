#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>

#include "core/Error.h"
#include "core/Files.h"
#include "core/LogStream.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

class LogStreamTest : public ::testing::Test {
protected:
    void TearDown() override { logstream::close(); }
    TempDir dir;
    std::string log = (dir / "run.log").string();
};

// Each flush writes where a write of its own would: after what another program appended, into
// a log deleted or replaced meanwhile.
TEST_F(LogStreamTest, AFlushWritesIntoTheFileAsItIsNow) {
    logstream::append(log, "first\r\n");
    logstream::flush();
    files::appendFile(log, "a command's output\r\n");
    logstream::append(log, "second\r\n");
    logstream::append(log, "third\r\n");
    logstream::flush();
    EXPECT_EQ(readFile(log), "first\r\na command's output\r\nsecond\r\nthird\r\n");
    fs::remove(log);
    logstream::append(log, "after the deletion\r\n");
    logstream::flush();
    EXPECT_EQ(readFile(log), "after the deletion\r\n");
    fs::rename(dir.write("new.log", "head\r\n"), log);
    logstream::append(log, "after the replacement\r\n");
    logstream::flush();
    EXPECT_EQ(readFile(log), "head\r\nafter the replacement\r\n");
}

TEST_F(LogStreamTest, AnotherPathWritesOutTheFirstFile) {
    logstream::append(log, "one\r\n");
    logstream::append((dir / "other.log").string(), "two\r\n");
    EXPECT_EQ(readFile(log), "one\r\n");
    logstream::close();
    EXPECT_EQ(readFile(dir / "other.log"), "two\r\n");
}

TEST_F(LogStreamTest, LinesReachTheFileWithoutAFlushWhileEventsAreHandled) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    logstream::append(log, "waiting\r\n");
    QElapsedTimer waited;
    waited.start();
    // Read as another program reads it, without flushing.
    while (files::readFile(log).empty() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    EXPECT_EQ(files::readFile(log), "waiting\r\n");
}

TEST_F(LogStreamTest, AFolderThatIsMissingFailsAtTheAppend) {
    EXPECT_THROW(logstream::append((dir / "missing" / "run.log").string(), "x\r\n"), Error);
}

}  // namespace
}  // namespace vtl

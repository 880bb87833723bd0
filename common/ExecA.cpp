// The command runner: a command goes into a one-line batch file that the command interpreter
// runs as a child of ours.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "common/FileOperationModule.h"
#include "core/Clock.h"
#include "core/Environment.h"
#include "core/LogStream.h"
#include "core/Text.h"
#include "platform/Processes.h"

namespace vtl::FileOperationModule {

namespace {

constexpr int64_t kPollMs = 50;

int32_t ownProcessId() {
    static const int32_t pid = static_cast<int32_t>(::getpid());
    return pid;
}

std::string batchFolder(const std::string& batchDir) {
    if (!text::trim(batchDir).empty()) return batchDir;
    if (IsFileExists(TempFolder, 1)) return TempFolder;
    return env::tempFolder();
}

std::string batchLine(const std::string& command, const std::string& logFile) {
    if (command.find_first_of("\r\n") != std::string::npos) {
        raise(kOwnError, "A command must be a single line");
    }
    if (logFile.empty()) return command;
    return command + " >> " + quotedForCommand(logFile) + " 2>&1";
}

void writeBatchFile(const std::string& file, const std::string& line) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) throw errnoError(errno, file);
    const std::string content = line + "\r\n";
    bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size();
    int savedErrno = errno;
    if (std::fclose(out) != 0 || !written) throw errnoError(written ? errno : savedErrno, file);
}

std::unique_ptr<platform::ChildProcess> startBatch(const std::string& file, int32_t windowStyle) {
    std::string interpreter = env::findProgram("cmd.exe").string();
    if (interpreter.empty()) throw errnoError(ENOENT, "cmd.exe");
    platform::StartOptions options;
    // A hidden command window: no terminal, and what is not redirected to a log goes nowhere.
    if (windowStyle == 0) {
        options.detached = true;
        options.output = "/dev/null";
    }
    return platform::processes().start({interpreter, "/c", quotedForCommand(file)}, options);
}

int32_t waitForExit(platform::ChildProcess& child) {
    int32_t code;
    while ((code = child.exitCode()) == platform::kStillActive) {
        clock().processEvents();
        clock().sleepMs(kPollMs);
    }
    return code;
}

// The command may append to a log the program writes too: what the program wrote comes first.
void flushLogs() {
    try {
        logstream::flush();
    } catch (...) {
        // Those lines are lost; the command runs all the same.
    }
}

}  // namespace

std::string quotedForCommand(const std::string& path) {
    if (path.find_first_of("\"\r\n") != std::string::npos) {
        raise(kOwnError, "Invalid file name for a command line: " + path);
    }
    return "\"" + path + "\"";
}

int32_t ExecA(const std::string& command, const std::string& logFile, int32_t windowStyle,
              const std::string& batchDir, int32_t& taskId, bool wait) {
    int32_t exitCode = -1;
    taskId = -1;
    std::string batchFile;
    std::optional<Error> failure;
    try {
        batchFile = AddBackslash(batchFolder(batchDir)) + std::to_string(ownProcessId()) +
                    GetTempBaseName() + ".bat";
        writeBatchFile(batchFile, batchLine(command, logFile));
        flushLogs();
        std::unique_ptr<platform::ChildProcess> child = startBatch(batchFile, windowStyle);
        taskId = child->pid();
        if (wait) exitCode = waitForExit(*child);
        ClearLastError();
    } catch (...) {
        failure = toError(std::current_exception());
        exitCode = -1;
        taskId = -1;
    }
    // A batch file stays only for a command that runs on without us.
    if (wait || failure) DeleteFileA(batchFile, false);
    // The deletion's outcome stands only when the command itself went well.
    if (failure) RecordLastError("ExecA", *failure);
    return exitCode;
}

}  // namespace vtl::FileOperationModule

#include "Interpreter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "Builtins.h"
#include "CommandLine.h"
#include "Console.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Text.h"
#include "platform/Processes.h"

namespace vtl::cmd {

namespace {

// The original's 9009 does not fit into an exit status here; 127 is this platform's own code
// for a command that was not found.
constexpr int kNotRecognized = 127;
// Batch files that call each other in a ring would otherwise never end.
constexpr int kMaxDepth = 16;

int notRecognized(const std::string& name) {
    complain("'" + name + "' is not recognized as an internal or external command,");
    complain("operable program or batch file.");
    return kNotRecognized;
}

// Keeps the interpreter's own output and error output, and puts them back at the end of a line.
class SavedOutputs {
  public:
    SavedOutputs() : out_(::dup(1)), err_(::dup(2)) {}
    ~SavedOutputs() {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(out_, 1);
        ::dup2(err_, 2);
        ::close(out_);
        ::close(err_);
    }
    SavedOutputs(const SavedOutputs&) = delete;
    SavedOutputs& operator=(const SavedOutputs&) = delete;

  private:
    int out_;
    int err_;
};

bool redirect(const Redirection& r) {
    std::fflush(stdout);
    std::fflush(stderr);
    if (r.copyOf >= 0) return ::dup2(r.copyOf, r.fd) >= 0;
    // NUL is the device that swallows everything.
    const std::string target = text::iequals(r.target, "nul") ? "/dev/null" : r.target;
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | (r.append ? O_APPEND : O_TRUNC), 0666);
    if (fd < 0) {
        complain(messageFor(errno));
        return false;
    }
    ::dup2(fd, r.fd);
    ::close(fd);
    return true;
}

std::string findCommand(const std::string& name) {
    if (name.find('/') != std::string::npos) return ::access(name.c_str(), F_OK) == 0 ? name : "";
    std::string found = env::findProgram(name).string();
    // As on the original platform, "reg" finds "reg.exe".
    if (found.empty() && name.find('.') == std::string::npos) {
        found = env::findProgram(name + ".exe").string();
    }
    return found;
}

int runExternal(const std::vector<Word>& words) {
    const std::string program = findCommand(words[0].text);
    if (program.empty()) return notRecognized(words[0].text);
    std::vector<std::string> argv{program};
    for (size_t i = 1; i < words.size(); ++i) argv.push_back(words[i].text);
    try {
        return platform::processes().start(argv, {})->wait();
    } catch (const Error& e) {
        complain(e.number() == err::PermissionDenied ? kAccessDenied : e.description());
        return 1;
    }
}

bool isBatchFile(const std::string& name) {
    const std::string lower = text::lower(name);
    return text::endsWith(lower, ".bat") || text::endsWith(lower, ".cmd");
}

// "rem" and what follows it is a remark, redirections included.
bool isRemark(std::string_view line) {
    return line.size() >= 3 && text::iequals(line.substr(0, 3), "rem") &&
           (line.size() == 3 || line[3] == ' ' || line[3] == '\t');
}

}  // namespace

int runLine(const std::string& commandLine, int depth) {
    std::string line = text::trimSpace(commandLine);
    if (line.starts_with('@')) line.erase(0, 1);  // "@" only keeps the line from being shown
    if (isRemark(line)) return 0;
    CommandLine parsed;
    try {
        parsed = parseLine(line);
    } catch (const SyntaxError& e) {
        complain(e.what());
        return 1;
    }
    SavedOutputs saved;
    for (const Redirection& r : parsed.redirections) {
        if (!redirect(r)) return 1;
    }
    if (parsed.words.empty()) return 0;
    const std::string& name = parsed.words[0].text;
    if (isBatchFile(name)) return runBatch(name, depth + 1);
    const std::vector<Word> arguments(parsed.words.begin() + 1, parsed.words.end());
    if (std::optional<int> code = runBuiltin(name, arguments)) return *code;
    return runExternal(parsed.words);
}

int runBatch(const std::string& file, int depth) {
    if (depth > kMaxDepth) {
        complain("Batch files call each other too deeply.");
        return 1;
    }
    std::error_code ec;
    std::ifstream in(file, std::ios::binary);
    if (!std::filesystem::is_regular_file(file, ec) || !in) return notRecognized(file);
    int exitCode = 0;
    for (std::string line; std::getline(in, line);) {
        line = text::trimSpace(line);  // a CR LF line end too
        if (line.empty() || line == "@") continue;
        exitCode = runLine(line, depth);
    }
    return exitCode;
}

}  // namespace vtl::cmd

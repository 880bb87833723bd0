#include "Journal.h"

#include <fcntl.h>
#include <unistd.h>

#include "core/Environment.h"

namespace vtl::ustation {

std::string Journal::defaultPath() {
    return (env::platformHome() / "ustation-journal.log").string();
}

Journal::Journal(std::string path) : path_(std::move(path)), pid_(::getpid()) {}

Journal::~Journal() {
    if (fd_ >= 0) ::close(fd_);
}

void Journal::call(const std::string& member, const std::string& arguments) {
    append("call " + member + "(" + arguments + ")");
}

void Journal::calls(const std::vector<std::pair<std::string, std::string>>& received) {
    std::string lines;
    for (const auto& [member, arguments] : received) {
        lines += prefix() + "call " + member + "(" + arguments + ")\n";
    }
    write(lines);
}

void Journal::keyin(const std::string& keyin) {
    append("keyin " + keyin);
}

void Journal::unknownKeyin(const std::string& keyin) {
    append("UNKNOWN keyin " + keyin);
}

void Journal::unknownMacroStatement(const std::string& macro, int line,
                                    const std::string& statement) {
    append("UNKNOWN macro statement " + statement + " (" + macro + " line " + std::to_string(line) +
           "), macro not run");
}

void Journal::note(const std::string& text) {
    append("note " + text);
}

void Journal::append(const std::string& text) {
    write(prefix() + text + "\n");
}

std::string Journal::prefix() const {
    return "[" + std::to_string(pid_) + "] ";
}

void Journal::write(const std::string& lines) {
    // Kept open; one write per line, or per call with what it carried, with O_APPEND, so every
    // line is on disk for a reader at once and lines of several instances never interleave. A
    // journal that cannot be opened yet (its folder missing) is tried again with the next line.
    if (fd_ < 0) fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    ssize_t ignored = ::write(fd_, lines.data(), lines.size());
    (void)ignored;
}

}  // namespace vtl::ustation

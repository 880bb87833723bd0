#include "Journal.h"

#include <fcntl.h>
#include <unistd.h>

#include "core/Environment.h"

namespace vtl::ustation {

std::string Journal::defaultPath() {
    return (env::platformHome() / "ustation-journal.log").string();
}

Journal::Journal(std::string path) : path_(std::move(path)) {}

void Journal::call(const std::string& member, const std::string& arguments) {
    append("call " + member + "(" + arguments + ")");
}

void Journal::keyin(const std::string& keyin) { append("keyin " + keyin); }

void Journal::unknownKeyin(const std::string& keyin) { append("UNKNOWN keyin " + keyin); }

void Journal::note(const std::string& text) { append("note " + text); }

void Journal::append(const std::string& text) {
    // One write per line with O_APPEND, so lines of several instances never interleave.
    std::string line = "[" + std::to_string(::getpid()) + "] " + text + "\n";
    int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    ssize_t ignored = ::write(fd, line.data(), line.size());
    (void)ignored;
    ::close(fd);
}

}  // namespace vtl::ustation

#include "Console.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vtl::cmd {

// Lines end in CR LF, as the platform's own tools write them, also into a log they append to.
void say(const std::string& line) {
    std::fputs((line + "\r\n").c_str(), stdout);
    std::fflush(stdout);
}

void complain(const std::string& line) {
    std::fputs((line + "\r\n").c_str(), stderr);
    std::fflush(stderr);
}

bool confirm(const std::string& question) {
    for (;;) {
        std::fputs((question + " (Y/N)? ").c_str(), stdout);
        std::fflush(stdout);
        char answer[256];
        const bool read = std::fgets(answer, sizeof answer, stdin) != nullptr;
        say("");
        if (!read) return false;
        const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(answer[0])));
        if (first == 'Y' || first == 'N') return first == 'Y';
    }
}

std::string messageFor(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
        case ENOTDIR:
            return kPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return kAccessDenied;
        case EBUSY:
        case ETXTBSY:
            return "The process cannot access the file because it is being used by another "
                   "process.";
        case ENOSPC:
            return "There is not enough space on the disk.";
        default:
            return std::strerror(errnoValue);
    }
}

}  // namespace vtl::cmd

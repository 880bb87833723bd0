#include "Console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vtl::cmd {

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void complain(const std::string& line) {
    std::fputs((line + "\n").c_str(), stderr);
    std::fflush(stderr);
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

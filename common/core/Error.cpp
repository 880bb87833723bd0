#include "core/Error.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "core/Text.h"

namespace vtl {

Error::Error(long number, std::string source, std::string description, int line)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      line_(line) {}

void raise(long number, std::string description, std::source_location where) {
    throw Error(number, "", std::move(description), static_cast<int>(where.line()));
}

Error errnoError(int errnoValue, const std::string& path) {
    switch (errnoValue) {
        case ENOENT:
            return Error(err::FileNotFound, "", "File not found");
        case ENOTDIR:
            return Error(err::PathNotFound, "", "Path not found");
        case EACCES:
        case EPERM:
        case EROFS:
            return Error(err::PermissionDenied, "", "Permission denied");
        case EEXIST:
            return Error(err::FileAlreadyExists, "", "File already exists");
        case EBUSY:
        case ETXTBSY:
            return Error(err::PathFileAccess, "", "Path/File access error");
        default: {
            std::string text = std::strerror(errnoValue);
            if (!path.empty()) text += ": " + path;
            return Error(err::PathFileAccess, "", text);
        }
    }
}

Error objectNotSet() {
    return Error(err::ObjectNotSet, "", "Object variable or With block variable not set");
}

Error toError(const std::exception_ptr& e) {
    try {
        std::rethrow_exception(e);
    } catch (const Error& error) {
        return error;
    } catch (const std::filesystem::filesystem_error& fsError) {
        return errnoError(fsError.code().value(), fsError.path1().string());
    } catch (const std::system_error& sysError) {
        return errnoError(sysError.code().value());
    } catch (const std::bad_alloc&) {
        return Error(err::OutOfMemory, "", "Out of memory");
    } catch (const std::exception& other) {
        return Error(err::InvalidCall, "", other.what());
    } catch (...) {
        return Error(err::InvalidCall, "", "Unknown error");
    }
}

namespace {
std::string& titleStore() {
    static std::string title;
    return title;
}
}  // namespace

const std::string& programTitle() { return titleStore(); }
void setProgramTitle(std::string title) { titleStore() = std::move(title); }

bool chainsSource(std::string_view received) {
    return !text::trim(received).empty() && received != programTitle();
}

std::string librarySource(std::string_view name, int line, std::string_view received) {
    std::string source(name);
    if (line != 0) source += ":" + std::to_string(line);
    if (chainsSource(received)) source += ": " + std::string(received);
    return source;
}

std::string methodSource(std::string_view name, std::string_view received) {
    std::string source(name);
    if (chainsSource(received)) source += ":" + std::string(received);
    return source;
}

Error passOnLibrary(const Error& e, std::string_view name) {
    return Error(e.number(), librarySource(name, e.line(), e.source()), e.description());
}

Error passOnMethod(const Error& e, std::string_view name) {
    return Error(e.number(), methodSource(name, e.source()), e.description());
}

Error passOnNamed(const Error& e, std::string_view name) {
    std::string description = e.description();
    if (chainsSource(e.source())) description = e.source() + ": " + description;
    return Error(e.number(), std::string(name), description);
}

}  // namespace vtl

#include "common/ShellExecModule.h"

#include "core/Error.h"
#include "platform/Shell.h"

namespace vtl::ShellExecModule {

namespace {

std::string failureText(int32_t code, const std::string& file, const std::string& directory) {
    switch (code) {
        case 2:
            return "File: '" + file + "' not found";
        case 3:
            return "Path: '" + directory + "' not found";
        case 5:
            return "Access denied";
        case 8:
            return "Out of memory";
        case 11:
            return "Invalid 'EXE-file' or error in 'EXE-image'";
        case 26:
            return "A sharing violation occurred";
        case 27:
            return "Incomplete or invalid file association";
        case 28:
            return "DDE Time out";
        case 29:
            return "DDE transaction failed";
        case 30:
            return "DDE busy";
        case 31:
            return "No association for file extension";
        case 32:
            return "DLL not found";
        default:
            return "Unknown error";
    }
}

}  // namespace

void ShellExec(const std::string& operation, const std::string& file, const std::string& parameters,
               const std::string& directory, int32_t& result) {
    result = platform::shell().execute(operation, file, parameters, directory);
    if (result <= platform::shellcode::LastFailure) {
        raise(kOwnError, failureText(result, file, directory));
    }
}

}  // namespace vtl::ShellExecModule

// The INI engine reading any file: values, key lists and section lists.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/Files.h"
#include "platform/IniProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                              ("vtl-ini-fuzz-" + std::to_string(getpid()) + ".ini");
    vtl::files::writeFile(file, std::string(reinterpret_cast<const char*>(data), size));
    namespace p = vtl::platform;
    p::getPrivateProfileString("Vistrel", "seedfile", "default", 2048, file);
    p::getPrivateProfileString(" cell ", "", "default", 2048, file);
    p::getPrivateProfileString("", "", "default", 64, file);
    p::getPrivateProfileString("#", ";", "", 2048, file);
    return 0;
}

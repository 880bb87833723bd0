#include "common/INIFileModule.h"

#include <algorithm>

#include "core/Text.h"
#include "platform/IniProfile.h"

namespace vtl::INIFileModule {

namespace {
constexpr uint32_t kBufferSize = 32768;
constexpr uint32_t kLargeBufferSize = 1048576;
}  // namespace

int32_t WriteINI(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    return platform::writePrivateProfileString(section, key, value, file);
}

std::string ReadINI(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue, bool singleValue, bool large) {
    try {
        platform::ProfileRead read = platform::getPrivateProfileString(
            section, key, defaultValue, large ? kLargeBufferSize : kBufferSize, file);
        if (read.count == 0) return "";
        // In list mode the count includes the separator after the last name.
        std::string value =
            text::trim(read.buffer.substr(0, singleValue ? read.count : read.count - 1));
        if (singleValue) {
            value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
        } else {
            std::replace(value.begin(), value.end(), '\0', ';');
        }
        return text::trim(value);
    } catch (...) {
        return "";
    }
}

}  // namespace vtl::INIFileModule

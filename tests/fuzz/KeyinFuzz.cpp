// The stand-in MicroStation's reading of key-ins: splitting, phrases, assignments and points.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Keyins.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view keyins(reinterpret_cast<const char*>(data), size);
    for (const std::string& keyin : vtl::ustation::splitKeyins(keyins)) {
        vtl::ustation::phraseOf(keyin);
        vtl::ustation::assignmentOf(keyin);
        vtl::ustation::parsePoint(keyin);
    }
    return 0;
}

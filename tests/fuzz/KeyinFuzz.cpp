// The stand-in MicroStation's reading of key-ins: splitting, phrases, assignments and points,
// level lists, reference scales, fence locks, justifications and view directions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Fence.h"
#include "engine/Keyins.h"
#include "engine/ReferenceKeyins.h"
#include "engine/TextGeometry.h"
#include "engine/Views.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view keyins(reinterpret_cast<const char*>(data), size);
    for (const std::string& keyin : vtl::ustation::splitKeyins(keyins)) {
        vtl::ustation::phraseOf(keyin);
        vtl::ustation::assignmentOf(keyin);
        vtl::ustation::parsePoint(keyin);
        vtl::ustation::parseLevels(keyin);
        vtl::ustation::referenceScale(keyin);
        vtl::ustation::fenceMode(keyin);
        vtl::ustation::justificationCode(keyin);
        vtl::ustation::standardRotation(keyin);
    }
    return 0;
}

// The DGN V7 reader on any bytes: every element it accepts is decoded, a fault raises.
#include <cstddef>
#include <cstdint>

#include "core/Error.h"
#include "dgn/FileScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        vtl::dgn::scanFile(vtl::dgn::Bytes(data, data + size));
    } catch (const vtl::Error&) {
    }
    return 0;
}

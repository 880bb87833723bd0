// The ISOGEN header parser on any bytes: it may raise, never crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Error.h"
#include "generator/Hfile_zerlegen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vtl::HeaderData header;
    header.HText.assign(reinterpret_cast<const char*>(data), size);
    // A ".h" header, so no continuation files are looked for.
    const vtl::HeaderFile file{"/nonexistent/fuzz.h", "/nonexistent/", "fuzz"};
    try {
        vtl::Hfile_zerlegen(header, file, 1000, {});
    } catch (const vtl::Error&) {
    }
    return 0;
}

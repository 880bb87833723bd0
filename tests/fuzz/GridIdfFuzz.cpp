// The grid and IDF file parsers on any bytes, and the matching of a few pipe ends against what
// they read: they may raise, never crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/Error.h"
#include "generator/GridLines.h"
#include "generator/IdfMatching.h"

namespace {

vtl::RunTable pipeEnds() {
    vtl::RunTable ends;
    const char* points[3][3] = {{"1.237", "2.613", "3.104"}, {"0", "0", "0"}, {"-5", "1E3", ""}};
    for (int r = 1; r <= 3; ++r) {
        for (int axis = 0; axis < 3; ++axis) ends.set(r, 3 + axis, points[r - 1][axis]);
    }
    return ends;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vtl::RunTable ends = pipeEnds();
    try {
        vtl::GridData grid;
        vtl::parseGridText(grid, text, 1000);
        vtl::gridDump(grid);
        vtl::firstSkewGridLine(grid);
        vtl::find_endpoint_diff(ends, 3, grid, 999999999999999);
    } catch (const vtl::Error&) {
    }
    try {
        vtl::IdfData idf;
        vtl::parseIdfText(idf, text);
        vtl::idfDump(idf);
        vtl::matchIdfTexts(ends, 3, idf, {1000, 0.01, 0, 0, 0});
    } catch (const vtl::Error&) {
    }
    return 0;
}

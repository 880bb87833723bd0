// A key-in that adds an element costs the same whether the drawing holds ten elements or ten
// thousand: the stand-in's session alone, without a socket, placing line strings into drawings
// of growing size.
#include <benchmark/benchmark.h>

#include <string>

#include "Journal.h"
#include "Session.h"
#include "Tools.h"
#include "support/TempDir.h"

namespace {

using namespace vtl;

void BM_PlaceLineStringInto(benchmark::State& state) {
    test::ScopedPlatformHome home;
    test::TempDir dir;
    const std::string file = (dir / "scale.dgn").string();
    ustation::newDesign(file, false);
    ustation::Journal journal;
    auto app = ustation::createSession(journal);
    app->MbeSendCommand("newfile " + file);
    const auto place = [&](int64_t i) {
        const std::string x = std::to_string(i % 1000);
        app->MbeSendCommand("place lstring;xy=" + x + ",0;xy=" + x + ",5;reset");
    };
    for (int64_t i = 0; i < state.range(0); ++i) place(i);
    int64_t i = 0;
    for (auto _ : state) place(i++);
    state.counters["elements_before"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_PlaceLineStringInto)->Arg(10)->Arg(1000)->Arg(10000)->Iterations(2000);

}  // namespace

BENCHMARK_MAIN();

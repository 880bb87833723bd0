// The refill of one text node, as the node filling sends it (match, delete, an empty node placed,
// its text entered), in drawings of 10 to 10,000 text nodes: locating by data point looks at
// every element once, so a refill costs in proportion to the drawing and no more.
#include <benchmark/benchmark.h>

#include <string>

#include "Journal.h"
#include "Session.h"
#include "Tools.h"
#include "support/TempDir.h"

namespace {

using namespace vtl;

void BM_RefillNodeIn(benchmark::State& state) {
    test::ScopedPlatformHome home;
    test::TempDir dir;
    const std::string file = (dir / "nodes.i01").string();
    ustation::newDesign(file, false);
    ustation::Journal journal;
    auto app = ustation::createSession(journal);
    app->MbeSendCommand("newfile " + file);
    const int64_t nodes = state.range(0);
    for (int64_t i = 0; i < nodes; ++i) {
        app->MbeSendCommand("nn=" + std::to_string(i % 1000) + ";place node;Text " +
                            std::to_string(i) + ";xy=" + std::to_string(i % 100 * 5) + "," +
                            std::to_string(i / 100 * 5) + ";NULL");
    }
    int64_t i = 0;
    for (auto _ : state) {
        const int64_t n = i++ % nodes;
        const mstn::Point at{static_cast<double>(n % 100 * 5), static_cast<double>(n / 100 * 5), 0};
        app->MbeSendCommand("match element");
        app->mbeSendDataPoint(at);
        app->MbeSendCommand("dx=0;delete element");
        app->mbeSendDataPoint(at);
        app->MbeSendCommand("dx=0;nn= " + std::to_string(n % 1000) + ";place node");
        app->mbeSendDataPoint(at);
        app->MbeSendCommand("EDIT TEXT");
        app->mbeSendDataPoint(at);
        app->MbeSendCommand("dx=0");
        app->MbeSendAppMessage("TEXTEDIT", "FirstLine Filled " + std::to_string(n));
        app->MbeSendAppMessage("TEXTEDIT", "ApplyBtn");
        app->MbeSendReset();
        app->MbeSendCommand("NULL");
    }
    state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(BM_RefillNodeIn)->Arg(10)->Arg(1000)->Arg(10000)->Iterations(250);

}  // namespace

BENCHMARK_MAIN();

// The grid and IDF steps at the limits of their tables: 9999 pipe ends against 9999 grid lines,
// and against an IDF file of 20000 joined lines in which every third line is a text record with
// the coordinate records of its window around it. And the IDF matching when every record lies at
// every end (an accuracy wider than the plant). Goal: well under a second each.
#include <benchmark/benchmark.h>

#include <string>

#include "generator/GridLines.h"
#include "generator/IdfMatching.h"

namespace {

constexpr int kEnds = 9999;

vtl::RunTable pipeEnds() {
    vtl::RunTable ends;
    for (int r = 1; r <= kEnds; ++r) {
        ends.set(r, 3, std::to_string(r * 0.5));
        ends.set(r, 4, std::to_string((r % 97) * 1.25));
        ends.set(r, 5, "3.1");
    }
    return ends;
}

// 5000 grid lines of constant X and 4999 of constant Y, every third one given high to low.
std::string gridText() {
    std::string text = "GRID AT THE LIMIT\n";
    for (int g = 0; g < 9999; ++g) {
        const bool constantX = g < 5000;
        const long at = (constantX ? g : g - 5000) * 80000L;
        const long low = -160000;
        const long high = 80000000;
        const long from = g % 3 == 0 ? high : low;
        const long to = g % 3 == 0 ? low : high;
        text += constantX ? "3  X" + std::to_string(g) + "  " + std::to_string(at) + "  " +
                                std::to_string(from) + "  0  " + std::to_string(at) + "  " +
                                std::to_string(to) + "  0"
                          : "2  Y" + std::to_string(g) + "  " + std::to_string(from) + "  " +
                                std::to_string(at) + "  0  " + std::to_string(to) + "  " +
                                std::to_string(at) + "  0";
        text += std::string(60, ' ') + "\n";
    }
    return text;
}

void BM_NearestGridLines(benchmark::State& state) {
    vtl::GridData grid;
    vtl::parseGridText(grid, gridText(), 1000);
    vtl::RunTable ends = pipeEnds();
    for (auto _ : state) vtl::find_endpoint_diff(ends, kEnds, grid, 999999999999999);
    if (grid.GridCount != 9999 || ends(kEnds, 16).empty()) state.SkipWithError("nothing found");
    state.counters["GridCount"] = grid.GridCount;
}
BENCHMARK(BM_NearestGridLines)->Unit(benchmark::kMillisecond);

// A coordinate record at each pipe end (in IDF units, origin 0), and after every second one a
// text record: 20000 joined lines, each text record's window holding up to eight records.
std::string idfText() {
    std::string text = "   300  0  0  0  0  0  0  0  0  0  0  0\n";
    int lines = 1;
    for (int r = 1; lines < 20000; ++r) {
        const int end = (r - 1) % kEnds + 1;
        text += "   100  " + std::to_string(end * 50000) + "  " +
                std::to_string((end % 97) * 125000) + "  310000  0  0  0  150  0  0  0  1\n";
        ++lines;
        if (r % 2 == 0 && lines < 20000) {
            text += "  -30 TEXT " + std::to_string(r) + "$\n   -1 CONTINUED\n";
            ++lines;
        }
    }
    return text;
}

void BM_IdfMatching(benchmark::State& state) {
    const std::string text = idfText();
    vtl::RunTable ends = pipeEnds();
    vtl::IdfData idf;
    const vtl::IdfMatchSettings settings{1000, state.range(0) == 0 ? 0.01 : 1e12, 0, 0, 0};
    for (auto _ : state) {
        vtl::parseIdfText(idf, text);
        vtl::matchIdfTexts(ends, kEnds, idf, settings);
    }
    if (idf.IdfLineCount != 20000 || ends(kEnds, 20).empty()) state.SkipWithError("no match");
    state.counters["IdfLineCount"] = idf.IdfLineCount;
}
BENCHMARK(BM_IdfMatching)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

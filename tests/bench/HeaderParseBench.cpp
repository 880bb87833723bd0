// Parses a generated ".h1" header at the limit of the run tables: 9999 topology rows and 9999
// IDF rows, every end point of a run matched and snapped by an IDF end (later IDF rows matching
// again), dashed runs named in the header and again in a continuation file of the same size, and
// the topology dump appended to a log file. And the worst case of the snapping: every topology
// row and every IDF end on one run and end, so every IDF end is tried on every topology row.
// Goal for any header within the limit: well under a second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "generator/Hfile_zerlegen.h"
#include "generator/LOGModule.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 9999;

std::string run(int n) {
    return "R" + std::to_string(n);
}

// Topology lines of 16 fields (the third is left out), two per run and one leading-block
// point per twentieth run; free ends at the start and at every fiftieth run.
std::string topologySection() {
    std::string text;
    int rows = 0;
    for (int n = 1; rows < 500; n += 20, ++rows) {
        text += "ELBO " + run(n) + " EL90 CP " + std::to_string(n) + ".5 1.25 3.1 0 150 A1B G" +
                std::to_string(n) + " 0 ITEM 1 " + std::to_string(rows) + " MM\n";
    }
    for (int n = 1; rows < kRows; ++n) {
        for (int end = 1; end <= 2 && rows < kRows; ++end, ++rows) {
            const int at = n + end - 1;
            const bool free = (end == 1 && n == 1) || (end == 2 && n % 50 == 0);
            const std::string conn = free ? "-1" : std::to_string(end == 1 ? n - 1 : n);
            text += "PIPE " + run(n) + " PIPE E" + std::to_string(end) + " " + std::to_string(at) +
                    ".01 1.25 3.1 " + conn + " 150 A1B G" + std::to_string(n) + " 1 ITEM 1 " +
                    std::to_string(rows) + " MM\n";
        }
    }
    return text;
}

// The run identifier starts at character 80, a blank after the last coordinate.
std::string idfLine(int n, const std::string& kind) {
    std::string line = kind;
    for (int value : {n * 80000, 100000, 248000, (n + 1) * 80000, 100000, 248000}) {
        std::string field = std::to_string(value);
        line += std::string(12 - field.size(), ' ') + field;
    }
    line.resize(79, ' ');
    return line + run(n) + "  E1 E2 150 PIPE\n";
}

// One IDF row per run, then earlier runs again until the table is full; every hundredth run
// is dashed.
std::string idfSection() {
    std::string text;
    for (int row = 0, n = 1; row < kRows; ++row, n = n % 5000 + 1) {
        text += idfLine(n, n % 100 == 0 ? "DASH  " : "PIPE  ");
    }
    return text;
}

std::string headerText(const std::string& idf) {
    return "ISOGEN HEADER FILE\n\nDesign file data sorted by topo\nKIND RUN\n---- ---\n" +
           topologySection() + "END OF TOPOLOGY\nDesign file data in IDF order\nKIND X1\n-- --\n" +
           idf;
}

void BM_HeaderAtTableLimit(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("vtl-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    // The continuation file is the header again: its IDF-order lines name the dashed runs anew.
    const std::string text = headerText(idfSection());
    std::ofstream(folder / "LIMIT.h2") << text;
    vtl::HeaderData header;
    header.HText = text;
    const vtl::HeaderFile file{(folder / "LIMIT.h1").string(), folder.string() + "/", "LIMIT"};
    const std::string log = (folder / "vtl.log").string();
    for (auto _ : state) {
        vtl::Hfile_zerlegen(header, file, 1000, [&](const std::vector<std::string>& lines) {
            vtl::LOGModule::appendLines(log, lines);
        });
    }
    if (header.TopoCount != kRows || header.IdfCount != kRows) {
        state.SkipWithError("the generated header does not fill the tables");
    }
    state.counters["TopoCount"] = header.TopoCount;
    state.counters["IdfCount"] = header.IdfCount;
    state.counters["LineEndCount"] = header.LineEndCount;
    state.counters["HLines"] = static_cast<double>(header.HLines.size());
    fs::remove_all(folder);
}

BENCHMARK(BM_HeaderAtTableLimit)->Unit(benchmark::kMillisecond);

// 9999 topology rows and 9999 IDF rows, all of run R1 and end E1, with end points a little
// apart, so that some tries snap and the next tries start from the snapped point.
std::string oneRunHeader() {
    std::string topology;
    for (int j = 0; j < kRows; ++j) {
        topology += "PIPE R1 PIPE E1 " + std::to_string(1 + (j % 7) * 0.004) +
                    " 2 3 -1 150 A1B G1 1 ITEM 1 " + std::to_string(j) + " MM\n";
    }
    std::string idf;
    for (int i = 0; i < kRows; ++i) {
        std::string line = "PIPE  ";
        for (int value : {80000 + (i % 11) * 240, 160000, 240000, 80000, 160000, 240000}) {
            std::string field = std::to_string(value);
            line += std::string(12 - field.size(), ' ') + field;
        }
        line.resize(79, ' ');
        idf += line + "R1  E1 E1 150 PIPE\n";
    }
    return "ISOGEN HEADER FILE\n\nDesign file data sorted by topo\nKIND RUN\n---- ---\n" +
           topology + "END OF TOPOLOGY\nDesign file data in IDF order\nKIND X1\n-- --\n" + idf;
}

void BM_HeaderAllOnOneRunEnd(benchmark::State& state) {
    vtl::HeaderData header;
    header.HText = oneRunHeader();
    const vtl::HeaderFile file{"ONE.h", "", "ONE"};
    for (auto _ : state) vtl::Hfile_zerlegen(header, file, 1000, {});
    if (header.TopoCount != kRows || header.IdfCount != kRows) {
        state.SkipWithError("the generated header does not fill the tables");
    }
    state.counters["TopoCount"] = header.TopoCount;
    state.counters["IdfCount"] = header.IdfCount;
}

BENCHMARK(BM_HeaderAllOnOneRunEnd)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();

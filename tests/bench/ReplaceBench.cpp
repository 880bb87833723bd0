// The text replacement of one drawing of 10,000 texts against the real stand-in MicroStation,
// compared with GDAL's "ogrinfo -al -q" reading the same file. The replacement's walk is the
// whole file step (XLS2DGN) less the same step on a drawing without texts, which pays for the
// start of MicroStation, the configuration load, the save key-ins and the quit; the wait for
// MicroStation's end comes after and is not counted. Goal: the walk within 3 times GDAL's time.
// Cases: no text replaced, every text replaced in place, every text replaced by a longer one
// (moved to the end of the file). A further case looks 10,000 texts up in a configuration
// table at the sheet's limit of 65,536 rows. The window cases run the same through Tarnwell's main
// window, as a user presses its buttons: with its log, its events list and the wait for
// MicroStation's end, less the same run on a drawing without texts; extraction among them.
// It starts and kills processes named ustation.exe: run it under the shared lock and a display,
//   flock /tmp/vtl-ustation.lock xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/replace_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/RegistryModule.h"
#include "common/modMSTN.h"
#include "common/modProcess.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "dgn/DesignFile.h"
#include "platform/MessageBoxes.h"
#include "textreplace/App.h"
#include "textreplace/ConfigLookup.h"
#include "textreplace/MSTNSession.h"
#include "textreplace/TextReplace.h"
#include "textreplace/frmMain.h"
#include "workbook/WorkbookFile.h"

namespace {

namespace fs = std::filesystem;
using namespace vtl;

constexpr int kTexts = 10000;
constexpr int kDistinct = 500;

QTemporaryDir& home() {
    static QTemporaryDir dir;
    return dir;
}

fs::path folder() {
    return fs::path(home().path().toStdString());
}

// The stand-in as the installation MSTNOpen starts, in a platform home of the benchmark's own.
void prepareHome() {
    qputenv("VTL_PLATFORM_HOME", home().path().toUtf8());
    qputenv("TEMP", home().path().toUtf8());
    const std::string key = std::string(modMSTN::kInstallationsKey) + "07.01 Stand-in";
    RegistryModule::RegSetValue(RegistryModule::HKEY_LOCAL_MACHINE, key, "PathName",
                                std::string(VTL_STANDINS_DIR "/ustation.exe"), "");
    RegistryModule::RegSetValue(RegistryModule::HKEY_LOCAL_MACHINE, key, "Version",
                                std::string("07.01.00.00"), "");
}

fs::path drawing(const std::string& name, int texts) {
    const fs::path file = folder() / name;
    fs::create_directories(file.parent_path());
    fs::remove(file);
    dgn::DesignFile d = dgn::DesignFile::create(file, dgn::Dimension::Two);
    const dgn::DesignHeader h = d.header();
    for (int i = 0; i < texts; ++i) {
        dgn::Element text = dgn::makeText("T-" + std::to_string(i % kDistinct),
                                          h.toUors(i % 100, i / 100), 1000, 1000);
        text.level = 1;
        text.symbology = {3, 1, 0};
        d.append(text);
    }
    return file;
}

void setText(workbook::Sheet& sheet, int32_t row, int32_t column, const std::string& text) {
    workbook::Cell& cell = sheet.cell(row, column);
    cell.type = workbook::Cell::Type::Text;
    cell.text = text;
}

void setNumber(workbook::Sheet& sheet, int32_t row, int32_t column, double number) {
    workbook::Cell& cell = sheet.cell(row, column);
    cell.type = workbook::Cell::Type::Number;
    cell.number = number;
}

// Rows T-k to the replacement the prefix gives ("" for a row of another level: no match).
fs::path workbookFile(const std::string& name, int rows, const std::string& prefix) {
    workbook::WorkbookData data;
    workbook::Sheet& sheet = data.sheets.emplace_back();
    sheet.name = "Sheet1";
    const char* headers[] = {"Find", "Replace", "Level", "Color", "Weight"};
    for (int32_t c = 1; c <= 5; ++c) setText(sheet, 1, c, headers[c - 1]);
    for (int32_t r = 2; r <= rows + 1; ++r) {
        const std::string find = "T-" + std::to_string((r - 2) % kDistinct);
        setText(sheet, r, 1, find);
        setText(sheet, r, 2, (prefix.empty() ? "N" : prefix) + find.substr(1));
        setNumber(sheet, r, 3, prefix.empty() ? 2 : 1);
        setNumber(sheet, r, 4, 3);
        setNumber(sheet, r, 5, 1);
    }
    const fs::path file = folder() / name;
    workbook::writeXlsx(data, file);
    return file;
}

double seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double ogrinfoSeconds(const fs::path& file) {
    QProcess ogrinfo;
    ogrinfo.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    ogrinfo.start("ogrinfo", {"-ro", "-al", "-q", QString::fromStdString(file.string())});
    ogrinfo.waitForFinished(120000);
    return seconds(timer);
}

double replaceSeconds(const fs::path& workbook, const fs::path& design) {
    QElapsedTimer timer;
    timer.start();
    tarnwell::XLS2DGN(workbook.string(), design.string(), true);
    const double elapsed = seconds(timer);
    tarnwell::Wait4ExitingMSTN();
    return elapsed;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// prefix: "" replaces nothing, "R" every text in place, "LONGER-R" every text by a longer one.
// The figures printed are medians over the iterations (the machine's load varies).
void BM_ReplaceWalk(benchmark::State& state, const std::string& prefix) {
    const fs::path workbook = workbookFile("cfg-" + prefix + ".xlsx", kDistinct, prefix);
    const fs::path empty = drawing("empty.dgn", 0);
    std::vector<double> walks, gdal;
    for (auto _ : state) {
        const fs::path design = drawing("texts.dgn", kTexts);
        gdal.push_back(ogrinfoSeconds(design));
        try {
            const double base = replaceSeconds(workbook, empty);
            walks.push_back(replaceSeconds(workbook, design) - base);
        } catch (const Error& e) {
            state.SkipWithError(e.description().c_str());
            return;
        }
        state.SetIterationTime(walks.back());
    }
    const double walk = median(walks), ogrinfo = median(gdal);
    state.counters["ogrinfo_s"] = ogrinfo;
    state.counters["walk_per_ogrinfo"] = walk / ogrinfo;
    std::cout << "replace " << (prefix.empty() ? "nothing" : prefix) << ": walk " << walk
              << " s, ogrinfo -al -q " << ogrinfo << " s, ratio " << walk / ogrinfo
              << " (goal: at most 3)\n";
}
BENCHMARK_CAPTURE(BM_ReplaceWalk, nothing_replaced, std::string())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_ReplaceWalk, all_in_place, std::string("R"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_ReplaceWalk, all_grown, std::string("LONGER-R"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// One press of the window's button on the design files of the folder; its duration.
double windowSeconds(const fs::path& designs, const fs::path& workbook, const char* button) {
    platform::RecordingMessageBoxes messages;
    platform::ScopedMessageBoxes scopedMessages(messages);
    tarnwell::frmMain window(tarnwell::frmMain::Options{[] {}});
    window.show();
    const auto* timer = window.findChild<QTimer*>("Timer1");
    while (timer->isActive()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    window.findChild<QCheckBox*>("chkFolder")->setChecked(true);
    window.findChild<QCheckBox*>("chkFiles")->setChecked(false);
    window.findChild<QLineEdit*>("txtInputDir")->setText(QString::fromStdString(designs.string()));
    window.findChild<QLineEdit*>("txtXLSFile")->setText(QString::fromStdString(workbook.string()));
    QElapsedTimer timer2;
    timer2.start();
    window.findChild<QPushButton*>(button)->click();
    const double elapsed = seconds(timer2);
    window.close();
    if (!messages.messages().empty()) throw Error(1, "", messages.messages().front().text);
    return elapsed;
}

// The window's replacement (prefix as above) or, with an empty prefix and extract, its
// extraction into a new workbook; less the same on a drawing without texts.
void BM_WindowRun(benchmark::State& state, const std::string& prefix, bool extract) {
    const fs::path config = workbookFile("window-" + prefix + ".xlsx", kDistinct, prefix);
    const fs::path output = folder() / "extracted.xlsx";
    const fs::path workbook = extract ? output : config;
    const char* button = extract ? "cmdExtract" : "cmdReplace";
    drawing("empty/empty.dgn", 0);
    std::vector<double> runs, gdal;
    for (auto _ : state) {
        const fs::path design = drawing("texts/texts.dgn", kTexts);
        gdal.push_back(ogrinfoSeconds(design));
        try {
            fs::remove(output);
            const double base = windowSeconds(folder() / "empty", workbook, button);
            fs::remove(output);
            runs.push_back(windowSeconds(folder() / "texts", workbook, button) - base);
        } catch (const Error& e) {
            state.SkipWithError(e.description().c_str());
            return;
        }
        state.SetIterationTime(runs.back());
    }
    const double run = median(runs), ogrinfo = median(gdal);
    state.counters["ogrinfo_s"] = ogrinfo;
    state.counters["run_per_ogrinfo"] = run / ogrinfo;
    std::cout << "window " << (extract ? "extraction" : "replace ") +
                                     (prefix.empty() ? std::string(extract ? "" : "nothing") : prefix)
              << ": run " << run << " s, ogrinfo -al -q " << ogrinfo << " s, ratio "
              << run / ogrinfo << " (goal: at most 3)\n";
}
BENCHMARK_CAPTURE(BM_WindowRun, nothing_replaced, std::string(), false)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_WindowRun, all_in_place, std::string("R"), false)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_WindowRun, all_grown, std::string("LONGER-R"), false)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_WindowRun, extraction, std::string(), true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// 10,000 lookups in a table of 65,536 rows (the sheet's limit less the header row).
void BM_LookupsInAFullTable(benchmark::State& state) {
    const fs::path workbook = workbookFile("full.xlsx", 65535, "R");
    tarnwell::SearchInit(workbook.string());
    for (auto _ : state) {
        for (int i = 0; i < kTexts; ++i) {
            benchmark::DoNotOptimize(
                tarnwell::Search4("T-" + std::to_string(i % kDistinct), 1, 3, 1));
        }
    }
    tarnwell::CloseConfigRecordset();
}
BENCHMARK(BM_LookupsInAFullTable)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProgramTitle("Tarnwell");
    prepareHome();
    // The window's settings and log in the benchmark's home.
    tarnwell::App() = {"Tarnwell", "Tarnwell", folder()};
    modProcess::KillApp("ustation.exe", false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    modProcess::KillApp("ustation.exe", false);
    return 0;
}

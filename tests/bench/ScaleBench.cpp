// The whole batch at scale: generated header files of 10, 100, 1000 and 9999 topology rows run
// through the run driver against the real stand-in MicroStation, as the Start button runs them.
// Reports the run's total, the time of the drawing step, and both per row; GDAL's ogrinfo then
// checks that every line string the rows make is in the overview drawing.
// Goals: the 9999-row header drawn end to end in well under the 60 s watchdog (under 5 s beyond
// the waits the program prescribes for starting and ending MicroStation), and the drawing's
// cost per row at 9999 rows within 1.5 times its cost at 100 rows.
// The window cases run the same batch from the main window, as a user chooses the header file and
// presses Start (its log, its event handling); their overview step is set beside GDAL's
// "ogr2ogr -f DGN" writing the same line strings (goal: within 3 times).
// It starts and kills processes named ustation.exe: run it under the shared lock and a display,
//   flock /tmp/vtl-ustation.lock xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/scale_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RunDriverTestFakes.h"
#include "common/FileOperationModule.h"
#include "common/RegistryModule.h"
#include "common/modMSTN.h"
#include "common/modProcess.h"
#include "generator/DefaultRunSteps.h"
#include "generator/RunDriver.h"
#include "generator/VTL.h"
#include "generator/Variablen.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

namespace {

namespace fs = std::filesystem;

const QString kStandIn = VTL_STANDINS_DIR "/ustation.exe";

struct Vertex {
    double x, y;
};

std::string fixed2(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// Row r (from 0) of run r / 2, end E1 or E2: each run of two rows is one line string.
Vertex vertexOf(int r) {
    const int run = r / 2;
    return {1 + (run % 100) * 2.5 + (r % 2) * 1.25, 1 + (run / 100) * 0.75};
}

// A header file the parser takes and the overview drawing draws as line strings: topology lines
// of 16 fields (the third is left out), none in a leading block, and an empty IDF-order section.
std::string headerText(int rows) {
    std::string text =
        "ISOGEN HEADER FILE                      SCALE\n"
        "Design file data sorted by topo\n"
        "KIND   RUN     SKEY   END         X         Y         Z  CONN  SIZE CLASS GROUP  B ITEM"
        "         SH  SEQ UNIT\n"
        "------ ------- ------ ---- --------- --------- --------- ----- ----- ----- ------ - ----"
        "-------- -- ---- ----\n";
    for (int r = 0; r < rows; ++r) {
        const int run = r / 2 + 1;
        const Vertex v = vertexOf(r);
        const std::string id = std::to_string(run);
        text += "PIPE   R" + id + " PIPE E" + std::to_string(r % 2 + 1) + " " + fixed2(v.x) + " " +
                fixed2(v.y) + " 3.10 " + std::to_string(run) + " 150 A1B G" + id +
                " 1 PIP-A1B-150 1 " + std::to_string(r + 1) + " MM\n";
    }
    return text + "END OF TOPOLOGY\nDesign file data in IDF order\nKIND X1\n---- --\n";
}

void write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

bool newDesign(const fs::path& file, bool threeD = false) {
    QStringList args = {"--new", QString::fromStdString(file.string())};
    if (threeD) args << "--3d";
    QProcess process;
    process.start(kStandIn, args);
    return process.waitForFinished(20000) && process.exitCode() == 0;
}

// The line strings "ogrinfo -al" lists, as their vertices.
std::vector<std::vector<Vertex>> lineStrings(const fs::path& design) {
    QProcess ogrinfo;
    ogrinfo.start("ogrinfo", {"-ro", "-al", QString::fromStdString(design.string())});
    ogrinfo.waitForFinished(120000);
    std::vector<std::vector<Vertex>> strings;
    for (const QByteArray& line : ogrinfo.readAllStandardOutput().split('\n')) {
        const int open = line.indexOf("LINESTRING (");
        if (open < 0) continue;
        const QByteArray inside = line.mid(open + 12, line.lastIndexOf(')') - open - 12);
        std::vector<Vertex> vertices;
        for (const QByteArray& pair : inside.split(',')) {
            const QList<QByteArray> xy = pair.trimmed().split(' ');
            if (xy.size() >= 2) vertices.push_back({xy[0].toDouble(), xy[1].toDouble()});
        }
        strings.push_back(vertices);
    }
    return strings;
}

// Every run of two rows is a line string from its first row's point to its second's, in order.
bool everyLineStringDrawn(const fs::path& design, int rows, std::string& why) {
    const std::vector<std::vector<Vertex>> drawn = lineStrings(design);
    if (drawn.size() != static_cast<size_t>(rows / 2)) {
        why = std::to_string(drawn.size()) + " line strings, expected " + std::to_string(rows / 2);
        return false;
    }
    for (int run = 0; run < rows / 2; ++run) {
        const std::vector<Vertex>& v = drawn[static_cast<size_t>(run)];
        const Vertex a = vertexOf(2 * run), b = vertexOf(2 * run + 1);
        auto near = [](const Vertex& p, const Vertex& q) {
            return std::fabs(p.x - q.x) < 1e-6 && std::fabs(p.y - q.y) < 1e-6;
        };
        if (v.size() != 2 || !near(v[0], a) || !near(v[1], b)) {
            why = "line string " + std::to_string(run + 1) + " is not where its rows put it";
            return false;
        }
    }
    return true;
}

// The program's drawing steps, the overview's drawing timed.
class TimedSteps : public vtl::DefaultRunSteps {
public:
    double drawingSeconds = 0;
    void leitung_einzeichnen(bool withMarkerCell) override {
        QElapsedTimer timer;
        timer.start();
        vtl::DefaultRunSteps::leitung_einzeichnen(withMarkerCell);
        drawingSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    }
};

// A project folder with the seeds, the configuration and one header file of the given rows.
struct Project {
    QTemporaryDir dir;
    fs::path root{dir.path().toStdString()};
    fs::path header = root / "iso" / "SCALE.h";

    bool make(int rows) {
        fs::create_directories(root / "seed");
        fs::create_directories(root / "iso");
        if (!newDesign(root / "seed/vtlseed.dgn") || !newDesign(root / "seed/icsseed.dgn") ||
            !newDesign(root / "seed/i3dseed.dgn", true)) {
            return false;
        }
        write(root / "vtl.ini",
              "[Vistrel]\nseedfile=" + (root / "seed/vtlseed.dgn").string() +
                  "\npipelv=10\npipeco=3\npipewt=2\npipelc=0\nautochangelevel=yes\n"
                  "Unitfactor=1000\nNotUsedComponent=SUPPORT\n"
                  "[Programm]\ncreateVTL=0\ncreateICS=0\ncreateI3D=0\n[Pellmark]\nPellmark=0\n"
                  "[IsoCoverSheet]\nICSseedfile=" +
                  (root / "seed/icsseed.dgn").string() +
                  "\n[I3D]\nI3Dseedfile=" + (root / "seed/i3dseed.dgn").string() + "\n");
        write(header, headerText(rows));
        return true;
    }
};

void BM_BatchOfOneHeader(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Project project;
    if (!project.make(rows)) {
        state.SkipWithError("the stand-in MicroStation could not make the seed files");
        return;
    }
    vtl::test::FakeRunHost host;
    host.mstnPath = kStandIn.toStdString();
    TimedSteps steps;
    double total = 0;
    for (auto _ : state) {
        vtl::modProcess::KillApp("ustation.exe", false);
        vtl::resetRunState();
        vtl::FileOperationModule::TempFolder = project.root.string();
        vtl::RunState& s = vtl::Variablen();
        s.inifile = (project.root / "vtl.ini").string();
        s.logfile = (project.root / "vtl.log").string();
        s.IsoFileList = {project.header.string()};
        s.IsoFileLast = 0;
        QElapsedTimer timer;
        timer.start();
        vtl::RunDriver::Start_Click(host, steps);
        total = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(total);
    }
    vtl::FileOperationModule::TempFolder.clear();
    if (host.messages != std::vector<std::string>{vtl::RunDriver::kRunSucceeded}) {
        const std::string why = host.messages.empty() ? "no message" : host.messages[0];
        state.SkipWithError(("the run did not succeed: " + why).c_str());
        return;
    }
    std::string why;
    if (!everyLineStringDrawn(project.root / "iso" / "SCALE.vtl", rows, why)) {
        state.SkipWithError(("ogrinfo: " + why).c_str());
        return;
    }
    state.counters["rows"] = rows;
    state.counters["total_s"] = total;
    state.counters["drawing_s"] = steps.drawingSeconds;
    state.counters["beyond_drawing_s"] = total - steps.drawingSeconds;
    state.counters["us_per_row"] = total / rows * 1e6;
    state.counters["drawing_us_per_row"] = steps.drawingSeconds / rows * 1e6;
}

BENCHMARK(BM_BatchOfOneHeader)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(9999)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

double secondsOf(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// GDAL writing the line strings the rows make into a new DGN file: its duration.
double ogr2ogrSeconds(const fs::path& folder, int rows) {
    std::string csv = "WKT\n";
    for (int run = 0; run < rows / 2; ++run) {
        const Vertex a = vertexOf(2 * run), b = vertexOf(2 * run + 1);
        csv += "\"LINESTRING (" + fixed2(a.x) + " " + fixed2(a.y) + " 3.1," + fixed2(b.x) + " " +
               fixed2(b.y) + " 3.1)\"\n";
    }
    write(folder / "lines.csv", csv);
    fs::remove(folder / "lines.dgn");
    QProcess ogr2ogr;
    QElapsedTimer timer;
    timer.start();
    ogr2ogr.start("ogr2ogr", {"-f", "DGN", QString::fromStdString((folder / "lines.dgn").string()),
                              QString::fromStdString((folder / "lines.csv").string())});
    ogr2ogr.waitForFinished(120000);
    return secondsOf(timer);
}

// The stand-in as the installation the main window lists, the pointer INI naming the project's
// configuration, and TMP (where the run log goes) in the project.
void prepareWindow(const Project& project) {
    const std::string key = std::string(vtl::modMSTN::kInstallationsKey) + "07.01 Stand-in";
    vtl::RegistryModule::RegSetValue(vtl::RegistryModule::HKEY_LOCAL_MACHINE, key, "PathName",
                                     kStandIn.toStdString(), "");
    vtl::RegistryModule::RegSetValue(vtl::RegistryModule::HKEY_LOCAL_MACHINE, key, "Version",
                                     std::string("07.01.00.00"), "");
    fs::create_directories(project.root / "program");
    write(project.root / "program" / "vtl.ini",
          "[Programm]\ninifile=" + (project.root / "vtl.ini").string() + "\n");
    qputenv("TMP", QByteArray::fromStdString(project.root.string()));
    qputenv("TEMP", QByteArray::fromStdString(project.root.string()));
}

// Chooses the header file in the main window and presses Start; the run's duration.
double windowRunSeconds(const Project& project, TimedSteps& steps, std::string& message) {
    vtl::platform::ScriptedFileDialogs dialogs;
    dialogs.answerMany({project.header.string()});
    vtl::platform::ScopedFileDialogs scopedDialogs(dialogs);
    vtl::platform::RecordingMessageBoxes messages;
    vtl::platform::ScopedMessageBoxes scopedMessages(messages);
    vtl::VTL window(vtl::VTL::Options{&steps, project.root / "program", [] {}});
    window.Form_Load();
    window.show();
    const auto* timer = window.findChild<QTimer*>("Timer1");
    while (timer->isActive()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    window.findChild<QPushButton*>("hfilewahl")->click();
    QElapsedTimer elapsed;
    elapsed.start();
    window.findChild<QPushButton*>("Start")->click();
    const double seconds = secondsOf(elapsed);
    message = messages.messages().empty() ? "no message" : messages.messages().back().text;
    window.close();
    return seconds;
}

void BM_BatchThroughTheWindow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Project project;
    if (!project.make(rows)) {
        state.SkipWithError("the stand-in MicroStation could not make the seed files");
        return;
    }
    prepareWindow(project);
    TimedSteps steps;
    double total = 0;
    std::string message;
    for (auto _ : state) {
        vtl::modProcess::KillApp("ustation.exe", false);
        vtl::resetRunState();
        total = windowRunSeconds(project, steps, message);
        state.SetIterationTime(total);
    }
    if (message != vtl::RunDriver::kRunSucceeded) {
        std::ifstream log(project.root / "vtl.log");
        for (std::string line; std::getline(log, line);) {
            if (line.rfind("#  ", 0) == 0) message += "\n  " + line;
        }
        state.SkipWithError(("the run did not succeed: " + message).c_str());
        return;
    }
    std::string why;
    if (!everyLineStringDrawn(project.root / "iso" / "SCALE.vtl", rows, why)) {
        state.SkipWithError(("ogrinfo: " + why).c_str());
        return;
    }
    const double gdal = ogr2ogrSeconds(project.root, rows);
    state.counters["rows"] = rows;
    state.counters["total_s"] = total;
    state.counters["drawing_s"] = steps.drawingSeconds;
    state.counters["drawing_us_per_row"] = steps.drawingSeconds / rows * 1e6;
    state.counters["ogr2ogr_s"] = gdal;
    state.counters["drawing_per_ogr2ogr"] = steps.drawingSeconds / gdal;
}

BENCHMARK(BM_BatchThroughTheWindow)
    ->Arg(100)
    ->Arg(9999)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The stand-in's registry, journal and socket in a folder of this run only.
    QTemporaryDir home;
    qputenv("VTL_PLATFORM_HOME", home.path().toUtf8());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

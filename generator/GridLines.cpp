#include "GridLines.h"

#include <algorithm>
#include <cmath>

#include "IsogenInput.h"
#include "RunStep.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "common/Orginal_Tokernizer.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl {

namespace {

constexpr char kConstantX[] = "3";
constexpr char kConstantY[] = "2";
constexpr size_t kShortestGridLine = 51;

// A grid line runs along one axis: its position on the other axis and its extent along its own.
struct Line {
    double position = 0;
    double low = 0;
    double high = 0;
    int row = 0;
};

// The lines of one kind in file order. Position: column `at`; extent: columns `from` and `to`,
// whichever way round the file gives them.
std::vector<Line> linesOf(const GridData& grid, const char* kind, int at, int from, int to) {
    std::vector<Line> lines;
    for (int g = 1; g <= grid.GridCount; ++g) {
        const GridTableType& t = grid.GridTable;
        if (t(g, 0) != kind) continue;
        const double a = num::leadingNumber(t(g, from));
        const double b = num::leadingNumber(t(g, to));
        lines.push_back({num::leadingNumber(t(g, at)), std::min(a, b), std::max(a, b), g});
    }
    return lines;
}

// The nearest line whose widened extent holds `along`, nullptr for none; the first of equally
// near ones. Lines farther away than the search starts with are never taken.
const Line* nearest(const std::vector<Line>& lines, double across, double along,
                    double gridextension) {
    double best = 999999999999.0;
    const Line* found = nullptr;
    for (const Line& line : lines) {
        if (!(line.low - gridextension < along && along < line.high + gridextension)) continue;
        const double d = std::fabs(across - line.position);
        if (d < best) {
            best = d;
            found = &line;
        }
    }
    return found;
}

}  // namespace

void parseGridText(GridData& grid, std::string_view text, int32_t Unitfactor) {
    grid.GridTable.clear();
    grid.GridCount = 0;
    for (const std::string& line : nonEmptyLines(text)) {
        if (line.size() < kShortestGridLine) continue;
        std::vector<std::string> fields = Orginal_Tokernizer::Tokenize(line, " ");
        if (fields.empty() || (fields[0] != kConstantX && fields[0] != kConstantY)) continue;
        const int row = grid.GridCount + 1;
        for (size_t j = 0; j < fields.size(); ++j) {
            std::string value =
                j < 2 ? std::move(fields[j])
                      : num::text(toDrawingUnits(num::leadingNumber(fields[j]), Unitfactor, 80));
            grid.GridTable.set(row, static_cast<int>(j), std::move(value));
        }
        grid.GridCount = row;
    }
}

std::vector<std::string> gridDump(const GridData& grid) {
    std::vector<std::string> lines{"======== Begin Gridlines ==========", ""};
    for (int g = 1; g <= grid.GridCount; ++g) {
        std::vector<std::string> values;
        for (int column = 0; column <= 8; ++column) values.push_back(grid.GridTable(g, column));
        lines.push_back(text::ansiToUtf8(LOGModule::printZones(values)));
    }
    lines.push_back("======== End Gridlines ============");
    return lines;
}

std::string firstSkewGridLine(const GridData& grid) {
    const GridTableType& t = grid.GridTable;
    for (int g = 1; g <= grid.GridCount; ++g) {
        const bool skew = (t(g, 0) == kConstantY && t(g, 6) != t(g, 3)) ||
                          (t(g, 0) == kConstantX && t(g, 5) != t(g, 2));
        if (skew) return t(g, 1);
    }
    return "";
}

void Gridfile_zerlegen(GridData& grid, const std::string& Gridfile, int32_t Unitfactor,
                       const LogBlock& log) {
    if (!FileOperationModule::IsFileExists(Gridfile, 0)) {
        raise(kOwnError, "Gridfile not found  -  " + Gridfile);
    }
    parseGridText(grid, files::readFile(Gridfile), Unitfactor);
    if (log) log(gridDump(grid));
    const std::string skew = firstSkewGridLine(grid);
    if (!skew.empty())
        raise(kOwnError, "Gridlines not parallel - GridLine: " + text::ansiToUtf8(skew));
}

void Gridfile_zerlegen() {
    runStep("Gridfile_zerlegen", [] {
        RunState& s = Variablen();
        Gridfile_zerlegen(s, s.Gridfile, s.Unitfactor, [&s](const std::vector<std::string>& lines) {
            LOGModule::appendLines(s.logfile, lines);
        });
    });
}

void find_endpoint_diff(RunTable& LineEndTable, int32_t LineEndCount, const GridData& grid,
                        double gridextension) {
    for (int r = 1; r <= LineEndCount; ++r) {
        for (int column = 15; column <= 20; ++column) LineEndTable.set(r, column, "");
    }
    // Kind "3" keeps X (column 2) and runs in Y (columns 3 and 6); kind "2" keeps Y (column 3)
    // and runs in X (columns 2 and 5).
    const std::vector<Line> constantX = linesOf(grid, kConstantX, 2, 3, 6);
    const std::vector<Line> constantY = linesOf(grid, kConstantY, 3, 2, 5);
    for (int r = 1; r <= LineEndCount; ++r) {
        const double x = num::leadingNumber(LineEndTable(r, 3));
        const double y = num::leadingNumber(LineEndTable(r, 4));
        if (const Line* line = nearest(constantX, x, y, gridextension)) {
            LineEndTable.set(r, 16, grid.GridTable(line->row, 1));
            LineEndTable.set(r, 17, num::text(x - line->position));
        }
        if (const Line* line = nearest(constantY, y, x, gridextension)) {
            LineEndTable.set(r, 18, grid.GridTable(line->row, 1));
            LineEndTable.set(r, 19, num::text(y - line->position));
        }
    }
}

void find_endpoint_diff() {
    runStep("find_endpoint_diff", [] {
        RunState& s = Variablen();
        find_endpoint_diff(s.LineEndTable, s.LineEndCount, s, s.gridextension);
    });
}

}  // namespace vtl

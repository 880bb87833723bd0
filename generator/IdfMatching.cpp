#include "IdfMatching.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <optional>
#include <unordered_map>

#include "IsogenInput.h"
#include "RunStep.h"
#include "common/FileOperationModule.h"
#include "common/Orginal_Tokernizer.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl {

namespace {

using Point = std::array<double, 3>;

// IDF units of the origin record per unit of its fields.
constexpr double kOriginScale = 100000;
// The window of a text record: this many lines before and after it.
constexpr int kWindow = 6;

std::vector<std::string> fieldsOf(const std::string& line) {
    return Orginal_Tokernizer::Tokenize(line, " ");
}

bool continuesLine(const std::string& line) {
    const size_t at = line.find("  -1 ");
    return at != std::string::npos && at < 7;
}

// The record's data: the line without its six characters of record code.
std::string dataOf(const std::string& line) {
    return line.size() > 6 ? line.substr(6) : std::string();
}

bool isTextRecord(const std::string& line) {
    const std::string_view code = std::string_view(line).substr(0, 6);
    return code.find(" -30 ") != std::string_view::npos ||
           code.find(" -31 ") != std::string_view::npos;
}

bool isCoordinateRecord(const std::vector<std::string>& fields) {
    return fields.size() >= 12 && !fields[0].starts_with('-');
}

double finite(double value) {
    if (!std::isfinite(value)) throw Error(err::Overflow, "", "Overflow");
    return value;
}

void readOrigin(IdfData& idf) {
    double* origin[3] = {&idf.IdfOriginX, &idf.IdfOriginY, &idf.IdfOriginZ};
    for (double* value : origin) *value = 1;
    for (int j = 1; j <= idf.IdfLineCount; ++j) {
        const std::vector<std::string> fields = fieldsOf(idf.IdfLines[j]);
        if (fields.size() < 12 || fields[0] != "300") continue;
        for (int axis = 0; axis < 3; ++axis) {
            *origin[axis] = finite(num::leadingNumber(fields[1 + axis]) * kOriginScale);
        }
    }
}

// A point of a coordinate record in the window of a text record, and that record's line.
struct Candidate {
    Point at;
    int textLine = 0;
};

// The points of the coordinate records in the windows of the text records, in the order the
// matching tries them: text record, window line, first point before second. Converting a line
// raises its fault where it is first met.
class Candidates {
public:
    Candidates(const IdfData& idf, const IdfMatchSettings& settings)
        : idf_(idf), settings_(settings), points_(idf.IdfLineCount + 1) {
        for (int j = 1; j <= idf.IdfLineCount; ++j) {
            if (!isTextRecord(idf.IdfLines[j])) continue;
            const int first = std::max(1, j - kWindow);
            const int last = std::min(idf.IdfLineCount, j + kWindow);
            for (int n = first; n <= last; ++n) {
                for (const Point& p : pointsOf(n)) all.push_back({p, j});
            }
        }
    }

    std::vector<Candidate> all;

private:
    const std::vector<Point>& pointsOf(int line) {
        std::optional<std::vector<Point>>& points = points_[line];
        if (!points) points = convert(idf_.IdfLines[line]);
        return *points;
    }

    // The record's two points in drawing units: (F + origin) taken through its text, divided by
    // Unitfactor * 100.
    std::vector<Point> convert(const std::string& line) const {
        const std::vector<std::string> fields = fieldsOf(line);
        if (!isCoordinateRecord(fields)) return {};
        const double origin[3] = {idf_.IdfOriginX, idf_.IdfOriginY, idf_.IdfOriginZ};
        std::vector<Point> points(2);
        for (int p = 0; p < 2; ++p) {
            for (int axis = 0; axis < 3; ++axis) {
                const double sum = finite(fieldNumber(fields[1 + 3 * p + axis]) + origin[axis]);
                points[p][axis] =
                    toDrawingUnits(num::leadingNumber(num::text(sum)), settings_.Unitfactor, 100);
            }
        }
        return points;
    }

    const IdfData& idf_;
    const IdfMatchSettings& settings_;
    std::vector<std::optional<std::vector<Point>>> points_;
};

// The candidates in cubic cells a little larger than the accuracy, so that every candidate at an
// end lies in the end's cell or a neighbouring one; the exact test decides. The margin covers
// the rounding of the test's sums at the largest magnitude met.
class CandidateIndex {
public:
    CandidateIndex(const std::vector<Candidate>& candidates, const Point& shift, double accuracy,
                   double largest)
        : candidates_(candidates),
          shift_(shift),
          accuracy_(accuracy),
          size_(accuracy + 32 * DBL_EPSILON * largest) {
        for (size_t i = 0; i < candidates.size(); ++i) {
            Point shifted;
            for (int axis = 0; axis < 3; ++axis) {
                shifted[axis] = candidates[i].at[axis] + shift[axis];
            }
            cells_[cellOf(shifted)].push_back(static_cast<int>(i));
        }
    }

    // The last candidate at the end, -1 for none.
    int lastAt(const Point& end) const {
        const Cell centre = cellOf(end);
        int best = -1;
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    auto cell = cells_.find({centre.x + dx, centre.y + dy, centre.z + dz});
                    if (cell != cells_.end())
                        best = std::max(best, lastIn(cell->second, end, best));
                }
            }
        }
        return best;
    }

private:
    struct Cell {
        int64_t x, y, z;
        bool operator==(const Cell&) const = default;
    };
    struct CellHash {
        size_t operator()(const Cell& c) const {
            const std::hash<int64_t> h;
            return h(c.x) ^ (h(c.y) * 0x9E3779B97F4A7C15ULL) ^ (h(c.z) * 0xC2B2AE3D27D4EB4FULL);
        }
    };

    Cell cellOf(const Point& p) const {
        auto index = [&](double v) { return static_cast<int64_t>(std::floor(v / size_)); };
        return {index(p[0]), index(p[1]), index(p[2])};
    }

    bool matches(const Candidate& c, const Point& end) const {
        for (int axis = 0; axis < 3; ++axis) {
            if (!(std::fabs(c.at[axis] - end[axis] + shift_[axis]) < accuracy_)) return false;
        }
        return true;
    }

    // The last candidate of a cell at the end that comes after `after`, else `after`.
    int lastIn(const std::vector<int>& ids, const Point& end, int after) const {
        for (auto i = ids.rbegin(); i != ids.rend() && *i > after; ++i) {
            if (matches(candidates_[*i], end)) return *i;
        }
        return after;
    }

    const std::vector<Candidate>& candidates_;
    Point shift_;
    double accuracy_;
    double size_;
    std::unordered_map<Cell, std::vector<int>, CellHash> cells_;
};

Point endOf(const RunTable& table, int r) {
    return {num::leadingNumber(table(r, 3)), num::leadingNumber(table(r, 4)),
            num::leadingNumber(table(r, 5))};
}

double largestMagnitude(const std::vector<Candidate>& candidates, const std::vector<Point>& ends,
                        const Point& shift) {
    double largest = 0;
    auto take = [&](const Point& p) {
        for (double v : p) largest = std::max(largest, std::fabs(v));
    };
    take(shift);
    for (const Point& end : ends) take(end);
    for (const Candidate& c : candidates) {
        take(c.at);
        take({c.at[0] + shift[0], c.at[1] + shift[1], c.at[2] + shift[2]});
    }
    return largest;
}

}  // namespace

void parseIdfText(IdfData& idf, std::string_view text) {
    idf.IdfLines.assign(1, std::string());
    idf.IdfLineCount = 0;
    for (const std::string& line : nonEmptyLines(text)) {
        // A continuation with no line before it has nothing to continue: it stays a line.
        if (continuesLine(line) && idf.IdfLineCount > 0) {
            idf.IdfLines.back() += text::trimRight(dataOf(line));
            continue;
        }
        if (idf.IdfLineCount == kIdfLineLimit) raiseSubscriptOutOfRange();
        idf.IdfLines.push_back(text::trimRight(line));
        ++idf.IdfLineCount;
    }
    readOrigin(idf);
}

std::vector<std::string> idfDump(const IdfData& idf) {
    std::vector<std::string> lines{"======== Begin IDFFile ==========", ""};
    for (int j = 1; j <= idf.IdfLineCount; ++j) lines.push_back(text::ansiToUtf8(idf.IdfLines[j]));
    lines.push_back("======== End IDFFile ============");
    return lines;
}

void matchIdfTexts(RunTable& LineEndTable, int32_t LineEndCount, const IdfData& idf,
                   const IdfMatchSettings& settings) {
    if (LineEndCount < 1) return;
    const std::vector<Candidate> candidates = Candidates(idf, settings).all;
    // Nothing lies nearer than no distance at all.
    if (!(settings.TABaccuracy > 0)) return;
    std::vector<Point> ends;
    for (int r = 1; r <= LineEndCount; ++r) ends.push_back(endOf(LineEndTable, r));
    const Point shift{settings.DVCS_X, settings.DVCS_Y, settings.DVCS_Z};
    const CandidateIndex index(candidates, shift, settings.TABaccuracy,
                               largestMagnitude(candidates, ends, shift));
    std::unordered_map<int, std::string> texts;
    for (int r = 1; r <= LineEndCount; ++r) {
        const int match = index.lastAt(ends[r - 1]);
        if (match < 0) continue;
        const int line = candidates[match].textLine;
        auto text = texts.find(line);
        if (text == texts.end()) {
            text =
                texts.emplace(line, text::replaceAll(dataOf(idf.IdfLines[line]), "$", "  ")).first;
        }
        LineEndTable.set(r, 20, text->second);
    }
}

void searchidf(IdfData& idf, const std::string& IdfFile, RunTable& LineEndTable,
               int32_t LineEndCount, const IdfMatchSettings& settings, const LogBlock& log) {
    // No line of an earlier header file's IDF file outlives it, even when this one is missing.
    idf = IdfData{};
    idf.IdfFile = IdfFile;
    if (!FileOperationModule::IsFileExists(IdfFile, 0)) {
        raise(kOwnError, "IDF File not found  -  " + IdfFile);
    }
    parseIdfText(idf, files::readFile(IdfFile));
    if (log) log(idfDump(idf));
    matchIdfTexts(LineEndTable, LineEndCount, idf, settings);
}

void searchidf() {
    runStep("searchidf", [] {
        RunState& s = Variablen();
        const IdfMatchSettings settings{s.Unitfactor, s.TABaccuracy, s.DVCS_X, s.DVCS_Y, s.DVCS_Z};
        searchidf(s, s.isopath + s.IsoName + ".idf", s.LineEndTable, s.LineEndCount, settings,
                  [&s](const std::vector<std::string>& lines) {
                      LOGModule::appendLines(s.logfile, lines);
                  });
    });
}

}  // namespace vtl

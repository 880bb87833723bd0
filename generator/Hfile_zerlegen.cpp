#include "Hfile_zerlegen.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include "FirstInRange.h"
#include "IsogenInput.h"
#include "LOGModule.h"
#include "Variablen.h"
#include "common/Orginal_Tokernizer.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "core/Wildcard.h"

namespace vtl {

namespace fs = std::filesystem;
using Orginal_Tokernizer::Tokenize;

namespace {

// Rows of a table found by a key, in ascending order.
using RowIndex = std::unordered_map<std::string, std::vector<int>>;

// Fields never hold a blank, so a blank joins them into an unambiguous key.
std::string key(std::initializer_list<std::string_view> parts) {
    std::string joined;
    bool first = true;
    for (std::string_view part : parts) {
        if (!first) joined += ' ';
        joined += part;
        first = false;
    }
    return joined;
}

const std::vector<int>& rowsOf(const RowIndex& index, const std::string& k) {
    static const std::vector<int> none;
    auto found = index.find(k);
    return found == index.end() ? none : found->second;
}

// --- Lines and fields -------------------------------------------------------------------------

// The fields of a section line: runs of non-blank characters. A line of exactly 16 fields has
// an extra third field that the tables leave out. A line of blanks only has no fields, and so
// makes no row, while it still counts as a line of its section.
std::vector<std::string> lineFields(const std::string& line) {
    if (line.find_first_not_of(' ') == std::string::npos) return {};
    std::vector<std::string> fields = Tokenize(line, "  ");
    if (fields.size() == 16) fields.erase(fields.begin() + 2);
    return fields;
}

// The fields of a line into the next row of a table; a line without fields makes no row.
// Returns the row written, 0 for none.
int appendRow(RunTable& table, int32_t& count, const std::string& line) {
    std::vector<std::string> fields = lineFields(line);
    if (fields.empty()) return 0;
    const int row = count + 1;
    for (size_t column = 0; column < fields.size(); ++column) {
        table.set(row, static_cast<int>(column), std::move(fields[column]));
    }
    count = row;
    return row;
}

// Columns first (from 1) to first + count - 1 of a line, fewer at its end. Header files are
// single-byte Windows text, so a column is a byte.
std::string_view mid(std::string_view s, size_t first, size_t count) {
    if (first > s.size()) return {};
    return s.substr(first - 1, count);
}

// --- Sections ---------------------------------------------------------------------------------

void findTitles(HeaderData& h) {
    int32_t topo = -1;
    int32_t idf = -1;
    for (size_t i = 0; i < h.HLines.size(); ++i) {
        if (text::ifind(h.HLines[i], kTopoTitle) != std::string::npos)
            topo = static_cast<int32_t>(i);
        if (text::ifind(h.HLines[i], kIdfTitle) != std::string::npos) idf = static_cast<int32_t>(i);
    }
    if (idf < 0) raise(kOwnError, "IDF order im h-File nicht gefunden");
    // Without a topology title the section counts from the first line.
    h.TopoStart = std::max(topo, 0);
    h.IdfStart = idf;
}

void fillTopoTable(HeaderData& h) {
    for (int32_t i = h.TopoStart + 3; i <= h.IdfStart - 2; ++i) {
        const int row = appendRow(h.TopoTable, h.TopoCount, h.HLines[i]);
        if (row != 0 && h.TopoTable(row, 10) == "0") h.TopoBlockEnd = row;
    }
}

void fillIdfTable(HeaderData& h) {
    for (size_t i = h.IdfStart + 3; i < h.HLines.size(); ++i) {
        appendRow(h.IdfTable, h.IdfCount, h.HLines[i]);
    }
}

// --- Continuation files -----------------------------------------------------------------------

// The other ".h??" files of a ".h1" header continue its IDF-order section; their lines serve
// the dashed-run search only. They are read from the header's folder, never the current one.
void appendContinuationLines(HeaderData& h, const HeaderFile& file) {
    const fs::path folder = file.isopath.empty() ? fs::path(".") : fs::path(file.isopath);
    for (const std::string& name : wildcard::list(folder, file.IsoName + ".h??")) {
        if (text::endsWith(name, ".h1")) continue;
        const std::vector<std::string> lines = nonEmptyLines(files::readFile(folder / name));
        for (size_t i = h.IdfStart + 2; i < lines.size(); ++i) h.HLines.push_back(lines[i]);
    }
}

// --- Snapping to the IDF end points -----------------------------------------------------------

// A number read from a table field, or the error that reading it raises. Reading is done once
// per field and the outcome kept, so a field tried many times costs one reading, and a fault
// still shows where the field is first used.
struct Reading {
    double value = 0;
    std::shared_ptr<const Error> error;

    double get() const {
        if (error) throw *error;
        return value;
    }
};

template <typename Read>
Reading reading(Read read) {
    try {
        return {read(), nullptr};
    } catch (const Error& e) {
        return {0, std::make_shared<const Error>(e)};
    }
}

// An IDF end: its X, Y, Z in drawing units, the texts a snapped point takes, and those texts
// read back, as the next try reads the snapped point.
struct IdfEnd {
    Reading at[3];
    std::string text[3];
    Reading snapped[3];
};

IdfEnd idfEnd(const HeaderData& h, int i, int first, int32_t Unitfactor) {
    IdfEnd end;
    for (int n = 0; n < 3; ++n) {
        const std::string& field = h.IdfTable(i, first + n);
        end.at[n] = reading([&] { return toDrawingUnits(fieldNumber(field), Unitfactor, 80); });
        if (end.at[n].error) continue;
        end.text[n] = num::text(end.at[n].value);
        end.snapped[n] = reading([&] { return fieldNumber(end.text[n]); });
    }
    return end;
}

// A topology row's point as the tries see it, and the IDF end it was last moved onto.
struct TopoPoint {
    Reading at[3];
    const IdfEnd* snappedTo = nullptr;
};

// Whether the point moves onto the IDF end: the sums of the coordinates differ by less than
// 0.02. The coordinates are read in the order the fields are used.
bool snaps(const TopoPoint& point, const IdfEnd& end) {
    double d = 0;
    for (int n = 0; n < 3; ++n) {
        const double topo = point.at[n].get();
        d += topo - end.at[n].get();
    }
    return std::fabs(d) < 0.02;
}

void tryEnd(TopoPoint& point, const IdfEnd& end) {
    if (!snaps(point, end)) return;
    for (int n = 0; n < 3; ++n) point.at[n] = end.snapped[n];
    point.snappedTo = &end;
}

// The topology rows of one run and end, and the IDF ends that name them in the order they are
// tried: IDF rows in order, the first end before the second.
struct EndGroup {
    std::vector<int> rows;
    std::vector<const IdfEnd*> ends;
};

struct SnapTables {
    std::unordered_map<std::string, EndGroup> groups;
    std::vector<TopoPoint> points;
    std::vector<IdfEnd> ends;  // two per IDF row, read only where a group takes them
};

SnapTables snapTables(const HeaderData& h, int32_t Unitfactor) {
    SnapTables t;
    t.points.resize(static_cast<size_t>(h.TopoCount) + 1);
    for (int j = 1; j <= h.TopoCount; ++j) {
        t.groups[key({h.TopoTable(j, 1), h.TopoTable(j, 2)})].rows.push_back(j);
        for (int n = 0; n < 3; ++n) {
            t.points[j].at[n] = reading([&] { return fieldNumber(h.TopoTable(j, 3 + n)); });
        }
    }
    t.ends.resize(2 * static_cast<size_t>(h.IdfCount) + 2);
    for (int i = 1; i <= h.IdfCount; ++i) {
        for (int e = 0; e < 2; ++e) {
            auto group = t.groups.find(key({h.IdfTable(i, 7), h.IdfTable(i, 8 + e)}));
            if (group == t.groups.end()) continue;
            IdfEnd& end = t.ends[2 * i + e];
            end = idfEnd(h, i, 1 + 3 * e, Unitfactor);
            group->second.ends.push_back(&end);
        }
    }
    return t;
}

// Every try in the order of the row-by-row algorithm: IDF rows outer, topology rows inner. Taken
// when a field of a tried pair cannot be read (or is too large to add), so the fault raised is
// the first one met.
void snapInOrder(SnapTables& t) {
    std::vector<size_t> next(t.groups.size());
    std::vector<std::pair<const IdfEnd*, EndGroup*>> tries;
    for (auto& [k, group] : t.groups) {
        for (const IdfEnd* end : group.ends) tries.emplace_back(end, &group);
    }
    // An IDF row's first end before its second: the order of the ends in the table.
    std::sort(tries.begin(), tries.end());
    for (size_t a = 0; a < tries.size();) {
        const size_t row = static_cast<size_t>(tries[a].first - t.ends.data()) / 2;
        size_t b = a;
        while (b < tries.size() && static_cast<size_t>(tries[b].first - t.ends.data()) / 2 == row)
            ++b;
        std::vector<std::pair<int, const IdfEnd*>> pairs;  // topology row, end
        for (size_t k = a; k < b; ++k) {
            for (int j : tries[k].second->rows) pairs.emplace_back(j, tries[k].first);
        }
        std::stable_sort(pairs.begin(), pairs.end(),
                         [](const auto& x, const auto& y) { return x.first < y.first; });
        for (const auto& [j, end] : pairs) tryEnd(t.points[j], *end);
        a = b;
    }
}

double sum(const Reading (&at)[3]) {
    return at[0].value + at[1].value + at[2].value;
}
double size(const Reading (&at)[3]) {
    return std::fabs(at[0].value) + std::fabs(at[1].value) + std::fabs(at[2].value);
}

// Read without a fault, and small enough that sums of coordinates stay numbers.
bool readable(const Reading (&at)[3]) {
    return !at[0].error && !at[1].error && !at[2].error && std::isfinite(size(at));
}

bool allReadable(const SnapTables& t) {
    for (const auto& [k, group] : t.groups) {
        if (group.ends.empty()) continue;
        for (const IdfEnd* end : group.ends) {
            if (!readable(end->at) || !readable(end->snapped)) return false;
        }
        for (int j : group.rows) {
            if (!readable(t.points[j].at)) return false;
        }
    }
    return true;
}

// The tries of one group, each point on its own: a point's course depends only on where it
// is, and after a snap it is where the end put it, so the course from each end is followed
// once. The ends near enough are found by the sums of their coordinates, with a margin for
// rounding; the exact test decides.
class GroupSnap {
public:
    explicit GroupSnap(const EndGroup& group)
        : ends_(group.ends), lastFrom_(group.ends.size(), kUnknown), index_(sums(group.ends)) {
        for (const IdfEnd* end : ends_) largest_ = std::max(largest_, size(end->at));
    }

    // The last end the point moves onto, nullptr for none.
    const IdfEnd* last(const TopoPoint& point) {
        const size_t first = nextSnap(point, 0);
        return first == FirstInRange::npos ? nullptr : ends_[lastAfter(first)];
    }

private:
    static constexpr size_t kUnknown = FirstInRange::npos - 1;

    static std::vector<double> sums(const std::vector<const IdfEnd*>& ends) {
        std::vector<double> values;
        for (const IdfEnd* end : ends) values.push_back(sum(end->at));
        return values;
    }

    size_t nextSnap(const TopoPoint& point, size_t from) const {
        const double at = sum(point.at);
        const double margin = 0.02 + 1e-9 * (size(point.at) + largest_) + 1e-300;
        while (true) {
            const size_t k = index_.find(from, at - margin, at + margin);
            if (k == FirstInRange::npos || snaps(point, *ends_[k])) return k;
            from = k + 1;
        }
    }

    // The last end a point moves onto once it has moved onto end k.
    size_t lastAfter(size_t k) {
        std::vector<size_t> chain;
        while (lastFrom_[k] == kUnknown) {
            chain.push_back(k);
            TopoPoint there;
            for (int n = 0; n < 3; ++n) there.at[n] = ends_[k]->snapped[n];
            const size_t next = nextSnap(there, k + 1);
            if (next == FirstInRange::npos) {
                lastFrom_[k] = k;
                break;
            }
            k = next;
        }
        for (size_t c : chain) lastFrom_[c] = lastFrom_[k];
        return lastFrom_[k];
    }

    const std::vector<const IdfEnd*>& ends_;
    std::vector<size_t> lastFrom_;
    FirstInRange index_;
    double largest_ = 0;
};

void snapByGroup(SnapTables& t) {
    for (auto& [k, group] : t.groups) {
        if (group.ends.empty()) continue;
        GroupSnap snap(group);
        for (int j : group.rows) {
            if (const IdfEnd* end = snap.last(t.points[j])) t.points[j].snappedTo = end;
        }
    }
}

// Every IDF row against every topology row with its run and end identifiers, IDF rows outer
// and topology rows inner, each topology row tested for the first end and then the second, so
// a later IDF row overwrites an earlier one. The points move in numbers and reach the table at
// the end, also when a fault stops the snapping.
void snapToIdfEnds(HeaderData& h, int32_t Unitfactor) {
    SnapTables t = snapTables(h, Unitfactor);
    auto write = [&] {
        for (int j = 1; j <= h.TopoCount; ++j) {
            const IdfEnd* end = t.points[j].snappedTo;
            if (!end) continue;
            for (int n = 0; n < 3; ++n) h.TopoTable.set(j, 3 + n, end->text[n]);
        }
    };
    try {
        if (allReadable(t)) {
            snapByGroup(t);
        } else {
            snapInOrder(t);
        }
    } catch (const Error&) {
        write();
        throw;
    }
    write();
}

// --- Dashed runs and line ends ----------------------------------------------------------------

// The first row of the runs' part of the table as the later steps scan it; row 0 stays empty.
int firstScanRow(const HeaderData& h) {
    return std::max(h.TopoBlockEnd, 1);
}

// A line of the IDF-order section (continuations included) that mentions "Dash" names in its
// characters 80 to 87 the run whose rows are drawn dashed: they lose their points.
void markDashedRuns(HeaderData& h) {
    RowIndex byRun;
    for (int r = firstScanRow(h); r <= h.TopoCount; ++r) byRun[h.TopoTable(r, 1)].push_back(r);
    for (size_t i = h.IdfStart; i < h.HLines.size(); ++i) {
        const std::string& line = h.HLines[i];
        if (text::ifind(line, "Dash") == std::string::npos) continue;
        for (int r : rowsOf(byRun, text::trim(mid(line, 80, 8)))) {
            h.TopoTable.set(r, 0, "Dash");
            for (int column = 3; column <= 5; ++column) h.TopoTable.set(r, column, "0.00");
        }
    }
}

// What a dashed free end stands for: the component on the other side of the connection of the
// same dashed run. Of all matching pairs (run row, component) the last in table order wins.
class DashReplacement {
public:
    explicit DashReplacement(const HeaderData& h) : h_(h) {
        for (int r = firstScanRow(h); r <= h.TopoCount; ++r) {
            runRows_[runKey(r)].push_back(r);
            if (h.TopoTable(r, 0) != "Dash") lastComponentAt_[h.TopoTable(r, 6)] = r;
        }
    }

    // The row that replaces dashed free end r, 0 when there is none.
    int of(int r) const {
        const std::vector<int>& rows = rowsOf(runRows_, runKey(r));
        for (auto j = rows.rbegin(); j != rows.rend(); ++j) {
            const std::string& connection = h_.TopoTable(*j, 6);
            if (connection == "-1") continue;
            auto component = lastComponentAt_.find(connection);
            if (component != lastComponentAt_.end()) return component->second;
        }
        return 0;
    }

private:
    std::string runKey(int r) const {
        return key({h_.TopoTable(r, 0), h_.TopoTable(r, 1), h_.TopoTable(r, 9)});
    }

    const HeaderData& h_;
    RowIndex runRows_;
    std::unordered_map<std::string, int> lastComponentAt_;
};

bool sameEnd(const RunTable& table, int a, int b) {
    for (int column = 1; column <= 3; ++column) {
        if (table(a, column) != table(b, column)) return false;
    }
    return true;
}

// One row per free end (connection "-1"), in topology order; a dashed end is replaced by the
// component it leads to or dropped, and an end equal to the one before it is dropped.
void collectLineEnds(HeaderData& h) {
    const DashReplacement replacement(h);
    h.LineEndCount = 0;
    for (int r = firstScanRow(h); r <= h.TopoCount; ++r) {
        if (h.TopoTable(r, 6) != "-1") continue;
        const int n = h.LineEndCount + 1;
        h.LineEndTable.clearRow(n);
        const int source = h.TopoTable(r, 0) == "Dash" ? replacement.of(r) : r;
        if (source != 0) h.LineEndTable.copyColumns(n, h.TopoTable, source, 0, 19);
        const bool dropped =
            h.LineEndTable(n, 0).empty() || (n >= 2 && sameEnd(h.LineEndTable, n, n - 1));
        if (dropped) {
            h.LineEndTable.clearRow(n);
        } else {
            h.LineEndCount = n;
        }
    }
}

// --- Dump -------------------------------------------------------------------------------------

std::vector<std::string> topoDump(const HeaderData& h) {
    const RunTable& t = h.TopoTable;
    std::vector<std::string> lines{"", "======== Begin Topo Line =========="};
    lines.reserve(h.TopoCount + 3);
    for (int r = 1; r <= h.TopoCount; ++r) {
        lines.push_back(
            LOGModule::printZones({t(r, 0), t(r, 1), t(r, 2), t(r, 3), t(r, 4),
                                   t(r, 5) + "  " + t(r, 6), t(r, 7), t(r, 8), t(r, 9), t(r, 10)}));
    }
    lines.push_back("======== End Topo Line ============");
    // The header's text is single-byte Windows text; the log is UTF-8.
    for (std::string& line : lines) line = text::ansiToUtf8(line);
    return lines;
}

void reset(HeaderData& h) {
    h.HLines.clear();
    h.TopoStart = 0;
    h.IdfStart = 0;
    h.TopoTable.clear();
    h.IdfTable.clear();
    h.LineEndTable.clear();
    h.TopoCount = 0;
    h.IdfCount = 0;
    h.LineEndCount = 0;
    h.TopoBlockEnd = 0;
}

}  // namespace

void Hfile_zerlegen(HeaderData& header, const HeaderFile& file, int32_t Unitfactor,
                    const LogBlock& log) {
    reset(header);
    header.HLines = nonEmptyLines(header.HText);
    findTitles(header);
    fillTopoTable(header);
    fillIdfTable(header);
    if (text::endsWith(file.HFile, ".h1")) appendContinuationLines(header, file);
    snapToIdfEnds(header, Unitfactor);
    markDashedRuns(header);
    collectLineEnds(header);
    if (log) log(topoDump(header));
}

void Hfile_zerlegen() {
    RunState& state = Variablen();
    Hfile_zerlegen(state, {state.HFile, state.isopath, state.IsoName}, state.Unitfactor,
                   [&state](const std::vector<std::string>& lines) {
                       LOGModule::appendLines(state.logfile, lines);
                   });
}

}  // namespace vtl

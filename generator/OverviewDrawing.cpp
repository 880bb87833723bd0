#include "OverviewDrawing.h"

#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FileOperationModule.h"
#include "INIFileModule.h"
#include "Variablen.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "mstnmacro.h"

namespace vtl {

namespace {

void send(const std::string& keyin) {
    if (!MSTNApp) throw Error(91, "", "Object variable or With block variable not set");
    MSTNApp->MbeSendCommand(keyin);
}

std::string keyOf(const RunState& s, int row) { return s.TopoTable(row, 0) + s.TopoTable(row, 1); }

std::string pointText(const RunState& s, int row) {
    return "xy=" + s.TopoTable(row, 3) + "," + s.TopoTable(row, 4) + "," + s.TopoTable(row, 5);
}

// A kind is suppressed when it occurs anywhere in NotUsedComponent (exact case); an empty
// NotUsedComponent suppresses nothing.
bool passes(const RunState& s, int row) {
    const std::string& kind = s.TopoTable(row, 0);
    bool unused = !s.NotUsedComponent.empty() && s.NotUsedComponent.find(kind) != std::string::npos;
    return !unused && kind != "Dash" && s.TopoTable(row, 3) != "0.00" && s.TopoTable(row, 4) != "0.00";
}

// The leading-block points of every key, in row order.
std::map<std::string, std::vector<std::string>> leadingPoints(const RunState& s) {
    std::map<std::string, std::vector<std::string>> points;
    for (int row = 1; row <= s.TopoBlockEnd; ++row) points[keyOf(s, row)].push_back(pointText(s, row));
    return points;
}

void sendAll(const std::vector<std::string>& keyins) {
    for (const std::string& keyin : keyins) send(keyin);
}

// Runs are grouped on the rows actually drawn: a filtered row never joins two runs into one line
// string, and the first drawn row always starts its run.
void drawRuns(const RunState& s) {
    const auto leading = leadingPoints(s);
    const std::vector<std::string> none;
    auto pointsOf = [&](const std::string& key) -> const std::vector<std::string>& {
        auto it = leading.find(key);
        return it == leading.end() ? none : it->second;
    };
    std::optional<std::string> previous, beforePrevious;
    for (int row = s.TopoBlockEnd + 1; row <= s.TopoCount; ++row) {
        if (!passes(s, row)) continue;
        const std::string key = keyOf(s, row);
        if (key != previous) {
            send("reset;place lstring");
            send(pointText(s, row));
            sendAll(pointsOf(key));
        } else {
            if (key == beforePrevious) {
                send("reset");
                sendAll(pointsOf(key));
            }
            send(pointText(s, row));
        }
        beforePrevious = previous;
        previous = key;
    }
}

struct Extent {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

Extent extentOf(const RunState& s) {
    Extent e;
    bool first = true;
    for (int row = 1; row <= s.TopoCount; ++row) {
        if (!passes(s, row)) continue;
        double x = num::leadingNumber(s.TopoTable(row, 3));
        double y = num::leadingNumber(s.TopoTable(row, 4));
        if (first) {
            e = Extent{x, x, y, y};
            first = false;
            continue;
        }
        if (x < e.minX) e.minX = x; else if (x > e.maxX) e.maxX = x;
        if (y < e.minY) e.minY = y; else if (y > e.maxY) e.maxY = y;
    }
    return e;
}

// A number as the whole text stands (blanks around it allowed); 0 for anything else.
double numericOrZero(const std::string& text) {
    std::string t = text::trim(text);
    std::string_view v = t;
    if (!v.empty() && v[0] == '+') v.remove_prefix(1);
    double value = 0;
    auto result = std::from_chars(v.data(), v.data() + v.size(), value);
    if (v.empty() || result.ec != std::errc() || result.ptr != v.data() + v.size()) return 0;
    return value;
}

std::string cellSetting(const std::string& key) {
    return text::trim(INIFileModule::ReadINI(Variablen().inifile, "Cell", key, "", true, false));
}

void placeMarkerCell(const RunState& s) {
    const Extent e = extentOf(s);
    const std::string library = cellSetting("CELFile");
    const std::string cell = cellSetting("CellName");
    const double scale = numericOrZero(cellSetting("ScaleFactor"));
    const double minLength = numericOrZero(cellSetting("MinLineLength"));
    const double diagonal = std::hypot(e.maxX - e.minX, e.maxY - e.minY);
    if (!FileOperationModule::IsFileExists(library, 0) || cell.empty() || !(diagonal < minLength)) {
        return;
    }
    send("RESET;ATTACH LIBRARY " + library + ";");
    send("ACTIVE CELL " + cell + ";");
    if (scale != 0) send("as=" + num::text(scale) + ";");
    send("xy=" + num::text((e.minX + e.maxX) / 2) + "," + num::text((e.minY + e.maxY) / 2) +
         ";RESET;");
}

}  // namespace

void leitung_einzeichnen(bool withCell) {
    RunState& s = Variablen();
    try {
        send("fit all;dx=0");
        drawRuns(s);
        if (withCell) placeMarkerCell(s);
        send("reset;select;fit all;dx=0;reset;compress design;file");
    } catch (...) {
        s.StepError = true;
        throw passOnMethod(toError(std::current_exception()), "leitung_einzeichnen");
    }
}

}  // namespace vtl

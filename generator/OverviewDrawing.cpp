#include "OverviewDrawing.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "StepSupport.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "common/mstnmacro.h"
#include "core/Error.h"
#include "core/Numbers.h"

namespace vtl {

namespace {

std::string keyOf(const RunState& s, int row) {
    return s.TopoTable(row, 0) + s.TopoTable(row, 1);
}

std::string pointText(const RunState& s, int row) {
    using StepSupport::keyinCoordinate;
    return "xy=" + keyinCoordinate(s.TopoTable, row, 3) + "," +
           keyinCoordinate(s.TopoTable, row, 4) + "," + keyinCoordinate(s.TopoTable, row, 5);
}

// A kind is suppressed when it occurs anywhere in NotUsedComponent (exact case); an empty
// NotUsedComponent suppresses nothing.
bool passes(const RunState& s, int row) {
    const std::string& kind = s.TopoTable(row, 0);
    bool unused = !s.NotUsedComponent.empty() && s.NotUsedComponent.find(kind) != std::string::npos;
    return !unused && kind != "Dash" && s.TopoTable(row, 3) != "0.00" &&
           s.TopoTable(row, 4) != "0.00";
}

// The leading-block points of every key, in row order.
std::map<std::string, std::vector<std::string>> leadingPoints(const RunState& s) {
    std::map<std::string, std::vector<std::string>> points;
    for (int row = 1; row <= s.TopoBlockEnd; ++row) {
        points[keyOf(s, row)].push_back(pointText(s, row));
    }
    return points;
}

void sendAll(const std::vector<std::string>& keyins) {
    for (const std::string& keyin : keyins) sendKeyin(keyin);
}

// Runs are grouped on the rows actually drawn: a filtered row never joins two runs into one line
// string, and the first drawn row always starts its run. A filtered row also breaks the line
// string it falls into, since its point is not known: the next row of the run is drawn as a
// further row, from the leading points to its own point.
void drawRuns(const RunState& s) {
    const auto leading = leadingPoints(s);
    const std::vector<std::string> none;
    auto pointsOf = [&](const std::string& key) -> const std::vector<std::string>& {
        auto it = leading.find(key);
        return it == leading.end() ? none : it->second;
    };
    std::optional<std::string> previous, beforePrevious;
    bool broken = false;
    for (int row = s.TopoBlockEnd + 1; row <= s.TopoCount; ++row) {
        if (!passes(s, row)) {
            broken = true;
            continue;
        }
        const std::string key = keyOf(s, row);
        if (key != previous) {
            sendKeyin("reset;place lstring");
            sendKeyin(pointText(s, row));
            sendAll(pointsOf(key));
        } else {
            if (broken || key == beforePrevious) {
                sendKeyin("reset");
                sendAll(pointsOf(key));
            }
            sendKeyin(pointText(s, row));
        }
        beforePrevious = previous;
        previous = key;
        broken = false;
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
        e.minX = std::min(e.minX, x);
        e.maxX = std::max(e.maxX, x);
        e.minY = std::min(e.minY, y);
        e.maxY = std::max(e.maxY, y);
    }
    return e;
}

// A setting that is a number as its whole text stands ("1e3" too); 0 for anything else, also
// for a number beyond the range of a double.
double numericOrZero(const std::string& text) {
    try {
        return num::parseNumber(text).value_or(0);
    } catch (const Error&) {
        return 0;
    }
}

// A value of the [Cell] settings, trimmed.
std::string cellSetting(const std::string& key) {
    return INIFileModule::ReadINI(Variablen().inifile, "Cell", key, "");
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
    sendKeyin("RESET;ATTACH LIBRARY " + library + ";");
    sendKeyin("ACTIVE CELL " + cell + ";");
    if (scale != 0) sendKeyin("as=" + num::text(scale) + ";");
    sendKeyin("xy=" + num::text((e.minX + e.maxX) / 2) + "," + num::text((e.minY + e.maxY) / 2) +
              ";RESET;");
}

}  // namespace

void leitung_einzeichnen(bool withCell) {
    RunState& s = Variablen();
    try {
        sendKeyinsWithoutWaiting([&] {
            sendKeyin("fit all;dx=0");
            drawRuns(s);
            if (withCell) placeMarkerCell(s);
            sendKeyin("reset;select;fit all;dx=0;reset;compress design;file");
        });
    } catch (...) {
        s.StepError = true;
        throw passOnMethod(toError(std::current_exception()), "leitung_einzeichnen");
    }
}

}  // namespace vtl

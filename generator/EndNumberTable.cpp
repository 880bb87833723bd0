#include "EndNumberTable.h"

#include <cmath>

#include "LOGModule.h"
#include "RunStep.h"
#include "TextKeyins.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl {

namespace {

std::string tableNumber(const std::string& value, double factor, int16_t digits) {
    const double rounded = num::RoundValue(num::leadingNumber(value) * factor, digits);
    if (!std::isfinite(rounded)) throw Error(err::Overflow, "", "Overflow");
    return num::text(rounded);
}

// The y of row r: the first row's y plus r - 1 steps.
std::string rowY(const RunState& s, int r) {
    return num::text(num::leadingNumber(s.TABlineheight) +
                     (r - 1) * num::leadingNumber(s.TABlinespacing));
}

void drawTable(const RunState& s) {
    sendKeyin("set parseall off;file");
    sendKeyin(textSettingsKeyin({s.TABtextJustification, s.TABtextco, s.TABtextlv, s.TABtextwt,
                                 s.TABtextlc, s.TABtexttx, s.TABtexttw, s.TABtextft}));
    const RunTable& t = s.LineEndTable;
    for (int r = 1; r <= s.LineEndCount; ++r) {
        const std::string y = rowY(s, r);
        sendKeyin(placeTextKeyin(std::to_string(r), s.TABnumberpoint, y));
        sendKeyin(placeTextKeyin(text::trim(t(r, 20)), s.TABlabelpoint, y));
        sendKeyin(placeTextKeyin(text::trim(t(r, 16) + "  " + t(r, 17)), s.TABXpoint, y));
        sendKeyin(placeTextKeyin(text::trim(t(r, 18) + "  " + t(r, 19)), s.TABYpoint, y));
        sendKeyin(placeTextKeyin(text::trim(t(r, 5)), s.TABZpoint, y));
    }
    sendKeyin("reset;select;reset");
}

// MicroStation keeps the compiled form of "name.bas" as "name.ba" beside it; it goes before each
// run. A macro of another name has no such twin, and its name minus a character may be another
// user's file, so nothing is deleted for it.
void deleteCompiledTwin(const std::string& macro, const std::string& logfile) {
    if (!text::endsWith(text::lower(macro), ".bas")) return;
    const std::string twin = macro.substr(0, macro.size() - 1);
    int32_t taskId = 0;
    FileOperationModule::ExecA("del " + FileOperationModule::quotedForCommand(twin), logfile, 0, "",
                               taskId, true);
}

void runCoverSheetMacro(const RunState& s) {
    if (!FileOperationModule::IsFileExists(s.ICSmacro, 0)) {
        raise(kOwnError, "ICSmacro nicht vorhanden, siehe INI-File - " + s.ICSmacro);
    }
    deleteCompiledTwin(s.ICSmacro, s.logfile);
    sendKeyin("rf=" + s.isopath + s.IsoName + ".i01,i01;reset");
    sendKeyin("macro " + s.ICSmacro);
    sendKeyin("REFERENCE DETACH i01");
    sendKeyin("fit all;dx=0");
}

}  // namespace

void tableValues(RunTable& t, int32_t LineEndCount, double TABfactor, int16_t TABround) {
    for (int r = 1; r <= LineEndCount; ++r) {
        if (!t(r, 16).empty() && !t(r, 18).empty()) {
            for (int column : {17, 19, 5}) {
                t.set(r, column, tableNumber(t(r, column), TABfactor, TABround));
            }
        } else {
            t.set(r, 16, kNoGridLine);
            t.set(r, 18, kNoGridLine);
            for (int column : {17, 19, 5}) t.set(r, column, "");
        }
    }
}

std::vector<std::string> endNumberDump(const RunTable& t, int32_t LineEndCount) {
    std::vector<std::string> lines{"======== Begin Endnumber ==========", ""};
    for (int r = 1; r <= LineEndCount; ++r) {
        const std::string line = LOGModule::printZones(
            {num::printForm(r), t(r, 3), t(r, 4), t(r, 5), "   Grid: " + t(r, 16), t(r, 17),
             t(r, 18), t(r, 19), t(r, 20), "Bauteil: " + t(r, 0), t(r, 1)});
        lines.push_back(text::ansiToUtf8(line));
    }
    lines.push_back("======== End Endnumber ============");
    return lines;
}

void placeTabelle() {
    runStep("placeTabelle", [] {
        RunState& s = Variablen();
        tableValues(s.LineEndTable, s.LineEndCount, s.TABfactor, s.TABround);
        LOGModule::appendLines(s.logfile, endNumberDump(s.LineEndTable, s.LineEndCount));
        drawTable(s);
        runCoverSheetMacro(s);
    });
}

}  // namespace vtl

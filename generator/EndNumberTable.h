// The end-number table, the last drawing step of the cover sheet: one row of texts per free pipe
// end (its number, IDF text, offsets from the nearest grid lines and elevation) drawn into the
// cover sheet left open in MicroStation, then the user's cover-sheet macro run on it with the
// first iso drawing attached.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "RunTables.h"

namespace vtl {

// What a grid column shows for an end that lacks a grid line in either direction.
inline constexpr char kNoGridLine[] = "NO GRIDLINE";

// Rows 1 to LineEndCount in their table form. An end with grid lines in both directions gets its
// offsets (columns 17, 19) and elevation (column 5) times TABfactor, rounded to TABround decimal
// places with halves going up; any other end shows "NO GRIDLINE" in both grid columns (16, 18)
// and nothing for the offsets and the elevation.
void tableValues(RunTable& LineEndTable, int32_t LineEndCount, double TABfactor, int16_t TABround);

// The "Endnumber" block of the run log.
std::vector<std::string> endNumberDump(const RunTable& LineEndTable, int32_t LineEndCount);

// The step on the run state: table values, log block, the texts in the open cover sheet, then
// the macro ICSmacro (error 1 "ICSmacro nicht vorhanden, siehe INI-File - <ICSmacro>" when it is
// missing) with isopath & IsoName & ".i01" attached as "i01". A failure sets StepError and goes on
// with "placeTabelle" in its source.
void placeTabelle();

}  // namespace vtl

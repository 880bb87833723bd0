// The project's grid file: its grid lines read into GridTable, and for every free pipe end the
// nearest grid line of each direction with the end's signed offset from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "GridData.h"
#include "LOGModule.h"
#include "RunTables.h"

namespace vtl {

// Grid files are single-byte Windows (ANSI) text, read byte for byte like the header file: a line
// is a grid line when it is longer than 50 characters and its first field is "3" (constant X) or
// "2" (constant Y). Its fields go into the next row, names as they stand and numbers divided by
// Unitfactor * 80 in the one text form of numbers, so equal numbers give equal texts. A grid line
// of more than 11 fields, or a 10000th one, is error 9.
void parseGridText(GridData& grid, std::string_view text, int32_t Unitfactor);

// The "Gridlines" block of the run log: columns 0 to 8 of each row in print zones.
std::vector<std::string> gridDump(const GridData& grid);

// The name of the first grid line whose two end points differ in the coordinate its kind keeps
// constant, "" when every line runs parallel to its axis.
std::string firstSkewGridLine(const GridData& grid);

// Reads Gridfile (error 1 "Gridfile not found  -  <file>" when it is missing), writes the dump to
// log when one is given and then checks the lines: error 1 "Gridlines not parallel - GridLine:
// <name>" for the first that is not.
void Gridfile_zerlegen(GridData& grid, const std::string& Gridfile, int32_t Unitfactor,
                       const LogBlock& log);
// The same on the run state and its log; a failure sets StepError and goes on with
// "Gridfile_zerlegen" in its source.
void Gridfile_zerlegen();

// Clears columns 15 to 20 of rows 1 to LineEndCount, then gives each end the nearest kind "3"
// line (columns 16, 17: name, X of the end minus X of the line) and the nearest kind "2" line
// (columns 18, 19) among those whose extent, widened by gridextension at both ends, holds the
// end. On equal distances the earlier line stays; without a line in range the columns stay empty.
void find_endpoint_diff(RunTable& LineEndTable, int32_t LineEndCount, const GridData& grid,
                        double gridextension);
// The same on the run state; a failure sets StepError and goes on with "find_endpoint_diff" in
// its source.
void find_endpoint_diff();

}  // namespace vtl

// The ISOGEN intermediate data file (".idf") of the header file: its joined lines, and for every
// free pipe end the text of the IDF text record whose coordinates lie at that end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "IdfData.h"
#include "LOGModule.h"
#include "RunTables.h"

namespace vtl {

// IDF files are single-byte Windows (ANSI) text, read byte for byte. A line in which "  -1 "
// starts within its first seven characters continues the line before it: its characters from
// the seventh on are appended, trailing blanks removed on both sides. The last origin record
// ("300" and at least 12 fields) gives the origin, its values times 100000. More than 20000 joined
// lines are error 9. idf is set up afresh.
void parseIdfText(IdfData& idf, std::string_view text);

// The "IDFFile" block of the run log: the joined lines as they stand.
std::vector<std::string> idfDump(const IdfData& idf);

// What the matching reads of the configuration.
struct IdfMatchSettings {
    int32_t Unitfactor = 0;
    double TABaccuracy = 0;
    double DVCS_X = 0;
    double DVCS_Y = 0;
    double DVCS_Z = 0;
};

// For each end of rows 1 to LineEndCount: every text record (" -30 " or " -31 " within its first
// six characters) whose window of six lines before and after, within the file, holds a
// coordinate record (at least 12 fields, the first not beginning with "-") with a point at the
// end, where a point lies at the end when on every axis |(F + origin) / (Unitfactor * 100) - end +
// DVCS| < TABaccuracy. Column 20 takes the text of the last match in the order text record,
// window line, point: the record without its first six characters, "$" as two blanks. An end
// without a match keeps its column 20. A coordinate that is not a number is error 13.
void matchIdfTexts(RunTable& LineEndTable, int32_t LineEndCount, const IdfData& idf,
                   const IdfMatchSettings& settings);

// Reads IdfFile (error 1 "IDF File not found  -  <file>" when it is missing), writes the dump to
// log when one is given and matches the ends.
void searchidf(IdfData& idf, const std::string& IdfFile, RunTable& LineEndTable,
               int32_t LineEndCount, const IdfMatchSettings& settings, const LogBlock& log);
// The same on the run state, for isopath & IsoName & ".idf"; a failure sets StepError and goes on
// with "searchidf" in its source.
void searchidf();

}  // namespace vtl

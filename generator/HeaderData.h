// The run state of one ISOGEN header file: its text, lines and the three run tables. The file's
// name, folder and base name (HFile, isopath, IsoName) are values of the run state beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "RunTables.h"

namespace vtl {

struct HeaderData {
    // The whole header file, each line followed by a line feed.
    std::string HText;

    // The non-empty lines of HText from index 0, then the lines taken from continuation files.
    std::vector<std::string> HLines;
    // Indexes into HLines of the topology and the IDF-order section titles.
    int32_t TopoStart = 0;
    int32_t IdfStart = 0;

    // The pipe points in topology order, rows 1 to TopoCount.
    RunTable TopoTable;
    int32_t TopoCount = 0;
    // The last row of the leading block (column 10 "0"); 0 without one.
    int32_t TopoBlockEnd = 0;
    // The component end points in IDF order, rows 1 to IdfCount.
    RunTable IdfTable;
    int32_t IdfCount = 0;
    // The free pipe ends in topology order, rows 1 to LineEndCount.
    RunTable LineEndTable;
    int32_t LineEndCount = 0;
};

}  // namespace vtl

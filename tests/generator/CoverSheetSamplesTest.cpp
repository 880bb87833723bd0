// The sample project's grid file and IDF files give the end-number table the demo draws: every
// free pipe end of both pipelines with its grid lines, offsets, elevation and IDF text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/EndNumberTable.h"
#include "generator/GridLines.h"
#include "generator/Hfile_zerlegen.h"
#include "generator/IdfMatching.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using Lines = std::vector<std::string>;

const std::string kProject = VTL_SAMPLES_DIR "/project/";

// The table of one sample header file with the sample configuration's settings.
std::vector<Lines> sampleTable(const std::string& header, const std::string& name) {
    HeaderData h;
    h.HText = test::readFile(kProject + header);
    Hfile_zerlegen(h, {kProject + header, kProject, name}, 1000, {});
    GridData grid;
    Gridfile_zerlegen(grid, kProject + "iso/FW_project.dat", 1000, {});
    find_endpoint_diff(h.LineEndTable, h.LineEndCount, grid, 999999999999999);
    IdfData idf;
    searchidf(idf, kProject + name + ".idf", h.LineEndTable, h.LineEndCount, {1000, 0.01, 0, 0, 0},
              {});
    tableValues(h.LineEndTable, h.LineEndCount, 1, 2);
    std::vector<Lines> rows;
    for (int r = 1; r <= h.LineEndCount; ++r) {
        const RunTable& t = h.LineEndTable;
        rows.push_back({t(r, 1), t(r, 16), t(r, 17), t(r, 18), t(r, 19), t(r, 5), t(r, 20)});
    }
    return rows;
}

TEST(CoverSheetSamplesTest, PipelineP1001) {
    EXPECT_EQ(
        sampleTable("P1001.h", "P1001"),
        (std::vector<Lines>{
            {"R0001", "A", "1.24", "1", "2.61", "3.1", "FLANGE WN 150 A1B  FROM PUMP P-101"},
            {"R0011", "D", "-2.26", "3", "-0.89", "0.45", "FLANGE WN 100 A1B  TO VESSEL V-201"},
            {"R0016", "E", "2.24", "4", "-0.89", "3.1", "CONTINUED ON  P1001 SHEET 2"},
        }));
}

TEST(CoverSheetSamplesTest, PipelineP2002) {
    EXPECT_EQ(sampleTable("P2002.h1", "P2002"),
              (std::vector<Lines>{
                  {"R0101", "A", "1.24", "1", "2.61", "1.3", "FLANGE SO 150 B2C  FROM HEADER H-01"},
                  {"R0112", "E", "-2.26", "2", "0.61", "6.6", "DRAIN TO TRAP  ST-2002"},
              }));
}

}  // namespace
}  // namespace vtl

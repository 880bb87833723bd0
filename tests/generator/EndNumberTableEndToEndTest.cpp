// The end-number table end to end: the main window runs the sample header files with the
// cover-sheet option against the stand-in MicroStation, and GDAL reads each cover sheet back: one
// text per table cell in the table's symbology at its column's x and its row's y, the headings the
// sample's cover-sheet macro adds, and no reference left attached; the run log holds the grid,
// IDF and table blocks of each header file. The test starts and kills processes named
// ustation.exe, so it holds the shared lock.
#include <algorithm>

#include "RunDriverTestFakes.h"
#include "SampleRunFixture.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"
#include "generator/DefaultRunSteps.h"
#include "standins/dgn/GdalTools.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using test::OgrFeature;

// A text of the table: what it says and where the key-in put it.
struct Cell {
    std::string text;
    double x = 0, y = 0;
    bool operator==(const Cell&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Cell& c) {
    return out << "\"" << c.text << "\" at " << c.x << "," << c.y;
}

// The sample's table: columns at x 15, 30, 130, 165 and 200, rows from y 250 down by 6.
std::vector<Cell> row(double y, const std::vector<std::string>& texts) {
    const double columns[] = {15, 30, 130, 165, 200};
    std::vector<Cell> cells;
    for (size_t c = 0; c < texts.size(); ++c) cells.push_back({texts[c], columns[c], y});
    return cells;
}

std::vector<Cell> rows(const std::vector<std::vector<std::string>>& table) {
    std::vector<Cell> cells;
    double y = 250;
    for (const std::vector<std::string>& texts : table) {
        const std::vector<Cell> r = row(y, texts);
        cells.insert(cells.end(), r.begin(), r.end());
        y -= 6;
    }
    return cells;
}

class EndNumberTableEndToEnd : public test::SampleRunFixture {
protected:
    void SetUp() override {
        test::SampleRunFixture::SetUp();
        if (IsSkipped()) return;
        options("0", "1", "0", "0");
    }

    // The texts of the cover sheet on the table's level in a colour, with their justification
    // point: the table's texts are left-centre justified, and GDAL gives a text's lower left
    // corner, half the text's height (3) below.
    std::vector<Cell> textsOf(const fs::path& sheet, const std::string& color) const {
        std::vector<Cell> cells;
        for (const OgrFeature& t : test::ofType(test::ogrFeatures(sheet), 17)) {
            if (t.field("Level") != setting("IsoCoverSheet", "TABtextlv") ||
                t.field("ColorIndex") != color) {
                continue;
            }
            EXPECT_EQ(t.field("Weight"), setting("IsoCoverSheet", "TABtextwt")) << t.geometry;
            EXPECT_EQ(t.field("Style"), setting("IsoCoverSheet", "TABtextlc")) << t.geometry;
            const std::vector<double> xy = t.coordinates();
            cells.push_back({t.field("Text"), xy.at(0), xy.at(1) + 1.5});
        }
        return cells;
    }

    DefaultRunSteps programSteps;
};

void expectCells(const std::vector<Cell>& found, const std::vector<Cell>& expected) {
    ASSERT_EQ(found.size(), expected.size());
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].text, expected[i].text);
        EXPECT_NEAR(found[i].x, expected[i].x, 1e-6) << found[i];
        EXPECT_NEAR(found[i].y, expected[i].y, 1e-6) << found[i];
    }
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(EndNumberTableEndToEnd, EachCoverSheetCarriesItsPipelinesTableAndTheMacrosHeadings) {
    runFromTheWindow(programSteps, {"P1001.h", "P2002.h1"});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Vistrel  completed successful"});
    const std::string log = test::readFile(logfile());
    EXPECT_EQ(test::conclusionEntries(log), std::vector<std::string>{"# no errors occured"});
    const std::string journal = test::readFile(home.path() / "ustation-journal.log");
    EXPECT_EQ(journal.find("UNKNOWN"), std::string::npos);

    // Worked out by hand from the sample header, grid and IDF files (TABround 2, TABfactor 1).
    const std::vector<std::pair<std::string, std::vector<Cell>>> sheets = {
        {"P1001", rows({{"1", "FLANGE WN 150 A1B  FROM PUMP P-101", "A  1.24", "1  2.61", "3.1"},
                        {"2", "FLANGE WN 100 A1B  TO VESSEL V-201", "D  -2.26", "3  -0.89", "0.45"},
                        {"3", "CONTINUED ON  P1001 SHEET 2", "E  2.24", "4  -0.89", "3.1"}})},
        {"P2002", rows({{"1", "FLANGE SO 150 B2C  FROM HEADER H-01", "A  1.24", "1  2.61", "1.3"},
                        {"2", "DRAIN TO TRAP  ST-2002", "E  -2.26", "2  0.61", "6.6"}})},
    };
    const std::vector<Cell> headings =
        row(258, {"No", "Connect to", "Delta X", "Delta Y", "Elevation"});
    for (const auto& [name, table] : sheets) {
        SCOPED_TRACE(name);
        const fs::path sheet = project(name + ".ics");
        expectCells(textsOf(sheet, setting("IsoCoverSheet", "TABtextco")), table);
        // The macro ran with the first iso drawing attached, which is gone again.
        expectCells(textsOf(sheet, "4"), headings);
        EXPECT_NE(journal.find("note attached " + project(name + ".i01").string() + " as i01"),
                  std::string::npos);
        EXPECT_TRUE(dgn::references(dgn::DesignFile::open(sheet)).empty());
    }
    for (const char* block : {"Gridlines", "IDFFile", "Endnumber"}) {
        EXPECT_EQ(count(log, std::string("======== Begin ") + block + " =========="), 2u) << block;
        EXPECT_EQ(count(log, std::string("======== End ") + block + " ============"), 2u) << block;
    }
    EXPECT_NE(log.find("\r\n  -31 CONTINUED ON$P1001 SHEET 2\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vtl

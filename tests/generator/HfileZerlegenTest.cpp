#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <random>

#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "generator/Hfile_zerlegen.h"
#include "generator/Variablen.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A topology line of eleven fields: columns 0 to 10.
std::string topo(const std::string& kind, const std::string& run, const std::string& end,
                 const std::string& xyz, const std::string& conn, const std::string& group = "G1",
                 const std::string& block = "1") {
    return kind + "  " + run + "  " + end + "   " + xyz + "   " + conn + "  150 A1B  " + group +
           "  " + block;
}

// An IDF-order line of ten fields: kind, two ends in header units, run and end identifiers.
std::string idf(const std::string& run, const std::string& e1, const std::string& xyz1,
                const std::string& e2, const std::string& xyz2) {
    return "PIPE  " + xyz1 + "  " + xyz2 + "  " + run + "  " + e1 + "  " + e2;
}

// A line that marks a run dashed: its identifier in characters 80 to 87.
std::string dashLine(const std::string& id) {
    std::string line = "DASH";
    line.resize(79, ' ');
    return line + id;
}

const std::string kHead =
    "ISOGEN HEADER\nDesign file data sorted by topo\nKIND RUN END\n---- --- ---\n";
const std::string kMiddle = "END OF TOPOLOGY\nDesign file data in IDF order\nKIND X1 Y1\n-- --\n";

std::string header(const std::vector<std::string>& topoLines,
                   const std::vector<std::string>& idfLines) {
    std::string text = kHead;
    for (const std::string& line : topoLines) text += line + "\n";
    text += kMiddle;
    for (const std::string& line : idfLines) text += line + "\n";
    return text;
}

HeaderData parse(const std::string& text, const HeaderFile& file = {"/none/a.h", "/none/", "a"},
                 int32_t unitfactor = 1000, const LogBlock& log = {}) {
    HeaderData h;
    h.HText = text;
    Hfile_zerlegen(h, file, unitfactor, log);
    return h;
}

Error parseError(const std::string& text, int32_t unitfactor = 1000) {
    try {
        parse(text, {"/none/a.h", "/none/", "a"}, unitfactor);
    } catch (const Error& e) {
        return e;
    }
    return Error(0, "", "no error");
}

std::vector<std::string> row(const RunTable& table, int r, int last = 10) {
    std::vector<std::string> values;
    for (int column = 0; column <= last; ++column) values.push_back(table(r, column));
    return values;
}

// --- Lines, titles and fields -------------------------------------------------------------------

TEST(HfileZerlegenTest, EmptyLinesAreNotCountedSoSectionOffsetsSkipThem) {
    const std::string text = "\nHEAD\n\nDesign file data sorted by topo\n\ncols\nrule\n\n" +
                             topo("PIPE", "R1", "E1", "1 2 3", "-1") +
                             "\n\nend\nDesign file data in IDF order\ncols\n\nrule\n" +
                             idf("R1", "E1", "80000 160000 240000", "E2", "0 0 0") + "\n\n";
    HeaderData h = parse(text);
    EXPECT_EQ(h.HLines.size(), 10u);
    EXPECT_EQ(h.TopoStart, 1);
    EXPECT_EQ(h.IdfStart, 6);
    ASSERT_EQ(h.TopoCount, 1);
    EXPECT_EQ(h.TopoTable(1, 1), "R1");
    ASSERT_EQ(h.IdfCount, 1);
    EXPECT_EQ(h.IdfTable(1, 7), "R1");
    EXPECT_EQ(h.TopoTable(0, 0), "");
}

TEST(HfileZerlegenTest, CrLfLineEndsParseExactlyAsLf) {
    const std::string lf = header(
        {topo("PIPE", "R1", "E1", "1.01 2 3", "-1"), topo("PIPE", "R1", "E2", "2 2 3", "4"),
         topo("PIPE", "R2", "E1", "2 2 3", "4"), topo("PIPE", "R2", "E2", "5 5 5", "-1")},
        {idf("R1", "E1", "80000 160000 240000", "E2", "160000 160000 240000"), dashLine("R2")});
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::vector<std::string> lfDump;
    std::vector<std::string> crlfDump;
    HeaderData a = parse(lf, {"/none/a.h", "/none/", "a"}, 1000, [&](auto& l) { lfDump = l; });
    HeaderData b = parse(crlf, {"/none/a.h", "/none/", "a"}, 1000, [&](auto& l) { crlfDump = l; });
    EXPECT_EQ(a.HLines, b.HLines);
    EXPECT_EQ(lfDump, crlfDump);
    EXPECT_EQ(a.IdfCount, b.IdfCount);
    ASSERT_EQ(a.LineEndCount, 2);
    ASSERT_EQ(b.LineEndCount, 2);
    EXPECT_EQ(row(a.LineEndTable, 2, 20), row(b.LineEndTable, 2, 20));
    EXPECT_EQ(a.TopoTable(1, 3), "1");  // snapped, so the IDF row was read whole
    EXPECT_EQ(a.TopoTable(3, 0), "Dash");
}

TEST(HfileZerlegenTest, TheLastTitleLineCountsAndTitlesIgnoreCase) {
    const std::string text = "design file data sorted by topo (first)\nx\n" +
                             header({topo("PIPE", "R1", "E1", "1 2 3", "7")}, {}) +
                             "DESIGN FILE DATA IN IDF ORDER again\ncols\nrule\n" +
                             idf("R9", "E1", "1 2 3", "E2", "4 5 6") + "\n";
    HeaderData h = parse(text);
    EXPECT_EQ(h.TopoStart, 3);
    EXPECT_EQ(h.IdfStart, 11);
    // The topology rows now run up to two lines before the last IDF title.
    EXPECT_EQ(h.TopoCount, 4);
    EXPECT_EQ(h.TopoTable(3, 0), "Design");
    EXPECT_EQ(h.TopoTable(1, 1), "R1");
    ASSERT_EQ(h.IdfCount, 1);
    EXPECT_EQ(h.IdfTable(1, 7), "R9");
}

TEST(HfileZerlegenTest, MissingTitles) {
    Error e = parseError("Design file data sorted by topo\na\nb\nc\n");
    EXPECT_EQ(e.number(), 1);
    EXPECT_EQ(e.description(), "IDF order im h-File nicht gefunden");
    EXPECT_EQ(parseError("").description(), "IDF order im h-File nicht gefunden");
    EXPECT_EQ(parseError("\n").description(), "IDF order im h-File nicht gefunden");

    // Without a topology title the section counts from the first line.
    HeaderData h =
        parse("l0\nl1\nl2\nPIPE R1 E1\nPIPE R2 E1\nrule\nDesign file data in IDF order\n");
    EXPECT_EQ(h.TopoStart, 0);
    EXPECT_EQ(h.TopoCount, 2);
    EXPECT_EQ(h.TopoTable(2, 1), "R2");
}

TEST(HfileZerlegenTest, FieldSplitAndTheSixteenFieldRule) {
    const std::string sixteen = "f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 f10 f11 f12 f13 f14 f15";
    HeaderData h = parse(header(
        {sixteen, sixteen + " f16", "f0  f1 f2     f3 f4 f5 f6 f7 f8 f9 f10 f11 f12 f13 f14"},
        {sixteen}));
    ASSERT_EQ(h.TopoCount, 3);
    EXPECT_EQ(row(h.TopoTable, 1, 15),
              (std::vector<std::string>{"f0", "f1", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "f10",
                                        "f11", "f12", "f13", "f14", "f15", ""}));
    EXPECT_EQ(h.TopoTable(2, 16), "f16");
    EXPECT_EQ(h.TopoTable(3, 3), "f3");
    EXPECT_EQ(h.IdfTable(1, 2), "f3");  // the rule holds in both sections
}

TEST(HfileZerlegenTest, ABlankLineMakesNoRowButStillCountsAsALine) {
    HeaderData h = parse(header({topo("PIPE", "R1", "E1", "1 2 3", "5"), "    ", " ",
                                 topo("PIPE", "R2", "E1", "1 2 3", "5")},
                                {"   ", idf("R2", "E1", "1 2 3", "E2", "4 5 6")}));
    EXPECT_EQ(h.IdfStart, 9);
    ASSERT_EQ(h.TopoCount, 2);
    EXPECT_EQ(h.TopoTable(2, 1), "R2");
    ASSERT_EQ(h.IdfCount, 1);
    EXPECT_EQ(h.IdfTable(1, 7), "R2");
}

TEST(HfileZerlegenTest, TableBoundsFailTheParsing) {
    std::string wide;
    for (int n = 0; n < 22; ++n) wide += "x" + std::to_string(n) + " ";
    EXPECT_EQ(parseError(header({wide}, {})).number(), 9);
    EXPECT_EQ(parseError(header({}, {wide})).number(), 9);

    std::vector<std::string> rows(10000, topo("PIPE", "R1", "E1", "1 2 3", "5"));
    EXPECT_EQ(parseError(header(rows, {})).number(), 9);
    rows.pop_back();
    HeaderData h = parse(header({}, rows));
    EXPECT_EQ(h.IdfCount, 9999);
}

// --- Snapping -----------------------------------------------------------------------------------

TEST(HfileZerlegenTest, SnapsWhenTheCoordinateSumsDifferByLessThanTwoHundredths) {
    HeaderData h = parse(header(
        {topo("PIPE", "R1", "E1", "1.019 2 3", "5"), topo("PIPE", "R2", "E1", "1.02 2 3", "5"),
         topo("PIPE", "R3", "E1", "1.5 1.5 3", "5"), topo("PIPE", "R4", "E2", "2.01 2 3", "5"),
         topo("PIPE", "R5", "E1", "1.01 2 3", "5")},
        {idf("R1", "E1", "80000 160000 240000", "E2", "0 0 0"),
         idf("R2", "E1", "80000 160000 240000", "E2", "0 0 0"),
         idf("R3", "E1", "80000 160000 240000", "E2", "0 0 0"),
         idf("R4", "E1", "0 0 0", "E2", "160000 160000 240000"),
         idf("R5", "E9", "80000 160000 240000", "E2", "0 0 0")}));
    EXPECT_EQ(row(h.TopoTable, 1, 5),
              (std::vector<std::string>{"PIPE", "R1", "E1", "1", "2", "3"}));
    EXPECT_EQ(h.TopoTable(2, 3), "1.02");
    // The sums are compared, so differences that cancel still snap.
    EXPECT_EQ(h.TopoTable(3, 3), "1");
    EXPECT_EQ(h.TopoTable(3, 4), "2");
    EXPECT_EQ(h.TopoTable(4, 3), "2");     // by the second end
    EXPECT_EQ(h.TopoTable(5, 3), "1.01");  // end identifier differs
}

TEST(HfileZerlegenTest, LaterMatchesWorkOnAndOverwriteEarlierOnes) {
    // The second end of one IDF row sees what the first has just written: 0.99 snaps to 1, and
    // 1 is then close enough to 1.019.
    HeaderData h = parse(
        header({topo("PIPE", "R1", "E1", "0.99 2 3", "5"), topo("PIPE", "R2", "E1", "1 2 3", "5"),
                topo("PIPE", "R2", "E1", "1 2 3", "6")},
               {idf("R1", "E1", "80000 160000 240000", "E1", "81520 160000 240000"),
                idf("R2", "E1", "80800 160000 240000", "E2", "0 0 0"),
                idf("R2", "E1", "80400 160000 240000", "E2", "0 0 0")}));
    EXPECT_EQ(h.TopoTable(1, 3), "1.019");
    EXPECT_EQ(h.TopoTable(2, 3), "1.005");
    EXPECT_EQ(h.TopoTable(3, 3), "1.005");
}

TEST(HfileZerlegenTest, ConversionFaultsFailOnlyForMatchingRows) {
    const std::string matching = header({topo("PIPE", "R1", "E1", "1 2 3", "5")},
                                        {idf("R1", "E1", "80000 160000 240000", "E2", "0 0 0")});
    EXPECT_EQ(parseError(matching, 0).number(), 11);
    EXPECT_EQ(parseError(matching, 30000000).number(), 6);
    const std::string notMatching =
        header({topo("PIPE", "R1", "E1", "1 2 3", "5")}, {idf("R2", "E1", "x y z", "E2", "0 0 0")});
    EXPECT_NO_THROW(parse(notMatching, {"/none/a.h", "/none/", "a"}, 0));
    Error e = parseError(header({topo("PIPE", "R1", "E1", "1 2 3", "5")},
                                {idf("R1", "E1", "80000 1,6 240000", "E2", "0 0 0")}));
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.description(), "Type mismatch");
    // A doubled sign is no number.
    EXPECT_EQ(parseError(header({topo("PIPE", "R1", "E1", "1 +-2 3", "5")},
                                {idf("R1", "E1", "80000 160000 240000", "E2", "0 0 0")}))
                  .number(),
              13);
    // A row too short for its coordinates has empty ones.
    EXPECT_EQ(
        parseError(header({"PIPE R1 E1"}, {idf("R1", "E1", "1 2 3", "E2", "0 0 0")})).number(), 13);
}

// --- Dashed runs and line ends -----------------------------------------------------------------

TEST(HfileZerlegenTest, DashedFreeEndsTakeTheComponentBeyondTheirConnection) {
    HeaderData h = parse(header(
        {
            topo("PIPE", "D1", "CP", "4 4 4", "0", "GD", "0"),  // before the scan: not marked
            topo("ELBO", "R9", "CP", "9 9 9", "0", "G9", "0"),
            topo("PIPE", "R1", "E1", "1 1 1", "-1", "G1"),
            topo("PIPE", "R1", "E2", "2 2 2", "5", "G1"),
            topo("PIPE", "D1", "E1", "2 2 2", "5", "GD"),
            topo("PIPE", "D1", "E2", "3 3 3", "-1", "GD"),
            topo("PIPE", "D2", "E1", "7 7 7", "-1", "GX"),  // dashed, nothing beyond it
            topo("PIPE", "D2", "E2", "8 8 8", "-1", "GX"),
        },
        {dashLine("D1"), dashLine("  D2    ") + "trailing"}));
    EXPECT_EQ(h.TopoBlockEnd, 2);
    EXPECT_EQ(row(h.TopoTable, 1, 5),
              (std::vector<std::string>{"PIPE", "D1", "CP", "4", "4", "4"}));
    EXPECT_EQ(row(h.TopoTable, 5, 6),
              (std::vector<std::string>{"Dash", "D1", "E1", "0.00", "0.00", "0.00", "5"}));
    EXPECT_EQ(h.TopoTable(8, 0), "Dash");
    ASSERT_EQ(h.LineEndCount, 2);
    EXPECT_EQ(row(h.LineEndTable, 1, 6), row(h.TopoTable, 3, 6));
    EXPECT_EQ(row(h.LineEndTable, 2, 10), row(h.TopoTable, 4, 10));
    EXPECT_EQ(h.LineEndTable(3, 0), "");
}

// Header files are Windows single-byte text: a degree sign is the one byte 0xB0, and a column
// is a byte. The log gets the text as UTF-8.
TEST(HfileZerlegenTest, ColumnsAreBytesAndTheDumpIsUtf8) {
    std::string dash = dashLine("D1");
    dash[10] = '\xB0';
    std::vector<std::string> dump;
    HeaderData h = parse(header({topo("PIPE", "R1", "E1", "1 1 1", "-1"),
                                 topo("PIPE", "D1", "E1", "2 2 2", "-1", "G\xB0")},
                                {dash}),
                         {"/none/a.h", "/none/", "a"}, 1000, [&](auto& lines) { dump = lines; });
    EXPECT_EQ(h.TopoTable(2, 0), "Dash");
    EXPECT_EQ(h.TopoTable(1, 0), "PIPE");
    EXPECT_EQ(h.TopoTable(2, 9), "G\xB0");  // the tables keep the header's bytes
    ASSERT_EQ(dump.size(), 5u);
    EXPECT_EQ(dump[3],
              "Dash          D1            E1            0.00          0.00          0.00  -1"
              "      150           A1B           G\xC2\xB0            1");
}

TEST(HfileZerlegenTest, LineEndsCopyTwentyColumnsAndDropConsecutiveDuplicates) {
    std::string wide = topo("PIPE", "R1", "E1", "1 2 3", "-1");
    for (int column = 11; column <= 20; ++column) wide += " c" + std::to_string(column);
    HeaderData h = parse(
        header({wide, topo("FLAN", "R1", "E1", "1 2 9", "-1"),
                topo("PIPE", "R2", "E1", "5 5 5", "-1"), topo("PIPE", "R1", "E1", "1 7 7", "-1")},
               {}));
    ASSERT_EQ(h.LineEndCount, 3);
    EXPECT_EQ(h.LineEndTable(1, 19), "c19");
    EXPECT_EQ(h.LineEndTable(1, 20), "");
    EXPECT_EQ(h.LineEndTable(2, 1), "R2");
    EXPECT_EQ(h.LineEndTable(3, 1), "R1");  // equal to the first, but not to the one before it
    EXPECT_EQ(h.LineEndTable(4, 0), "");
}

// --- Continuation files -------------------------------------------------------------------------

class ContinuationTest : public ::testing::Test {
protected:
    void SetUp() override {
        main_ =
            header({topo("PIPE", "D1", "E1", "1 1 1", "5"), topo("PIPE", "D2", "E1", "1 1 1", "6"),
                    topo("PIPE", "D3", "E1", "1 1 1", "7")},
                   {idf("R1", "E1", "1 2 3", "E2", "4 5 6")});
        dir_.write("a.h1", main_);
        // Continuation lines start two lines after the main file's IDF title.
        dir_.write("a.h2", header({}, {}) + "x\n" + dashLine("D3") + "\n" + dashLine("D1") + "\n");
        dir_.write("A.H3", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n" + dashLine("D2") + "\n");
        dir_.write("b.h2", header({}, {}) + "1\n2\n3\n" + dashLine("D3") + "\n");
        // The same names in the current folder hold nothing to find.
        elsewhere_.write("a.h2", header({}, {}) + "1\n2\n3\n");
        elsewhere_.write("A.H3", "");
        previous_ = fs::current_path();
        fs::current_path(elsewhere_.path());
    }
    void TearDown() override { fs::current_path(previous_); }

    HeaderData parseAs(const std::string& name) {
        return parse(main_, {dir_.str() + "/" + name, dir_.str() + "/", "a"});
    }

    TempDir dir_;
    TempDir elsewhere_;
    std::string main_;
    fs::path previous_;
};

TEST_F(ContinuationTest, AnH1HeaderReadsItsSiblingsFromItsOwnFolder) {
    HeaderData h = parseAs("a.h1");
    EXPECT_EQ(h.IdfStart, 8);
    EXPECT_EQ(h.HLines.size(), 12u + 1u + 2u);
    EXPECT_EQ(h.TopoTable(1, 0), "Dash");
    EXPECT_EQ(h.TopoTable(2, 0), "Dash");
    EXPECT_EQ(h.TopoTable(3, 0), "PIPE");  // its line comes before the continuation starts
    EXPECT_EQ(h.IdfCount, 1);              // tables come from the main file alone
}

TEST_F(ContinuationTest, OtherHeadersReadNoSiblings) {
    for (const char* name : {"a.h", "a.H1", "a.h12"}) {
        HeaderData h = parseAs(name);
        EXPECT_EQ(h.HLines.size(), 12u) << name;
        EXPECT_EQ(h.TopoTable(1, 0), "PIPE") << name;
    }
}

TEST_F(ContinuationTest, AnUnreadableSiblingFailsTheParsing) {
    fs::create_symlink(dir_.path() / "missing", dir_.path() / "a.h4");
    try {
        parseAs("a.h1");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), "File not found");
    }
}

// --- The indexed steps against the row-by-row algorithm ------------------------------------------

using Table = std::vector<std::vector<std::string>>;

// Snapping, dashed runs and line ends as plain nested loops over every pair of rows.
struct RowByRow {
    Table topo{std::vector<std::string>(21)};
    Table idf{std::vector<std::string>(21)};
    Table ends{std::vector<std::string>(21)};
    int blockEnd = 0;

    void snap() {
        for (size_t i = 1; i < idf.size(); ++i) {
            for (size_t j = 1; j < topo.size(); ++j) {
                for (int first : {1, 4}) {
                    if (topo[j][1] != idf[i][7] || topo[j][2] != idf[i][first == 1 ? 8 : 9])
                        continue;
                    double d = 0;
                    for (int n = 0; n < 3; ++n) {
                        d += std::stod(topo[j][3 + n]) - std::stod(idf[i][first + n]) / 80000;
                    }
                    if (std::fabs(d) >= 0.02) continue;
                    for (int n = 0; n < 3; ++n) {
                        topo[j][3 + n] = num::text(std::stod(idf[i][first + n]) / 80000);
                    }
                }
            }
        }
    }
    void dash(const std::string& id) {
        for (size_t r = blockEnd; r < topo.size(); ++r) {
            if (topo[r][1] != id) continue;
            topo[r][0] = "Dash";
            topo[r][3] = topo[r][4] = topo[r][5] = "0.00";
        }
    }
    void lineEnds() {
        for (size_t r = blockEnd; r < topo.size(); ++r) {
            if (topo[r][6] != "-1") continue;
            std::vector<std::string> end(21);
            if (topo[r][0] != "Dash") end = topo[r];
            for (size_t j = blockEnd; topo[r][0] == "Dash" && j < topo.size(); ++j) {
                if (topo[j][0] != topo[r][0] || topo[j][1] != topo[r][1] ||
                    topo[j][9] != topo[r][9] || topo[j][6] == "-1")
                    continue;
                for (size_t l = blockEnd; l < topo.size(); ++l) {
                    if (topo[l][6] == topo[j][6] && topo[l][0] != "Dash") end = topo[l];
                }
            }
            end[20].clear();
            if (end[0].empty()) continue;
            if (ends.size() >= 2 &&
                std::equal(end.begin() + 1, end.begin() + 4, ends.back().begin() + 1))
                continue;
            ends.push_back(end);
        }
    }
};

TEST(HfileZerlegenTest, GivesTheResultsOfTheRowByRowAlgorithm) {
    std::mt19937 random(20240611);
    auto pick = [&](std::initializer_list<const char*> values) {
        return std::string(values.begin()[random() % values.size()]);
    };
    for (int round = 0; round < 200; ++round) {
        RowByRow expected;
        std::vector<std::string> topoLines;
        std::vector<std::string> idfLines;
        const int rows = 5 + random() % 30;
        for (int r = 1; r <= rows; ++r) {
            const bool block = r == expected.blockEnd + 1 && r <= 3 && random() % 2 == 0;
            if (block) expected.blockEnd = r;
            topoLines.push_back(pick({"PIPE ", "VALV "}) + pick({"R1 ", "R2 ", "R3 ", "R4 "}) +
                                pick({"E1 ", "E2 ", "E3 "}) +
                                pick({"1 ", "1.01 ", "1.015 ", "1.03 "}) + pick({"2 ", "2.005 "}) +
                                "3 " + pick({"-1 ", "-1 ", "1 ", "2 ", "3 "}) + "150 A1B " +
                                pick({"G1 ", "G2 "}) + (block ? "0" : "1"));
            expected.topo.push_back(text::split(topoLines.back(), ' '));
        }
        for (int i = random() % 12; i > 0; --i) {
            idfLines.push_back("PIPE " + pick({"80000 ", "80800 ", "81500 "}) +
                               pick({"160000 ", "160400 "}) + "240000 " +
                               pick({"80000 ", "79000 "}) + "160000 240000 " +
                               pick({"R1 ", "R2 ", "R3 ", "R4 "}) + pick({"E1 ", "E2 "}) +
                               pick({"E1", "E2", "E3"}));
            expected.idf.push_back(text::split(idfLines.back(), ' '));
        }
        for (Table* table : {&expected.topo, &expected.idf}) {
            for (auto& fields : *table) fields.resize(21);
        }
        std::vector<std::string> dashed;
        for (int n = random() % 3; n > 0; --n) dashed.push_back(pick({"R1", "R2", "R3", "R4"}));
        for (const std::string& id : dashed) idfLines.push_back(dashLine(id));
        expected.snap();
        for (const std::string& id : dashed) expected.dash(id);
        expected.lineEnds();

        HeaderData h = parse(header(topoLines, idfLines));
        ASSERT_EQ(h.TopoBlockEnd, expected.blockEnd);
        for (int r = 1; r <= rows; ++r) {
            ASSERT_EQ(row(h.TopoTable, r, 20), expected.topo[r])
                << "round " << round << " row " << r;
        }
        ASSERT_EQ(h.LineEndCount + 1, static_cast<int>(expected.ends.size())) << "round " << round;
        for (int r = 1; r <= h.LineEndCount; ++r) {
            ASSERT_EQ(row(h.LineEndTable, r, 20), expected.ends[r])
                << "round " << round << " end " << r;
        }
    }
}

// Hundreds of rows on one run and end: every IDF end is tried on every topology row, points move
// on from where an earlier end put them.
TEST(HfileZerlegenTest, RowsSharingOneRunAndEndGiveTheResultsOfTheRowByRowAlgorithm) {
    RowByRow expected;
    std::vector<std::string> topoLines;
    std::vector<std::string> idfLines;
    const char* xs[] = {"1", "1.007", "1.014", "1.021", "1.028", "0.993", "1.035"};
    const char* x1s[] = {"80000", "80560", "81120", "79440", "81680", "80280"};
    for (int r = 0; r < 300; ++r) {
        topoLines.push_back(std::string("PIPE R1 E1 ") + xs[r % 7] + " 2 3 -1 150 A1B G1 1");
        expected.topo.push_back(text::split(topoLines.back(), ' '));
    }
    for (int i = 0; i < 300; ++i) {
        idfLines.push_back(std::string("PIPE ") + x1s[i % 6] + " 160000 240000 " +
                           x1s[(i + 3) % 6] + " 160000 240000 R1 E1 E1");
        expected.idf.push_back(text::split(idfLines.back(), ' '));
    }
    for (Table* table : {&expected.topo, &expected.idf}) {
        for (auto& fields : *table) fields.resize(21);
    }
    expected.snap();
    HeaderData h = parse(header(topoLines, idfLines));
    for (int r = 1; r <= 300; ++r) ASSERT_EQ(row(h.TopoTable, r, 20), expected.topo[r]) << r;
}

// IDF rows are tried in order, topology rows within each: the fault of the first IDF row's end
// is the one raised, though the topology row it is tried on comes later.
TEST(HfileZerlegenTest, TheFirstFaultInTheOrderOfTheTriesIsRaised) {
    Error e = parseError(
        header({topo("PIPE", "R1", "E1", "1 2 3", "5"), topo("PIPE", "R2", "E1", "1 2 3", "5")},
               {idf("R2", "E1", "80000 160000 1e999", "E2", "0 0 0"),
                idf("R1", "E1", "x 0 0", "E2", "0 0 0")}));
    EXPECT_EQ(e.number(), 6);
    EXPECT_EQ(e.description(), "Overflow");
}

// --- Dump and run state -------------------------------------------------------------------------

TEST(HfileZerlegenTest, EachParseStartsFromEmptyTables) {
    HeaderData h;
    h.HText =
        header({topo("ELBO", "R1", "CP", "1 1 1", "0", "G", "0"),
                topo("PIPE", "R1", "E1", "1 2 3", "-1"), topo("PIPE", "R2", "E1", "4 5 6", "-1")},
               {idf("R1", "E1", "1 2 3", "E2", "4 5 6")});
    Hfile_zerlegen(h, {"a.h", "", "a"}, 1000, {});
    EXPECT_EQ(h.LineEndCount, 2);
    h.HText = header({topo("PIPE", "R9", "E1", "1 2 3", "5")}, {});
    Hfile_zerlegen(h, {"a.h", "", "a"}, 1000, {});
    EXPECT_EQ(h.TopoCount, 1);
    EXPECT_EQ(h.TopoBlockEnd + h.IdfCount + h.LineEndCount, 0);
    EXPECT_EQ(h.TopoTable(2, 1) + h.IdfTable(1, 7) + h.LineEndTable(1, 1), "");
}

TEST(HfileZerlegenTest, OnTheRunStateTheTopologyDumpIsAppendedToTheRunLog) {
    TempDir dir;
    resetRunState();
    RunState& state = Variablen();
    state.logfile = (dir / "vtl.log").string();
    dir.write("vtl.log", "head\r\n");
    state.HFile = dir.str() + "/a.h";
    state.isopath = dir.str() + "/";
    state.IsoName = "a";
    state.Unitfactor = 1000;
    state.HText = header(
        {topo("PIPE", "R1", "E1", "1.001 2 3", "-1"), "PIPE RUN-IDENTIFIER E1 1 2 3 4 5 6 7 1"},
        {idf("R1", "E1", "80000 160000 240000", "E2", "0 0 0")});
    Hfile_zerlegen();
    EXPECT_EQ(state.TopoTable(1, 3), "1");
    EXPECT_EQ(state.LineEndCount, 1);
    // Ten values in print zones of 14 characters; one that fills its zone pushes the next on.
    EXPECT_EQ(test::readFile(dir / "vtl.log"),
              "head\r\n\r\n======== Begin Topo Line ==========\r\n"
              "PIPE          R1            E1            1             2             3  -1"
              "         150           A1B           G1            1\r\n"
              "PIPE          RUN-IDENTIFIER              E1            1             2"
              "             3  4          5             6             7             1\r\n"
              "======== End Topo Line ============\r\n");
    resetRunState();
}

}  // namespace
}  // namespace vtl

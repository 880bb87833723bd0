#include <gtest/gtest.h>

#include <set>

#include "common/INIFileModule.h"
#include "core/Error.h"
#include "core/Text.h"
#include "generator/ConfigINI.h"
#include "generator/Variablen.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using test::readFile;

class ReadINIVariablesTest : public ::testing::Test {
protected:
    ReadINIVariablesTest() {
        resetRunState();
        state().inifile = (dir / "project.ini").string();
        state().logfile = (dir / "vtl.log").string();
    }
    ~ReadINIVariablesTest() override { resetRunState(); }

    static RunState& state() { return Variablen(); }
    void writeIni(const std::string& content) const { dir.write("project.ini", content); }
    std::string log() const { return readFile(dir / "vtl.log"); }
    // The line of a key in the last dump, without its line end.
    std::string dumpLine(const std::string& key) const {
        const std::string text = log();
        const size_t start = text.rfind("\r\n" + key + " = ");
        if (start == std::string::npos) return "<missing>";
        return text.substr(start + 2, text.find("\r\n", start + 2) - start - 2);
    }

    test::TempDir dir;
};

TEST_F(ReadINIVariablesTest, WithoutAnIniEveryDefaultLandsAndTheDumpIsExact) {
    ReadINIVariables();

    const RunState& s = state();
    EXPECT_EQ(s.seedfile, "c:\\temp\\vtl\\vtlseed.dgn");
    EXPECT_EQ(s.createVTL, 1);
    EXPECT_EQ(s.createICS, 1);
    EXPECT_EQ(s.createI3D, 1);
    EXPECT_EQ(s.Pellmark, 0);
    EXPECT_EQ(s.Unitfactor, 1000);
    EXPECT_EQ(s.TABaccuracy, 0.01);
    EXPECT_EQ(s.gridextension, 999999999999999.0);
    EXPECT_EQ(s.DVCS_Z, 0);
    EXPECT_EQ(s.LineLabelpoint, "CC");
    EXPECT_EQ(s.I3DLENtexttw, "0.01");
    EXPECT_EQ(s.IParmfile.substr(0, 2), "\\\\");
    EXPECT_TRUE(text::endsWith(s.IParmfile, "\\iparmfile.i"));

    std::string golden = readFile(std::filesystem::path(VTL_GOLDEN_DIR) / "default-dump.txt");
    ASSERT_FALSE(golden.empty());
    golden = text::replaceAll(golden, "@INIFILE@", s.inifile);
    EXPECT_EQ(log(), text::replaceAll(golden, "\n", "\r\n"));
}

TEST_F(ReadINIVariablesTest, KeysPresentButEmptyAreEmptyAndNamesIgnoreCase) {
    writeIni(
        "[VISTREL]\r\nSEEDFILE = /project/seed.dgn\r\nUnitfactor=\r\npipelv=\r\n"
        "[isocoversheet]\r\nicsseedfile=/project/ics.dgn\r\ntabACCURACY=\r\n"
        "LENtextJUSTIFICATION = LT\r\n[Pellmark]\r\nExcelFile = \"/data/node texts.xls\"\r\n");

    ReadINIVariables();

    const RunState& s = state();
    EXPECT_EQ(s.seedfile, "/project/seed.dgn");
    EXPECT_EQ(s.ICSseedfile, "/project/ics.dgn");
    EXPECT_EQ(s.LENtextJustification, "LT");
    EXPECT_EQ(s.excelfile, "/data/node texts.xls");
    EXPECT_EQ(s.pipelv, "");
    EXPECT_EQ(s.Unitfactor, 0);
    EXPECT_EQ(s.TABaccuracy, 0);
    EXPECT_EQ(s.pipeco, "1");  // missing: the default
    EXPECT_EQ(dumpLine("Unitfactor"), "Unitfactor =  0");
    EXPECT_EQ(dumpLine("pipelv"), "pipelv = ");
    EXPECT_EQ(dumpLine("excelfile"), "excelfile = /data/node texts.xls");
}

TEST_F(ReadINIVariablesTest, NumbersTakeTheLeadingNumberAndRoundHalvesToEven) {
    writeIni(
        "[IsoCoverSheet]\nTABround=2.5\nTABfactor=-0.25 mm\nDVCS_X=12.5e2\ngridextension=abc\n"
        "[Vistrel]\nUnitfactor=3.5\n");
    ReadINIVariables();
    EXPECT_EQ(state().TABround, 2);
    EXPECT_EQ(state().Unitfactor, 4);
    EXPECT_EQ(state().TABfactor, -0.25);
    EXPECT_EQ(state().DVCS_X, 1250);
    EXPECT_EQ(state().gridextension, 0);
    EXPECT_EQ(dumpLine("TABround"), "TABround =  2");
    EXPECT_EQ(dumpLine("TABfactor"), "TABfactor = -.25");
    EXPECT_EQ(dumpLine("gridextension"), "gridextension =  0");

    writeIni("[IsoCoverSheet]\nTABround=3.5\n");
    ReadINIVariables();
    EXPECT_EQ(state().TABround, 4);
}

TEST_F(ReadINIVariablesTest, AWholeNumberOutOfRangeTakesTheDefaultWithALogLine) {
    writeIni("[IsoCoverSheet]\nTABround=40000\n[Vistrel]\nUnitfactor=2147483648\n");
    ReadINIVariables();
    EXPECT_EQ(state().TABround, 0);
    EXPECT_EQ(state().Unitfactor, 1000);
    const std::string ini = state().inifile;
    const std::string text = log();
    EXPECT_NE(text.find("INI-File " + ini +
                        ": [Vistrel] Unitfactor = 2147483648 is out of range - taken as 1000\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("INI-File " + ini +
                        ": [IsoCoverSheet] TABround = 40000 is out of range - taken as 0\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(dumpLine("Unitfactor"), "Unitfactor =  1000");
    EXPECT_EQ(dumpLine("TABround"), "TABround =  0");

    // The edges of the ranges still hold.
    writeIni("[IsoCoverSheet]\nTABround=-32768\n[Vistrel]\nUnitfactor=2147483647\n");
    ReadINIVariables();
    EXPECT_EQ(state().TABround, -32768);
    EXPECT_EQ(state().Unitfactor, 2147483647);
}

TEST_F(ReadINIVariablesTest, AReadRestoresWhatARunChangedInMemory) {
    writeIni("[Vistrel]\nisopath=/iso\n");
    ReadINIVariables();
    state().isopath = "/run/folder/";
    state().I3Drefscale = "2:1";
    ReadINIVariables();
    EXPECT_EQ(state().isopath, "/iso");
    EXPECT_EQ(state().I3Drefscale, "Im_INI-File_nicht_definiert");
    // Each read appends its own dump.
    EXPECT_EQ(text::split(log(), '\n').size(), 2 * 80 + 1);
}

// --- The option boxes ----------------------------------------------------------------------

TEST_F(ReadINIVariablesTest, CouplingsApplyWhileReading) {
    writeIni("[Programm]\ncreateVTL=0\ncreateICS=0\ncreateI3D=1\n[Pellmark]\nPellmark=2\n");
    ReadINIVariables();
    // Clearing createICS cleared createI3D; ticking createI3D then ticked createICS again.
    EXPECT_EQ(state().createVTL, 0);
    EXPECT_EQ(state().createICS, 1);
    EXPECT_EQ(state().createI3D, 1);
    EXPECT_EQ(state().Pellmark, 2);

    writeIni("[Programm]\ncreateICS=0\ncreateI3D=2\n");
    ReadINIVariables();
    EXPECT_EQ(state().createICS, 0);
    EXPECT_EQ(state().createI3D, 2);
    EXPECT_EQ(dumpLine("createI3D"), "createI3D = 2");
}

TEST_F(ReadINIVariablesTest, ClicksCoupleTheBoxesButLeaveOthersAlone) {
    setOptionBox(&ConfigData::createI3D, 1);
    EXPECT_EQ(state().createICS, 1);
    setOptionBox(&ConfigData::createICS, 0);
    EXPECT_EQ(state().createI3D, 0);
    setOptionBox(&ConfigData::createI3D, 2);
    EXPECT_EQ(state().createICS, 0);
    setOptionBox(&ConfigData::createICS, 2);
    EXPECT_EQ(state().createI3D, 2);
    setOptionBox(&ConfigData::createVTL, 1);
    EXPECT_EQ(state().createICS, 2);
}

TEST_F(ReadINIVariablesTest, ABoxValueOutsideZeroToTwoCountsAsZeroWithALogLine) {
    writeIni("[Programm]\ncreateVTL=40000\ncreateICS=3\ncreateI3D=-1\n[Pellmark]\nPellmark=2.4\n");
    ReadINIVariables();
    EXPECT_EQ(state().createVTL, 0);
    EXPECT_EQ(state().createICS, 0);
    EXPECT_EQ(state().createI3D, 0);
    EXPECT_EQ(state().Pellmark, 2);
    const std::string ini = state().inifile;
    const std::string text = log();
    EXPECT_EQ(text.find("INI-File " + ini +
                        ": [Programm] createVTL = 40000 is not 0, 1 or 2 - "
                        "taken as 0\r\nINI-File " +
                        ini + ": [Programm] createICS = 3 is not"),
              0u);
    EXPECT_NE(text.find("[Programm] createI3D = -1 is not 0, 1 or 2 - taken as 0\r\n\r\n"
                        "======== Begin"),
              std::string::npos);
    EXPECT_EQ(dumpLine("createVTL"), "createVTL = 0");
}

TEST_F(ReadINIVariablesTest, AnUnwritableLogReachesTheCallerAfterTheValuesAreRead) {
    writeIni("[Vistrel]\nseedfile=/s.dgn\n");
    state().logfile = (dir / "no folder" / "vtl.log").string();
    try {
        ReadINIVariables();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::PathNotFound);
    }
    EXPECT_EQ(state().seedfile, "/s.dgn");
}

// --- The sample project's configuration -------------------------------------------------------

TEST_F(ReadINIVariablesTest, TheSampleConfigurationSetsEveryKey) {
    using INIFileModule::ReadINI;
    const std::string sample = std::string(VTL_SAMPLES_DIR) + "/project/vtl-sample.ini";
    ASSERT_TRUE(std::filesystem::exists(sample));
    const std::string sections = ReadINI(sample, "", "", "", false);
    EXPECT_EQ(sections, "Programm;Pellmark;Vistrel;Cell;IsoCoverSheet;IPlot;I3D;VTL");

    std::set<std::string> keys;
    for (const std::string& section : text::split(sections, ';')) {
        for (const std::string& key : text::split(ReadINI(sample, section, "", "", false), ';')) {
            keys.insert(text::lower(key));
        }
    }
    // Every key of the dump, the keys read but not dumped, and those read elsewhere.
    std::vector<std::string> expected = {
        "DVCS_X",   "DVCS_Y",      "DVCS_Z",        "LineLabelpoint", "CELFile",
        "CellName", "ScaleFactor", "MinLineLength", "MSTNPath",       "ISOGENIsometryFile"};
    const std::string golden = readFile(std::filesystem::path(VTL_GOLDEN_DIR) / "default-dump.txt");
    for (const std::string& line : text::split(golden, '\n')) {
        const size_t equals = line.find(" = ");
        if (equals != std::string::npos && line.substr(0, equals) != "inifile") {
            expected.push_back(line.substr(0, equals));
        }
    }
    for (const std::string& key : expected) {
        EXPECT_TRUE(keys.count(text::lower(key))) << key << " missing in the sample";
    }

    state().inifile = sample;
    ReadINIVariables();
    EXPECT_EQ(state().createI3D, 1);
    EXPECT_EQ(state().Pellmark, 1);
    EXPECT_EQ(state().TABround, 2);
    EXPECT_EQ(state().TABtexttw, "2.5");
    EXPECT_EQ(state().I3Dseedfile, "@SAMPLES@/project/seed/i3dseed.dgn");
    EXPECT_EQ(state().IPlotque1, "\\\\plotserver\\iso-a3");
}

// --- Pointer INI, rounding, print form ---------------------------------------------------------

TEST(PointerIniTest, NamesTheActiveIniOrItself) {
    test::TempDir dir;
    const std::string pointer = dir.write("vtl.ini", "[Programm]\r\nInifile = /cfg/a.ini\r\n");
    EXPECT_EQ(iniFileNamedBy(pointer), "/cfg/a.ini");
    const std::string bare = dir.write("bare.ini", "[Vistrel]\r\nseedfile=x\r\n");
    EXPECT_EQ(iniFileNamedBy(bare), bare);
    EXPECT_EQ(iniFileNamedBy((dir / "missing.ini").string()), (dir / "missing.ini").string());
    EXPECT_EQ(std::filesystem::path(pointerIniFile()).filename(), "vtl.ini");
}

}  // namespace
}  // namespace vtl

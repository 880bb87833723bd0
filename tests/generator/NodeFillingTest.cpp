// Node texts from a workbook: the workbook's layout as the filling reads it, and the filling of
// text nodes against the recording MicroStation, with its log lines and MicroStation lifetimes.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/mstnmacro.h"
#include "core/Text.h"
#include "generator/NodeFilling.h"
#include "generator/NodeTextWorkbook.h"
#include "generator/Variablen.h"
#include "support/FakeMicroStation.h"
#include "support/TempDir.h"
#include "support/TextWorkbook.h"
#include "workbook/ExcelFile.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
namespace wb = NodeTextWorkbook;
using Lines = std::vector<std::string>;
using test::FakeElement;

using test::writeTextWorkbook;

TEST(NodeTextWorkbookTest, HeadersNameTheFileColumnAndTheNodeNumbers) {
    test::TempDir dir;
    auto file = writeTextWorkbook(
        dir / "nodes.xlsx", {{"Filename", "x", "filename", "nn=5", "NN=7", "Pos nn=12", "nn=1000",
                              "nn=-1", " nn=2.5 ", "nn=3.5", "filename", "nn=5"}});
    excel::WorksheetPtr sheet = excel::openWorkbookObject(file.string())->Worksheets(1);
    EXPECT_EQ(wb::fileColumn(*sheet), 3);
    wb::NodeHeaders headers = wb::nodeHeaders(*sheet);
    std::vector<std::pair<int32_t, int32_t>> columns;
    for (const wb::NodeColumn& c : headers.columns) columns.emplace_back(c.column, c.node);
    EXPECT_EQ(columns, (std::vector<std::pair<int32_t, int32_t>>{
                           {4, 5}, {5, 7}, {6, 12}, {9, 2}, {10, 4}, {12, 5}}));
    ASSERT_EQ(headers.rejected.size(), 2u);
    EXPECT_EQ(headers.rejected[0].column, 7);
    EXPECT_EQ(headers.rejected[0].header, "nn=1000");
    EXPECT_EQ(headers.rejected[1].header, "nn=-1");

    EXPECT_EQ(wb::nodeNumberOf("nn="), 0);
    EXPECT_EQ(wb::nodeNumberOf("text nn=8 and nn=9"), 8);
    EXPECT_EQ(wb::nodeNumberOf("node 5"), std::nullopt);
    EXPECT_EQ(wb::nodeNumberOf("nn=1e12"), std::nullopt);

    auto none = writeTextWorkbook(dir / "none.xlsx", {{"file name", "nn=1"}});
    EXPECT_EQ(wb::fileColumn(*excel::openWorkbookObject(none.string())->Worksheets(1)), 0);
}

TEST(NodeTextWorkbookTest, TheFirstRowWhoseFileCellOccursInThePathBelongsToTheDrawing) {
    test::TempDir dir;
    auto file = writeTextWorkbook(dir / "nodes.xlsx", {{"nn=1", "filename"},
                                                       {"a", ""},
                                                       {"b", "ISO12"},
                                                       {"c", "iso123.i01"},
                                                       {"  d  ", "ISO7.i01"}});
    excel::WorksheetPtr sheet = excel::openWorkbookObject(file.string())->Worksheets(1);
    EXPECT_EQ(wb::drawingRow(*sheet, 2, "/iso/ISO123.i01"), 3);
    EXPECT_EQ(wb::drawingRow(*sheet, 2, "/iso/ISO7.I01"), 5);
    EXPECT_EQ(wb::drawingRow(*sheet, 2, "/iso/OTHER.i01"), 0);
    EXPECT_EQ(wb::cellText(*sheet, 5, 1), "d");
    EXPECT_EQ(wb::cellText(*sheet, 2, 2), "");
}

// Records the macros MicroStation was asked to run, and fails one key-in on request.
class MacroRecordingMicroStation : public test::FakeMicroStation {
public:
    Lines macros;
    std::string failingKeyin;

    void MbeSendCommand(const std::string& keyin) override {
        if (keyin.starts_with("macro ")) macros.push_back(test::readFile(keyin.substr(6)));
        FakeMicroStation::MbeSendCommand(keyin);
        if (keyin == failingKeyin)
            throw Error(err::AutomationError, "MicroStation", "Automation error");
    }
};

std::string macroSetting(const std::string& variable, int value) {
    return "Sub main\r\nMbeSetAppVariable\"USERPREF\", \"" + variable + "\", " +
           std::to_string(value) + "&\r\nEnd Sub\r\n";
}

class NodeFillingTest : public ::testing::Test {
protected:
    NodeFillingTest() {
        resetRunState();
        fs::create_directory(dir / "tmp");
        RunState& s = Variablen();
        s.logfile = (dir / "vtl.log").string();
        s.isopath = dir.str() + "/";
        s.IsoName = "P1";
        workbookFile = writeTextWorkbook(dir / "nodes.xlsx",
                                         {{"filename", "nn=5", "nn=7", "nn=300", "nn=9"},
                                          {"P1.i01", "Fifth", "", "Three hundred", "Ninth"},
                                          {"P1.i02", "Second sheet", "", "", ""}})
                           .string();
        drawing("P1.i01", {{4, 0, {0, 0, 0}},
                           {7, 5, {1, 2, 0}},
                           {7, 7, {3, 4, 0}},
                           {7, 5, {5, 6, 0}},
                           {17, 0, {6, 6, 0}},
                           {7, 300, {7, 8, 0}},
                           {7, 1200, {9, 9, 0}}});
    }
    ~NodeFillingTest() override {
        MSTNApp.reset();
        resetRunState();
    }

    void drawing(const std::string& name, std::vector<FakeElement> elements) {
        dir.write(name, "design");
        for (auto& ms : {runFake, fillFake, nextFake})
            ms->designs[dir.str() + "/" + name] = elements;
    }

    // Each attachment takes the next MicroStation: the filling's, then the one for later steps.
    AttachMicroStation attach = [this]() -> std::shared_ptr<mstn::Application> {
        ++attached;
        return attached == 1 ? fillFake : nextFake;
    };

    Lines log() const {
        return text::split(text::replaceAll(test::readFile(dir / "vtl.log"), "\r\n", "\n"), '\n');
    }
    std::string p(const std::string& name) const { return dir.str() + "/" + name; }

    test::TempDir dir;
    test::ScopedEnv tmp{"TMP", (dir / "tmp").string()};
    std::string workbookFile;
    std::shared_ptr<MacroRecordingMicroStation> runFake =
        std::make_shared<MacroRecordingMicroStation>();
    std::shared_ptr<MacroRecordingMicroStation> fillFake =
        std::make_shared<MacroRecordingMicroStation>();
    std::shared_ptr<MacroRecordingMicroStation> nextFake =
        std::make_shared<MacroRecordingMicroStation>();
    int attached = 0;
};

TEST_F(NodeFillingTest, TheFirstTextNodeOfEachNumberGetsTheTextOfTheDrawingsRow) {
    runfill(workbookFile, {p("P1.i01"), p("missing.i02")}, attach);
    EXPECT_EQ(log(),
              (Lines{"Filling nodes in file: '" + p("P1.i01") + "' ...",
                     "Node: 5 filled with: 'Fifth'", "Node: 300 filled with: 'Three hundred'",
                     "Node: 9 in file: '" + p("P1.i01") + "' was not found",
                     "File: '" + p("missing.i02") + "' not exists", ""}));
    const std::string macro = "macro " + (dir / "tmp/macro.bas").string();
    // The drawing opened for filling, the node 5 at 1,2 refilled.
    const Lines start = {
        "MbeElement()",
        "MbeSendCommand(newfile " + p("P1.i01") + ")",
        "MbeSendCommand(set parseall off)",
        "MbeSendCommand(MDL SILENTLOAD USERPREF)",
        "MbeSetAppVariable(USERPREF, savePrefs.moreFlags.preserveTextNodes, 0)",
        "MbeSendCommand(" + macro + ")",
        "MbeSendCommand(MBE1 CLOSEMODAL OK)",
        "MbeSendCommand(MDL SILENTLOAD USERPREF)",
        "MbeSendCommand(" + macro + ")",
        "MbeSendCommand(MBE1 CLOSEMODAL OK)",
        "Publish(elem)",
        "MbeCExpressionLong(elem.currentPosition->el.text_node_2d.nodenumber)",
        "GetOrigin()",
        "MbeSendCommand(match element)",
        "mbeSendDataPoint(1, 2, 0)",
        "MbeSendCommand(dx=0)",
        "MbeSendCommand(delete element)",
        "mbeSendDataPoint(1, 2, 0)",
        "MbeSendCommand(dx=0)",
        "MbeSendCommand(nn= 5)",
        "MbeSendCommand(place node)",
        "mbeSendDataPoint(1, 2, 0)",
        "MbeSendCommand(EDIT TEXT)",
        "mbeSendDataPoint(1, 2, 0)",
        "MbeSendCommand(dx=0)",
        "MbeSendAppMessage(TEXTEDIT, FirstLine Fifth)",
        "MbeSendAppMessage(TEXTEDIT, ApplyBtn)",
        "MbeSendReset()",
        "MbeSendCommand(NULL)",
        "MbeCExpressionLong(elem.currentPosition->el.text_node_2d.nodenumber)",
    };
    ASSERT_GE(fillFake->calls.size(), start.size());
    EXPECT_EQ(Lines(fillFake->calls.begin(), fillFake->calls.begin() + start.size()), start);
    const Lines end = {
        "MbeSendCommand(MDL SILENTLOAD USERPREF)",
        "MbeSendCommand(" + macro + ")",
        "MbeSendCommand(MBE1 CLOSEMODAL OK)",
        "MbeSendkeyin(compress;file)",
        "MbeSendCommand(exit)",
    };
    EXPECT_EQ(Lines(fillFake->calls.end() - end.size(), fillFake->calls.end()), end);
    EXPECT_EQ(fillFake->macros, (Lines{macroSetting("savePrefs.moreFlags.preserveTextNodes", 1),
                                       macroSetting("savePrefs.locateTol", 1),
                                       macroSetting("savePrefs.locateTol", 10)}));
    EXPECT_EQ(std::count(fillFake->keyins.begin(), fillFake->keyins.end(), "place node"), 2);
    EXPECT_EQ(std::count(fillFake->keyins.begin(), fillFake->keyins.end(), "nn= 300"), 1);
    EXPECT_FALSE(fs::exists(dir / "tmp/macro.bas"));
    EXPECT_EQ(Variablen().CurrentFile, p("P1.i01"));
    EXPECT_FALSE(MSTNApp);
}

TEST_F(NodeFillingTest, ADrawingWithoutARowIsLoggedAndLeftAlone) {
    dir.write("P1.i03", "design");
    runfill(workbookFile, {p("P1.i03")}, attach);
    EXPECT_EQ(log(), (Lines{"Filling nodes in file: '" + p("P1.i03") + "' ...",
                            "File: '" + p("P1.i03") + "' in Excel file: '" + workbookFile +
                                "' not defined",
                            ""}));
    EXPECT_EQ(fillFake->keyins, Lines{"exit"});
}

TEST_F(NodeFillingTest, MicroStationRunsThreeTimesAroundTheStep) {
    MSTNApp = runFake;
    dir.write("P1.i02", "design");
    dir.write("P1.idf", "");
    startPellmark(workbookFile, attach);
    EXPECT_EQ(runFake->keyins, Lines{"exit"});
    EXPECT_EQ(attached, 2);
    EXPECT_EQ(fillFake->keyins.front(), "newfile " + p("P1.i01"));
    EXPECT_EQ(
        std::count(fillFake->keyins.begin(), fillFake->keyins.end(), "newfile " + p("P1.i02")), 1);
    EXPECT_EQ(fillFake->keyins.back(), "exit");
    EXPECT_EQ(MSTNApp, nextFake);
    EXPECT_TRUE(nextFake->calls.empty());
    EXPECT_FALSE(Variablen().StepError);
}

TEST_F(NodeFillingTest, WithoutIsoDrawingsMicroStationIsStillEndedAndAttachedAgain) {
    Variablen().IsoName = "P9";
    MSTNApp = runFake;
    startPellmark(workbookFile, attach);
    EXPECT_EQ(runFake->keyins, Lines{"exit"});
    EXPECT_EQ(attached, 1);
    EXPECT_EQ(MSTNApp, fillFake);
    EXPECT_FALSE(fs::exists(dir / "vtl.log"));
}

TEST_F(NodeFillingTest, AMissingWorkbookOrFileHeaderFailsTheStep) {
    const std::string none = p("none.xlsx");
    try {
        startPellmark(none, attach);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(), "Excelfile nicht gefunden - " + none);
        EXPECT_EQ(e.source(), "startPellmark:runfill");
    }
    EXPECT_TRUE(Variablen().StepError);
    EXPECT_EQ(attached, 0);

    Variablen().StepError = false;
    const std::string noHeader = writeTextWorkbook(dir / "plain.xlsx", {{"file", "nn=5"}}).string();
    const std::string before = test::readFile(noHeader);
    EXPECT_THROW(
        {
            try {
                startPellmark(noHeader, attach);
            } catch (const Error& e) {
                EXPECT_EQ(e.description(),
                          "Eintrag - filename - in der ersten Zeile nicht gefunden");
                throw;
            }
        },
        Error);
    EXPECT_TRUE(Variablen().StepError);
    EXPECT_EQ(fillFake->keyins, Lines{"exit"});
    EXPECT_EQ(test::readFile(noHeader), before);
    EXPECT_FALSE(MSTNApp);
}

TEST_F(NodeFillingTest, ADrawingThatFailsGetsTheLocateToleranceBackBeforeMicroStationEnds) {
    fillFake->failingKeyin = "EDIT TEXT";
    EXPECT_THROW(runfill(workbookFile, {p("P1.i01")}, attach), Error);
    EXPECT_EQ(fillFake->macros.back(), macroSetting("savePrefs.locateTol", 10));
    const Lines end = {"MDL SILENTLOAD USERPREF", "macro " + (dir / "tmp/macro.bas").string(),
                       "MBE1 CLOSEMODAL OK", "exit"};
    EXPECT_EQ(Lines(fillFake->keyins.end() - end.size(), fillFake->keyins.end()), end);
}

}  // namespace
}  // namespace vtl

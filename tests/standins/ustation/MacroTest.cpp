// Macro files: reading "Sub main" and running its statements in order, directly and through the
// "macro" key-in.
#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "core/Error.h"
#include "engine/Macro.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

class RecordingHost : public MacroHost {
public:
    std::vector<std::string> log;
    void sendCommand(const std::string& keyins) override { log.push_back("command " + keyins); }
    void sendReset() override { log.push_back("reset"); }
    void setAppVariable(const std::string& a, const std::string& v, double value) override {
        log.push_back("set " + a + " " + v + " " + std::to_string(value));
    }
};

std::vector<std::string> run(const std::string& source) {
    RecordingHost host;
    runMacro(parseMacro(source), host);
    return host.log;
}

TEST(MacroTest, RunsTheStatementsOfSubMainInOrder) {
    std::string source =
        "' written by the program\r\n"
        "Sub main\r\n"
        "MbeSendCommand \"MDL SILENTLOAD USERPREF\"\r\n"
        "  MbeSetAppVariable\"USERPREF\", \"savePrefs.locateTol\", 10&\r\n"
        "\r\n"
        "Rem a comment\r\n"
        "MbeSendCommand(\"place text;say \"\"hi\"\";xy=1,2\")\r\n"
        "mbesetappvariable \"A\", \"b\", -2.5\r\n"
        "    MbeSendKeyin \"xy=3,4\"\r\n"
        "    MbeSendReset\r\n"
        "    MbeSendReset()\r\n"
        "End Sub\r\n";
    EXPECT_EQ(run(source), (std::vector<std::string>{
                               "command MDL SILENTLOAD USERPREF",
                               "set USERPREF savePrefs.locateTol 10.000000",
                               "command place text;say \"hi\";xy=1,2",
                               "set A b -2.500000",
                               "command xy=3,4",
                               "reset",
                               "reset",
                           }));
    // What the wizard writes for a project without a macro of its own.
    EXPECT_TRUE(run("Sub main\r\nEnd Sub\r\n").empty());
    EXPECT_EQ(run("Sub main\nMbeSendCommand \"reset\"\nEnd Sub"),
              (std::vector<std::string>{"command reset"}));
}

TEST(MacroTest, AMacroThatCannotRunRunsNothing) {
    const std::vector<std::pair<std::string, int>> bad = {
        {"Sub main\nMbeSendCommand \"a\"\nMsgBox \"hello\"\nEnd Sub\n", 3},
        {"Sub main\nMbeSendCommand \"a\"\n", 3},
        {"MbeSendCommand \"a\"\n", 2},
        {"Sub main\nMbeSendCommand \"a\nEnd Sub\n", 2},
        {"Sub main\nMbeSetAppVariable \"A\", \"b\", \"c\"\nEnd Sub\n", 2},
        {"Sub main\nMbeSendCommand \"a\", \"b\"\nEnd Sub\n", 2},
        {"Sub main\nMbeSendReset 1\nEnd Sub\n", 2},
    };
    for (const auto& [source, line] : bad) {
        try {
            parseMacro(source);
            ADD_FAILURE() << source;
        } catch (const Error& e) {
            EXPECT_EQ(e.line(), line) << source;
        }
    }
}

using MacroKeyinTest = EngineTest;

TEST_F(MacroKeyinTest, TheMacroKeyinRunsTheFileToItsEndBeforeTheNextKeyin) {
    open(newFile("macro.dgn"));
    auto macro = dir.write("my macros/macro.bas",
                           "Sub main\r\n"
                           "MbeSendCommand \"place lstring\"\r\n"
                           "MbeSendCommand \"xy=1,1;xy=2,2\"\r\n"
                           "MbeSetAppVariable \"USERPREF\", \"savePrefs.locateTol\", 1&\r\n"
                           "End Sub\r\n");
    app->MbeSendCommand("macro " + macro.string() + ";xy=3,3;reset");
    std::vector<std::string> lines = journalLines();
    std::vector<std::string> expected = {"keyin macro " + macro.string(),
                                         "keyin place lstring",
                                         "keyin xy=1,1",
                                         "keyin xy=2,2",
                                         "note macro sets USERPREF savePrefs.locateTol = 1",
                                         "keyin xy=3,3",
                                         "keyin reset"};
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - 7, lines.end()), expected);
    auto features = vtl::test::ogrFeatures(dir / "macro.dgn");
    ASSERT_EQ(features.size(), 1u);
    EXPECT_EQ(features[0].coordinates(), (std::vector<double>{1, 1, 2, 2, 3, 3}));
}

TEST_F(MacroKeyinTest, AMissingOrBrokenMacroIsJournaled) {
    app->MbeSendCommand("macro " + (dir / "none.bas").string());
    EXPECT_EQ(journalLines().back(), "note macro not found: " + (dir / "none.bas").string());
    auto broken =
        dir.write("broken.bas", "Sub main\nMbeSendCommand \"exit\"\nMbeSendCommand \"a\nEnd Sub\n");
    app->MbeSendCommand("macro " + broken.string());
    EXPECT_EQ(journalLines().back().rfind("note macro not run: " + broken.string(), 0), 0u);
    EXPECT_FALSE(app->quitRequested());
}

TEST_F(MacroKeyinTest, AnUnknownStatementIsMarkedAndNoStatementOfTheMacroRuns) {
    open(newFile("unknown.dgn"));
    auto macro = dir.write("cover.bas",
                           "Sub main\r\n  MbeSendCommand \"place text;T;xy=1,1\"\r\n"
                           "  MsgBox \"done\"\r\nEnd Sub\r\n");
    app->MbeSendCommand("macro " + macro.string() + ";place text;after;xy=2,2");
    EXPECT_TRUE(journalHas("UNKNOWN macro statement MsgBox \"done\" (" + macro.string() +
                           " line 3), macro not run"));
    std::vector<vtl::test::OgrFeature> texts =
        vtl::test::ofType(vtl::test::ogrFeatures(dir / "unknown.dgn"), 17);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].field("Text"), "after");
}

TEST_F(MacroKeyinTest, TheWizardsEmptyMacroRunsAndTheNextKeyinFollows) {
    auto macro = dir.write("icsmacro.bas", "Sub main\r\nEnd Sub\r\n");
    app->MbeSendCommand("macro " + macro.string() + ";reset");
    std::vector<std::string> lines = journalLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "keyin macro " + macro.string());
    EXPECT_EQ(lines.back(), "keyin reset");
}

TEST_F(MacroKeyinTest, AMacroStartingItselfStops) {
    auto self = dir / "self.bas";
    dir.write("self.bas", "Sub main\nMbeSendCommand \"macro " + self.string() + "\"\nEnd Sub\n");
    app->MbeSendCommand("macro " + self.string());
    EXPECT_EQ(journalLines().back(),
              "note macro not run, macros nested too deeply: " + self.string());
}

}  // namespace
}  // namespace vtl::ustation::test

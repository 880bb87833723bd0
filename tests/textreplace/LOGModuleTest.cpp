// The tool's log file: its name, banner and lines, and the messages and events written to it.
#include <gtest/gtest.h>

#include <QDateTime>

#include "ToolFixture.h"
#include "core/Text.h"
#include "platform/MessageBoxes.h"
#include "textreplace/Events.h"
#include "textreplace/LOGModule.h"

namespace vtl::tarnwell {
namespace {

namespace fs = std::filesystem;
using vtl::test::readFile;

std::vector<std::string> linesOf(const std::string& file) {
    std::vector<std::string> lines = text::split(readFile(file), '\n');
    for (std::string& line : lines) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
    }
    return lines;
}

class LogTest : public ::testing::Test {
protected:
    void at(const char* time) {
        const QDateTime fixed = QDateTime::fromString(time, "yyyy-MM-dd HH:mm:ss.zzz");
        LOGModule::setNowSource([fixed] { return fixed; });
    }

    test::ScopedTool tool;
    // An entry with a value holding "=", and a name longer than 24 characters.
    vtl::test::ScopedEnv shortName{"TWVAR", "a=b"};
    vtl::test::ScopedEnv longName{"TARNWELL_TEST_LONG_NAME_XY", "v"};
};

TEST_F(LogTest, AnAutomaticLogUnderTempHasTheBanner) {
    at("2024-05-06 07:08:09.000");
    LOGModule::InitLog("Brelvik Tarnwell 3.4.5.6", "", "");
    const std::string log = (tool.temp() / "Tarnwell/2024-05-06_070809_Tarnwell.log").string();
    EXPECT_EQ(LOGModule::GetLogFileName(), log);
    const std::vector<std::string> lines = linesOf(log);
    ASSERT_GT(lines.size(), 14u);
    const std::string stars(120, '*');
    EXPECT_EQ(lines[0], stars);
    const std::string path = tool.bin().string() + "/Tarnwell.exe";
    const std::string identity[] = {
        "*  Application:   Tarnwell", "*  Path:          " + path,
        "*  Version:       0.0.0.0",  "*  Date:          ",
        "*  Size:          5 Bytes",  "*  Description:   Brelvik Tarnwell 3.4.5.6"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(lines[i + 1].rfind(identity[i], 0), 0u) << lines[i + 1];
        EXPECT_EQ(lines[i + 1].size(), 120u) << lines[i + 1];
        EXPECT_EQ(lines[i + 1].back(), '*');
    }
    EXPECT_EQ(lines[7], stars);
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9].rfind("Log starting at ", 0), 0u);
    EXPECT_NE(lines[9].find("07:08:09"), std::string::npos);
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11],
              std::string(45, '*') + "Begin of environment variables" + std::string(45, '*'));
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("TWVAR" + std::string(19, ' ') + "a" + std::string(19, ' ') + "b"));
    EXPECT_TRUE(has("TARNWELL_TEST_LONG_NAME_XY  v"));
    EXPECT_TRUE(has(std::string(46, '*') + "End of environment variables" + std::string(46, '*')));
    EXPECT_EQ(lines.back(), "");
}

TEST_F(LogTest, AGivenFileInAnExistingFolderIsUsedAndTheOldOneKept) {
    const std::string file = tool.dir.write("own/tool.log", "old log").string();
    LOGModule::InitLog("", "", file);
    EXPECT_EQ(LOGModule::GetLogFileName(), file);
    EXPECT_EQ(readFile(file + ".bak"), "old log");
    const std::vector<std::string> lines = linesOf(file);
    EXPECT_EQ(lines[0], std::string(120, '*'));
    // No description line for a blank description.
    EXPECT_EQ(lines[6], std::string(120, '*'));
}

TEST_F(LogTest, OtherwiseTheAutomaticNameWithTheCallersName) {
    at("2024-05-06 07:08:09.000");
    LOGModule::InitLog("", "extract", (tool.dir / "missing/tool.log").string());
    EXPECT_EQ(LOGModule::GetLogFileName(),
              (tool.temp() / "Tarnwell/2024-05-06_070809_extract.log").string());
}

TEST_F(LogTest, TempItselfWhenItsFolderCannotBeMade) {
    tool.dir.write("temp/Tarnwell", "a file in the way");
    at("2024-05-06 07:08:09.000");
    LOGModule::InitLog("", "", "");
    EXPECT_EQ(LOGModule::GetLogFileName(),
              (tool.temp() / "2024-05-06_070809_Tarnwell.log").string());
    EXPECT_FALSE(readFile(LOGModule::GetLogFileName()).empty());
}

TEST_F(LogTest, AnEarlierAutomaticLogGoesOnUnderTheNewName) {
    at("2024-05-06 07:08:09.000");
    LOGModule::InitLog("first", "", "");
    const std::string first = LOGModule::GetLogFileName();
    LOGModule::WriteLogLine("one");
    // Within the same second the name stays, and the log with it.
    LOGModule::InitLog("again", "", "");
    EXPECT_EQ(LOGModule::GetLogFileName(), first);
    EXPECT_NE(readFile(first).find("one"), std::string::npos);

    at("2024-05-06 07:08:10.000");
    LOGModule::InitLog("second", "", "");
    const std::string second = LOGModule::GetLogFileName();
    EXPECT_NE(second, first);
    EXPECT_FALSE(fs::exists(first));
    const std::string content = readFile(second);
    EXPECT_NE(content.find("Description:   first"), std::string::npos);
    EXPECT_EQ(content.find("Description:   second"), std::string::npos);
    EXPECT_NE(content.find("one"), std::string::npos);
}

TEST_F(LogTest, ALineCarriesTheTimeToHundredths) {
    const std::string file = (tool.dir / "lines.log").string();
    LOGModule::InitLog("", "", file);
    const size_t banner = readFile(file).size();
    at("2024-05-06 13:45:07.250");
    LOGModule::WriteLogLine("hello");
    at("2024-05-06 13:45:08.040");
    LOGModule::WriteLogLine("   ");
    LOGModule::WriteLogLine("next");
    EXPECT_EQ(readFile(file).substr(banner),
              "2024-05-06 13:45:07.25  hello\r\n2024-05-06 13:45:08.04  next\r\n");
}

TEST_F(LogTest, MessagesAreShownUnderTheToolsTitleAndLoggedWithTheirSource) {
    const std::string file = (tool.dir / "messages.log").string();
    LOGModule::InitLog("", "", file);
    const size_t banner = readFile(file).size();
    at("2024-05-06 13:45:07.250");
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scoped{boxes};
    boxes.answer(platform::vbNo);
    EXPECT_EQ(ShowMessage("Overwrite file /a.xls?", 36), platform::vbNo);
    ShowMessage(Error(1, "XLS2DGN", "DGN file: '/a.dgn' not exists"), 48);
    ShowMessage(Error(1, programTitle(), " "), 48);
    EXPECT_EQ(boxes.messages(), (std::vector<platform::Message>{
                                    {"Overwrite file /a.xls?", 36, "Brelvik Tarnwell"},
                                    {"DGN file: '/a.dgn' not exists", 48, "Brelvik Tarnwell"},
                                    {"Unknown error", 48, "Brelvik Tarnwell"}}));
    EXPECT_EQ(readFile(file).substr(banner),
              "2024-05-06 13:45:07.25  Overwrite file /a.xls?\r\n"
              "2024-05-06 13:45:07.25  XLS2DGN: DGN file: '/a.dgn' not exists\r\n"
              "2024-05-06 13:45:07.25  Unknown error\r\n");
    // Messages are not events.
    EXPECT_TRUE(tool.events.empty());
}

TEST_F(LogTest, AnEventIsOneLineInTheLogAndTheEventList) {
    const std::string file = (tool.dir / "events.log").string();
    LOGModule::InitLog("", "", file);
    const size_t banner = readFile(file).size();
    at("2024-05-06 13:45:07.250");
    LogEvent("Replacing: \r\n'A-100'\r\n with: \r\n'A-200'");
    EXPECT_EQ(readFile(file).substr(banner),
              "2024-05-06 13:45:07.25  Replacing:  'A-100'  with:  'A-200'\r\n");
    EXPECT_EQ(tool.events, (std::vector<std::string>{"Replacing:  'A-100'  with:  'A-200'"}));
}

}  // namespace
}  // namespace vtl::tarnwell

// The settings file: defaults for what is missing, and the checks of the load.
#include <gtest/gtest.h>

#include "ToolFixture.h"
#include "textreplace/Settings.h"

namespace vtl::tarnwell::Settings {
namespace {

TEST(SettingsTest, AMissingFileGivesTheDefaults) {
    test::ScopedTool tool;
    const Values v = Load(tool.ini());
    EXPECT_EQ(v.InputDir, "");
    EXPECT_EQ(v.Extension, "dgn,i0*");
    EXPECT_EQ(v.XLSFile, "");
    EXPECT_EQ(v.Units, "M");
    EXPECT_EQ(v.DistX, "0");
    EXPECT_EQ(v.DistY, "0");
    EXPECT_EQ(v.DistZ, "0");
    EXPECT_EQ(v.Move, "0");
    EXPECT_EQ(v.ProcessFolder, 1);
    EXPECT_EQ(v.ProcessFiles, 0);
}

TEST(SettingsTest, EachValueIsCheckedAsItIsLoaded) {
    test::ScopedTool tool;
    const std::string project = tool.dir.write("project/readme", "").parent_path().string();
    tool.dir.write("bin/Tarnwell.ini",
                   "[Tarnwell]\nInputDir=" + project + "\nExtension=dgn\nXLSFile=" + project +
                       "/new.xls\nUnits= mm \nDistX=1,5\nDistY= 1.5 \nDistZ=abc\nMove= 1 \n"
                       "ProcessFolder=yes\nProcessFiles=1\n");
    Values v = Load(tool.ini());
    EXPECT_EQ(v.InputDir, project);
    EXPECT_EQ(v.Extension, "dgn");
    // The workbook need not exist yet; its folder must.
    EXPECT_EQ(v.XLSFile, project + "/new.xls");
    EXPECT_EQ(v.Units, "MM");
    EXPECT_EQ(v.DistX, "0");
    EXPECT_EQ(v.DistY, "1.5");
    EXPECT_EQ(v.DistZ, "0");
    EXPECT_EQ(v.Move, "1");
    EXPECT_EQ(v.ProcessFolder, 0);
    EXPECT_EQ(v.ProcessFiles, 1);

    tool.dir.write("bin/Tarnwell.ini",
                   "[Tarnwell]\nInputDir=" + project + "/gone\nXLSFile=" + project +
                       "/gone/cfg.xls\nUnits=cm\nDistX=1e999\nMove=2\nProcessFiles=-1\n");
    v = Load(tool.ini());
    EXPECT_EQ(v.InputDir, "");
    EXPECT_EQ(v.XLSFile, "");
    EXPECT_EQ(v.Units, "M");
    EXPECT_EQ(v.DistX, "0");
    EXPECT_EQ(v.Move, "0");
    EXPECT_EQ(v.ProcessFolder, 1);
    EXPECT_EQ(v.ProcessFiles, 0);
}

TEST(SettingsTest, GarbageGivesTheDefaultsAndAnUnreadableFileFails) {
    test::ScopedTool tool;
    const char garbage[] = "\x01\xff[Tar\nnwell\0ProcessFolder=0";
    tool.dir.write("bin/Tarnwell.ini", std::string(garbage, sizeof garbage - 1));
    EXPECT_EQ(Load(tool.ini()).ProcessFolder, 1);
    std::filesystem::remove(tool.ini());
    std::filesystem::create_directory(tool.ini());
    EXPECT_THROW(Load(tool.ini()), Error);
}

}  // namespace
}  // namespace vtl::tarnwell::Settings

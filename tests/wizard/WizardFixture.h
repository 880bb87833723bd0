// The wizard's form without a window: a fake main program, a recording MicroStation and
// recording previews, message boxes and dialogs held in memory, TEMP and the configuration file
// in a folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/INIFileModule.h"
#include "common/mstnmacro.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowSystem.h"
#include "support/FakeClock.h"
#include "support/FakeMicroStation.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "wizard/WizardForm.h"

namespace vtl::wizard::test {

using vtl::test::FakeMicroStation;
using vtl::test::readFile;
using vtl::test::TempDir;

class FakeHost : public WizardHost {
public:
    std::string mstnPath = "/opt/mstn/ustation.exe";
    std::string inifile;
    std::filesystem::path folder;
    bool prevInstance = false;
    int ended = 0;

    std::string GetMSTNPath() override { return mstnPath; }
    std::string Inifile() override { return inifile; }
    std::filesystem::path programFolder() override { return folder; }
    bool PrevInstance() override { return prevInstance; }
    void endProgram() override { ++ended; }
};

// Records each preview by its handler's name.
class RecordingPreviews : public Previews {
public:
    std::vector<std::string> calls;

    void HScrollVistrel_Change() override { calls.push_back("HScrollVistrel_Change"); }
    void HScrollIsoCoverSheet_Change() override { calls.push_back("HScrollIsoCoverSheet_Change"); }
    void HScrollIso3D_Change() override { calls.push_back("HScrollIso3D_Change"); }
    void HScrollVistrel_Validate() override { calls.push_back("HScrollVistrel_Validate"); }
    void cmbPipeLevel_Click() override { calls.push_back("cmbPipeLevel_Click"); }
    void txtCellScaleFactor_Change() override { calls.push_back("txtCellScaleFactor_Change"); }
    void cmbLineEndLevel_Click() override { calls.push_back("cmbLineEndLevel_Click"); }
    void cmbIso3DLevel_Click() override { calls.push_back("cmbIso3DLevel_Click"); }
    void TDBGrid_ColResize(int column) override {
        calls.push_back("TDBGrid_ColResize(" + std::to_string(column) + ")");
    }
    void txtHeightTab_Validate() override { calls.push_back("txtHeightTab_Validate"); }
    void txtWidthTab_Validate() override { calls.push_back("txtWidthTab_Validate"); }
    void txtLineEndHeight_Validate() override { calls.push_back("txtLineEndHeight_Validate"); }
    void txtLineEndWidth_Validate() override { calls.push_back("txtLineEndWidth_Validate"); }
    void txtIso3DHeight_Validate() override { calls.push_back("txtIso3DHeight_Validate"); }
    void txtIso3DWidth_Validate() override { calls.push_back("txtIso3DWidth_Validate"); }
    void txtMinLineLength_Validate() override { calls.push_back("txtMinLineLength_Validate"); }
    void txtCellScaleFactor_Validate() override { calls.push_back("txtCellScaleFactor_Validate"); }
};

class WizardTest : public ::testing::Test {
protected:
    WizardTest();
    ~WizardTest() override;

    // A file that exists, in the test's folder.
    std::string file(const std::string& name, const std::string& content = "dgn");
    // Writes the configuration file and points the main window's box at it.
    void configure(const std::string& ini);
    std::string key(const std::string& section, const std::string& name) const;
    // The drawing MicroStation measures: one line across the extent.
    void drawing(double xmin, double xmax, double ymin, double ymax);
    // The start-up timer: lists, sample table, configuration, first page.
    void start();
    // The files of the samples: seeds, iso drawing, cell library, all existing.
    std::string sampleIni(const std::string& extra = "");
    std::vector<std::string> messageTexts() const { return messages.texts(); }

    TempDir dir;
    vtl::test::ScopedPlatformHome home;
    vtl::test::ScopedEnv temp{"TEMP", (dir / "temp").string()};
    std::filesystem::path ini = dir / "config.ini";
    FakeHost host;
    std::shared_ptr<FakeMicroStation> fake = std::make_shared<FakeMicroStation>();
    std::vector<std::string> opened;
    platform::RecordingMessageBoxes messages;
    platform::ScopedMessageBoxes scopedMessages{messages};
    platform::ScriptedFileDialogs dialogs;
    platform::ScopedFileDialogs scopedDialogs{dialogs};
    vtl::test::FakeWindowSystem windows;
    platform::ScopedWindows scopedWindows{windows};
    vtl::test::FakeProcesses processes;
    platform::ScopedProcesses scopedProcesses{processes};
    vtl::test::FakeClock fakeClock;
    ScopedClock scopedClock{fakeClock};
    std::unique_ptr<WizardForm> form;
    RecordingPreviews* previews = nullptr;
};

}  // namespace vtl::wizard::test

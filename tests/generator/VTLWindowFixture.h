// What the tests of the main window share: a private X server with one application for the whole
// test program, and a window whose dialogs, message boxes, shell and program end are fakes, with
// or without the stand-in MicroStation as its installation.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "StandInTools.h"
#include "common/RegistryModule.h"
#include "common/modMSTN.h"
#include "common/modProcess.h"
#include "core/Error.h"
#include "generator/RunSteps.h"
#include "generator/VTL.h"
#include "generator/Variablen.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"
#include "platform/XvfbDesktop.h"
#include "support/FakePlatform.h"
#include "support/StandInKill.h"
#include "support/TempDir.h"

namespace vtl::test {

// The shared private desktop, with the program's title that message boxes carry.
class Desktop : public XvfbDesktop {
public:
    Desktop() : XvfbDesktop("vtl") {}
    void SetUp() override {
        XvfbDesktop::SetUp();
        setProgramTitle("Vistrel");
    }
};

// Every test program of the window has the desktop, set up once before its first test.
[[maybe_unused]] inline ::testing::Environment* const desktop =
    ::testing::AddGlobalTestEnvironment(new Desktop);

// Steps that do nothing unless a test gives them something to do.
class ScriptedSteps : public RunSteps {
public:
    std::function<void()> onOverview;
    int overviews = 0;

    void leitung_einzeichnen(bool) override {
        ++overviews;
        if (onOverview) onOverview();
    }
    void VTLhineinkopieren() override {}
    void startPellmark() override {}
    void findI3DimportFaktor() override {}
    void createI3Dfile() override {}
    void lineEndNumber() override {}
    void IsoCoverSheet() override {}
    void Gridfile_zerlegen() override {}
    void find_endpoint_diff() override {}
    void searchidf() override {}
    void placeTabelle() override {}
    void iplotiso(const std::string&) override {}
};

// The program folder holds the pointer INI, which names config.ini in the project folder; TMP
// and TEMP are the test's folder, so the run log is vtl.log there.
class VTLWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Desktop::ready()) GTEST_SKIP() << "Xvfb did not start";
        resetRunState();
        std::filesystem::create_directories(dir / "program");
        dir.write("program/vtl.ini", "[Programm]\ninifile=" + config() + "\n");
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        resetRunState();
    }

    std::string config() const { return (dir / "project/config.ini").string(); }
    std::string logfile() const { return (dir / "vtl.log").string(); }
    std::filesystem::path programFolder() const { return dir / "program"; }

    VTL& start() {
        window =
            std::make_unique<VTL>(VTL::Options{&steps, programFolder(), [this] { ++programEnds; }});
        window->Form_Load();
        return *window;
    }
    // Lets the start-up timer list the MicroStation installations.
    void waitForStartUpTimer() {
        auto* timer = find<QTimer>("Timer1");
        ASSERT_NE(timer, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 5000));
    }
    template <class T>
    T* find(const char* name) const {
        return window->findChild<T*>(name);
    }
    std::string exe(const std::string& name) { return dir.write(name, "").string(); }
    void install(const std::string& key, const std::string& path, const std::string& version) {
        const std::string full = std::string(modMSTN::kInstallationsKey) + key;
        RegistryModule::RegSetValue(RegistryModule::HKEY_LOCAL_MACHINE, full, "PathName", path, "");
        RegistryModule::RegSetValue(RegistryModule::HKEY_LOCAL_MACHINE, full, "Version", version,
                                    "");
    }

    TempDir dir;
    ScopedPlatformHome home;
    ScopedEnv tmp{"TMP", dir.str()};
    ScopedEnv temp{"TEMP", dir.str()};
    platform::ScriptedFileDialogs dialogs;
    platform::ScopedFileDialogs scopedDialogs{dialogs};
    platform::RecordingMessageBoxes messages;
    platform::ScopedMessageBoxes scopedMessages{messages};
    test::FakeShell shell;
    platform::ScopedShell scopedShell{shell};
    ScriptedSteps steps;
    int programEnds = 0;
    std::unique_ptr<VTL> window;
};

// The window with the stand-in MicroStation as the one installation. No stand-in runs before a
// test or stays after it.
class StandInWindowFixture : public VTLWindowFixture {
protected:
    void SetUp() override {
        VTLWindowFixture::SetUp();
        if (IsSkipped()) return;
        test::killStandIns();
        install("07.01 Stand-in", kStandIn, "07.01.00.00");
    }
    void TearDown() override {
        test::killStandIns();
        VTLWindowFixture::TearDown();
    }
};

}  // namespace vtl::test

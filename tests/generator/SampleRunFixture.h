// The main window on a copy of the sample project, set up as the demo sets it up: the built seeds,
// cell library and drawings beside the sources, the configuration with the copy's path, the
// pointer INI naming it. Tests choose header files in the window's dialog and press Start.
#pragma once

#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "VTLWindowFixture.h"
#include "common/INIFileModule.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "generator/Hfile_zerlegen.h"
#include "generator/RunSteps.h"

namespace vtl::test {

class SampleRunFixture : public StandInWindowFixture {
protected:
    void SetUp() override {
        StandInWindowFixture::SetUp();
        if (IsSkipped()) return;
        namespace fs = std::filesystem;
        fs::copy(VTL_SAMPLES_DIR, samples(), fs::copy_options::recursive);
        fs::copy(VTL_BUILT_SAMPLES_DIR, samples(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        dir.write("samples/project/vtl-sample.ini",
                  text::replaceAll(readFile(ini()), "@SAMPLES@", samples().string()));
        dir.write("program/vtl.ini", "[Programm]\ninifile=" + ini() + "\n");
    }

    std::filesystem::path samples() const { return dir / "samples"; }
    std::filesystem::path project(const std::string& name) const {
        return samples() / "project" / name;
    }
    std::string ini() const { return (samples() / "project/vtl-sample.ini").string(); }
    std::string setting(const std::string& section, const std::string& key) const {
        return INIFileModule::ReadINI(ini(), section, key, "");
    }
    // The options of the main window as the configuration gives them.
    void options(const std::string& vtl, const std::string& ics, const std::string& i3d,
                 const std::string& pellmark) {
        INIFileModule::WriteINI(ini(), "Programm", "createVTL", vtl);
        INIFileModule::WriteINI(ini(), "Programm", "createICS", ics);
        INIFileModule::WriteINI(ini(), "Programm", "createI3D", i3d);
        INIFileModule::WriteINI(ini(), "Pellmark", "Pellmark", pellmark);
    }

    // Chooses the header files in the window's dialog, presses Start and waits for the final
    // message.
    void runFromTheWindow(RunSteps& runSteps, const std::vector<std::string>& headers) {
        window = std::make_unique<VTL>(
            VTL::Options{&runSteps, programFolder(), [this] { ++programEnds; }});
        window->Form_Load();
        window->show();
        waitForStartUpTimer();
        ASSERT_EQ(window->GetMSTNPath(), kStandIn);
        std::vector<std::string> paths;
        for (const std::string& header : headers) paths.push_back(project(header).string());
        dialogs.answerMany(paths);
        QTest::mouseClick(find<QPushButton>("hfilewahl"), Qt::LeftButton);
        ASSERT_TRUE(find<QPushButton>("Start")->isEnabled());
        QTest::mouseClick(find<QPushButton>("Start"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !messages.messages().empty(); }, 120000));
    }

    // The header file parsed as the run parses it, with the topology dump it logs.
    HeaderData parsed(const std::string& header, const std::string& name,
                      std::vector<std::string>* dump = nullptr) const {
        HeaderData h;
        h.HText = readFile(project(header));
        Hfile_zerlegen(h, {project(header).string(), (samples() / "project").string() + "/", name},
                       static_cast<int32_t>(num::leadingNumber(setting("Vistrel", "Unitfactor"))),
                       [dump](const std::vector<std::string>& lines) {
                           if (dump) *dump = lines;
                       });
        return h;
    }
};

}  // namespace vtl::test

#include "WizardFixture.h"

#include <fstream>

#include "generator/Variablen.h"

namespace vtl::wizard::test {

WizardTest::WizardTest() {
    std::filesystem::create_directories(dir / "temp");
    host.folder = dir / "program";
    VTLWizardBase::xstep = VTLWizardBase::ystep = VTLWizardBase::gridstep = 0;
    form = std::make_unique<WizardForm>(host);
    auto recording = std::make_unique<RecordingPreviews>();
    previews = recording.get();
    form->setPreviews(std::move(recording));
    form->MSTNOpen = [this](const std::string& path) -> std::shared_ptr<mstn::Application> {
        opened.push_back(path);
        return fake;
    };
    std::string table;
    for (int i = 0; i < 256; ++i)
        table += {static_cast<char>(i), static_cast<char>(255 - i), '\x10'};
    fake->configVars["MS_DEFCTBL"] = file("data/color.tbl", table);
    // The wizard's MicroStation shows its main window while the fake stands in for it.
    windows.open("MicroStation - seed.dgn", "MSTNTop");
}

WizardTest::~WizardTest() {
    form.reset();
    MSTNApp.reset();
    resetRunState();
}

std::string WizardTest::file(const std::string& name, const std::string& content) {
    return dir.write(name, content).string();
}

void WizardTest::configure(const std::string& content) {
    std::ofstream(ini) << content;
    host.inifile = ini.string();
}

std::string WizardTest::key(const std::string& section, const std::string& name) const {
    return INIFileModule::ReadINI(ini.string(), section, name, "<missing>");
}

// The same drawing for every working copy the page change opens.
void WizardTest::drawing(double xmin, double xmax, double ymin, double ymax) {
    vtl::test::FakeElement line{4, 0, {}, 40};
    line.start = {xmin, ymin, 0};
    line.end = {xmax, ymax, 0};
    const std::vector<vtl::test::FakeElement> elements = {{9, 0, {}, 1536}, line};
    const std::string folder = form->workingCopies().folder();
    for (const char* copy : {"/vistrel-seed/", "/iso/", "/coversheet-seed/"}) {
        for (const char* name :
             {"vtlseed.dgn", "demo.i01", "other.i01", "icsseed.dgn", "seed.dgn"}) {
            fake->designs[folder + copy + name] = elements;
        }
    }
}

void WizardTest::start() {
    form->Form_Load();
    form->Timer1.tick();
}

std::string WizardTest::sampleIni(const std::string& extra) {
    return "[Vistrel]\nseedfile=" + file("seed/vtlseed.dgn") +
           "\nISOGENIsometryFile=" + file("iso/demo.i01") +
           "\n[IsoCoverSheet]\nICSseedfile=" + file("seed/icsseed.dgn") +
           "\n[I3D]\nI3Dseedfile=" + file("seed/i3dseed.dgn") +
           "\n[Cell]\nCELFile=" + file("seed/vtl.cel") + "\n" + extra;
}

}  // namespace vtl::wizard::test

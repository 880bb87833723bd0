// The settings of a page written into the configuration file when the page is left or the
// wizard closes; a missing grid file and cover-sheet macro are created beside the iso drawing.
#include <fstream>

#include "WizardForm.h"
#include "common/FileOperationModule.h"
#include "common/INIFileModule.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "platform/MessageBoxes.h"

namespace vtl::wizard {

namespace {

using VTLWizardBase::gridstep;
using VTLWizardBase::xstep;
using VTLWizardBase::ystep;

// The part of a status panel after its last ": ", nothing when it has none.
std::optional<std::string> afterColon(const StatusBar& bar, int panel) {
    const std::string& text = bar.panel(panel);
    const size_t colon = text.rfind(": ");
    if (colon == std::string::npos) return std::nullopt;
    return text.substr(colon + 2);
}

// Makes a file that does not exist yet; one that exists is never written.
void createNew(const std::string& path, const std::string& content) {
    if (FileOperationModule::IsFileExists(path, 0)) return;
    std::ofstream file(path, std::ios::binary | std::ios::out | std::ios::app);
    file << content;
    file.close();
    if (!file) raise(err::PathFileAccess, "Path/File access error: '" + path + "'");
}

}  // namespace

void WizardForm::SaveTabSettings(int TabIndex) {
    if (txtVTLConfig.Text().empty() || TabIndex < 0 || TabIndex > 2) return;
    // A page group is written only when it shows this file's values and the user changed one.
    const int group = TabIndex == kPageVistrel ? 0 : 1;
    if (!loaded(group) || !modified(group)) return;
    try {
        if (TabIndex == kPageVistrel) {
            saveVistrel();
        } else {
            saveCoverSheet();
            saveIso3D();
        }
        modified_[static_cast<size_t>(group)] = false;
    } catch (...) {
        showError(platform::vbExclamation);
    }
}

// The colour only when one is selected; the other values as the controls show them.
void WizardForm::saveSymbology(const SymbologyKeys& keys) {
    const SymbologyControls& k = keys.controls;
    auto write = [&](const char* key, const std::string& value) {
        writeKey(keys.section, keys.prefix + key, value);
    };
    if (k.colour.selected() > 0) write("co", k.colour.selectedText());
    write("lv", k.level.Text());
    write("lc", k.style.selectedText());
    write("wt", k.weight.selectedText());
    if (k.height) write("tx", k.height->Text());
    if (k.width) write("tw", k.width->Text());
}

void WizardForm::saveVistrel() {
    if (txtISOFile.Text().empty()) return;
    saveSymbology(pipeKeys());
    if (auto point = afterColon(StatusBar1, 2)) writeKey("Vistrel", "refpoint", *point);
    if (auto scale = afterColon(StatusBar1, 1)) writeKey("Vistrel", "refscale", *scale);
    // An empty box for a library that was missing when loaded keeps the configured path.
    if (!(celFileMissing_ && txtCelFile.Text().empty())) {
        writeKey("Cell", "CELFile", txtCelFile.Text());
    }
    writeKey("Cell", "CellName", txtCellName.Text());
    writeKey("Cell", "MinLineLength", txtMinLineLength.Text());
    writeKey("Cell", "ScaleFactor", txtCellScaleFactor.Text());
}

void WizardForm::saveCoverSheet() {
    if (txtICSSeedFile[0]->Text().empty()) return;
    const char* ics = "IsoCoverSheet";
    saveSymbology(tableKeys());
    writeKey(ics, "TABtextJustification", "LC");
    const double left = HScrollTab.Value() * xstep;
    writeKey(ics, "TABnumberpoint", num::text(left));
    writeKey(ics, "TABlineheight", num::text(VScrollTab.Value() * ystep));
    const char* edges[] = {"TABlabelpoint", "TABXpoint", "TABYpoint", "TABZpoint"};
    double widths = 0;
    for (int column = 0; column < 4; ++column) {
        widths += TDBGrid.columnWidth(column);
        writeKey(ics, edges[column], num::text(widths * gridstep + left));
    }
    writeKey(ics, "TABlinespacing", num::text(2 * TDBGrid.RowHeight() * ystep));
    if (auto point = afterColon(StatusBar3, 2)) writeKey(ics, "ICSrefpoint", *point);
    if (auto scale = afterColon(StatusBar3, 1)) writeKey(ics, "ICSrefscale", *scale);
    saveSymbology(lineEndKeys());
    writeKey(ics, "LENtextJustification", "CC");
    if (!txtISOFile.Text().empty()) createGridAndMacro();
}

// The grid file and the cover-sheet macro the configuration names, beside the iso drawing when
// the named ones do not exist; files of those names that exist are kept as they are.
void WizardForm::createGridAndMacro() {
    const std::string& iso = txtISOFile.Text();
    const size_t slash = iso.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "" : text::trim(iso.substr(0, slash + 1));
    if (!FileOperationModule::IsFileExists(readKey("IsoCoverSheet", "Gridfile"), 0)) {
        writeKey("IsoCoverSheet", "Gridfile", folder + "FW_project.dat");
        createNew(folder + "FW_project.dat", "");
    }
    if (!FileOperationModule::IsFileExists(readKey("IsoCoverSheet", "ICSmacro"), 0)) {
        writeKey("IsoCoverSheet", "ICSmacro", folder + "icsmacro.bas");
        createNew(folder + "icsmacro.bas", "Sub main\r\nEnd Sub\r\n");
    }
}

void WizardForm::saveIso3D() {
    if (txtI3DSeedFile.Text().empty()) return;
    saveSymbology(iso3DKeys());
    writeKey("I3D", "I3DLENtextJustification", "CC");
    if (auto point = afterColon(StatusBar7, 2)) writeKey("I3D", "I3Drefpoint", *point);
    if (auto scale = afterColon(StatusBar7, 1)) writeKey("I3D", "I3Drefscale", *scale);
}

}  // namespace vtl::wizard

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
    // A page group shows this file's settings only once it has been loaded from it.
    if (!loaded(TabIndex == kPageVistrel ? 0 : 1)) return;
    try {
        if (TabIndex == kPageVistrel) {
            saveVistrel();
        } else {
            saveCoverSheet();
            saveIso3D();
        }
    } catch (...) {
        showError(platform::vbExclamation);
    }
}

void WizardForm::saveKey(const std::string& section, const std::string& key,
                         const std::string& value, const std::vector<std::string>& sources) {
    const size_t group = groupOf(section);
    if (untouched(static_cast<int>(group), sources) &&
        stored_[group].count(text::lower(section + "/" + key)) > 0) {
        return;  // as the INI holds it
    }
    writeKey(section, key, value);
}

// The colour only when one is selected; the other values as the controls show them.
void WizardForm::saveSymbology(const SymbologyKeys& keys) {
    const SymbologyControls& k = keys.controls;
    auto save = [&](const char* key, const std::string& value, const Control& source) {
        saveKey(keys.section, keys.prefix + key, value, {source.name()});
    };
    if (k.colour.selected() > 0) save("co", k.colour.selectedText(), k.colour);
    save("lv", k.level.Text(), k.level);
    save("lc", k.style.selectedText(), k.style);
    save("wt", k.weight.selectedText(), k.weight);
    if (k.height) save("tx", k.height->Text(), *k.height);
    if (k.width) save("tw", k.width->Text(), *k.width);
}

// The point and the scale as the status bar shows them.
void WizardForm::savePlacement(const std::string& section, const char* point, const char* scale,
                               const StatusBar& status, const ScrollBar& h, const ScrollBar& v,
                               const ScrollBar& scaleBar) {
    if (auto at = afterColon(status, 2)) saveKey(section, point, *at, {h.name(), v.name()});
    if (auto ratio = afterColon(status, 1)) saveKey(section, scale, *ratio, {scaleBar.name()});
}

void WizardForm::saveVistrel() {
    if (txtISOFile.Text().empty()) return;
    saveSymbology(pipeKeys());
    savePlacement("Vistrel", "refpoint", "refscale", StatusBar1, HScrollVistrel, VScrollVistrel,
                  HScrollScaleVistrel);
    // An empty box for a library that was missing when loaded keeps the configured path, as
    // every untouched key does.
    for (const auto& [key, box] : {std::pair{"CELFile", &txtCelFile},
                                   {"CellName", &txtCellName},
                                   {"MinLineLength", &txtMinLineLength},
                                   {"ScaleFactor", &txtCellScaleFactor}}) {
        saveKey("Cell", key, box->Text(), {box->name()});
    }
}

void WizardForm::saveCoverSheet() {
    if (txtICSSeedFile[0]->Text().empty()) return;
    const char* ics = "IsoCoverSheet";
    saveSymbology(tableKeys());
    saveKey(ics, "TABtextJustification", "LC", {});
    saveTable();
    savePlacement(ics, "ICSrefpoint", "ICSrefscale", StatusBar3, HScrollIsoCoverSheet,
                  VScrollIsoCoverSheet, HScrollScaleIsoCoverSheet);
    saveSymbology(lineEndKeys());
    saveKey(ics, "LENtextJustification", "CC", {});
    if (!txtISOFile.Text().empty()) createGridAndMacro();
}

// Each column's x comes from the table's position and the widths of the columns left of it.
void WizardForm::saveTable() {
    const char* ics = "IsoCoverSheet";
    const TableLayout t = tableLayout();
    std::vector<std::string> sources = {HScrollTab.name()};
    saveKey(ics, "TABnumberpoint", t.columns[0], sources);
    saveKey(ics, "TABlineheight", t.top, {VScrollTab.name()});
    const char* edges[] = {"TABlabelpoint", "TABXpoint", "TABYpoint", "TABZpoint"};
    for (int column = 0; column < 4; ++column) {
        sources.push_back(gridPart(column));
        saveKey(ics, edges[column], t.columns[static_cast<size_t>(column) + 1], sources);
    }
    saveKey(ics, "TABlinespacing", t.spacing, {gridPart(-1)});
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
    saveKey("I3D", "I3DLENtextJustification", "CC", {});
    savePlacement("I3D", "I3Drefpoint", "I3Drefscale", StatusBar7, HScrollIso3D, VScrollIso3D,
                  HScrollScaleIso3D);
}

}  // namespace vtl::wizard

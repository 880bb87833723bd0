// The INI values of a page group shown in its controls, with the wizard's own defaults and
// ranges: a value that is missing, not a number or out of range shows as the default, so the
// controls always show what they can hold.
#include "WizardForm.h"
#include "common/FileOperationModule.h"
#include "core/Error.h"
#include "core/Numbers.h"

namespace vtl::wizard {

namespace {

using VTLWizardBase::gridstep;
using VTLWizardBase::xstep;
using VTLWizardBase::ystep;

constexpr long kDivisionByZero = 11;

bool numeric(const std::string& s) {
    return IsNumeric(s);
}

double Val(const std::string& s) {
    return num::leadingNumber(s);
}

double divide(double a, double b) {
    if (b == 0) raise(kDivisionByZero, "Division by zero");
    return a / b;
}

// The value, or the default when it is not a number or lies outside the range.
std::string ranged(const std::string& value, const std::string& fallback, double low, double high) {
    const std::string v = numeric(value) ? value : fallback;
    return Val(v) < low || Val(v) > high ? fallback : v;
}

std::string numericOr(const std::string& value, const std::string& fallback) {
    return numeric(value) ? value : fallback;
}

int itemOf(const std::string& value) {
    return num::toLong(Val(value)) + 1;
}

// A colour table shorter than the usual 256 colours may lack the one configured.
void showColour(ListView& list, const std::string& value) {
    const int item = itemOf(value);
    if (item > static_cast<int>(list.items().size())) {
        raise(kOwnError, "The colour table has no colour " + std::to_string(item - 1) + " (" +
                             list.name() + ")");
    }
    list.select(item);
}

void showLevel(ComboBox& combo, const std::string& value) {
    combo.setText(std::to_string(num::toLong(Val(value))));
}

// The key is a point "x,y" that both bars can show.
bool fits(const std::string& s, const ScrollBar& h, const ScrollBar& v) {
    const size_t comma = s.find(',');
    if (comma == std::string::npos) return false;
    const std::string x = s.substr(0, comma), y = s.substr(comma + 1);
    return numeric(x) && h.holds(divide(Val(x), xstep)) && numeric(y) &&
           v.holds(divide(Val(y), ystep));
}

}  // namespace

bool IsNumeric(const std::string& text) {
    try {
        return num::parseNumber(text).has_value();
    } catch (const Error&) {  // beyond the range of a number
        return false;
    }
}

void WizardForm::loadTabValues(int tab) {
    const size_t group = tab == kPageVistrel ? 0 : 1;
    loaded_[group] = false;
    modified_[group] = false;
    if (tab == kPageVistrel) {
        loadVistrelValues();
    } else {
        loadCoverSheetValues();
    }
    loaded_[group] = true;
}

SymbologyControls WizardForm::pipeSymbology() {
    return {lvPipeColor, cmbPipeLevel, icmbPipeStyle, icmbPipeWeight, nullptr, nullptr, StatusBar2};
}

SymbologyControls WizardForm::tableSymbology() {
    return {lvTabColor,    cmbTabLevel,  icmbTabStyle, icmbTabWeight,
            &txtHeightTab, &txtWidthTab, StatusBar4};
}

SymbologyControls WizardForm::lineEndSymbology() {
    return {lvLineEndColor,    cmbLineEndLevel,  icmbLineEndStyle, icmbLineEndWeight,
            &txtLineEndHeight, &txtLineEndWidth, StatusBar6};
}

SymbologyControls WizardForm::iso3DSymbology() {
    return {lvIso3DColor,    cmbIso3DLevel,  icmbIso3DStyle, icmbIso3DWeight,
            &txtIso3DHeight, &txtIso3DWidth, StatusBar5};
}

WizardForm::SymbologyKeys WizardForm::pipeKeys() {
    return {"Vistrel", "pipe", pipeSymbology(), {"3", "40", "0", "0", "", ""}};
}

WizardForm::SymbologyKeys WizardForm::tableKeys() {
    return {"IsoCoverSheet", "TABtext", tableSymbology(), {"1", "1", "0", "1", "3.5", "2.5"}};
}

WizardForm::SymbologyKeys WizardForm::lineEndKeys() {
    return {"IsoCoverSheet", "LENtext", lineEndSymbology(), {"1", "1", "0", "1", "0.2", "0.2"}};
}

WizardForm::SymbologyKeys WizardForm::iso3DKeys() {
    return {"I3D", "I3DLENtext", iso3DSymbology(), {"3", "40", "0", "0", "2", "2"}};
}

// Colours 0 to 255, levels 1 to 63, styles 0 to 7 and weights 0 to 15, as the lists hold them.
void WizardForm::loadSymbology(const SymbologyKeys& keys) {
    const SymbologyControls& k = keys.controls;
    auto read = [&](const char* key) { return readKey(keys.section, keys.prefix + key); };
    showColour(k.colour, ranged(read("co"), keys.defaults[0], 0, 255));
    showLevel(k.level, ranged(read("lv"), keys.defaults[1], 1, 63));
    k.style.select(itemOf(ranged(read("lc"), keys.defaults[2], 0, 7)));
    k.weight.select(itemOf(ranged(read("wt"), keys.defaults[3], 0, 15)));
    if (k.height) k.height->setText(numericOr(read("tx"), keys.defaults[4]));
    if (k.width) k.width->setText(numericOr(read("tw"), keys.defaults[5]));
}

void WizardForm::loadVistrelValues() {
    loadSymbology(pipeKeys());
    loadPoint("Vistrel", "refpoint", HScrollVistrel, VScrollVistrel);
    loadScale("Vistrel", "refscale", "2:1", HScrollScaleVistrel);
    const std::string library = readKey("Cell", "CelFile");
    const bool found = FileOperationModule::IsFileExists(library, 0);
    txtCelFile.setText(found ? library : "");
    celFileMissing_ = !found && !library.empty();
    txtCellName.setText(readKey("Cell", "CellName"));
    txtCellScaleFactor.setText(numericOr(readKey("Cell", "ScaleFactor"), "0.01"));
    txtMinLineLength.setText(numericOr(readKey("Cell", "MinLineLength"), "9999"));
}

void WizardForm::loadCoverSheetValues() {
    loadSymbology(tableKeys());
    loadTableValues();
    loadPoint("IsoCoverSheet", "ICSrefpoint", HScrollIsoCoverSheet, VScrollIsoCoverSheet);
    loadScale("IsoCoverSheet", "ICSrefscale", "15:1", HScrollScaleIsoCoverSheet);
    loadSymbology(lineEndKeys());
    loadSymbology(iso3DKeys());
    loadPoint("I3D", "I3Drefpoint", HScrollIso3D, VScrollIso3D);
    loadScale("I3D", "I3Drefscale", "1:7", HScrollScaleIso3D);
}

// The table's position and its column edges, each the x of a column's right edge. A position
// the bars cannot show, or an edge left of the one before it, keeps what the page showed.
void WizardForm::loadTableValues() {
    const char* ics = "IsoCoverSheet";
    const std::string number = readKey(ics, "TABnumberpoint");
    if (numeric(number) && HScrollTab.holds(divide(Val(number), xstep))) {
        HScrollTab.setValue(num::toInteger(Val(number) / xstep));
    }
    const std::string height = readKey(ics, "TABlineheight");
    if (numeric(height) && VScrollTab.holds(divide(Val(height), ystep))) {
        VScrollTab.setValue(num::toInteger(Val(height) / ystep));
    }
    std::string last = readKey(ics, "TABZpoint");
    if (!numeric(last) || last == "0" || !(Val(last) > 0)) last = "300";
    gridstep = Val(last) / TDBGrid.Width();
    const char* edges[] = {"TABlabelpoint", "TABXpoint", "TABYpoint", "TABZpoint"};
    double before = 0;
    for (int column = 0; column < 4; ++column) {
        const std::string edge = readKey(ics, edges[column]);
        if (numeric(edge) && edge != "0") {
            const double width = (Val(edge) - HScrollTab.Value() * xstep) / gridstep - before;
            if (width > 0) TDBGrid.setColumnWidth(column, width);
        }
        before += TDBGrid.columnWidth(column);
    }
    const std::string spacing = readKey(ics, "TABlinespacing");
    if (numeric(spacing) && divide(Val(spacing), ystep) > 0) {
        TDBGrid.setRowHeight(Val(spacing) / ystep / 2);
    }
}

// A point "x,y" into a pair of position bars; what the bars cannot show leaves them at their
// starting values.
void WizardForm::loadPoint(const std::string& section, const std::string& key, ScrollBar& h,
                           ScrollBar& v) {
    std::string s = readKey(section, key);
    if (!fits(s, h, v)) s = num::text(h.Value() * xstep) + "," + num::text(v.Value() * ystep);
    const size_t comma = s.find(',');
    h.setValue(num::toInteger(Val(s.substr(0, comma)) / xstep));
    v.setValue(num::toInteger(Val(s.substr(comma + 1)) / ystep));
}

// A scale "M:R" into a scale bar: 100 + M when M is not "1", else 100 - R. A scale the bar
// cannot show is taken as the default.
void WizardForm::loadScale(const std::string& section, const std::string& key,
                           const std::string& fallback, ScrollBar& bar) {
    auto valueOf = [](const std::string& s) -> std::optional<int> {
        const size_t colon = s.find(':');
        if (colon == std::string::npos) return std::nullopt;
        const std::string m = s.substr(0, colon), r = s.substr(colon + 1);
        if (!numeric(m) || !numeric(r)) return std::nullopt;
        const double value = m != "1" ? 100 + Val(m) : 100 - Val(r);
        if (!(value > 0.5 && value < 199.5)) return std::nullopt;
        return num::toInteger(value);
    };
    std::optional<int> value = valueOf(readKey(section, key));
    if (!value || !bar.holds(*value)) value = valueOf(fallback);
    bar.setValue(*value);
}

}  // namespace vtl::wizard

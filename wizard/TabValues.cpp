// The INI values of a page group shown in its controls, with the wizard's own defaults and
// ranges: a value that is missing, not a number or out of range shows as the default, so the
// controls always show what they can hold. Points, scales and the table's positions and spacing
// that are numbers put their bars and grid at the nearest they can show, and the page shows and
// keeps the configured text until the user changes those controls.
#include <algorithm>
#include <cmath>

#include "PreviewKeyins.h"
#include "WizardForm.h"
#include "common/FileOperationModule.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"

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

// The bar at the position nearest to the value.
void nearest(ScrollBar& bar, double value) {
    const double low = std::min(bar.Min(), bar.Max()), high = std::max(bar.Min(), bar.Max());
    bar.setValue(num::toInteger(std::clamp(value, low, high)));
}

// The scale a scale-bar position stands for: 102 is 2:1, 93 is 1:7, 99 to 101 are 1:1.
double ratioOf(int position) {
    return position > 100 ? position - 100 : 1.0 / std::max(100 - position, 1);
}

// The bar's position for a scale "M:R": M:1 and 1:R exactly where the bar has them, any other
// ratio at the position nearest to it (7:10 at 1:2).
std::optional<int> scaleBarValue(const std::string& s, const ScrollBar& bar) {
    const size_t colon = s.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const std::string m = s.substr(0, colon), r = s.substr(colon + 1);
    if (!numeric(m) || !numeric(r)) return std::nullopt;
    const double ratio = Val(m) / Val(r);
    if (!(ratio > 0) || !std::isfinite(ratio)) return std::nullopt;
    std::optional<int> best;
    double distance = 0;
    for (int p = std::min(bar.Min(), bar.Max()); p <= std::max(bar.Min(), bar.Max()); ++p) {
        const double d = std::abs(std::log(ratioOf(p) / ratio));
        if (!best || d < distance - 1e-12) {
            best = p;
            distance = d;
        }
    }
    return best;
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
    stored_[group].clear();
    kept_[group].clear();
    touched_[group].clear();
    if (tab == kPageVistrel) {
        loadVistrelValues();
    } else {
        loadCoverSheetValues();
    }
    loaded_[group] = true;
}

size_t groupOf(const std::string& section) {
    return section == "Vistrel" || section == "Cell" ? 0 : 1;
}

std::string gridPart(int column) {
    return column < 0 ? "TDBGrid.RowHeight" : "TDBGrid.Columns(" + std::to_string(column) + ")";
}

void WizardForm::keep(int group, const std::string& source, const std::string& text) {
    kept_[static_cast<size_t>(group)][source] = text;
}

bool WizardForm::untouched(int group, const std::vector<std::string>& sources) const {
    const std::set<std::string>& touched = touched_[static_cast<size_t>(group)];
    return std::none_of(sources.begin(), sources.end(),
                        [&touched](const std::string& s) { return touched.count(s) > 0; });
}

std::optional<std::string> WizardForm::kept(int group, const std::string& source,
                                            const std::vector<std::string>& sources) const {
    const std::map<std::string, std::string>& texts = kept_[static_cast<size_t>(group)];
    const auto text = texts.find(source);
    if (text == texts.end() || !untouched(group, sources)) return std::nullopt;
    return text->second;
}

std::string WizardForm::scaleOf(const ScrollBar& bar) const {
    return kept(bar.group(), bar.name(), {bar.name()}).value_or(preview::scaleText(bar.Value()));
}

std::string WizardForm::coordinateOf(const ScrollBar& bar, double step) const {
    return kept(bar.group(), bar.name(), {bar.name()})
        .value_or(num::text(num::RoundValue(bar.Value() * step, 5)));
}

// Each column's x follows from the one before it and its width while it is not the stored one.
WizardForm::TableLayout WizardForm::tableLayout() const {
    TableLayout t;
    std::vector<std::string> sources = {HScrollTab.name()};
    t.columns[0] = kept(kPageIsoCoverSheet, HScrollTab.name(), sources)
                       .value_or(num::text(HScrollTab.Value() * xstep));
    for (int column = 0; column < 4; ++column) {
        sources.push_back(gridPart(column));
        const double x =
            Val(t.columns[static_cast<size_t>(column)]) + TDBGrid.columnWidth(column) * gridstep;
        t.columns[static_cast<size_t>(column) + 1] =
            kept(kPageIsoCoverSheet, gridPart(column), sources).value_or(num::text(x));
    }
    t.top = kept(kPageIsoCoverSheet, VScrollTab.name(), {VScrollTab.name()})
                .value_or(num::text(VScrollTab.Value() * ystep));
    t.spacing = kept(kPageIsoCoverSheet, gridPart(-1), {gridPart(-1)})
                    .value_or(num::text(tableDirection_ * 2 * TDBGrid.RowHeight() * ystep));
    return t;
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

// Colours 0 to 255, levels 1 to 63, styles 0 to 7 and weights 0 to 15, as the lists hold them
// and the run draws them.
void WizardForm::loadSymbology(const SymbologyKeys& keys) {
    const SymbologyControls& k = keys.controls;
    auto read = [&](const char* key) { return loadKey(keys.section, keys.prefix + key); };
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
    const std::string library = loadKey("Cell", "CelFile");
    txtCelFile.setText(FileOperationModule::IsFileExists(library, 0) ? library : "");
    txtCellName.setText(loadKey("Cell", "CellName"));
    txtCellScaleFactor.setText(numericOr(loadKey("Cell", "ScaleFactor"), "0.01"));
    txtMinLineLength.setText(numericOr(loadKey("Cell", "MinLineLength"), "9999"));
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

void WizardForm::loadTableValues() {
    tableDirection_ = 1;
    loadTablePosition();
    loadTableGrid(Val(tableLayout().columns[0]));
    // The grid shows the rows' distance; which way they run is kept apart.
    const std::string spacing = loadKey("IsoCoverSheet", "TABlinespacing");
    if (!numeric(spacing)) return;
    keep(kPageIsoCoverSheet, gridPart(-1), text::trim(spacing));
    const double height = divide(Val(spacing), ystep) / 2;
    if (height < 0) tableDirection_ = -1;
    if (height != 0) TDBGrid.setRowHeight(std::abs(height));
}

// The table's first column and first row on the position bars.
void WizardForm::loadTablePosition() {
    const std::string number = loadKey("IsoCoverSheet", "TABnumberpoint");
    if (numeric(number)) {
        nearest(HScrollTab, divide(Val(number), xstep));
        keep(kPageIsoCoverSheet, HScrollTab.name(), text::trim(number));
    }
    const std::string height = loadKey("IsoCoverSheet", "TABlineheight");
    if (numeric(height)) {
        nearest(VScrollTab, divide(Val(height), ystep));
        keep(kPageIsoCoverSheet, VScrollTab.name(), text::trim(height));
    }
}

// The columns' widths from their right edges, measured from the table's left edge. An edge
// left of the one before it keeps the width the grid shows.
void WizardForm::loadTableGrid(double left) {
    const char* ics = "IsoCoverSheet";
    std::string last = loadKey(ics, "TABZpoint");
    if (!numeric(last) || last == "0" || !(Val(last) > 0)) last = "300";
    gridstep = Val(last) / TDBGrid.Width();
    const char* edges[] = {"TABlabelpoint", "TABXpoint", "TABYpoint", "TABZpoint"};
    double before = 0;
    for (int column = 0; column < 4; ++column) {
        const std::string edge = loadKey(ics, edges[column]);
        if (numeric(edge)) keep(kPageIsoCoverSheet, gridPart(column), text::trim(edge));
        if (numeric(edge) && edge != "0") {
            const double width = (Val(edge) - left) / gridstep - before;
            if (width > 0) TDBGrid.setColumnWidth(column, width);
        }
        before += TDBGrid.columnWidth(column);
    }
}

// A point "x,y" on a pair of position bars, each at its nearest position to the coordinate,
// which the page shows as it stands. A point that is no pair of numbers leaves the bars at their
// starting values.
void WizardForm::loadPoint(const std::string& section, const std::string& key, ScrollBar& h,
                           ScrollBar& v) {
    const std::string s = loadKey(section, key);
    const size_t comma = s.find(',');
    if (comma == std::string::npos) return;
    const std::string x = text::trim(s.substr(0, comma)), y = text::trim(s.substr(comma + 1));
    if (!numeric(x) || !numeric(y)) return;
    nearest(h, divide(Val(x), xstep));
    nearest(v, divide(Val(y), ystep));
    keep(h.group(), h.name(), x);
    keep(v.group(), v.name(), y);
}

// A scale "M:R" on a scale bar, at the bar's position nearest to it, shown as it stands; one
// that is no pair of numbers or no positive ratio shows as the default.
void WizardForm::loadScale(const std::string& section, const std::string& key,
                           const std::string& fallback, ScrollBar& bar) {
    const std::string s = loadKey(section, key);
    if (const std::optional<int> value = scaleBarValue(s, bar)) {
        bar.setValue(*value);
        const size_t colon = s.find(':');
        keep(bar.group(), bar.name(),
             text::trim(s.substr(0, colon)) + ":" + text::trim(s.substr(colon + 1)));
        return;
    }
    bar.setValue(scaleBarValue(fallback, bar).value_or(bar.Value()));
}

}  // namespace vtl::wizard

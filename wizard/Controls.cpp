#include "Controls.h"

#include <algorithm>

#include "core/Error.h"
#include "core/Numbers.h"

namespace vtl::wizard {

namespace {

[[noreturn]] void invalidValue(const std::string& control, const std::string& value) {
    throw Error(kInvalidPropertyValue, "", "Invalid property value: " + value + " for " + control);
}

void fire(const std::function<void()>& event) {
    if (event) event();
}

}  // namespace

// --- Control -------------------------------------------------------------------------------------

Control::Control(std::string name, int group) : name_(std::move(name)), group_(group) {}

void Control::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    changed();
}

void Control::changed() const {
    if (refresh) refresh();
}

void Control::changedBy(By by) {
    changed();
    if (by == By::User && userChanged) userChanged(*this);
}

void Button::click() {
    fire(onClick);
}

void Timer::setInterval(int ms) {
    if (ms == interval_) return;
    interval_ = std::max(ms, 0);
    changed();
}

void Timer::tick() {
    if (running()) fire(onTimer);
}

// --- Text box ------------------------------------------------------------------------------------

void TextBox::setText(const std::string& text, By by) {
    std::string kept = text;
    if (by == By::User) {
        std::erase_if(kept, [this](char c) { return refused.find(c) != std::string::npos; });
        // The window shows what the box kept.
        if (kept != text) changed();
    }
    if (kept == text_) return;
    text_ = kept;
    changedBy(by);
    fire(onChange);
}

void TextBox::keyUp(int keyCode) {
    if (onKeyUp) onKeyUp(keyCode);
}

// --- Scroll bar ----------------------------------------------------------------------------------

bool ScrollBar::holds(double value) const {
    return value >= std::min(min_, max_) && value <= std::max(min_, max_);
}

void ScrollBar::setMin(int min) {
    min_ = num::toInteger(min);
    keepInRange();
}

void ScrollBar::setMax(int max) {
    max_ = num::toInteger(max);
    keepInRange();
}

void ScrollBar::keepInRange() {
    changed();
    if (holds(value_)) return;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    changed();
    fire(onChange);
}

void ScrollBar::setValue(int value, By by) {
    if (!holds(value)) invalidValue(name(), std::to_string(value));
    if (value == value_) return;
    value_ = value;
    changedBy(by);
    fire(onChange);
}

void ScrollBar::setLargeChange(int change) {
    largeChange_ = num::toInteger(change);
    changed();
}

void ScrollBar::setSmallChange(int change) {
    smallChange_ = num::toInteger(change);
    changed();
}

// --- Lists ---------------------------------------------------------------------------------------

void ComboBox::Clear() {
    items_.clear();
    text_.clear();
    changed();
}

void ComboBox::AddItem(const std::string& item) {
    items_.push_back(item);
    changed();
}

void ComboBox::setText(const std::string& text) {
    if (std::find(items_.begin(), items_.end(), text) == items_.end()) {
        invalidValue(name(), "\"" + text + "\"");
    }
    text_ = text;
    changed();
}

void ComboBox::pick(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    text_ = items_[static_cast<size_t>(index)];
    changedBy(By::User);
    fire(onClick);
}

template <class Item>
const std::string& ItemList<Item>::selectedText() const {
    if (selected_ == 0) throw objectNotSet();
    return items_[static_cast<size_t>(selected_ - 1)].text;
}

template <class Item>
void ItemList<Item>::checkItem(int index) const {
    if (index < 1 || index > static_cast<int>(items_.size())) {
        invalidValue(name(), "item " + std::to_string(index));
    }
}

template class ItemList<PictureItem>;
template class ItemList<ColourItem>;

void ImageCombo::select(int index, By by) {
    checkItem(index);
    if (index == selected_ && by == By::Program) return;
    selected_ = index;
    changedBy(by);
    fire(onClick);
}

void ListView::select(int index, By by) {
    checkItem(index);
    if (index != selected_) {
        selected_ = index;
        changedBy(by);
    }
    if (by != By::User) return;
    fire(onItemClick);
    fire(onClick);
}

// --- Status bar, tabs, grid
// ------------------------------------------------------------------------

StatusBar::StatusBar(std::string name, int group, std::vector<std::string> panels)
    : Control(std::move(name), group), panels_(std::move(panels)) {}

const std::string& StatusBar::panel(int index) const {
    if (index < 1 || index > panelCount()) invalidValue(name(), "panel " + std::to_string(index));
    return panels_[static_cast<size_t>(index - 1)];
}

void StatusBar::setPanel(int index, const std::string& text) {
    if (index < 1 || index > panelCount()) invalidValue(name(), "panel " + std::to_string(index));
    panels_[static_cast<size_t>(index - 1)] = text;
    changed();
}

TabControl::TabControl(std::string name, int group, std::vector<std::string> captions)
    : Control(std::move(name), group),
      captions_(std::move(captions)),
      pageEnabled_(captions_.size(), true) {}

void TabControl::setTab(int tab) {
    if (tab < 0 || tab >= static_cast<int>(captions_.size())) {
        invalidValue(name(), "page " + std::to_string(tab));
    }
    if (tab == tab_) return;
    const int previous = tab_;
    tab_ = tab;
    changed();
    if (onClick) onClick(previous);
}

bool TabControl::TabEnabled(int page) const {
    return page >= 0 && page < static_cast<int>(pageEnabled_.size()) &&
           pageEnabled_[static_cast<size_t>(page)];
}

void TabControl::setTabEnabled(int page, bool enabled) {
    if (page < 0 || page >= static_cast<int>(pageEnabled_.size())) return;
    pageEnabled_[static_cast<size_t>(page)] = enabled;
    changed();
}

Grid::Grid(std::string name, int group, double width)
    : Control(std::move(name), group), width_(width) {}

void Grid::setCol(int col) {
    col_ = std::clamp(col, 0, std::max(columnCount() - 1, 0));
    changed();
}

double Grid::columnWidth(int column) const {
    if (column < 0 || column >= columnCount()) {
        invalidValue(name(), "column " + std::to_string(column));
    }
    return widths_[static_cast<size_t>(column)];
}

void Grid::setColumnWidth(int column, double width, By by) {
    if (column < 0 || column >= columnCount() || !(width > 0)) {
        invalidValue(name(), "column " + std::to_string(column) + " width " + num::text(width));
    }
    widths_[static_cast<size_t>(column)] = width;
    changedBy(by);
    if (by == By::User && onColResize) onColResize(column);
}

void Grid::setColumnCount(int count, double width) {
    widths_.assign(static_cast<size_t>(std::max(count, 0)), width);
    changed();
}

void Grid::setRowHeight(double height, By by) {
    if (!(height > 0)) invalidValue(name(), "row height " + num::text(height));
    rowHeight_ = height;
    changedBy(by);
    if (by == By::User) fire(onRowResize);
}

}  // namespace vtl::wizard

// The wizard's controls apart from any toolkit: the properties its procedures read and set,
// with the events the form's code relies on. Setting a value or a text from code raises the
// change event at once, and nothing when the value does not change; a value a control cannot
// hold is refused with the runtime's error. The window shows each control and hands the user's
// actions back to it (as changes by the user); tests drive the controls directly.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vtl::wizard {

// Who changed a control: the program, or the user at the window.
enum class By { Program, User };

// The runtime's error for a value a control cannot hold.
inline constexpr long kInvalidPropertyValue = 380;

class Control {
public:
    Control(std::string name, int group);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    // The page group whose settings the control shows: 0 "Vistrel", 1 "IsoCoverSheet" and
    // "Iso3D" (saved together), -1 none.
    int group() const { return group_; }
    bool Enabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);

    // Called after a property changed, so the window follows.
    std::function<void()> refresh;
    // Called after the user changed the control's value.
    std::function<void(Control&)> userChanged;

protected:
    void changed() const;
    void changedBy(By by);

private:
    std::string name_;
    int group_;
    bool enabled_ = true;
};

class Button : public Control {
public:
    using Control::Control;
    std::function<void()> onClick;
    void click();
};

class Timer : public Control {
public:
    using Control::Control;
    int Interval() const { return interval_; }
    void setInterval(int ms);
    // Fires when enabled with an interval above 0.
    bool running() const { return Enabled() && interval_ > 0; }
    std::function<void()> onTimer;
    void tick();

private:
    int interval_ = 0;
};

class TextBox : public Control {
public:
    using Control::Control;
    const std::string& Text() const { return text_; }
    void setText(const std::string& text, By by = By::Program);
    std::string Tag;
    // Characters the user cannot type into the box: they are left out of what is typed.
    std::string refused;
    // A key released in the box (13 is Enter).
    void keyUp(int keyCode);
    std::function<void()> onChange;
    std::function<void()> onValidate;
    std::function<void(int keyCode)> onKeyUp;
    // Puts the focus back into the box; set by the window.
    std::function<void()> setFocus;

private:
    std::string text_;
};

// A scroll bar of 16-bit values. Min may be larger than Max (a bar that runs downwards).
class ScrollBar : public Control {
public:
    using Control::Control;
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    int LargeChange() const { return largeChange_; }
    int SmallChange() const { return smallChange_; }
    // A value left outside a new range moves to its nearer end, raising the change event.
    void setMin(int min);
    void setMax(int max);
    // Error 380 for a value outside the range.
    void setValue(int value, By by = By::Program);
    void setLargeChange(int change);
    void setSmallChange(int change);
    bool holds(double value) const;
    std::function<void()> onChange;
    std::function<void()> onValidate;

private:
    void keepInRange();
    int min_ = 0;
    int max_ = 32767;
    int value_ = 0;
    int largeChange_ = 1;
    int smallChange_ = 1;
};

// A drop-down list of texts: the level boxes. Picking an item raises Click.
class ComboBox : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    void Clear();
    void AddItem(const std::string& item);
    const std::string& Text() const { return text_; }
    // Shows the item of that text; error 380 when there is none.
    void setText(const std::string& text);
    // The user's pick of an item (from 0).
    void pick(int index);
    std::function<void()> onClick;
    std::function<void()> onValidate;

private:
    std::vector<std::string> items_;
    std::string text_;
};

// A list of items, each with its text; items count from 1, 0 selects none.
template <class Item>
class ItemList : public Control {
public:
    using Control::Control;
    const std::vector<Item>& items() const { return items_; }
    void Clear() {
        items_.clear();
        selected_ = 0;
        changed();
    }
    void Add(Item item) {
        items_.push_back(std::move(item));
        changed();
    }
    int selected() const { return selected_; }
    // The selected item's text; error 91 when none is selected.
    const std::string& selectedText() const;

protected:
    // Error 380 for an index that names no item.
    void checkItem(int index) const;
    int selected_ = 0;

private:
    std::vector<Item> items_;
};

struct PictureItem {
    std::string text;
    int image = 0;  // the picture's index in its image list, from 1
};

struct ColourItem {
    std::string text;
    uint32_t foreColor = 0;  // 0xRRGGBB
};

// The style and weight boxes. Selecting an item, also from code, raises Click.
class ImageCombo : public ItemList<PictureItem> {
public:
    using ItemList::ItemList;
    void select(int index, By by = By::Program);
    std::function<void()> onClick;
    std::function<void()> onValidate;
};

// The colour lists: each item's text in its colour. Only the user's clicks raise ItemClick
// and Click.
class ListView : public ItemList<ColourItem> {
public:
    using ItemList::ItemList;
    void select(int index, By by = By::Program);
    std::function<void()> onItemClick;
    std::function<void()> onClick;
    std::function<void()> onValidate;
};

// Status panels, counted from 1.
class StatusBar : public Control {
public:
    StatusBar(std::string name, int group, std::vector<std::string> panels);
    int panelCount() const { return static_cast<int>(panels_.size()); }
    const std::string& panel(int index) const;
    void setPanel(int index, const std::string& text);

private:
    std::vector<std::string> panels_;
};

// A tab control: its pages are enabled one by one; changing the shown page raises Click with
// the page left.
class TabControl : public Control {
public:
    TabControl(std::string name, int group, std::vector<std::string> captions);
    const std::vector<std::string>& captions() const { return captions_; }
    int Tab() const { return tab_; }
    void setTab(int tab);
    bool TabEnabled(int page) const;
    void setTabEnabled(int page, bool enabled);
    std::string Tag;
    std::function<void(int previousTab)> onClick;

private:
    std::vector<std::string> captions_;
    std::vector<bool> pageEnabled_;
    int tab_ = 0;
};

// The sample table's grid: column widths and one row height in the grid's units, the current
// column, and the grid's own width.
class Grid : public Control {
public:
    Grid(std::string name, int group, double width);
    double Width() const { return width_; }
    int Col() const { return col_; }
    void setCol(int col);
    int columnCount() const { return static_cast<int>(widths_.size()); }
    double columnWidth(int column) const;
    void setColumnWidth(int column, double width, By by = By::Program);
    void setColumnCount(int count, double width);
    double RowHeight() const { return rowHeight_; }
    void setRowHeight(double height, By by = By::Program);
    std::function<void(int column)> onColResize;
    std::function<void()> onRowResize;

private:
    double width_;
    std::vector<double> widths_;
    double rowHeight_ = 0;
    int col_ = 0;
};

}  // namespace vtl::wizard

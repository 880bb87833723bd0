#include "ControlWidgets.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

#include "core/Error.h"
#include "platform/MessageBoxes.h"
#include "workbook/RecordsetModel.h"

namespace vtl::wizard {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Calls back when the widget loses the focus: the control's Validate.
class FocusOut : public QObject {
public:
    FocusOut(QWidget* widget, std::function<void()> lost)
        : QObject(widget), lost_(std::move(lost)) {
        widget->installEventFilter(this);
    }

protected:
    // Only a move to another control of the window validates: not a message box or another
    // program's window taking the focus.
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::FocusOut || !lost_) return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            userAction(lost_);
        }
        return false;
    }

private:
    std::function<void()> lost_;
};

// Hands each released key to the box: 13 for Enter, the toolkit's key code otherwise.
class KeyUp : public QObject {
public:
    KeyUp(QWidget* widget, TextBox& box) : QObject(widget), box_(box) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyRelease) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat()) return false;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        userAction([&] { box_.keyUp(enter ? 13 : key->key()); });
        return false;
    }

private:
    TextBox& box_;
};

template <class Widget>
Widget* named(Widget* widget, const Control& control) {
    widget->setObjectName(qs(control.name()));
    return widget;
}

void validateOnFocusOut(QWidget* widget, const std::function<void()>& validate) {
    new FocusOut(widget, [&validate] {
        if (validate) validate();
    });
}

}  // namespace

void userAction(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        platform::MsgBox(toError(std::current_exception()).description(), platform::vbExclamation);
    }
}

QPushButton* buttonFor(Button& button, const char* caption, QWidget* parent) {
    auto* b = named(new QPushButton(caption, parent), button);
    // Enter in a box belongs to the box (the numeric boxes validate on it): no button of the
    // window is pressed by it.
    b->setAutoDefault(false);
    button.refresh = [b, &button] { b->setEnabled(button.Enabled()); };
    QObject::connect(b, &QPushButton::clicked, b,
                     [&button] { userAction([&] { button.click(); }); });
    button.refresh();
    return b;
}

QLineEdit* textFor(TextBox& box, bool editable, QWidget* parent) {
    auto* e = named(new QLineEdit(parent), box);
    e->setReadOnly(!editable);
    box.refresh = [e, &box] {
        if (e->text() != qs(box.Text())) e->setText(qs(box.Text()));
        e->setEnabled(box.Enabled());
    };
    QObject::connect(e, &QLineEdit::textEdited, e, [&box](const QString& text) {
        userAction([&] { box.setText(text.toStdString(), By::User); });
    });
    new KeyUp(e, box);
    box.setFocus = [e] { e->setFocus(Qt::OtherFocusReason); };
    validateOnFocusOut(e, box.onValidate);
    box.refresh();
    return e;
}

QScrollBar* barFor(ScrollBar& bar, Qt::Orientation orientation, QWidget* parent) {
    auto* s = named(new QScrollBar(orientation, parent), bar);
    s->setTracking(false);  // a drag changes the value once, when it ends
    bar.refresh = [s, &bar] {
        const QSignalBlocker quiet(s);
        s->setRange(std::min(bar.Min(), bar.Max()), std::max(bar.Min(), bar.Max()));
        s->setInvertedAppearance(bar.Min() > bar.Max());
        s->setValue(bar.Value());
        s->setPageStep(bar.LargeChange());
        s->setSingleStep(bar.SmallChange());
        s->setEnabled(bar.Enabled());
    };
    QObject::connect(s, &QScrollBar::valueChanged, s, [&bar](int value) {
        if (value != bar.Value()) userAction([&] { bar.setValue(value, By::User); });
    });
    validateOnFocusOut(s, bar.onValidate);
    bar.refresh();
    return s;
}

QComboBox* comboFor(ComboBox& combo, QWidget* parent) {
    auto* c = named(new QComboBox(parent), combo);
    combo.refresh = [c, &combo] {
        const QSignalBlocker quiet(c);
        const auto& items = combo.items();
        if (c->count() > static_cast<int>(items.size())) c->clear();
        for (size_t i = static_cast<size_t>(c->count()); i < items.size(); ++i) {
            c->addItem(qs(items[i]));
        }
        c->setCurrentIndex(c->findText(qs(combo.Text())));
        c->setEnabled(combo.Enabled());
    };
    QObject::connect(c, &QComboBox::activated, c,
                     [&combo](int index) { userAction([&] { combo.pick(index); }); });
    validateOnFocusOut(c, combo.onValidate);
    combo.refresh();
    return c;
}

QComboBox* imageComboFor(ImageCombo& combo, const std::vector<QPixmap>& pictures, QWidget* parent) {
    auto* c = named(new QComboBox(parent), combo);
    c->setIconSize(pictures.empty() ? QSize() : pictures.front().size());
    c->setMinimumContentsLength(3);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo.refresh = [c, &combo, pictures] {
        const QSignalBlocker quiet(c);
        const auto& items = combo.items();
        if (c->count() > static_cast<int>(items.size())) c->clear();
        for (size_t i = static_cast<size_t>(c->count()); i < items.size(); ++i) {
            const size_t image = static_cast<size_t>(items[i].image - 1);
            c->addItem(image < pictures.size() ? QIcon(pictures[image]) : QIcon(),
                       qs(items[i].text));
        }
        c->setCurrentIndex(combo.selected() - 1);
        c->setEnabled(combo.Enabled());
    };
    QObject::connect(c, &QComboBox::activated, c, [&combo](int index) {
        userAction([&] { combo.select(index + 1, By::User); });
    });
    validateOnFocusOut(c, combo.onValidate);
    combo.refresh();
    return c;
}

QListWidget* listFor(ListView& list, QWidget* parent) {
    auto* w = named(new QListWidget(parent), list);
    w->setFlow(QListView::LeftToRight);
    w->setWrapping(true);
    w->setUniformItemSizes(true);
    w->setSpacing(1);
    // The colours as MicroStation shows them, on its dark view.
    w->setStyleSheet("QListWidget { background: #202020; }");
    list.refresh = [w, &list] {
        const QSignalBlocker quiet(w);
        const auto& items = list.items();
        if (w->count() > static_cast<int>(items.size())) w->clear();
        for (size_t i = static_cast<size_t>(w->count()); i < items.size(); ++i) {
            auto* item = new QListWidgetItem(qs(items[i].text), w);
            item->setForeground(QColor::fromRgb(items[i].foreColor));
        }
        w->setCurrentRow(list.selected() - 1);
        w->setEnabled(list.Enabled());
    };
    QObject::connect(w, &QListWidget::itemClicked, w, [w, &list](QListWidgetItem* item) {
        userAction([&] { list.select(w->row(item) + 1, By::User); });
    });
    validateOnFocusOut(w, list.onValidate);
    list.refresh();
    return w;
}

QStatusBar* statusFor(StatusBar& bar, QWidget* parent) {
    auto* s = named(new QStatusBar(parent), bar);
    s->setSizeGripEnabled(false);
    std::vector<QLabel*> panels;
    for (int i = 1; i <= bar.panelCount(); ++i) {
        auto* label = new QLabel(s);
        label->setObjectName(qs(bar.name() + ".Panels(" + std::to_string(i) + ")"));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        s->addWidget(label, 1);
        panels.push_back(label);
    }
    bar.refresh = [s, &bar, panels] {
        for (int i = 1; i <= bar.panelCount(); ++i) {
            panels[static_cast<size_t>(i - 1)]->setText(qs(bar.panel(i)));
        }
        s->setEnabled(bar.Enabled());
    };
    bar.refresh();
    return s;
}

void bindTabs(TabControl& tabs, QTabWidget* widget) {
    named(widget, tabs);
    tabs.refresh = [widget, &tabs] {
        const QSignalBlocker quiet(widget);
        for (int page = 0; page < widget->count(); ++page) {
            widget->setTabEnabled(page, tabs.TabEnabled(page));
        }
        widget->setCurrentIndex(tabs.Tab());
    };
    QObject::connect(widget, &QTabWidget::currentChanged, widget, [&tabs](int page) {
        if (page != tabs.Tab()) userAction([&] { tabs.setTab(page); });
    });
    tabs.refresh();
}

namespace {

// The grid's sizes are twips; the screen shows them in pixels of its resolution.
struct Twips {
    double perPixelX, perPixelY;
    explicit Twips(const QWidget* w)
        : perPixelX(1440.0 / w->logicalDpiX()), perPixelY(1440.0 / w->logicalDpiY()) {}
    int pixelsX(double twips) const { return static_cast<int>(std::lround(twips / perPixelX)); }
    int pixelsY(double twips) const { return static_cast<int>(std::lround(twips / perPixelY)); }
};

// A header resizes its sections live while the user drags; the grid learns the new size when
// the button is released, once per resize, as a grid's resize event comes.
class SectionResize : public QObject {
public:
    SectionResize(QHeaderView* header, std::function<void(int, int)> resized)
        : QObject(header), resized_(std::move(resized)) {
        header->viewport()->installEventFilter(this);
        connect(header, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
            if (size <= 0) return;
            pending_[section] = size;
            if (!pressed_) flush();
        });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            pressed_ = true;
        } else if (type == QEvent::MouseButtonRelease) {
            pressed_ = false;
            flush();
        }
        return false;
    }

private:
    void flush() {
        const std::map<int, int> sizes = std::exchange(pending_, {});
        for (const auto& [section, size] : sizes) resized_(section, size);
    }
    std::function<void(int, int)> resized_;
    std::map<int, int> pending_;
    bool pressed_ = false;
};

// The model reads the recordset as it is; the view learns of new rows or fields through a model
// made afresh.
void showRows(QTableView* view, const Grid& grid, const ado::Recordset& rows,
              std::pair<long, int>& shape) {
    const long records = rows.State() == ado::adStateOpen ? rows.RecordCount() : 0;
    if (shape == std::make_pair(records, grid.columnCount())) return;
    shape = {records, grid.columnCount()};
    auto* old = view->model();
    view->setModel(new ado::RecordsetModel(rows, view));
    old->deleteLater();
}

}  // namespace

QTableView* gridFor(Grid& grid, const ado::Recordset& rows, QWidget* parent) {
    auto* view = named(new QTableView(parent), grid);
    const Twips twips(view);
    view->setFixedWidth(twips.pixelsX(grid.Width()));
    view->setModel(new ado::RecordsetModel(rows, view));
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Rows as low as the configuration makes them, so what the grid shows is what is saved.
    view->verticalHeader()->setMinimumSectionSize(1);
    auto shape = std::make_shared<std::pair<long, int>>(-1, -1);
    grid.refresh = [view, &grid, &rows, shape, twips] {
        showRows(view, grid, rows, *shape);
        const QSignalBlocker columns(view->horizontalHeader()), lines(view->verticalHeader());
        for (int c = 0; c < grid.columnCount(); ++c) {
            view->horizontalHeader()->resizeSection(c, twips.pixelsX(grid.columnWidth(c)));
        }
        const int height = twips.pixelsY(grid.RowHeight());
        view->verticalHeader()->setDefaultSectionSize(height);
        for (int r = 0; r < view->model()->rowCount(); ++r)
            view->verticalHeader()->resizeSection(r, height);
        view->setEnabled(grid.Enabled());
    };
    new SectionResize(view->horizontalHeader(), [&grid, twips](int column, int width) {
        if (column >= grid.columnCount()) return;
        userAction([&] { grid.setColumnWidth(column, width * twips.perPixelX, By::User); });
    });
    new SectionResize(view->verticalHeader(), [&grid, twips](int, int height) {
        userAction([&] { grid.setRowHeight(height * twips.perPixelY, By::User); });
    });
    QObject::connect(view, &QTableView::clicked, view,
                     [&grid](const QModelIndex& index) { grid.setCol(index.column()); });
    grid.refresh();
    return view;
}

QTimer* timerFor(Timer& timer, QObject* parent) {
    auto* t = new QTimer(parent);
    t->setObjectName(qs(timer.name()));
    timer.refresh = [t, &timer] {
        if (!timer.running()) {
            t->stop();
        } else if (!t->isActive() || t->interval() != timer.Interval()) {
            t->start(timer.Interval());
        }
    };
    QObject::connect(t, &QTimer::timeout, t, [&timer] { userAction([&] { timer.tick(); }); });
    timer.refresh();
    return t;
}

// --- Pictures of styles and weights
// ------------------------------------------------------------------

namespace {

QPixmap linePicture(const QPen& pen) {
    QPixmap picture(56, 16);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(pen);
    painter.drawLine(3, 8, 53, 8);
    return picture;
}

}  // namespace

std::vector<QPixmap> lineStylePictures() {
    // Solid, dotted, medium dashed, long dashed, dot-dashed, short dashed, dash-dot-dot and
    // long dash-short dash, as the line codes 0 to 7 draw.
    const std::vector<QList<qreal>> patterns = {
        {}, {1, 2}, {4, 3}, {8, 3}, {6, 2, 1, 2}, {2, 2}, {6, 2, 1, 2, 1, 2}, {8, 2, 3, 2}};
    std::vector<QPixmap> pictures;
    for (const QList<qreal>& pattern : patterns) {
        QPen pen(Qt::black, 1.5);
        if (!pattern.isEmpty()) pen.setDashPattern(pattern);
        pictures.push_back(linePicture(pen));
    }
    return pictures;
}

std::vector<QPixmap> lineWeightPictures() {
    std::vector<QPixmap> pictures;
    for (int weight = 0; weight <= 15; ++weight) {
        pictures.push_back(
            linePicture(QPen(Qt::black, 1 + weight * 0.8, Qt::SolidLine, Qt::FlatCap)));
    }
    return pictures;
}

}  // namespace vtl::wizard

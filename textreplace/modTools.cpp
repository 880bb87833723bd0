#include "textreplace/modTools.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <random>

#include "common/INIFileModule.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "textreplace/App.h"
#include "workbook/Recordset.h"

namespace vtl::tarnwell::modTools {

namespace {

// --- The control lock ---------------------------------------------------------------------------

struct LockEntry {
    QPointer<QWidget> control;
    std::string name;  // window.control
};

// The controls of each lock held, by key.
std::map<std::string, std::vector<LockEntry>> LockedControlSets;
// The hourglasses shown by the locks held.
int hourglasses = 0;

std::string nameOf(const QObject* object) {
    return object->objectName().toStdString();
}

bool isProgramWindow(const QWidget* window) {
    const std::string name = nameOf(window);
    if (!text::startsWith(name, "frm") || name == "frmSplash") return false;
    return window->isVisible() || name != "frmStartDialog";
}

std::vector<QWidget*> formsOf(QWidget* form) {
    if (form) return {form};
    std::vector<QWidget*> forms;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (isProgramWindow(window)) forms.push_back(window);
    }
    // A fixed order, so that the same windows always give the same lock.
    std::sort(forms.begin(), forms.end(),
              [](QWidget* a, QWidget* b) { return text::lessIgnoringCase(nameOf(a), nameOf(b)); });
    return forms;
}

// The program's controls carry names; the toolkit's own parts of a control do not, or carry
// names of its own ("qt_...").
bool isControl(const QWidget* widget) {
    const std::string name = nameOf(widget);
    return !name.empty() && !text::startsWith(name, "qt_");
}

bool isCandidate(const QWidget* widget) {
    if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QGroupBox*>(widget)) return false;
    // A plain frame or line; list boxes and the like are frames too, but of their own classes.
    if (widget->metaObject() == &QFrame::staticMetaObject) return false;
    const std::string name = text::lower(nameOf(widget));
    for (const char* part : {"help", "exit", "close", "minus"}) {
        if (name.find(part) != std::string::npos) return false;
    }
    return true;
}

bool isExcluded(const QWidget* form, const QWidget* control, const std::vector<QWidget*>& exclude) {
    const std::string name = nameOf(control);
    if (name == "Toolbar" || (name == "lstLog" && nameOf(form) == "frmMain")) return true;
    return std::find(exclude.begin(), exclude.end(), control) != exclude.end();
}

// The candidates of the windows that a lock takes, in window and control order.
std::vector<LockEntry> candidates(QWidget* form, const std::vector<QWidget*>& exclude) {
    std::vector<LockEntry> found;
    for (QWidget* window : formsOf(form)) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!isControl(control) || !isCandidate(control)) continue;
            if (isExcluded(window, control, exclude)) continue;
            found.push_back({control, nameOf(window) + "." + nameOf(control)});
        }
    }
    return found;
}

// The control's own setting, whatever its parents' are.
bool isEnabledItself(const QWidget* control) {
    return !control->testAttribute(Qt::WA_ForceDisabled);
}

std::string newKey() {
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<long> digits(11111111, 99999999);
    std::string key;
    do {
        key = "K" + num::text(static_cast<long long>(digits(random)));
    } while (LockedControlSets.count(key) != 0);
    return key;
}

void showHourglass() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++hourglasses;
    }
}

void endHourglasses(int count) {
    for (; count > 0 && hourglasses > 0; --count, --hourglasses) {
        QApplication::restoreOverrideCursor();
    }
}

// --- Window position
// ------------------------------------------------------------------------------

std::optional<double> numberOf(const std::string& text) {
    try {
        return num::parseNumber(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// A stored value: a positive number rounded to a whole one, else 0.
double storedValue(const std::string& text) {
    const std::optional<double> value = numberOf(text);
    if (!value || *value <= 0 || *value >= 2147483647.0) return 0;
    return num::toLong(*value);
}

double twipsPerPixelX(const QWidget& form) {
    const QScreen* screen = form.screen();
    return 1440.0 / (screen ? screen->logicalDotsPerInchX() : 96.0);
}

double twipsPerPixelY(const QWidget& form) {
    const QScreen* screen = form.screen();
    return 1440.0 / (screen ? screen->logicalDotsPerInchY() : 96.0);
}

bool isSizable(const QWidget& form) {
    return form.minimumSize() != form.maximumSize();
}

}  // namespace

std::string DisableControls(const std::vector<QWidget*>& exclude, QWidget* form) {
    showHourglass();
    std::vector<LockEntry> disabled;
    for (LockEntry& entry : candidates(form, exclude)) {
        if (!isEnabledItself(entry.control)) continue;
        entry.control->setEnabled(false);
        disabled.push_back(std::move(entry));
    }
    const std::string key = newKey();
    LockedControlSets[key] = std::move(disabled);
    return key;
}

void EnableControls(const std::string& key, const std::vector<QWidget*>& exclude, QWidget* form,
                    bool all) {
    if (key.empty()) {
        endHourglasses(hourglasses);
        return;
    }
    const auto lock = LockedControlSets.find(key);
    if (lock == LockedControlSets.end()) return;
    std::vector<LockEntry> entries = all ? candidates(form, exclude) : lock->second;
    for (const LockEntry& entry : entries) {
        if (!entry.control || isEnabledItself(entry.control)) continue;
        if (isExcluded(entry.control->window(), entry.control, exclude)) continue;
        if (form && entry.control->window() != form) continue;
        entry.control->setEnabled(true);
    }
    LockedControlSets.erase(lock);
    endHourglasses(1);
}

std::vector<std::string> LockedControls(const std::string& key) {
    std::vector<std::string> names;
    const auto lock = LockedControlSets.find(key);
    if (lock == LockedControlSets.end()) return names;
    for (const LockEntry& entry : lock->second) names.push_back(entry.name);
    return names;
}

Placement placeWindow(const StoredPos& stored, const TwipsRect& current, double screenWidth,
                      double screenHeight, bool sizable) {
    Placement placement{false, current};
    if (numberOf(stored.windowState) == 2.0) {
        placement.maximized = true;
        return placement;
    }
    TwipsRect& rect = placement.rect;
    const double top = storedValue(stored.top), left = storedValue(stored.left);
    const double height = storedValue(stored.height), width = storedValue(stored.width);
    if (top >= 0 && top < screenHeight) rect.top = top;
    if (left >= 0 && left < screenWidth) rect.left = left;
    if (!sizable) return placement;
    if (height > 0 && rect.top + height <= screenHeight) rect.height = height;
    if (width > 0 && rect.left + width <= screenWidth + 200) rect.width = width;
    return placement;
}

void SaveWindowPos(QWidget& form) {
    if (form.isMinimized()) return;
    const std::string ini = GetIniFileName(), section = nameOf(&form);
    INIFileModule::WriteINI(ini, section, "WindowState", form.isMaximized() ? "2" : "0");
    if (form.isMaximized()) return;
    const double x = twipsPerPixelX(form), y = twipsPerPixelY(form);
    INIFileModule::WriteINI(ini, section, "Top", num::text(form.pos().y() * y));
    INIFileModule::WriteINI(ini, section, "Left", num::text(form.pos().x() * x));
    if (!isSizable(form)) return;
    INIFileModule::WriteINI(ini, section, "Height", num::text(form.height() * y));
    INIFileModule::WriteINI(ini, section, "Width", num::text(form.width() * x));
}

void LoadWindowPos(QWidget& form) {
    if (form.isMinimized()) return;
    const std::string ini = GetIniFileName(), section = nameOf(&form);
    const double x = twipsPerPixelX(form), y = twipsPerPixelY(form);
    const TwipsRect current{form.pos().y() * y, form.pos().x() * x, form.height() * y,
                            form.width() * x};
    auto read = [&](const char* key, double value) {
        return INIFileModule::ReadINI(ini, section, key, num::text(value));
    };
    const StoredPos stored{INIFileModule::ReadINI(ini, section, "WindowState", ""),
                           read("Top", current.top), read("Left", current.left),
                           read("Height", current.height), read("Width", current.width)};
    const QSize screen = form.screen() ? form.screen()->geometry().size() : QSize(1024, 768);
    const Placement placement =
        placeWindow(stored, current, screen.width() * x, screen.height() * y, isSizable(form));
    if (placement.maximized) {
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
        return;
    }
    const TwipsRect& rect = placement.rect;
    form.move(static_cast<int>(std::lround(rect.left / x)),
              static_cast<int>(std::lround(rect.top / y)));
    if (isSizable(form)) {
        form.resize(static_cast<int>(std::lround(rect.width / x)),
                    static_cast<int>(std::lround(rect.height / y)));
    }
}

std::string GetIndexOfControl(const QWidget& control) {
    const std::string name = nameOf(&control);
    const size_t open = name.rfind('(');
    if (open == std::string::npos || !text::endsWith(name, ")")) return {};
    return name.substr(open + 1, name.size() - open - 2);
}

void ClearTextOnDelete(QLineEdit& textBox, int key) {
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) textBox.clear();
}

void CloseRecordset(std::shared_ptr<ado::Recordset>& recordset) {
    try {
        if (recordset && recordset->State() == ado::adStateOpen) recordset->Close();
    } catch (...) {
        // A recordset that cannot be closed is released all the same.
    }
    recordset.reset();
}

}  // namespace vtl::tarnwell::modTools

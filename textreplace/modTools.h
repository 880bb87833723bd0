// Small user-interface services of the tool: the lock of the controls during long operations,
// the main window's position in the settings file, and three helpers.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QWidget;

namespace vtl::ado {
class Recordset;
}

namespace vtl::tarnwell::modTools {

// --- The control lock ---------------------------------------------------------------------------
// Disables every enabled input control of the program's windows (those named "frm..." but the
// splash) and shows the hourglass. Labels, frames and controls whose names hold "help", "exit",
// "close" or "minus" are left alone, as are the main window's event list, a "Toolbar" and the
// excluded controls. Returns the lock's key, unique among the locks held.
// form: only that window instead of all of them.
std::string DisableControls(const std::vector<QWidget*>& exclude = {}, QWidget* form = nullptr);
// Enables again exactly the controls that the lock of that key disabled (every disabled
// candidate with all), and ends the lock. Each lock restores its own controls only, so a
// control disabled before a lock stays disabled after it. An empty key only ends the hourglass.
void EnableControls(const std::string& key, const std::vector<QWidget*>& exclude = {},
                    QWidget* form = nullptr, bool all = false);
// The controls a lock holds, each as "window.control"; none for an unknown key.
std::vector<std::string> LockedControls(const std::string& key);

// --- Window position
// ------------------------------------------------------------------------------ A window's place
// in twips.
struct TwipsRect {
    double top = 0, left = 0, height = 0, width = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The values of the window's section as stored (each "" when missing).
struct StoredPos {
    std::string windowState, top, left, height, width;
};

struct Placement {
    bool maximized = false;
    TwipsRect rect;
    bool operator==(const Placement&) const = default;
};

// Where the stored values put a window that is now at current, on a screen of the given size:
// maximized for the state 2; otherwise each value that is a positive number (else 0), rounded,
// is taken when it keeps the window on the screen: top and left within it, and, for a sizable
// window, the bottom edge on it and the right edge at most 200 twips past it.
Placement placeWindow(const StoredPos& stored, const TwipsRect& current, double screenWidth,
                      double screenHeight, bool sizable);

// Writes the window's state (0 normal, 2 maximized) unless it is minimized, and, when it is
// neither minimized nor maximized, its top and left, with its size when it is sizable, into the
// window's section of the settings file.
void SaveWindowPos(QWidget& form);
// Restores what SaveWindowPos wrote, keeping the window on its screen; nothing while minimized.
void LoadWindowPos(QWidget& form);

// --- Helpers
// -------------------------------------------------------------------------------------- The index
// of a control of a control array ("2" for "txtDist(2)"), "" for a single control.
std::string GetIndexOfControl(const QWidget& control);
// Backspace or Delete empties the whole box.
void ClearTextOnDelete(QLineEdit& textBox, int key);
// Closes an open recordset and releases it; every error is ignored.
void CloseRecordset(std::shared_ptr<ado::Recordset>& recordset);

}  // namespace vtl::tarnwell::modTools

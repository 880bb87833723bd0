// Qt widgets for the wizard's controls: each shows its control (and follows it when the
// program changes it) and hands the user's actions back to it. A failure of the handlers a user
// action runs is shown in a message box. Every widget carries its control's name.
#pragma once

#include <QPixmap>
#include <functional>
#include <vector>

#include "Controls.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTimer;
class QWidget;

namespace vtl::ado {
class Recordset;
}

namespace vtl::wizard {

// Runs a handler of a user action; its failure is shown (exclamation, the program's title).
void userAction(const std::function<void()>& handler);

QPushButton* buttonFor(Button& button, const char* caption, QWidget* parent);
// A box the user types into, or one that only shows its path (chosen with Browse).
QLineEdit* textFor(TextBox& box, bool editable, QWidget* parent);
QScrollBar* barFor(ScrollBar& bar, Qt::Orientation orientation, QWidget* parent);
QComboBox* comboFor(ComboBox& combo, QWidget* parent);
// The pictures are the image list: item image n shows pictures[n - 1].
QComboBox* imageComboFor(ImageCombo& combo, const std::vector<QPixmap>& pictures, QWidget* parent);
QListWidget* listFor(ListView& list, QWidget* parent);
QStatusBar* statusFor(StatusBar& bar, QWidget* parent);
// The tab widget holds the pages already, in the control's order.
void bindTabs(TabControl& tabs, QTabWidget* widget);
QTableView* gridFor(Grid& grid, const ado::Recordset& rows, QWidget* parent);
QTimer* timerFor(Timer& timer, QObject* parent);

// The pictures of the line styles 0 to 7 and the line weights 0 to 15.
std::vector<QPixmap> lineStylePictures();
std::vector<QPixmap> lineWeightPictures();

}  // namespace vtl::wizard

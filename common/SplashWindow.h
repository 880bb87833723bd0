// A program's splash window: its name and version for a while at start, then the main window.
#pragma once

#include <QFrame>
#include <QPointer>
#include <string>
#include <vector>

class QLabel;
class QTimer;

namespace vtl {

class SplashWindow : public QFrame {
    Q_OBJECT

public:
    // lines: the labels above the version, the first in large bold type as the program's name,
    // each given as {object name, text}. mainWindow is shown when the splash ends, after showMs.
    SplashWindow(QWidget* mainWindow, const std::vector<std::pair<std::string, std::string>>& lines,
                 const std::string& versionText, int showMs);

    // The timer: shows the main window and closes the splash.
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    // Closed before its time, the splash still hands over to the main window.
    void closeEvent(QCloseEvent* event) override;
    // Puts the window in its place on the screen when it is first shown.
    virtual void place() = 0;

private:
    QPointer<QWidget> mainWindow_;
    QTimer* Timer1_;
};

}  // namespace vtl

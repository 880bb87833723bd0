// The splash window: the program's version for one second at start, then the main window.
#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QTimer;

namespace vtl {

class frmSplash : public QFrame {
    Q_OBJECT

public:
    // mainWindow is shown when the splash ends.
    explicit frmSplash(QWidget* mainWindow);

    // The one-second timer: shows the main window and closes the splash.
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPointer<QWidget> mainWindow_;
    QLabel* lblVersion_;
    QTimer* Timer1_;
};

}  // namespace vtl

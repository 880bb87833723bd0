// The stand-in's main window: class "MSTNTop", titled after the open design file, showing it.
#pragma once

#include <QTimer>
#include <QWidget>

#include "StandIn.h"

namespace vtl::ustation {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Follows the application's changes from now on.
    explicit MainWindow(StandInApplication& application);
    ~MainWindow() override;

    // "MicroStation - NAME.EXT", or "MicroStation" while no file is open.
    static QString titleFor(const std::string& designFile);
    // Brings the title up to date and shows the window system a new title at once; the
    // drawing is repainted a moment later, once for all the changes made meanwhile.
    void refresh();
    // The window follows the application's Visible: 0 minimises it (it stays a main window the
    // window system lists), 1 shows it. Until a program sets Visible it stays as it was started.
    void followVisible();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StandInApplication& application_;
    QTimer repaint_;
    int32_t visible_;
};

}  // namespace vtl::ustation

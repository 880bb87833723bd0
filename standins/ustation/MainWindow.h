// The stand-in's main window: class "MSTNTop", titled after the open design file, showing it.
#pragma once

#include <QWidget>

#include "StandIn.h"

namespace vtl::ustation {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(StandInApplication& application);

    // "MicroStation - NAME.EXT", or "MicroStation" while no file is open.
    static QString titleFor(const std::string& designFile);
    // Brings the title up to date and shows the window system the new title at once.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StandInApplication& application_;
};

}  // namespace vtl::ustation

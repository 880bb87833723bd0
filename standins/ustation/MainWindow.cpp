#include "MainWindow.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>

#include "Render.h"

namespace vtl::ustation {

MainWindow::MainWindow(StandInApplication& application) : application_(application) {
    setObjectName("MSTNTop");
    resize(800, 600);
    refresh();
}

QString MainWindow::titleFor(const std::string& designFile) {
    if (designFile.empty()) return "MicroStation";
    return "MicroStation - " + QFileInfo(QString::fromStdString(designFile)).fileName();
}

void MainWindow::refresh() {
    setWindowTitle(titleFor(application_.designFile()));
    update();
    // The title reaches the X server before the key-in that changed it returns.
    QCoreApplication::sendPostedEvents();
    if (QGuiApplication::platformName() == "xcb") QGuiApplication::sync();
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!application_.designFile().empty()) {
        painter.drawImage(rect(), renderDesign(application_.designFile(), size()));
    }
}

}  // namespace vtl::ustation

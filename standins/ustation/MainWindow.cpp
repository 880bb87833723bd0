#include "MainWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>

#include "Render.h"

namespace vtl::ustation {

namespace {

// A batch adds elements one call after another: repainting after each would cost every call
// as much as the whole drawing, so the changes of this long are drawn together.
constexpr int kRepaintDelayMs = 100;
// A large drawing takes longer to paint: the next paint waits this many times as long as the
// last one took, so painting never takes more than a small share of a batch's time.
constexpr qint64 kPaintShare = 20;

}  // namespace

MainWindow::MainWindow(StandInApplication& application)
    : application_(application), visible_(application.Visible()) {
    setObjectName("MSTNTop");
    resize(800, 600);
    repaint_.setSingleShot(true);
    repaint_.setInterval(kRepaintDelayMs);
    connect(&repaint_, &QTimer::timeout, this, [this] { update(); });
    application_.onChanged([this] { refresh(); });
    refresh();
}

MainWindow::~MainWindow() {
    application_.onChanged({});
}

QString MainWindow::titleFor(const std::string& designFile) {
    if (designFile.empty()) return "MicroStation";
    return "MicroStation - " + QFileInfo(QString::fromStdString(designFile)).fileName();
}

void MainWindow::refresh() {
    followVisible();
    if (!repaint_.isActive()) repaint_.start();
    const QString title = titleFor(application_.designFile());
    if (title == windowTitle()) return;
    setWindowTitle(title);
    // The title reaches the X server before the key-in that changed it returns.
    QCoreApplication::sendPostedEvents();
    if (QGuiApplication::platformName() == "xcb") QGuiApplication::sync();
}

void MainWindow::followVisible() {
    const int32_t visible = application_.Visible();
    if (visible == visible_) return;
    visible_ = visible;
    if (visible == 0) {
        showMinimized();
        return;
    }
    showNormal();
    raise();
}

void MainWindow::paintEvent(QPaintEvent*) {
    QElapsedTimer painting;
    painting.start();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (const dgn::DesignFile* design = application_.currentDesign()) {
        painter.drawImage(rect(), renderDesign(*design, size()));
    }
    repaint_.setInterval(static_cast<int>(
        std::clamp<qint64>(painting.elapsed() * kPaintShare, kRepaintDelayMs, 10000)));
}

}  // namespace vtl::ustation

#include "common/SplashWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace vtl {

namespace {

QLabel* label(QWidget* parent, const std::string& name, const std::string& text) {
    auto* shown = new QLabel(QString::fromStdString(text), parent);
    shown->setObjectName(QString::fromStdString(name));
    return shown;
}

}  // namespace

SplashWindow::SplashWindow(QWidget* mainWindow,
                           const std::vector<std::pair<std::string, std::string>>& lines,
                           const std::string& versionText, int showMs)
    : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), mainWindow_(mainWindow) {
    setObjectName("frmSplash");
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    for (const auto& [name, text] : lines) {
        QLabel* shown = label(this, name, text);
        if (layout->count() == 0) {
            QFont big = shown->font();
            big.setPointSize(big.pointSize() * 2);
            big.setBold(true);
            shown->setFont(big);
        }
        layout->addWidget(shown, 0, Qt::AlignCenter);
    }
    layout->addWidget(label(this, "lblVersion", versionText), 0, Qt::AlignCenter);
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setInterval(showMs);
    connect(Timer1_, &QTimer::timeout, this, &SplashWindow::Timer1_Timer);
}

void SplashWindow::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    if (event->spontaneous()) return;
    place();
    Timer1_->start();
}

void SplashWindow::Timer1_Timer() {
    Timer1_->stop();
    // Out of the way first: what the main window says while it loads must not be hidden below
    // a splash that stays on top.
    hide();
    if (mainWindow_) mainWindow_->show();
    close();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    if (Timer1_->isActive()) {
        Timer1_->stop();
        hide();
        if (mainWindow_) mainWindow_->show();
    }
    QFrame::closeEvent(event);
}

}  // namespace vtl

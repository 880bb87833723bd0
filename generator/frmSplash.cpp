#include "frmSplash.h"

#include <QLabel>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "VTLLogic.h"
#include "WindowPosModule.h"

namespace vtl {

namespace {
constexpr int kShowMs = 1000;
}

frmSplash::frmSplash(QWidget* mainWindow)
    : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), mainWindow_(mainWindow) {
    setObjectName("frmSplash");
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    auto* title = new QLabel("Vistrel", this);
    title->setObjectName("lblProduct");
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    lblVersion_ = new QLabel(QString::fromStdString(VTLLogic::versionText()), this);
    lblVersion_->setObjectName("lblVersion");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    layout->addWidget(title, 0, Qt::AlignCenter);
    layout->addWidget(lblVersion_, 0, Qt::AlignCenter);
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setInterval(kShowMs);
    connect(Timer1_, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

void frmSplash::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    if (event->spontaneous()) return;
    move(0, 0);
    // Below any window that stays on top, as an ordinary window.
    WindowPosModule::SetTopMost(static_cast<platform::WindowHandle>(winId()), false);
    Timer1_->start();
}

void frmSplash::Timer1_Timer() {
    Timer1_->stop();
    if (mainWindow_) mainWindow_->show();
    close();
}

}  // namespace vtl

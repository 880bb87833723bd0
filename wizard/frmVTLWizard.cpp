#include "frmVTLWizard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ControlWidgets.h"
#include "platform/WindowSystem.h"

namespace vtl::wizard {

frmVTLWizard::frmVTLWizard(WizardHost& host, QWidget* parent)
    : QDialog(parent),
      form_(std::make_unique<WizardForm>(host)),
      styles_(lineStylePictures()),
      weights_(lineWeightPictures()) {
    setObjectName("frmVTLWizard");
    setWindowTitle("Vistrel configuration wizard");
    setModal(true);
    buildControls();
    hookWindow();
}

void frmVTLWizard::load() {
    form_->Form_Load();
}

frmVTLWizard::~frmVTLWizard() {
    // The controls outlive their widgets by a moment: they stop calling them now.
    for (Control* control : form_->controls()) control->refresh = nullptr;
    form_->cmdClose.refresh = nullptr;
}

void frmVTLWizard::hookWindow() {
    form_->window.setTopMost = [this] { setWindowFlag(Qt::WindowStaysOnTopHint, true); };
    form_->window.unload = [this] {
        closing_ = true;
        done(QDialog::Accepted);
    };
    form_->window.besideMicroStation = [this] { placeMicroStation(); };
    form_->window.mousePointer = [](int pointer) {
        if (pointer == 11 && !QApplication::overrideCursor()) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else if (pointer == 0) {
            while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        }
    };
}

// MicroStation's window goes wholly on the screen beside the wizard, which stays on top: into the
// wider space left or right of it, the wizard moving to the screen's left edge when neither holds
// a usable window. Each new MicroStation window is placed once; the user may move it after.
void frmVTLWizard::placeMicroStation() {
    const platform::WindowHandle mstn = platform::windows().findByClass(mstn::kMainWindowClass);
    if (mstn == 0 || mstn == placedMicroStation_ || !screen()) return;
    placedMicroStation_ = mstn;
    const QRect screenArea = screen()->availableGeometry();
    QRect wizard = frameGeometry();
    const QRect inside = geometry();
    const QMargins frame(inside.left() - wizard.left(), inside.top() - wizard.top(),
                         wizard.right() - inside.right(), wizard.bottom() - inside.bottom());
    auto leftRoom = [&] { return wizard.left() - screenArea.left(); };
    auto rightRoom = [&] { return screenArea.right() - wizard.right(); };
    constexpr int kUsableWidth = 480;
    if (std::max(leftRoom(), rightRoom()) < kUsableWidth) {
        wizard.moveTopLeft({screenArea.left(), std::max(wizard.top(), screenArea.top())});
        move(wizard.topLeft());
    }
    const QRect room =
        rightRoom() >= leftRoom()
            ? QRect(wizard.right() + 1, screenArea.top(), rightRoom(), screenArea.height())
            : QRect(screenArea.left(), screenArea.top(), leftRoom(), screenArea.height());
    platform::windows().moveWindow(mstn, room.x(), room.y(),
                                   room.width() - frame.left() - frame.right(),
                                   room.height() - frame.top() - frame.bottom());
}

// The title-bar close and Escape unload without saving the page; while a handler runs they
// wait for it.
void frmVTLWizard::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    userAction([this] { form_->closeRequested(); });
}

void frmVTLWizard::reject() {
    if (closing_) {
        QDialog::reject();
        return;
    }
    userAction([this] { form_->closeRequested(); });
}

QLabel* frmVTLWizard::label(const char* caption, QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString("Label%1").arg(++labels_));
    return l;
}

QTabWidget* frmVTLWizard::tabs(TabControl& control, const std::vector<QWidget*>& pages) {
    auto* widget = new QTabWidget;
    for (size_t i = 0; i < pages.size(); ++i) {
        widget->addTab(pages[i], QString::fromStdString(control.captions()[i]));
    }
    bindTabs(control, widget);
    return widget;
}

void frmVTLWizard::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(configurationFrame());
    layout->addWidget(tabs(form_->SSTab, {vistrelPage(), coverSheetPage(), iso3DPage()}), 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonFor(form_->cmdClose, "Close", this));
    layout->addLayout(buttons);
    timerFor(form_->Timer1, this);
    timerFor(form_->Timer2, this);
    resize(760, 640);
}

QGroupBox* frmVTLWizard::configurationFrame() {
    return fileFrame("Vistrel configuration file:", form_->txtVTLConfig, 4);
}

QGroupBox* frmVTLWizard::fileFrame(const char* caption, TextBox& box, int index) {
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(QString("Frame%1").arg(++frames_));
    auto* row = new QHBoxLayout(frame);
    row->addWidget(textFor(box, false, frame), 1);
    const auto at = static_cast<size_t>(index);
    if (form_->btnOpenFile[at]) row->addWidget(buttonFor(*form_->btnOpenFile[at], "Open", frame));
    row->addWidget(buttonFor(*form_->btnSelectFile[at], "Browse...", frame));
    return frame;
}

QWidget* frmVTLWizard::vistrelPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fileFrame("ISOGEN isometry file (*.i01):", form_->txtISOFile, 1));
    layout->addWidget(fileFrame("Vistrel seed file:", *form_->txtVTLSeedFile[0], 0));
    auto* pipe = new QWidget;
    auto* pipeLayout = new QVBoxLayout(pipe);
    pipeLayout->addWidget(
        symbologyPanel(form_->lvPipeColor, form_->cmbPipeLevel, form_->icmbPipeStyle,
                       form_->icmbPipeWeight, nullptr, nullptr),
        1);
    pipeLayout->addWidget(statusFor(form_->StatusBar2, pipe));
    layout->addWidget(
        tabs(form_->SSTab1, {placementPage(form_->HScrollVistrel, form_->VScrollVistrel,
                                           form_->HScrollScaleVistrel, form_->StatusBar1,
                                           "the key plan on the iso drawing"),
                             pipe, cellPage()}),
        1);
    return page;
}

QWidget* frmVTLWizard::coverSheetPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fileFrame("IsoCoverSheet seed file:", *form_->txtICSSeedFile[0], 3));
    layout->addWidget(fileFrame("Vistrel seed file:", *form_->txtVTLSeedFile[1], 2));
    auto* lineEnd = new QWidget;
    auto* lineEndLayout = new QVBoxLayout(lineEnd);
    lineEndLayout->addWidget(
        symbologyPanel(form_->lvLineEndColor, form_->cmbLineEndLevel, form_->icmbLineEndStyle,
                       form_->icmbLineEndWeight, &form_->txtLineEndHeight, &form_->txtLineEndWidth),
        1);
    lineEndLayout->addWidget(statusFor(form_->StatusBar6, lineEnd));
    layout->addWidget(
        tabs(form_->SSTab2, {placementPage(form_->HScrollIsoCoverSheet, form_->VScrollIsoCoverSheet,
                                           form_->HScrollScaleIsoCoverSheet, form_->StatusBar3,
                                           "the key plan on the cover sheet"),
                             tablePage(), lineEnd}),
        1);
    return page;
}

QWidget* frmVTLWizard::iso3DPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fileFrame("Iso3D seed file:", form_->txtI3DSeedFile, 6));
    layout->addWidget(fileFrame("IsoCoverSheet seed file:", *form_->txtICSSeedFile[1], 5));
    auto* lineEnd = new QWidget;
    auto* lineEndLayout = new QVBoxLayout(lineEnd);
    lineEndLayout->addWidget(
        symbologyPanel(form_->lvIso3DColor, form_->cmbIso3DLevel, form_->icmbIso3DStyle,
                       form_->icmbIso3DWeight, &form_->txtIso3DHeight, &form_->txtIso3DWidth),
        1);
    lineEndLayout->addWidget(statusFor(form_->StatusBar5, lineEnd));
    layout->addWidget(
        tabs(form_->SSTab3,
             {placementPage(form_->HScrollIso3D, form_->VScrollIso3D, form_->HScrollScaleIso3D,
                            form_->StatusBar7, "the 3-D view on the cover sheet"),
              lineEnd}),
        1);
    return page;
}

// A sheet with the position bars at its edges, the scale bar under it and the status bar.
QWidget* frmVTLWizard::placementPage(ScrollBar& h, ScrollBar& v, ScrollBar& scale,
                                     StatusBar& status, const char* what) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* sheet = label("", page);
    sheet->setText(
        QString("Move the bars to place %1.\nMicroStation shows it as you go.").arg(what));
    sheet->setAlignment(Qt::AlignCenter);
    sheet->setFrameStyle(QFrame::Box | QFrame::Sunken);
    sheet->setMinimumHeight(160);
    grid->addWidget(sheet, 0, 0);
    grid->addWidget(barFor(v, Qt::Vertical, page), 0, 1);
    grid->addWidget(barFor(h, Qt::Horizontal, page), 1, 0);
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(label("Scale:", page));
    scaleRow->addWidget(barFor(scale, Qt::Horizontal, page), 1);
    grid->addLayout(scaleRow, 2, 0, 1, 2);
    grid->addWidget(statusFor(status, page), 3, 0, 1, 2);
    grid->setRowStretch(0, 1);
    return page;
}

QWidget* frmVTLWizard::symbologyPanel(ListView& colours, ComboBox& level, ImageCombo& style,
                                      ImageCombo& weight, TextBox* height, TextBox* width) {
    auto* panel = new QWidget;
    auto* row = new QHBoxLayout(panel);
    auto* colourColumn = new QVBoxLayout;
    colourColumn->addWidget(label("Colour:", panel));
    colourColumn->addWidget(listFor(colours, panel), 1);
    row->addLayout(colourColumn, 1);
    auto* form = new QGridLayout;
    int line = 0;
    auto add = [&](const char* caption, QWidget* widget) {
        form->addWidget(label(caption, panel), line, 0);
        form->addWidget(widget, line++, 1);
    };
    add("Level:", comboFor(level, panel));
    add("Style:", imageComboFor(style, styles_, panel));
    add("Weight:", imageComboFor(weight, weights_, panel));
    if (height) add("Text height:", textFor(*height, true, panel));
    if (width) add("Text width:", textFor(*width, true, panel));
    form->setRowStretch(line, 1);
    row->addLayout(form);
    return panel;
}

QWidget* frmVTLWizard::tablePage() {
    WizardForm& f = *form_;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label("To change grid settings resize columns and rows", page));
    auto* gridRow = new QHBoxLayout;
    auto* position = new QGridLayout;
    position->addWidget(gridFor(f.TDBGrid, f.sampleTable, page), 0, 0);
    position->addWidget(barFor(f.VScrollTab, Qt::Vertical, page), 0, 1);
    position->addWidget(barFor(f.HScrollTab, Qt::Horizontal, page), 1, 0);
    gridRow->addLayout(position);
    gridRow->addWidget(symbologyPanel(f.lvTabColor, f.cmbTabLevel, f.icmbTabStyle, f.icmbTabWeight,
                                      &f.txtHeightTab, &f.txtWidthTab),
                       1);
    layout->addLayout(gridRow, 1);
    layout->addWidget(statusFor(f.StatusBar4, page));
    return page;
}

QWidget* frmVTLWizard::cellPage() {
    WizardForm& f = *form_;
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(label("Cell library:", page), 0, 0);
    grid->addWidget(textFor(f.txtCelFile, true, page), 0, 1);
    grid->addWidget(buttonFor(*f.btnSelectFile[7], "Browse...", page), 0, 2);
    grid->addWidget(label("Cell name:", page), 1, 0);
    grid->addWidget(textFor(f.txtCellName, true, page), 1, 1);
    grid->addWidget(label("Scale factor:", page), 2, 0);
    grid->addWidget(textFor(f.txtCellScaleFactor, true, page), 2, 1);
    grid->addWidget(label("Minimum line length:", page), 3, 0);
    grid->addWidget(textFor(f.txtMinLineLength, true, page), 3, 1);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

}  // namespace vtl::wizard

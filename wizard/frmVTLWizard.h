// The configuration wizard's window: the controls of its form (WizardForm) as Qt widgets on the
// pages "Vistrel", "IsoCoverSheet" and "Iso3D", shown modally over the main window.
#pragma once

#include <QDialog>
#include <memory>

#include "WizardForm.h"

class QGroupBox;
class QLabel;
class QTabWidget;
class QVBoxLayout;

namespace vtl::wizard {

class frmVTLWizard : public QDialog {
    Q_OBJECT

public:
    explicit frmVTLWizard(WizardHost& host, QWidget* parent = nullptr);
    ~frmVTLWizard() override;

    // Loads the form (Form_Load); its start-up timer fires once the window shows.
    void load();

    WizardForm& form() { return *form_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildControls();
    QGroupBox* configurationFrame();
    QWidget* vistrelPage();
    QWidget* coverSheetPage();
    QWidget* iso3DPage();
    QGroupBox* fileFrame(const char* caption, TextBox& box, int index);
    QWidget* placementPage(ScrollBar& h, ScrollBar& v, ScrollBar& scale, StatusBar& status,
                           const char* what);
    QWidget* symbologyPanel(ListView& colours, ComboBox& level, ImageCombo& style,
                            ImageCombo& weight, TextBox* height, TextBox* width);
    QWidget* tablePage();
    QWidget* cellPage();
    QLabel* label(const char* caption, QWidget* parent);
    QTabWidget* tabs(TabControl& control, const std::vector<QWidget*>& pages);
    void hookWindow();
    void placeMicroStation();

    std::unique_ptr<WizardForm> form_;
    std::vector<QPixmap> styles_;
    std::vector<QPixmap> weights_;
    int labels_ = 0;
    int frames_ = 0;
    bool closing_ = false;
    // The MicroStation window last put beside the wizard.
    uint32_t placedMicroStation_ = 0;
};

}  // namespace vtl::wizard

// The wizard's window on a private X server: its controls with their names and captions, the
// user's actions handed to the form and the form's changes shown, and the File menu of the main
// window opening it modally.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRect>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>

#include "WizardFixture.h"
#include "generator/VTLWindowFixture.h"
#include "wizard/frmVTLWizard.h"

namespace vtl::wizard::test {
namespace {

using vtl::test::VTLWindowFixture;

class WizardWindow : public VTLWindowFixture {
protected:
    frmVTLWizard& wizard() {
        if (!window_) {
            window_ = std::make_unique<frmVTLWizard>(host);
            window_->form().MSTNOpen = [this](const std::string&) { return fake; };
        }
        return *window_;
    }
    template <class T>
    T* control(const char* name) {
        return wizard().findChild<T*>(name);
    }
    void TearDown() override {
        window_.reset();
        MSTNApp.reset();
        VTLWindowFixture::TearDown();
    }

    FakeHost host;
    std::shared_ptr<FakeMicroStation> fake = std::make_shared<FakeMicroStation>();
    // Other tests of this program run beside it: none of them is an earlier instance.
    vtl::test::FakeProcesses processes;
    platform::ScopedProcesses scopedProcesses{processes};
    std::unique_ptr<frmVTLWizard> window_;
};

TEST_F(WizardWindow, EveryControlIsThereUnderItsName) {
    EXPECT_EQ(wizard().objectName(), "frmVTLWizard");
    EXPECT_EQ(wizard().windowTitle(), "Vistrel configuration wizard");
    for (const char* name :
         {"txtVTLConfig", "txtISOFile", "txtVTLSeedFile(0)", "txtVTLSeedFile(1)",
          "txtICSSeedFile(0)", "txtICSSeedFile(1)", "txtI3DSeedFile", "txtCelFile", "txtCellName",
          "txtCellScaleFactor", "txtMinLineLength", "txtHeightTab", "txtWidthTab",
          "txtLineEndHeight", "txtLineEndWidth", "txtIso3DHeight", "txtIso3DWidth"}) {
        EXPECT_NE(control<QLineEdit>(name), nullptr) << name;
    }
    for (int i = 0; i <= 7; ++i) {
        const std::string select = "btnSelectFile(" + std::to_string(i) + ")";
        const std::string open = "btnOpenFile(" + std::to_string(i) + ")";
        ASSERT_NE(control<QPushButton>(select.c_str()), nullptr) << select;
        EXPECT_EQ(control<QPushButton>(select.c_str())->text(), "Browse...");
        EXPECT_EQ(control<QPushButton>(open.c_str()) != nullptr, i != 7) << open;
    }
    EXPECT_EQ(control<QPushButton>("cmdClose")->text(), "Close");
    for (const char* name :
         {"HScrollVistrel", "VScrollVistrel", "HScrollScaleVistrel", "HScrollIsoCoverSheet",
          "VScrollIsoCoverSheet", "HScrollScaleIsoCoverSheet", "HScrollTab", "VScrollTab",
          "HScrollIso3D", "VScrollIso3D", "HScrollScaleIso3D"}) {
        EXPECT_NE(control<QScrollBar>(name), nullptr) << name;
    }
    for (const char* name :
         {"cmbPipeLevel", "cmbTabLevel", "cmbLineEndLevel", "cmbIso3DLevel", "icmbPipeStyle",
          "icmbTabStyle", "icmbLineEndStyle", "icmbIso3DStyle", "icmbPipeWeight", "icmbTabWeight",
          "icmbLineEndWeight", "icmbIso3DWeight"}) {
        EXPECT_NE(control<QComboBox>(name), nullptr) << name;
    }
    for (const char* name : {"lvPipeColor", "lvTabColor", "lvLineEndColor", "lvIso3DColor"}) {
        EXPECT_NE(control<QListWidget>(name), nullptr) << name;
    }
    for (int i = 1; i <= 7; ++i) {
        EXPECT_NE(control<QStatusBar>(("StatusBar" + std::to_string(i)).c_str()), nullptr) << i;
    }
    EXPECT_NE(control<QTableView>("TDBGrid"), nullptr);
    EXPECT_NE(control<QTimer>("Timer1"), nullptr);
    EXPECT_NE(control<QTimer>("Timer2"), nullptr);
}

TEST_F(WizardWindow, PagesAndFramesCarryTheirCaptions) {
    auto captions = [this](const char* name) {
        std::vector<std::string> texts;
        auto* tabs = control<QTabWidget>(name);
        for (int i = 0; tabs && i < tabs->count(); ++i)
            texts.push_back(tabs->tabText(i).toStdString());
        return texts;
    };
    EXPECT_EQ(captions("SSTab"), (std::vector<std::string>{"Vistrel", "IsoCoverSheet", "Iso3D"}));
    EXPECT_EQ(captions("SSTab1"), (std::vector<std::string>{"Key plan", "Pipe line", "Cell"}));
    EXPECT_EQ(captions("SSTab2"),
              (std::vector<std::string>{"Key plan", "Table", "Line end number"}));
    EXPECT_EQ(captions("SSTab3"), (std::vector<std::string>{"View", "Line end number"}));
    std::vector<std::string> frames;
    for (int i = 1; i <= 7; ++i) {
        const auto* frame = control<QGroupBox>(("Frame" + std::to_string(i)).c_str());
        frames.push_back(frame ? frame->title().toStdString() : "");
    }
    EXPECT_EQ(frames, (std::vector<std::string>{
                          "Vistrel configuration file:", "ISOGEN isometry file (*.i01):",
                          "Vistrel seed file:", "IsoCoverSheet seed file:", "Vistrel seed file:",
                          "Iso3D seed file:", "IsoCoverSheet seed file:"}));
}

TEST_F(WizardWindow, TheUsersActionsReachTheFormAndItsChangesShow) {
    WizardForm& form = wizard().form();
    form.HScrollVistrel.setMax(500);
    form.HScrollVistrel.setValue(120);
    form.StatusBar3.setPanel(2, "XY: 1,2");
    EXPECT_EQ(control<QScrollBar>("HScrollVistrel")->maximum(), 500);
    EXPECT_EQ(control<QScrollBar>("HScrollVistrel")->value(), 120);
    EXPECT_EQ(wizard().findChild<QLabel*>("StatusBar3.Panels(2)")->text(), "XY: 1,2");

    form.icmbPipeWeight.Clear();
    for (int w = 0; w <= 15; ++w) form.icmbPipeWeight.Add({std::to_string(w), w + 1});
    auto* weight = control<QComboBox>("icmbPipeWeight");
    ASSERT_EQ(weight->count(), 16);
    weight->setCurrentIndex(9);
    emit weight->activated(9);
    EXPECT_EQ(form.icmbPipeWeight.selectedText(), "9");
    EXPECT_TRUE(form.modified(0));

    control<QScrollBar>("VScrollTab")->setValue(7);
    EXPECT_EQ(form.VScrollTab.Value(), 7);
    control<QLineEdit>("txtCellName")->setText("");
    QTest::keyClicks(control<QLineEdit>("txtCellName"), "VALVE");
    EXPECT_EQ(form.txtCellName.Text(), "VALVE");
}

// A drag of a column's or row's border: the grid learns the new size in twips when the button is
// released, one resize event for the whole drag.
TEST_F(WizardWindow, DraggingAGridBorderResizesInTwipsOnceWhenReleased) {
    WizardForm& form = wizard().form();
    std::vector<std::string> resized;
    form.TDBGrid.onColResize = [&](int column) {
        resized.push_back("col " + std::to_string(column));
    };
    form.TDBGrid.onRowResize = [&] { resized.push_back("row"); };
    form.Form_Load();
    form.Timer1.tick();  // the sample table; no configuration to prepare a page on
    messages.clear();
    wizard().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard()));
    auto* grid = control<QTableView>("TDBGrid");
    ASSERT_EQ(grid->logicalDpiX(), 96);                       // 15 twips to the pixel
    ASSERT_EQ(grid->horizontalHeader()->sectionSize(0), 96);  // 1440 twips
    QWidget* header = grid->horizontalHeader()->viewport();
    const int y = header->height() / 2;
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(95, y));
    for (int x = 100; x <= 125; x += 5) QTest::mouseMove(header, QPoint(x, y));
    EXPECT_EQ(resized, std::vector<std::string>{});
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(125, y));
    EXPECT_EQ(resized, std::vector<std::string>{"col 0"});
    EXPECT_DOUBLE_EQ(form.TDBGrid.columnWidth(0), 1440 + 30 * 15);

    QWidget* rows = grid->verticalHeader()->viewport();
    const int bottom = grid->verticalHeader()->sectionSize(0);  // 17 pixels, 255 twips
    ASSERT_EQ(bottom, 17);
    QTest::mousePress(rows, Qt::LeftButton, {}, QPoint(5, bottom - 1));
    QTest::mouseMove(rows, QPoint(5, bottom + 4));
    QTest::mouseMove(rows, QPoint(5, bottom + 9));
    QTest::mouseRelease(rows, Qt::LeftButton, {}, QPoint(5, bottom + 9));
    EXPECT_EQ(resized, (std::vector<std::string>{"col 0", "row"}));
    EXPECT_DOUBLE_EQ(form.TDBGrid.RowHeight(), 255 + 10 * 15);
    // Every row shows the grid's one row height.
    EXPECT_EQ(grid->verticalHeader()->sectionSize(2), 27);
}

// A numeric box: a key that leaves no number brings the hint; Enter puts a point for the comma
// and presses no button of the window.
TEST_F(WizardWindow, ANumericBoxHintsAtLettersAndTakesAPointForAComma) {
    WizardForm& form = wizard().form();
    int pressed = 0;
    for (auto* buttons : {&form.btnOpenFile, &form.btnSelectFile}) {
        for (auto& button : *buttons) {
            if (button) button->onClick = [&pressed] { ++pressed; };
        }
    }
    form.cmdClose.onClick = [&pressed] { ++pressed; };
    wizard().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard()));
    auto* box = control<QLineEdit>("txtMinLineLength");
    form.SSTab1.setTab(2);
    box->setFocus();
    box->setText("");
    QTest::keyClicks(box, "1,5");
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"Numbers only, please", "Numbers only, please"}));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(form.txtMinLineLength.Text(), "1.5");
    EXPECT_EQ(box->text(), "1.5");
    QTest::keyClicks(box, ";");
    EXPECT_EQ(box->text(), "1.5");
}

// Keys that change no text (moves, modifiers) bring no hint back while the text stays no number.
TEST_F(WizardWindow, ANumericBoxHintsOnceForTheKeyThatSpoiledIt) {
    WizardForm& form = wizard().form();
    wizard().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard()));
    auto* box = control<QLineEdit>("txtMinLineLength");
    form.SSTab1.setTab(2);
    box->setFocus();
    box->setText("12");
    QTest::keyClicks(box, "x");
    for (Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_Shift, Qt::Key_Control}) {
        QTest::keyClick(box, key);
    }
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Numbers only, please"});
}

// MicroStation's window, shown by a page change, goes wholly on the screen beside the wizard,
// which moves to the screen's left edge when neither side has room.
TEST_F(WizardWindow, MicroStationsWindowOpensBesideTheWizard) {
    struct Moves : vtl::test::FakeWindowSystem {
        std::vector<QRect> moved;
        int32_t moveWindow(platform::WindowHandle, int x, int y, int width, int height) override {
            moved.emplace_back(x, y, width, height);
            return 1;
        }
    } windows;
    const platform::ScopedWindows scopedWindows(windows);
    windows.open("MicroStation - demo.i01", "MSTNTop");
    wizard().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard()));
    wizard().form().window.besideMicroStation();
    wizard().form().window.besideMicroStation();  // the same window stays where the user puts it
    ASSERT_EQ(windows.moved.size(), 1u);
    const QRect mstn = windows.moved[0], wizardFrame = wizard().frameGeometry();
    const QRect screen(0, 0, 1024, 768);  // the private display's
    EXPECT_TRUE(screen.contains(mstn)) << mstn.x() << "," << mstn.y() << " " << mstn.width();
    EXPECT_FALSE(mstn.intersects(wizardFrame));
}

TEST_F(WizardWindow, DisablingTheControlsLeavesCloseAndTheTimersStop) {
    WizardForm& form = wizard().form();
    form.Timer2.setInterval(1000);
    form.SetControlsEnabled(false);
    EXPECT_FALSE(control<QLineEdit>("txtVTLConfig")->isEnabled());
    EXPECT_FALSE(control<QTabWidget>("SSTab")->isTabEnabled(2));
    EXPECT_FALSE(control<QTimer>("Timer2")->isActive());
    EXPECT_TRUE(control<QPushButton>("cmdClose")->isEnabled());
    form.SetControlsEnabled(true);
    EXPECT_TRUE(control<QTimer>("Timer2")->isActive());
    EXPECT_EQ(control<QTimer>("Timer2")->interval(), 1000);
}

// The menu opens the wizard modally on the main window's configuration; its title-bar close
// unloads it without saving.
TEST_F(WizardWindow, TheFileMenuOpensTheWizardModally) {
    dir.write("project/config.ini", "[Vistrel]\nseedfile=\n");
    VTL& vtl = start();
    auto* entry = find<QAction>("Menu_File_Configuration_Wizard");
    ASSERT_TRUE(entry->isEnabled());
    bool seen = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(
            QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000));
        auto* opened = qobject_cast<frmVTLWizard*>(QApplication::activeModalWidget());
        ASSERT_NE(opened, nullptr);
        const bool idle = QTest::qWaitFor(
            [opened] { return !opened->form().busy() && !opened->form().Timer1.running(); }, 10000);
        EXPECT_TRUE(idle);
        seen = opened->isModal() && opened->form().txtVTLConfig.Text() == config();
        opened->close();
    });
    entry->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Vistrel seed file not defined"});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(programEnds, 0);
    (void)vtl;
}

}  // namespace
}  // namespace vtl::wizard::test

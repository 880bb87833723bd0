// The control lock over model windows, and the window position in the settings file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <memory>
#include <set>

#include "ToolFixture.h"
#include "WindowDesktop.h"
#include "textreplace/modTools.h"
#include "workbook/Recordset.h"

namespace vtl::tarnwell::modTools {
namespace {

using Texts = std::vector<std::string>;

template <class T>
T* add(QWidget* parent, const char* name) {
    auto* control = new T(parent);
    control->setObjectName(name);
    return control;
}

Texts sorted(Texts names) {
    std::sort(names.begin(), names.end());
    return names;
}

// A main window with an enabled button, the Exit button, a disabled text box, the event list,
// a label and a frame holding a button, beside a second window and the splash.
class LockTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::WindowDesktop::ready()) GTEST_SKIP() << "Xvfb did not start";
        main = std::make_unique<QWidget>();
        main->setObjectName("frmMain");
        cmdReplace = add<QPushButton>(main.get(), "cmdReplace");
        cmdExit = add<QPushButton>(main.get(), "cmdExit");
        txtLocked = add<QPushButton>(main.get(), "txtLocked");
        txtLocked->setEnabled(false);
        lstLog = add<QListWidget>(main.get(), "lstLog");
        label = add<QLabel>(main.get(), "Label1");
        frame = add<QGroupBox>(main.get(), "Frame1");
        cmdInFrame = add<QPushButton>(frame, "cmdInFrame");
        other = std::make_unique<QWidget>();
        other->setObjectName("frmOther");
        chkOther = add<QPushButton>(other.get(), "chkOther");
        splash = std::make_unique<QWidget>();
        splash->setObjectName("frmSplash");
        splashButton = add<QPushButton>(splash.get(), "cmdSplash");
    }

    std::unique_ptr<QWidget> main, other, splash;
    QPushButton *cmdReplace = nullptr, *cmdExit = nullptr, *txtLocked = nullptr;
    QPushButton *cmdInFrame = nullptr, *chkOther = nullptr, *splashButton = nullptr;
    QListWidget* lstLog = nullptr;
    QLabel* label = nullptr;
    QGroupBox* frame = nullptr;
};

TEST_F(LockTest, OnlyEnabledInputControlsAreLockedAndExactlyThoseUnlocked) {
    const std::string key = DisableControls();
    EXPECT_EQ(key.size(), 9u);
    EXPECT_EQ(key[0], 'K');
    EXPECT_EQ(sorted(LockedControls(key)),
              (Texts{"frmMain.cmdInFrame", "frmMain.cmdReplace", "frmOther.chkOther"}));
    EXPECT_FALSE(cmdReplace->isEnabled());
    EXPECT_FALSE(cmdInFrame->isEnabled());
    EXPECT_FALSE(chkOther->isEnabled());
    for (QWidget* stays :
         std::initializer_list<QWidget*>{cmdExit, lstLog, label, frame, splashButton}) {
        EXPECT_TRUE(stays->isEnabled()) << stays->objectName().toStdString();
    }
    EXPECT_NE(QApplication::overrideCursor(), nullptr);

    EnableControls(key);
    EXPECT_TRUE(cmdReplace->isEnabled());
    EXPECT_TRUE(cmdInFrame->isEnabled());
    EXPECT_TRUE(chkOther->isEnabled());
    EXPECT_FALSE(txtLocked->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(LockedControls(key).empty());
}

TEST_F(LockTest, NestedLocksEachRestoreTheirOwnControls) {
    const std::string outer = DisableControls({}, main.get());
    txtLocked->setEnabled(true);
    const std::string inner = DisableControls({}, main.get());
    EXPECT_NE(inner, outer);
    EXPECT_EQ(LockedControls(inner), (Texts{"frmMain.txtLocked"}));
    EnableControls(outer);
    EXPECT_TRUE(cmdReplace->isEnabled());
    EXPECT_FALSE(txtLocked->isEnabled());
    // The inner lock still holds its hourglass.
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    EnableControls(inner);
    EXPECT_TRUE(txtLocked->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LockTest, IndexedControlsAndManyLocksNeverShareAnEntryOrAKey) {
    auto* first = add<QPushButton>(main.get(), "txtDist(0)");
    auto* second = add<QPushButton>(main.get(), "txtDist(1)");
    second->setEnabled(false);
    EXPECT_EQ(GetIndexOfControl(*second), "1");
    EXPECT_EQ(GetIndexOfControl(*cmdReplace), "");
    const std::string key = DisableControls({cmdReplace}, main.get());
    EXPECT_TRUE(cmdReplace->isEnabled());
    EXPECT_EQ(sorted(LockedControls(key)), (Texts{"frmMain.cmdInFrame", "frmMain.txtDist(0)"}));
    EnableControls(key);
    EXPECT_TRUE(first->isEnabled());
    EXPECT_FALSE(second->isEnabled());

    std::vector<std::string> keys;
    for (int i = 0; i < 300; ++i) keys.push_back(DisableControls({}, other.get()));
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) EnableControls(*it);
    EXPECT_TRUE(chkOther->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(LockTest, AnEmptyKeyOnlyEndsTheHourglass) {
    const std::string key = DisableControls();
    EnableControls("");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(cmdReplace->isEnabled());
    EnableControls(key);
    EXPECT_TRUE(cmdReplace->isEnabled());
}

// Screen 20480 x 15360 twips (1024 x 768 pixels); the window now at top 1000, left 2000,
// 3000 high and 4000 wide.
constexpr TwipsRect kNow{1000, 2000, 3000, 4000};

Placement place(StoredPos stored, bool sizable = true) {
    return placeWindow(stored, kNow, 20480, 15360, sizable);
}

TEST(PlaceWindowTest, StoredValuesAreTakenWhereTheyKeepTheWindowOnTheScreen) {
    EXPECT_EQ(place({"0", "1500", "2500.4", "6000", "8000"}),
              (Placement{false, {1500, 2500, 6000, 8000}}));
    // A top below the screen keeps the current one; the height is then measured from there.
    EXPECT_EQ(place({"0", "20000", "100", "14360", "4000"}),
              (Placement{false, {1000, 100, 14360, 4000}}));
    EXPECT_EQ(place({"0", "1000", "100", "14361", "4000"}).rect.height, 3000);
    // The right edge may reach 200 twips past the screen, no further.
    EXPECT_EQ(place({"0", "1000", "480", "3000", "20200"}).rect.width, 20200);
    EXPECT_EQ(place({"0", "1000", "480", "3000", "20201"}).rect.width, 4000);
    // Without a sizable border only the position.
    EXPECT_EQ(place({"0", "10", "20", "5000", "5000"}, false),
              (Placement{false, {10, 20, 3000, 4000}}));
}

TEST(PlaceWindowTest, MaximizedWinsAndGarbageCountsAsZero) {
    EXPECT_EQ(place({"2", "1500", "2500", "6000", "8000"}), (Placement{true, kNow}));
    EXPECT_EQ(place({"", "abc", "-5", "x", "0"}), (Placement{false, {0, 0, 3000, 4000}}));
}

class WindowPosTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::WindowDesktop::ready()) GTEST_SKIP() << "Xvfb did not start";
    }
    test::ScopedTool tool;
};

TEST_F(WindowPosTest, APositionSavedInTwipsComesBack) {
    QWidget saved;
    saved.setObjectName("frmMain");
    saved.move(100, 80);
    saved.resize(400, 300);
    SaveWindowPos(saved);
    EXPECT_EQ(tool.setting("WindowState", "frmMain"), "0");
    EXPECT_EQ(tool.setting("Top", "frmMain"), "1200");
    EXPECT_EQ(tool.setting("Left", "frmMain"), "1500");
    EXPECT_EQ(tool.setting("Height", "frmMain"), "4500");
    EXPECT_EQ(tool.setting("Width", "frmMain"), "6000");

    QWidget loaded;
    loaded.setObjectName("frmMain");
    LoadWindowPos(loaded);
    EXPECT_EQ(loaded.pos(), QPoint(100, 80));
    EXPECT_EQ(loaded.size(), QSize(400, 300));

    // Maximized, the window keeps its last normal place in the file.
    loaded.setWindowState(Qt::WindowMaximized);
    SaveWindowPos(loaded);
    EXPECT_EQ(tool.setting("WindowState", "frmMain"), "2");
    EXPECT_EQ(tool.setting("Top", "frmMain"), "1200");
    QWidget again;
    again.setObjectName("frmMain");
    LoadWindowPos(again);
    EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
}

TEST(CloseRecordsetTest, AnOpenRecordsetIsClosedAndReleased) {
    auto recordset = std::make_shared<ado::Recordset>();
    recordset->Fields().Append("F1", ado::adInteger);
    recordset->Open();
    auto kept = recordset;
    CloseRecordset(recordset);
    EXPECT_EQ(recordset, nullptr);
    EXPECT_EQ(kept->State(), ado::adStateClosed);
    std::shared_ptr<ado::Recordset> none;
    EXPECT_NO_THROW(CloseRecordset(none));
}

}  // namespace
}  // namespace vtl::tarnwell::modTools

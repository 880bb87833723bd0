#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <functional>

#include "common/Dialog.h"
#include "platform/FileDialogs.h"
#include "platform/XvfbDesktop.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

using test::TempDir;
using test::XvfbDesktop;

[[maybe_unused]] ::testing::Environment* const desktop =
    ::testing::AddGlobalTestEnvironment(new XvfbDesktop("dialogs"));

struct Seen {
    QStringList types;
    QString directory;
    QString fileName;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
};

// Calls show and, once its dialog is up, notes what it shows and lets act answer it.
std::string withDialog(const std::function<std::string()>& show, Seen& seen,
                       const std::function<void(QFileDialog&)>& act) {
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (!dialog || !dialog->isVisible()) continue;
            timer.stop();
            auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; combo && i < combo->count(); ++i) seen.types << combo->itemText(i);
            seen.directory = dialog->directory().absolutePath();
            seen.fileName = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
            seen.mode = dialog->fileMode();
            seen.accept = dialog->acceptMode();
            act(*dialog);
            return;
        }
    });
    timer.start();
    return show();
}

class QtFileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbDesktop::ready()) GTEST_SKIP() << "Xvfb did not start";
    }
    TempDir dir_;
    Seen seen_;
};

TEST_F(QtFileDialog, OpenFileShowsTheFilterEntriesAndReturnsTheChosenFile) {
    const std::string ini = dir_.write("vtl.ini", "").string();
    dir_.write("notes.txt", "");
    std::string chosen = withDialog(
        [&] { return FileDialog().OpenFile("INI-File (*.ini)|*.ini", dir_.str()); }, seen_,
        [&](QFileDialog& dialog) {
            dialog.selectFile(QString::fromStdString(ini));
            static_cast<QDialog&>(dialog).accept();
        });
    EXPECT_EQ(chosen, ini);
    EXPECT_EQ(seen_.types, QStringList{"INI-File (*.ini)"});
    EXPECT_EQ(seen_.directory.toStdString(), dir_.str());
    EXPECT_EQ(seen_.mode, QFileDialog::ExistingFile);
    EXPECT_EQ(seen_.accept, QFileDialog::AcceptOpen);
}

TEST_F(QtFileDialog, CancelGivesEmptyWithSeveralEntries) {
    std::string chosen = withDialog(
        [&] {
            return FileDialog().OpenFile(
                "IsoGen h-File (*.h; *.h1)|*.h;*.h1|ASCII-List file (*.*)|*.*", dir_.str());
        },
        seen_, [](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(seen_.types, (QStringList{"IsoGen h-File (*.h; *.h1)", "ASCII-List file (*.*)"}));
}

TEST_F(QtFileDialog, ShowManyTakesSeveralExistingFilesUnderItsTitle) {
    const std::string a = dir_.write("a.h", "").string();
    const std::string b = dir_.write("b.h1", "").string();
    platform::FileDialogRequest request;
    request.filters = platform::parseFileFilter("IsoGen h-File (*.h; *.h1)|*.h;*.h1");
    request.initialDir = dir_.str();
    request.title = "Header files";
    QString title;
    std::vector<std::string> chosen;
    withDialog(
        [&] {
            chosen = platform::fileDialogs().showMany(request);
            return std::string();
        },
        seen_,
        [&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            dialog.selectFile("\"a.h\" \"b.h1\"");
            static_cast<QDialog&>(dialog).accept();
        });
    EXPECT_EQ(chosen, (std::vector<std::string>{a, b}));
    EXPECT_EQ(seen_.mode, QFileDialog::ExistingFiles);
    EXPECT_EQ(title, "Header files");
}

TEST_F(QtFileDialog, SaveFileProposesTheDefaultName) {
    std::string chosen =
        withDialog([&] { return FileDialog().SaveFile("texts.xls", std::nullopt, dir_.str()); },
                   seen_, [](QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); });
    EXPECT_EQ(chosen, (dir_ / "texts.xls").string());
    EXPECT_EQ(seen_.fileName, "texts.xls");
    EXPECT_EQ(seen_.types, QStringList{"Alle Dateien (*.*)"});
    EXPECT_EQ(seen_.accept, QFileDialog::AcceptSave);
}

}  // namespace
}  // namespace vtl

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "core/Error.h"
#include "platform/MessageBoxes.h"
#include "platform/XvfbDesktop.h"

namespace vtl::platform {
namespace {

TEST(MessageBoxStyles, OfferTheButtonsOfTheStyleWithTheDefaultFirst) {
    EXPECT_EQ(answersOf(vbOKOnly), (std::vector<int32_t>{1}));
    EXPECT_EQ(answersOf(vbExclamation), (std::vector<int32_t>{1}));
    EXPECT_EQ(answersOf(vbQuestion + vbYesNo), (std::vector<int32_t>{6, 7}));
    EXPECT_EQ(answersOf(vbOKCancel), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(answersOf(vbYesNoCancel + vbCritical), (std::vector<int32_t>{6, 7, 2}));
}

TEST(RecordingMessageBoxes, AnswerFromTheQueueThenWithTheDefaultButton) {
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes installed(boxes);
    boxes.answer(vbNo);
    EXPECT_EQ(MsgBox("Overwrite?", 36, "Tarnwell"), 7);
    EXPECT_EQ(MsgBox("Overwrite again?", 36, "Tarnwell"), 6);
    EXPECT_EQ(MsgBox("Done"), 1);
    EXPECT_EQ(boxes.messages(), (std::vector<Message>{{"Overwrite?", 36, "Tarnwell"},
                                                      {"Overwrite again?", 36, "Tarnwell"},
                                                      {"Done", 0, programTitle()}}));
}

// The desktop is the one the file dialog tests of this program register.

// Shows a box through Qt's backend and, once it is up, notes its buttons and clicks one.
int32_t clickOnce(const Message& message, QMessageBox::StandardButton click,
                  QMessageBox::StandardButtons& seen) {
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible()) continue;
            timer.stop();
            seen = box->standardButtons();
            box->button(click)->click();
            return;
        }
    });
    timer.start();
    QtMessageBoxes boxes;
    return boxes.show(message);
}

TEST(QtMessageBoxes, ShowTheStylesButtonsAndReturnTheClickedOne) {
    if (!test::XvfbDesktop::ready()) GTEST_SKIP() << "Xvfb did not start";
    QMessageBox::StandardButtons seen;
    EXPECT_EQ(clickOnce({"Overwrite?", 36, "Tarnwell"}, QMessageBox::No, seen), 7);
    EXPECT_EQ(seen, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(clickOnce({"Overwrite?", 36, "Tarnwell"}, QMessageBox::Yes, seen), 6);
    EXPECT_EQ(clickOnce({"Stop?", vbOKCancel, "Vistrel"}, QMessageBox::Cancel, seen), 2);
    EXPECT_EQ(clickOnce({"Done", vbInformation, "Vistrel"}, QMessageBox::Ok, seen), 1);
    EXPECT_EQ(seen, QMessageBox::Ok);
}

}  // namespace
}  // namespace vtl::platform

#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "core/Error.h"

namespace vtl::ui {

namespace {

QtMessageBoxes qtBoxes;
MessageBoxes* current = &qtBoxes;

QMessageBox::Icon iconOf(int32_t style) {
    switch (style & 0x70) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

MessageBoxes& messageBoxes() {
    return *current;
}

void setMessageBoxes(MessageBoxes* boxes) {
    current = boxes ? boxes : &qtBoxes;
}

void QtMessageBoxes::show(const Message& message) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::cerr << message.title << ": " << message.text << "\n";
        return;
    }
    QMessageBox box(iconOf(message.style), QString::fromStdString(message.title),
                    QString::fromStdString(message.text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName("MessageBox");
    box.exec();
}

std::vector<std::string> RecordingMessageBoxes::texts() const {
    std::vector<std::string> all;
    for (const Message& message : messages_) all.push_back(message.text);
    return all;
}

void MsgBox(const std::string& text, int32_t style) {
    messageBoxes().show(Message{text, style, programTitle()});
}

}  // namespace vtl::ui

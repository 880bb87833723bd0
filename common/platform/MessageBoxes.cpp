#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "core/Error.h"

namespace vtl::platform {

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

QMessageBox::StandardButton buttonOf(int32_t answer) {
    switch (answer) {
        case vbCancel:
            return QMessageBox::Cancel;
        case vbYes:
            return QMessageBox::Yes;
        case vbNo:
            return QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

int32_t answerOf(int clicked, const std::vector<int32_t>& answers) {
    for (int32_t answer : answers) {
        if (clicked == buttonOf(answer)) return answer;
    }
    // Closing the box by its frame or Escape answers Cancel where the box has one.
    for (int32_t answer : answers) {
        if (answer == vbCancel) return vbCancel;
    }
    return answers.back();
}

}  // namespace

std::vector<int32_t> answersOf(int32_t style) {
    switch (style & 0x0F) {
        case vbOKCancel:
            return {vbOK, vbCancel};
        case vbYesNoCancel:
            return {vbYes, vbNo, vbCancel};
        case vbYesNo:
            return {vbYes, vbNo};
        default:
            return {vbOK};
    }
}

MessageBoxes& messageBoxes() {
    return *current;
}

void setMessageBoxes(MessageBoxes* boxes) {
    current = boxes ? boxes : &qtBoxes;
}

int32_t QtMessageBoxes::show(const Message& message) {
    const std::vector<int32_t> answers = answersOf(message.style);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::cerr << message.title << ": " << message.text << "\n";
        return answers.front();
    }
    QMessageBox::StandardButtons buttons;
    for (int32_t answer : answers) buttons |= buttonOf(answer);
    QMessageBox box(iconOf(message.style), QString::fromStdString(message.title),
                    QString::fromStdString(message.text), buttons, QApplication::activeWindow());
    box.setObjectName("MessageBox");
    box.setDefaultButton(buttonOf(answers.front()));
    return answerOf(box.exec(), answers);
}

int32_t RecordingMessageBoxes::show(const Message& message) {
    messages_.push_back(message);
    if (answers_.empty()) return answersOf(message.style).front();
    const int32_t answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<std::string> RecordingMessageBoxes::texts() const {
    std::vector<std::string> all;
    for (const Message& message : messages_) all.push_back(message.text);
    return all;
}

int32_t MsgBox(const std::string& text, int32_t style, const std::string& title) {
    return messageBoxes().show(Message{text, style, title.empty() ? programTitle() : title});
}

}  // namespace vtl::platform

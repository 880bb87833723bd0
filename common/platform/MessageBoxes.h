// Message boxes: Qt's for the programs, a recording one for tests and the headless demo.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/ScopedInstall.h"

namespace vtl::platform {

// Styles of a message box as the platform numbers them: the buttons plus one icon.
inline constexpr int32_t vbOKOnly = 0;
inline constexpr int32_t vbOKCancel = 1;
inline constexpr int32_t vbYesNoCancel = 3;
inline constexpr int32_t vbYesNo = 4;
inline constexpr int32_t vbCritical = 16;
inline constexpr int32_t vbQuestion = 32;
inline constexpr int32_t vbExclamation = 48;
inline constexpr int32_t vbInformation = 64;

// The answers, numbered as the platform numbers them.
inline constexpr int32_t vbOK = 1;
inline constexpr int32_t vbCancel = 2;
inline constexpr int32_t vbYes = 6;
inline constexpr int32_t vbNo = 7;

struct Message {
    std::string text;
    int32_t style = vbOKOnly;
    std::string title;
    bool operator==(const Message&) const = default;
};

// The buttons a style offers, as their answers, the default button first.
std::vector<int32_t> answersOf(int32_t style);

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the message and waits until the user has answered it; returns the answer.
    virtual int32_t show(const Message& message) = 0;
};

// The message boxes in force: Qt's, unless a test installed its own.
MessageBoxes& messageBoxes();
// Installs message boxes; nullptr brings Qt's back.
void setMessageBoxes(MessageBoxes* boxes);

using ScopedMessageBoxes = ScopedInstall<MessageBoxes, setMessageBoxes>;

// A modal QMessageBox over the active window. Without a QApplication the message goes to the
// standard error stream and the default button answers, so nothing waits for an answer that
// cannot come.
class QtMessageBoxes : public MessageBoxes {
public:
    int32_t show(const Message& message) override;
};

// Keeps every message it is shown, in order, and answers at once: from its queue of answers,
// else with the style's default button.
class RecordingMessageBoxes : public MessageBoxes {
public:
    int32_t show(const Message& message) override;
    void answer(int32_t answer) { answers_.push_back(answer); }
    const std::vector<Message>& messages() const { return messages_; }
    // The texts alone, for short assertions.
    std::vector<std::string> texts() const;
    void clear() { messages_.clear(); }

private:
    std::vector<Message> messages_;
    std::deque<int32_t> answers_;
};

// Shows a message under the given title (the program's title when none is given) and returns
// the answer.
int32_t MsgBox(const std::string& text, int32_t style = vbOKOnly, const std::string& title = {});

}  // namespace vtl::platform

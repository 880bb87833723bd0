// The message boxes of the main program: Qt's for the program, a recording one for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtl::ui {

// Styles of a message box as the platform numbers them: the buttons plus one icon.
inline constexpr int32_t vbOKOnly = 0;
inline constexpr int32_t vbCritical = 16;
inline constexpr int32_t vbQuestion = 32;
inline constexpr int32_t vbExclamation = 48;
inline constexpr int32_t vbInformation = 64;

struct Message {
    std::string text;
    int32_t style = vbOKOnly;
    std::string title;
    bool operator==(const Message&) const = default;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the message with an OK button and waits until the user has answered it.
    virtual void show(const Message& message) = 0;
};

// The message boxes in force: Qt's, unless a test installed its own.
MessageBoxes& messageBoxes();
// Installs message boxes; nullptr brings Qt's back.
void setMessageBoxes(MessageBoxes* boxes);

class ScopedMessageBoxes {
public:
    explicit ScopedMessageBoxes(MessageBoxes& boxes) { setMessageBoxes(&boxes); }
    ~ScopedMessageBoxes() { setMessageBoxes(nullptr); }
    ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
    ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;
};

// A modal QMessageBox over the active window. Without a QApplication the message goes to the
// standard error stream, so nothing waits for an answer that cannot come.
class QtMessageBoxes : public MessageBoxes {
public:
    void show(const Message& message) override;
};

// Keeps every message it is shown, in order, and answers at once.
class RecordingMessageBoxes : public MessageBoxes {
public:
    void show(const Message& message) override { messages_.push_back(message); }
    const std::vector<Message>& messages() const { return messages_; }
    // The texts alone, for short assertions.
    std::vector<std::string> texts() const;
    void clear() { messages_.clear(); }

private:
    std::vector<Message> messages_;
};

// Shows a message under the program's title.
void MsgBox(const std::string& text, int32_t style = vbOKOnly);

}  // namespace vtl::ui

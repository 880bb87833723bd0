// An in-process MicroStation for tests of the code that drives it: it records every key-in and
// member call, answers as the test scripts it, and can fail on the Nth call.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "mstn/Automation.h"

namespace vtl::test {

// An element of a scripted design file: its type, a text node's number, its origin, a text's
// string and a line's end points.
struct FakeElement {
    int32_t type = 0;
    int32_t nodeNumber = 0;
    mstn::Point origin;
    int32_t size = 100;  // bytes, as the walk steps over it
    std::string text;
    mstn::Point start, end;
};

// A reference of the open file as the reference list reports it; the walk reads its elements
// from the design of its file name.
struct FakeReference {
    std::string file;
    bool active = true;
    bool notFound = false;
    bool display = true;
};

class FakeMicroStation : public mstn::Application {
public:
    // Every key-in, in the order received (MbeSendCommand and MbeSendkeyin).
    std::vector<std::string> keyins;
    // Every member call as "Member(arguments)".
    std::vector<std::string> calls;
    std::map<std::string, int32_t> expressions;
    std::map<std::string, std::string> configVars;
    // The elements of each design file by path: "newfile PATH" opens one for the element walk,
    // whose positions are the sums of the sizes before an element. A published element answers
    // "NAME.currentPosition->el.text_node_2d.nodenumber".
    std::map<std::string, std::vector<FakeElement>> designs;
    // The reference list, slot 1 first.
    std::vector<FakeReference> references;
    int32_t visible = 1;
    bool quit = false;
    // Runs after each key-in is recorded: a test's stand-in for what MicroStation does with it.
    std::function<void(const std::string& keyin)> onKeyin;

    // The nth member call from now on (1 = the next one) raises this error.
    void failOnCall(int n, Error error);

    void MbeSendCommand(const std::string& keyin) override;
    void MbeSendkeyin(const std::string& keyin) override;
    void MbeSetAppVariable(const std::string& application, const std::string& variable,
                           double value) override;
    void MbeSendAppMessage(const std::string& application, const std::string& message) override;
    void MbeSendReset() override;
    void mbeSendDataPoint(const mstn::Point& point) override;
    int32_t MbeCExpressionLong(const std::string& expression) override;
    std::string MbeGetConfigVar(const std::string& name) override;
    std::shared_ptr<mstn::Element> MbeElement() override;
    std::shared_ptr<mstn::RefFiles> MbeRefFiles() override;
    int32_t Visible() override;
    void setVisible(int32_t value) override;
    void Quit() override;

    // The file the last "newfile" key-in opened.
    const std::string& openFile() const { return openFile_; }

private:
    class WalkElement;
    void record(const std::string& call);
    void keyin(const std::string& keyin);
    std::optional<int32_t> publishedNodeNumber(const std::string& expression);

    std::string openFile_;
    std::map<std::string, std::weak_ptr<WalkElement>> published_;
    int callsUntilFailure_ = 0;
    std::optional<Error> failure_;
};

}  // namespace vtl::test

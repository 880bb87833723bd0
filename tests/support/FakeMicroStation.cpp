#include "support/FakeMicroStation.h"

#include "core/Numbers.h"

namespace vtl::test {

namespace {

// An element walk over an empty design file.
class EmptyElement : public mstn::Element {
public:
    int32_t fromFile(int32_t, int32_t) override { return -1; }
    int32_t fileSize() override { return 0; }
    int32_t Type() override { return 0; }
    int32_t GetString(std::string& text) override { return text.clear(), 1; }
    int32_t GetOrigin(mstn::Point&) override { return 1; }
    int32_t getEndPoints(mstn::Point&, mstn::Point&) override { return 1; }
    int32_t Level() override { return 0; }
    int32_t Color() override { return 0; }
    int32_t Weight() override { return 0; }
    int32_t nextComponent() override { return 1; }
    int32_t setString(const std::string&) override { return 1; }
    int32_t Rewrite() override { return 1; }
    int32_t Publish(const std::string&) override { return 0; }
};

class NoReferences : public mstn::RefFiles {
public:
    int32_t maxRefFiles() override { return 0; }
    bool active(int32_t) override { return false; }
    bool notFound(int32_t) override { return false; }
    bool display(int32_t) override { return false; }
    std::string Filename(int32_t) override { return {}; }
};

}  // namespace

void FakeMicroStation::failOnCall(int n, Error error) {
    callsUntilFailure_ = n;
    failure_ = std::move(error);
}

void FakeMicroStation::record(const std::string& call) {
    calls.push_back(call);
    if (failure_ && --callsUntilFailure_ == 0) {
        Error error = *failure_;
        failure_.reset();
        throw error;
    }
}

void FakeMicroStation::MbeSendCommand(const std::string& keyin) {
    record("MbeSendCommand(" + keyin + ")");
    keyins.push_back(keyin);
}

void FakeMicroStation::MbeSendkeyin(const std::string& keyin) {
    record("MbeSendkeyin(" + keyin + ")");
    keyins.push_back(keyin);
}

void FakeMicroStation::MbeSetAppVariable(const std::string& application,
                                         const std::string& variable, double value) {
    record("MbeSetAppVariable(" + application + ", " + variable + ", " + num::text(value) + ")");
}

void FakeMicroStation::MbeSendAppMessage(const std::string& application,
                                         const std::string& message) {
    record("MbeSendAppMessage(" + application + ", " + message + ")");
}

void FakeMicroStation::MbeSendReset() { record("MbeSendReset()"); }

void FakeMicroStation::mbeSendDataPoint(const mstn::Point& p) {
    record("mbeSendDataPoint(" + num::text(p.x) + ", " + num::text(p.y) + ", " + num::text(p.z) + ")");
}

int32_t FakeMicroStation::MbeCExpressionLong(const std::string& expression) {
    record("MbeCExpressionLong(" + expression + ")");
    auto it = expressions.find(expression);
    if (it == expressions.end()) throw Error(err::AutomationError, "MicroStation", "Automation error");
    return it->second;
}

std::string FakeMicroStation::MbeGetConfigVar(const std::string& name) {
    record("MbeGetConfigVar(" + name + ")");
    auto it = configVars.find(name);
    return it == configVars.end() ? std::string() : it->second;
}

std::shared_ptr<mstn::Element> FakeMicroStation::MbeElement() {
    record("MbeElement()");
    return std::make_shared<EmptyElement>();
}

std::shared_ptr<mstn::RefFiles> FakeMicroStation::MbeRefFiles() {
    record("MbeRefFiles()");
    return std::make_shared<NoReferences>();
}

int32_t FakeMicroStation::Visible() {
    record("Visible()");
    return visible;
}

void FakeMicroStation::setVisible(int32_t value) {
    record("setVisible(" + num::text(value) + ")");
    visible = value;
}

void FakeMicroStation::Quit() {
    record("Quit()");
    quit = true;
}

}  // namespace vtl::test

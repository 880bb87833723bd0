// An in-process MicroStation for tests of the code that drives it: it records every key-in and
// member call, answers as the test scripts it, and can fail on the Nth call.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "mstn/Automation.h"

namespace vtl::test {

class FakeMicroStation : public mstn::Application {
public:
    // Every key-in, in the order received (MbeSendCommand and MbeSendkeyin).
    std::vector<std::string> keyins;
    // Every member call as "Member(arguments)".
    std::vector<std::string> calls;
    std::map<std::string, int32_t> expressions;
    std::map<std::string, std::string> configVars;
    int32_t visible = 1;
    bool quit = false;

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

private:
    void record(const std::string& call);

    int callsUntilFailure_ = 0;
    std::optional<Error> failure_;
};

}  // namespace vtl::test

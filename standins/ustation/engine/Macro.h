// Macro files as MicroStation's BASIC runs them: "Sub main", its statements, "End Sub". The
// whole file is read first, so a statement the runner does not know stops the macro before any
// statement ran, as a compile error does.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "core/Error.h"

namespace vtl::ustation {

using MacroValue = std::variant<std::string, double>;

// What the statements of a macro act on.
class MacroHost {
public:
    virtual ~MacroHost() = default;
    virtual void sendCommand(const std::string& keyins) = 0;
    virtual void sendReset() = 0;
    virtual void setAppVariable(const std::string& application, const std::string& variable,
                                double value) = 0;
};

struct MacroStatement {
    int line = 0;
    std::string name;  // as the table spells it
    std::vector<MacroValue> arguments;
};

// A statement the runner does not know. It stops the whole macro before any statement ran, as a
// compile error does.
class UnknownMacroStatement : public Error {
public:
    UnknownMacroStatement(int line, std::string statement);
    const std::string& statement() const { return statement_; }

private:
    std::string statement_;
};

// The statements of "Sub main" in a macro's text (CR LF or LF lines). Raises
// UnknownMacroStatement for a statement it does not know, vtl::Error with the line and the reason
// for any other text that is no runnable macro.
std::vector<MacroStatement> parseMacro(const std::string& source);

// Runs parsed statements in order.
void runMacro(const std::vector<MacroStatement>& statements, MacroHost& host);

}  // namespace vtl::ustation

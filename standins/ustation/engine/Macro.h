// Macro files as MicroStation's BASIC runs them: "Sub main", its statements, "End Sub". The
// whole file is read first, so a statement the runner does not know stops the macro before any
// statement ran, as a compile error does.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace vtl::ustation {

using MacroValue = std::variant<std::string, double>;

// What the statements of a macro act on.
class MacroHost {
public:
    virtual ~MacroHost() = default;
    virtual void sendCommand(const std::string& keyins) = 0;
    virtual void setAppVariable(const std::string& application, const std::string& variable,
                                double value) = 0;
};

struct MacroStatement {
    int line = 0;
    std::string name;  // as the table spells it
    std::vector<MacroValue> arguments;
};

// The statements of "Sub main" in a macro's text (CR LF or LF lines). Raises vtl::Error with
// the line and the reason for a text that is no runnable macro.
std::vector<MacroStatement> parseMacro(const std::string& source);

// Runs parsed statements in order.
void runMacro(const std::vector<MacroStatement>& statements, MacroHost& host);

}  // namespace vtl::ustation

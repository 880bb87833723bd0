#include "Macro.h"

#include <cctype>
#include <functional>

#include "Keyins.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace {

enum class Kind { Text, Number };

struct StatementKind {
    const char* name;
    std::vector<Kind> arguments;
    std::function<void(MacroHost&, const std::vector<MacroValue>&)> run;
};

const std::string& str(const MacroValue& v) {
    return std::get<std::string>(v);
}
double number(const MacroValue& v) {
    return std::get<double>(v);
}

// The statements macros may hold; further ones are added here.
const std::vector<StatementKind>& statementTable() {
    static const std::vector<StatementKind> table = {
        {"MbeSendCommand",
         {Kind::Text},
         [](MacroHost& host, const auto& a) { host.sendCommand(str(a[0])); }},
        {"MbeSendKeyin",
         {Kind::Text},
         [](MacroHost& host, const auto& a) { host.sendCommand(str(a[0])); }},
        {"MbeSendReset", {}, [](MacroHost& host, const auto&) { host.sendReset(); }},
        {"MbeSetAppVariable",
         {Kind::Text, Kind::Text, Kind::Number},
         [](MacroHost& host, const auto& a) {
             host.setAppVariable(str(a[0]), str(a[1]), number(a[2]));
         }},
    };
    return table;
}

const StatementKind* findStatement(std::string_view name) {
    for (const StatementKind& kind : statementTable()) {
        if (text::iequals(kind.name, name)) return &kind;
    }
    return nullptr;
}

[[noreturn]] void fail(int line, const std::string& reason) {
    throw Error(err::InvalidCall, "", "Macro line " + std::to_string(line) + ": " + reason, line);
}

// Reads the argument list of a statement: string literals ("" for a quote) and numbers with an
// optional type suffix (1&, 2.5#), separated by commas, optionally in parentheses.
class ArgumentReader {
public:
    ArgumentReader(std::string_view source, int line) : s_(source), line_(line) {}

    std::vector<MacroValue> read() {
        std::vector<MacroValue> values;
        skipBlanks();
        bool parenthesized = take('(');
        skipBlanks();
        if (!atEnd() && !(parenthesized && peek() == ')')) {
            do {
                skipBlanks();
                values.push_back(value());
                skipBlanks();
            } while (take(','));
        }
        if (parenthesized && !take(')')) fail(line_, "\")\" expected");
        skipBlanks();
        if (!atEnd()) fail(line_, "unexpected text: " + std::string(s_.substr(i_)));
        return values;
    }

private:
    MacroValue value() {
        if (take('"')) return literal();
        size_t start = i_;
        while (!atEnd() && (std::isalnum(static_cast<unsigned char>(peek())) ||
                            std::string_view("+-.").find(peek()) != std::string_view::npos)) {
            ++i_;
        }
        std::optional<double> v = num::parseDecimal(s_.substr(start, i_ - start));
        if (!v) fail(line_, "value expected at: " + std::string(s_.substr(start)));
        if (!atEnd() && std::string_view("&%!#@").find(peek()) != std::string_view::npos) ++i_;
        return *v;
    }

    std::string literal() {
        std::string value;
        while (!atEnd()) {
            char c = s_[i_++];
            if (c != '"') {
                value += c;
            } else if (take('"')) {
                value += '"';
            } else {
                return value;
            }
        }
        fail(line_, "unterminated string");
    }

    bool atEnd() const { return i_ >= s_.size(); }
    char peek() const { return s_[i_]; }
    bool take(char c) {
        if (atEnd() || peek() != c) return false;
        ++i_;
        return true;
    }
    void skipBlanks() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t')) ++i_;
    }

    std::string_view s_;
    size_t i_ = 0;
    int line_;
};

bool isComment(std::string_view line) {
    return line.empty() || line[0] == '\'' || text::iequals(line, "rem") ||
           text::istartsWith(line, "rem ");
}

MacroStatement parseStatement(std::string_view line, int lineNumber) {
    size_t end = 0;
    while (end < line.size() &&
           (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_')) {
        ++end;
    }
    const StatementKind* kind = findStatement(line.substr(0, end));
    if (!kind) throw UnknownMacroStatement(lineNumber, std::string(line));
    std::vector<MacroValue> arguments = ArgumentReader(line.substr(end), lineNumber).read();
    if (arguments.size() != kind->arguments.size()) {
        fail(lineNumber, std::string(kind->name) + " takes " +
                             std::to_string(kind->arguments.size()) + " arguments");
    }
    for (size_t i = 0; i < arguments.size(); ++i) {
        bool isText = std::holds_alternative<std::string>(arguments[i]);
        if (isText != (kind->arguments[i] == Kind::Text)) {
            fail(lineNumber, std::string(kind->name) + ": argument " + std::to_string(i + 1) +
                                 " has the wrong type");
        }
    }
    return {lineNumber, kind->name, std::move(arguments)};
}

bool isSubMain(std::string_view line) {
    std::string phrase = phraseOf(line);
    return phrase == "sub main" || phrase == "sub main()";
}

}  // namespace

UnknownMacroStatement::UnknownMacroStatement(int line, std::string statement)
    : Error(err::InvalidCall, "",
            "Macro line " + std::to_string(line) + ": unknown statement: " + statement, line),
      statement_(std::move(statement)) {}

std::vector<MacroStatement> parseMacro(const std::string& source) {
    std::vector<MacroStatement> statements;
    bool inMain = false;
    int lineNumber = 0;
    for (const std::string& raw : text::split(source, '\n')) {
        ++lineNumber;
        std::string line = text::trimSpace(raw);
        if (!inMain) {
            inMain = isSubMain(line);
        } else if (phraseOf(line) == "end sub") {
            return statements;
        } else if (!isComment(line)) {
            statements.push_back(parseStatement(line, lineNumber));
        }
    }
    fail(lineNumber, inMain ? "\"End Sub\" missing" : "\"Sub main\" missing");
}

void runMacro(const std::vector<MacroStatement>& statements, MacroHost& host) {
    for (const MacroStatement& statement : statements) {
        findStatement(statement.name)->run(host, statement.arguments);
    }
}

}  // namespace vtl::ustation

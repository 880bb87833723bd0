#include "workbook/Condition.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::ado {

namespace {

using Truth = Condition::Truth;
using Test = Condition::Test;

struct Token {
    enum class Kind { Field, Word, Text, Number, Operator, Open, Close, Comma, End };
    Kind kind = Kind::End;
    std::string text;
};

[[noreturn]] void syntax(const std::string& what) {
    throw ConditionError(ConditionError::Kind::Syntax, what);
}

class Lexer {
public:
    explicit Lexer(std::string_view s) : s_(s) {}

    Token next() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        if (pos_ >= s_.size()) return {Token::Kind::End, ""};
        const char c = s_[pos_];
        if (c == '(' || c == ')') {
            ++pos_;
            return {c == '(' ? Token::Kind::Open : Token::Kind::Close, std::string(1, c)};
        }
        if (c == ',') {
            ++pos_;
            return {Token::Kind::Comma, ","};
        }
        if (c == '[') return bracketed();
        if (c == '\'') return quoted();
        if (c == '=' || c == '<' || c == '>') return comparison();
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.')
            return number();
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') return word();
        syntax("unexpected character '" + std::string(1, c) + "'");
    }

private:
    Token bracketed() {
        const size_t close = s_.find(']', pos_);
        if (close == std::string_view::npos) syntax("unclosed bracket");
        Token t{Token::Kind::Field, std::string(s_.substr(pos_ + 1, close - pos_ - 1))};
        pos_ = close + 1;
        return t;
    }
    Token quoted() {
        std::string value;
        for (++pos_; pos_ < s_.size(); ++pos_) {
            if (s_[pos_] != '\'') {
                value += s_[pos_];
            } else if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                value += '\'';
                ++pos_;
            } else {
                ++pos_;
                return {Token::Kind::Text, value};
            }
        }
        syntax("unclosed text literal");
    }
    Token comparison() {
        const std::string_view two = s_.substr(pos_, 2);
        const bool pair = two == "<>" || two == "<=" || two == ">=";
        Token t{Token::Kind::Operator, std::string(s_.substr(pos_, pair ? 2 : 1))};
        pos_ += t.text.size();
        return t;
    }
    Token number() {
        size_t end = pos_ + 1;
        while (end < s_.size() &&
               (std::isdigit(static_cast<unsigned char>(s_[end])) || s_[end] == '.'))
            ++end;
        Token t{Token::Kind::Number, std::string(s_.substr(pos_, end - pos_))};
        if (!num::parseDecimal(t.text)) syntax("bad number " + t.text);
        pos_ = end;
        return t;
    }
    Token word() {
        size_t end = pos_;
        while (end < s_.size() &&
               (std::isalnum(static_cast<unsigned char>(s_[end])) || s_[end] == '_'))
            ++end;
        Token t{Token::Kind::Word, std::string(s_.substr(pos_, end - pos_))};
        pos_ = end;
        for (const char* keyword : {"AND", "OR", "NOT", "IS", "NULL"}) {
            if (text::iequals(t.text, keyword)) return t;
        }
        t.kind = Token::Kind::Field;
        return t;
    }

    std::string_view s_;
    size_t pos_ = 0;
};

// Texts regardless of letter case; ASCII texts without a detour through UTF-16, as a filter
// compares every row of a table this way.
int compareTexts(const std::string& a, const std::string& b) {
    const auto ascii = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
    };
    if (ascii(a) && ascii(b)) {
        const size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            const int x = std::tolower(static_cast<unsigned char>(a[i]));
            const int y = std::tolower(static_cast<unsigned char>(b[i]));
            if (x != y) return x < y ? -1 : 1;
        }
        return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    }
    const int c = QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

Truth negate(Truth t) {
    if (t == Truth::Unknown) return t;
    return t == Truth::True ? Truth::False : Truth::True;
}

// The recursive descent: or := and {OR and}; and := not {AND not}; not := NOT not | primary;
// primary := ( or ) | operand IS [NOT] NULL | operand op operand.
class Parser {
public:
    Parser(std::string_view s, const Condition::FieldLookup& fieldIndex)
        : lexer_(s), fieldIndex_(fieldIndex) {
        advance();
    }

    Condition::Parsed whole() {
        Part part = disjunction();
        if (token_.kind != Token::Kind::End) syntax("unexpected '" + token_.text + "'");
        return {part.test, part.equality};
    }

private:
    using Operand = std::function<const Value&(const Row&)>;
    using Equality = Condition::Equality;
    // A part of the condition, with a field it requires to equal a text where it holds.
    struct Part {
        Test test;
        std::optional<Equality> equality;
    };

    void advance() { token_ = lexer_.next(); }
    bool isWord(const char* word) const {
        return token_.kind == Token::Kind::Word && text::iequals(token_.text, word);
    }
    void expectWord(const char* word) {
        if (!isWord(word)) syntax(std::string("expected ") + word);
        advance();
    }

    Part disjunction() {
        Part left = conjunction();
        while (isWord("OR")) {
            advance();
            Test right = conjunction().test;
            left = {[a = left.test, right](const Row& r) {
                        const Truth x = a(r);
                        if (x == Truth::True) return Truth::True;
                        const Truth y = right(r);
                        if (y == Truth::True) return Truth::True;
                        return x == Truth::Unknown || y == Truth::Unknown ? Truth::Unknown
                                                                          : Truth::False;
                    },
                    std::nullopt};
        }
        return left;
    }
    Part conjunction() {
        Part left = negation();
        while (isWord("AND")) {
            advance();
            Part right = negation();
            left = {[a = left.test, b = right.test](const Row& r) {
                        const Truth x = a(r);
                        if (x == Truth::False) return Truth::False;
                        const Truth y = b(r);
                        if (y == Truth::False) return Truth::False;
                        return x == Truth::Unknown || y == Truth::Unknown ? Truth::Unknown
                                                                          : Truth::True;
                    },
                    left.equality ? left.equality : right.equality};
        }
        return left;
    }
    Part negation() {
        if (!isWord("NOT")) return primary();
        advance();
        Test inner = negation().test;
        return {[inner](const Row& r) { return negate(inner(r)); }, std::nullopt};
    }
    Part primary() {
        if (token_.kind == Token::Kind::Open) {
            advance();
            Part inner = disjunction();
            if (token_.kind != Token::Kind::Close) syntax("expected )");
            advance();
            return inner;
        }
        const Token first = token_;
        Operand left = operand();
        if (isWord("IS")) return {nullTest(left), std::nullopt};
        if (token_.kind != Token::Kind::Operator) syntax("expected a comparison");
        const std::string op = token_.text;
        advance();
        const Token second = token_;
        Part part{comparison(left, op, operand()), std::nullopt};
        if (op == "=") part.equality = equalityOf(first, second);
        return part;
    }
    // [Field] = 'text' or 'text' = [Field].
    std::optional<Equality> equalityOf(const Token& a, const Token& b) const {
        const auto fieldAndText = [this](const Token& f,
                                         const Token& t) -> std::optional<Equality> {
            if (f.kind != Token::Kind::Field || t.kind != Token::Kind::Text) return std::nullopt;
            const int index = fieldIndex_(f.text);
            if (index < 0) return std::nullopt;
            return Equality{index, t.text};
        };
        std::optional<Equality> found = fieldAndText(a, b);
        return found ? found : fieldAndText(b, a);
    }
    Test nullTest(const Operand& value) {
        advance();
        const bool negated = isWord("NOT");
        if (negated) advance();
        expectWord("NULL");
        return [value, negated](const Row& r) {
            return value(r).isNull() != negated ? Truth::True : Truth::False;
        };
    }
    static Test comparison(const Operand& left, const std::string& op, const Operand& right) {
        return [left, right, op](const Row& r) {
            const std::optional<int> c = compareValues(left(r), right(r));
            if (!c) return Truth::Unknown;
            const bool holds = op == "="    ? *c == 0
                               : op == "<>" ? *c != 0
                               : op == "<"  ? *c < 0
                               : op == ">"  ? *c > 0
                               : op == "<=" ? *c <= 0
                                            : *c >= 0;
            return holds ? Truth::True : Truth::False;
        };
    }
    Operand operand() {
        const Token t = token_;
        advance();
        switch (t.kind) {
            case Token::Kind::Field:
                if (text::iequals(t.text, "StrComp") && token_.kind == Token::Kind::Open)
                    return strComp();
                return field(t.text);
            case Token::Kind::Text:
                return constant(Value(t.text));
            case Token::Kind::Number:
                return constant(Value(*num::parseDecimal(t.text)));
            default:
                if (t.kind == Token::Kind::Word && text::iequals(t.text, "NULL"))
                    return constant(Value::null());
                syntax(t.kind == Token::Kind::End ? "unexpected end"
                                                  : "unexpected '" + t.text + "'");
        }
    }
    Operand field(const std::string& name) {
        const int index = fieldIndex_(name);
        if (index < 0) throw ConditionError(ConditionError::Kind::UnknownField, name);
        const Value null = Value::null();
        return [index, null](const Row& r) -> const Value& {
            return static_cast<size_t>(index) < r.size() ? r[index] : null;
        };
    }
    static Operand constant(Value v) {
        return [v](const Row&) -> const Value& { return v; };
    }
    void expect(Token::Kind kind, const char* what) {
        if (token_.kind != kind) syntax(std::string("expected ") + what);
        advance();
    }
    // StrComp(a, b[, mode]): -1, 0 or 1 as a sorts before, with or after b, Null when either is
    // Null. Mode 0 (the default) compares the texts as they stand, 1 regardless of letter case.
    Operand strComp() {
        expect(Token::Kind::Open, "(");
        Operand a = operand();
        expect(Token::Kind::Comma, ",");
        Operand b = operand();
        bool exact = true;
        if (token_.kind == Token::Kind::Comma) {
            advance();
            const Value mode = operand()(Row{});
            if (!mode.isNumber() || (mode.number() != 0 && mode.number() != 1))
                syntax("StrComp takes the mode 0 or 1");
            exact = mode.number() == 0;
        }
        expect(Token::Kind::Close, ")");
        auto result = std::make_shared<Value>();
        return [a, b, exact, result](const Row& r) -> const Value& {
            const Value& x = a(r);
            const Value& y = b(r);
            if (x.isNull() || x.isEmpty() || y.isNull() || y.isEmpty()) {
                *result = Value::null();
            } else {
                const int c =
                    exact ? x.asText().compare(y.asText()) : compareTexts(x.asText(), y.asText());
                *result = Value(c < 0 ? -1 : c > 0 ? 1 : 0);
            }
            return *result;
        };
    }

    Lexer lexer_;
    const Condition::FieldLookup& fieldIndex_;
    Token token_;
};

std::optional<double> numberOf(const Value& v) {
    if (v.isNumber()) return v.number();
    if (v.isDate()) return v.date();
    return num::parseDecimal(v.text());
}

}  // namespace

Condition Condition::parse(std::string_view text, const FieldLookup& fieldIndex) {
    Parser parser(text, fieldIndex);
    return Condition(parser.whole());
}

std::string textKey(const std::string& text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
        std::string key = text;
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return key;
    }
    return QString::fromStdString(text).toCaseFolded().toStdString();
}

std::optional<int> compareValues(const Value& a, const Value& b) {
    if (a.isNull() || a.isEmpty() || b.isNull() || b.isEmpty()) return std::nullopt;
    if (a.isNumber() || b.isNumber()) {
        const std::optional<double> x = numberOf(a);
        const std::optional<double> y = numberOf(b);
        if (x && y) return *x < *y ? -1 : *x > *y ? 1 : 0;
    }
    if (a.isText() && b.isText()) return compareTexts(a.text(), b.text());
    return compareTexts(a.asText(), b.asText());
}

}  // namespace vtl::ado

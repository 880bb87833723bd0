#include "workbook/Condition.h"

#include <QString>
#include <cctype>
#include <optional>

#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::ado {

namespace {

using Truth = Condition::Truth;
using Test = Condition::Test;

struct Token {
    enum class Kind { Field, Word, Text, Number, Operator, Open, Close, End };
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

    Test whole() {
        Test t = disjunction();
        if (token_.kind != Token::Kind::End) syntax("unexpected '" + token_.text + "'");
        return t;
    }

private:
    using Operand = std::function<const Value&(const Row&)>;

    void advance() { token_ = lexer_.next(); }
    bool isWord(const char* word) const {
        return token_.kind == Token::Kind::Word && text::iequals(token_.text, word);
    }
    void expectWord(const char* word) {
        if (!isWord(word)) syntax(std::string("expected ") + word);
        advance();
    }

    Test disjunction() {
        Test left = conjunction();
        while (isWord("OR")) {
            advance();
            Test right = conjunction();
            left = [left, right](const Row& r) {
                const Truth a = left(r);
                const Truth b = right(r);
                if (a == Truth::True || b == Truth::True) return Truth::True;
                return a == Truth::Unknown || b == Truth::Unknown ? Truth::Unknown : Truth::False;
            };
        }
        return left;
    }
    Test conjunction() {
        Test left = negation();
        while (isWord("AND")) {
            advance();
            Test right = negation();
            left = [left, right](const Row& r) {
                const Truth a = left(r);
                const Truth b = right(r);
                if (a == Truth::False || b == Truth::False) return Truth::False;
                return a == Truth::Unknown || b == Truth::Unknown ? Truth::Unknown : Truth::True;
            };
        }
        return left;
    }
    Test negation() {
        if (!isWord("NOT")) return primary();
        advance();
        Test inner = negation();
        return [inner](const Row& r) { return negate(inner(r)); };
    }
    Test primary() {
        if (token_.kind == Token::Kind::Open) {
            advance();
            Test inner = disjunction();
            if (token_.kind != Token::Kind::Close) syntax("expected )");
            advance();
            return inner;
        }
        Operand left = operand();
        if (isWord("IS")) return nullTest(left);
        if (token_.kind != Token::Kind::Operator) syntax("expected a comparison");
        const std::string op = token_.text;
        advance();
        return comparison(left, op, operand());
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

    Lexer lexer_;
    const Condition::FieldLookup& fieldIndex_;
    Token token_;
};

std::optional<double> numberOf(const Value& v) {
    if (v.isNumber()) return v.number();
    return num::parseDecimal(v.text());
}

}  // namespace

Condition Condition::parse(std::string_view text, const FieldLookup& fieldIndex) {
    Parser parser(text, fieldIndex);
    return Condition(parser.whole());
}

std::optional<int> compareValues(const Value& a, const Value& b) {
    if (a.isNull() || a.isEmpty() || b.isNull() || b.isEmpty()) return std::nullopt;
    if (a.isNumber() || b.isNumber()) {
        const std::optional<double> x = numberOf(a);
        const std::optional<double> y = numberOf(b);
        if (x && y) return *x < *y ? -1 : *x > *y ? 1 : 0;
    }
    const int c = QString::fromStdString(a.asText())
                      .compare(QString::fromStdString(b.asText()), Qt::CaseInsensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace vtl::ado

// A row condition as a Jet query's WHERE clause and a recordset's Filter write it: comparisons
// (=, <>, <, >, <=, >=) of fields, literals and StrComp(a, b[, mode]), IS [NOT] NULL, NOT, AND, OR
// and parentheses.
// Fields are [Name] or a bare name; texts are single-quoted with "''" for a quote; numbers are
// decimal. A comparison with Null is unknown, and a row holds only when the whole is true.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "workbook/Table.h"

namespace vtl::ado {

class ConditionError : public std::runtime_error {
public:
    enum class Kind { Syntax, UnknownField };
    ConditionError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

class Condition {
public:
    // The index of a field in the row by its name; -1 when there is none.
    using FieldLookup = std::function<int(std::string_view name)>;

    // Raises ConditionError for a text that is not a condition or names an unknown field.
    static Condition parse(std::string_view text, const FieldLookup& fieldIndex);

    bool holds(const Row& row) const { return test_(row) == Truth::True; }

    // A field that every row the condition holds for equals a text in, as compareValues compares:
    // a term "[Field] = 'text'" that the condition requires through AND alone. A table can look
    // its rows up by it rather than test each one.
    struct Equality {
        int field;
        std::string text;
    };
    const std::optional<Equality>& requiredEquality() const { return equality_; }

    enum class Truth { False, True, Unknown };
    using Test = std::function<Truth(const Row&)>;
    struct Parsed {
        Test test;
        std::optional<Equality> equality;
    };

private:
    explicit Condition(Parsed parsed)
        : test_(std::move(parsed.test)), equality_(std::move(parsed.equality)) {}
    Test test_;
    std::optional<Equality> equality_;
};

// The key under which texts that compare equal (regardless of letter case) meet.
std::string textKey(const std::string& text);

// Compares two values as the provider does: numerically when both are numbers or one is and
// the other a numeric text, else as texts regardless of letter case; nullopt when one is Null.
std::optional<int> compareValues(const Value& a, const Value& b);

}  // namespace vtl::ado

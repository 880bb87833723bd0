// A field value as the automation runtime hands it over: Empty (never assigned), Null (an empty
// cell or field), a text, a number or a date (a cell in a date format).
#pragma once

#include <string>
#include <variant>

namespace vtl::ado {

class Value {
public:
    Value() = default;  // Empty
    Value(std::string text) : v_(std::move(text)) {}
    Value(const char* text) : v_(std::string(text)) {}
    Value(double number) : v_(number) {}
    Value(int number) : v_(static_cast<double>(number)) {}
    Value(long number) : v_(static_cast<double>(number)) {}
    static Value null() {
        Value v;
        v.v_ = Null{};
        return v;
    }
    // A date, as a workbook's serial date (workbook/Dates.h).
    static Value date(double serial) {
        Value v;
        v.v_ = Date{serial};
        return v;
    }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool isNull() const { return std::holds_alternative<Null>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isNumber() const { return std::holds_alternative<double>(v_); }
    bool isDate() const { return std::holds_alternative<Date>(v_); }

    // The stored text or number; only for a value of that kind.
    const std::string& text() const { return std::get<std::string>(v_); }
    double number() const { return std::get<double>(v_); }
    double date() const { return std::get<Date>(v_).serial; }
    // The value as text: a number in the shared number form, a date as its short date, "" for
    // Empty and Null.
    std::string asText() const;

    bool operator==(const Value&) const = default;

private:
    struct Null {
        bool operator==(const Null&) const = default;
    };
    struct Date {
        double serial;
        bool operator==(const Date&) const = default;
    };
    std::variant<std::monostate, Null, std::string, double, Date> v_;
};

}  // namespace vtl::ado

#include "core/Numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/Error.h"
#include "core/Text.h"

namespace vtl::num {

namespace {

// "1e+20" -> "1E+20", "1e-05" -> "1E-05": the exponent style of the runtime.
std::string exponentStyle(std::string s) {
    size_t e = s.find('e');
    if (e != std::string::npos) s[e] = 'E';
    return s;
}

double roundHalfEven(double value) {
    double floorValue = std::floor(value);
    double fraction = value - floorValue;
    if (fraction > 0.5) return floorValue + 1;
    if (fraction < 0.5) return floorValue;
    return std::fmod(floorValue, 2.0) == 0 ? floorValue : floorValue + 1;
}

// The value rounded half to even into a whole-number type; error 6 "Overflow" outside its range
// (NaN included).
template <class Whole>
Whole roundedWhole(double value) {
    double rounded = roundHalfEven(value);
    if (!(rounded >= std::numeric_limits<Whole>::min() &&
          rounded <= std::numeric_limits<Whole>::max())) {
        throw Error(err::Overflow, "", "Overflow");
    }
    return static_cast<Whole>(rounded);
}

// The text trimmed of blanks and of one leading "+"; nothing when another sign follows the "+".
std::optional<std::string> withoutPlusSign(std::string_view s) {
    std::string t = text::trim(s);
    if (t.starts_with('+')) {
        t.erase(0, 1);
        if (t.starts_with('+') || t.starts_with('-')) return std::nullopt;
    }
    return t;
}

}  // namespace

std::string text(double value) {
    if (value == 0) return "0";  // also for -0
    if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "Inf" : "-Inf");
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return exponentStyle(std::string(buffer, result.ptr));
}

std::string text(long long value) {
    return std::to_string(value);
}

double leadingNumber(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digitsStart = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    }
    if (i == digitsStart || (i == digitsStart + 1 && s[digitsStart] == '.')) return 0;
    size_t mantissaEnd = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t expDigits = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        if (j > expDigits) mantissaEnd = j;
    }
    std::string_view number = s.substr(start, mantissaEnd - start);
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

std::optional<double> parseDecimal(std::string_view s) {
    std::optional<std::string> t = withoutPlusSign(s);
    if (!t) return {};
    std::string_view v = *t;
    if (v.empty() || v.find_first_not_of("+-0123456789.") != std::string_view::npos) return {};
    double value = 0;
    auto result = std::from_chars(v.data(), v.data() + v.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != v.data() + v.size()) return {};
    return value;
}

std::optional<double> parseNumber(std::string_view s) {
    std::optional<std::string> t = withoutPlusSign(s);
    if (!t) return {};
    std::string_view v = *t;
    if (v.empty() || v.find_first_not_of("+-0123456789.eE") != std::string_view::npos) return {};
    double value = 0;
    auto result = std::from_chars(v.data(), v.data() + v.size(), value);
    if (result.ptr != v.data() + v.size()) return {};
    if (result.ec == std::errc::result_out_of_range) {
        const size_t exponent = v.find_first_of("eE");
        if (exponent != std::string_view::npos && v.substr(exponent + 1).starts_with('-'))
            return 0.0;
        throw Error(err::Overflow, "", "Overflow");
    }
    if (result.ec != std::errc()) return {};
    return value;
}

std::optional<int32_t> parseWhole32(std::string_view s) {
    std::optional<std::string> t = withoutPlusSign(s);
    if (!t) return {};
    std::string_view v = *t;
    if (v.empty()) return {};
    int32_t value = 0;
    auto result = std::from_chars(v.data(), v.data() + v.size(), value);
    if (result.ec != std::errc() || result.ptr != v.data() + v.size()) return {};
    return value;
}

int32_t toLong(double value) {
    return roundedWhole<int32_t>(value);
}

int16_t toInteger(double value) {
    return roundedWhole<int16_t>(value);
}

double RoundValue(double value, int digits) {
    double scale = std::pow(10.0, digits);
    return std::floor(value * scale + 0.5) / scale;
}

std::string printForm(double value) {
    std::string digits = text(value);
    const bool negative = digits.front() == '-';
    if (negative) digits.erase(0, 1);
    if (digits.starts_with("0.")) digits.erase(0, 1);
    return (negative ? "-" : " ") + digits;
}

}  // namespace vtl::num

// Number conversions shared by every part of the system. Texts always use "." as decimal
// separator and at most 15 significant digits, whatever the locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vtl::num {

// The text form of a number: "." as decimal separator, up to 15 significant digits, no
// thousands separators, an exponent written as "1E+20".
std::string text(double value);
std::string text(long long value);
inline std::string text(int value) {
    return text(static_cast<long long>(value));
}
inline std::string text(long value) {
    return text(static_cast<long long>(value));
}

// The leading number of a text, 0 when it starts with none: blanks are skipped, then an optional
// sign, digits, a "." with digits and an exponent are taken as far as they go.
double leadingNumber(std::string_view s);

// A text that is, after trimming blanks, a plain decimal number ("12", "-0.5", ".5") and nothing
// else: no exponent, no second sign, no words such as "inf".
std::optional<double> parseDecimal(std::string_view s);

// A text that is, after trimming blanks, a number as the runtime converts a text to a double: a
// plain decimal number with an optional exponent ("1.5E3"), nothing else. A number beyond the
// range of a double raises error 6 "Overflow"; one too small for it is 0.
std::optional<double> parseNumber(std::string_view s);

// A text that is, after trimming blanks, an optionally signed whole number in the 32-bit range.
std::optional<int32_t> parseWhole32(std::string_view s);

// Whole-number conversion that rounds halves to the even neighbour (0.5 -> 0, 1.5 -> 2), as the
// runtime's conversion to a long does; raises error 6 "Overflow" outside the 32-bit range.
int32_t toLong(double value);
// The same into the 16-bit range.
int16_t toInteger(double value);

// Decimal rounding with halves going up, also for negative values: Int(v * 10^d + 0.5) / 10^d.
double RoundValue(double value, int digits);

// A number as the runtime prints it: a blank for zero or a positive value, "-" for a negative
// one, then up to 15 significant digits without a leading zero before the point (" .01").
std::string printForm(double value);

}  // namespace vtl::num

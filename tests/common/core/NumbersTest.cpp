#include <gtest/gtest.h>

#include <clocale>

#include "core/Error.h"
#include "core/Numbers.h"

namespace vtl::num {
namespace {

TEST(NumberTextTest, UsesPointAndFifteenSignificantDigits) {
    EXPECT_EQ(text(1.5), "1.5");
    EXPECT_EQ(text(-0.25), "-0.25");
    EXPECT_EQ(text(100.0), "100");
    EXPECT_EQ(text(0.1 + 0.2), "0.3");
    EXPECT_EQ(text(1234567.891), "1234567.891");
    EXPECT_EQ(text(-0.0), "0");
    EXPECT_EQ(text(1e20), "1E+20");
    EXPECT_EQ(text(120000LL), "120000");
}

TEST(NumberTextTest, IgnoresTheLocale) {
    const char* de = std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(text(2.75), "2.75");
    EXPECT_EQ(leadingNumber("2.75"), 2.75);
    std::setlocale(LC_ALL, "C");
    (void)de;
}

TEST(LeadingNumberTest, TakesTheNumberAtTheStartOfAText) {
    EXPECT_EQ(leadingNumber("  12.5mm"), 12.5);
    EXPECT_EQ(leadingNumber("-3"), -3);
    EXPECT_EQ(leadingNumber("1e3x"), 1000);
    EXPECT_EQ(leadingNumber("1e"), 1);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("."), 0);
}

TEST(StrictParseTest, AcceptsOnlyPlainNumbers) {
    EXPECT_EQ(parseWhole32(" 12 "), 12);
    EXPECT_EQ(parseWhole32("-7"), -7);
    EXPECT_FALSE(parseWhole32("1.5"));
    EXPECT_FALSE(parseWhole32("1,000"));
    EXPECT_FALSE(parseWhole32("1e3"));
    EXPECT_FALSE(parseWhole32("12a"));
    EXPECT_FALSE(parseWhole32("4294967296"));
    EXPECT_EQ(parseWhole32("+7"), 7);
    EXPECT_FALSE(parseWhole32("+-7"));
    EXPECT_FALSE(parseDecimal("+-0.5"));
    EXPECT_FALSE(parseDecimal("+-7"));
    EXPECT_EQ(parseDecimal("+7"), 7);
    EXPECT_EQ(parseDecimal("0.25"), 0.25);
    EXPECT_EQ(parseDecimal(" -12.5 "), -12.5);
    EXPECT_FALSE(parseDecimal("12.5e2"));
    EXPECT_FALSE(parseDecimal("inf"));
    EXPECT_FALSE(parseDecimal("nan"));
    EXPECT_FALSE(parseDecimal("1,5"));
    EXPECT_FALSE(parseDecimal(""));
}

TEST(WholeTextTest, NumbersTakeAnExponentButNoSecondSignOrWord) {
    EXPECT_EQ(parseNumber("12.5e2"), 1250);
    EXPECT_EQ(parseNumber(" +1E-3 "), 0.001);
    EXPECT_EQ(parseNumber("-7"), -7);
    EXPECT_EQ(parseNumber("1e-999"), 0);
    EXPECT_FALSE(parseNumber("+-7"));
    EXPECT_FALSE(parseNumber("-+7"));
    EXPECT_FALSE(parseNumber("inf"));
    EXPECT_FALSE(parseNumber("1e"));
    EXPECT_FALSE(parseNumber("2;exit"));
    EXPECT_FALSE(parseNumber(""));
    try {
        parseNumber("1e999");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::Overflow);
    }
}

TEST(WholeNumberTest, LongConversionRoundsHalvesToEven) {
    EXPECT_EQ(toLong(0.5), 0);
    EXPECT_EQ(toLong(1.5), 2);
    EXPECT_EQ(toLong(2.5), 2);
    EXPECT_EQ(toLong(-1.5), -2);
    EXPECT_EQ(toLong(2.6), 3);
    EXPECT_EQ(toInteger(32767.4), 32767);
    EXPECT_THROW(toInteger(32768), Error);
    try {
        toLong(3e9);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::Overflow);
    }
}

TEST(WholeNumberTest, RoundValueTakesHalvesUpAlsoBelowZero) {
    EXPECT_DOUBLE_EQ(RoundValue(1.25, 1), 1.3);
    EXPECT_DOUBLE_EQ(RoundValue(-2.5, 0), -2);
    EXPECT_DOUBLE_EQ(RoundValue(12.5, 0), 13);
    EXPECT_DOUBLE_EQ(RoundValue(1234.5678, -2), 1200);
}

TEST(RoundValueTest, HalvesGoUpAlsoForNegativeValues) {
    EXPECT_EQ(RoundValue(2.5, 0), 3);
    EXPECT_EQ(RoundValue(-2.5, 0), -2);
    EXPECT_EQ(RoundValue(1.25, 1), 1.3);
    EXPECT_EQ(RoundValue(-1.26, 1), -1.3);
    EXPECT_EQ(RoundValue(1234.5, -2), 1200);
}

TEST(PrintFormTest, SignPositionAndNoLeadingZero) {
    EXPECT_EQ(printForm(1000), " 1000");
    EXPECT_EQ(printForm(0), " 0");
    EXPECT_EQ(printForm(0.01), " .01");
    EXPECT_EQ(printForm(-0.5), "-.5");
    EXPECT_EQ(printForm(-12.75), "-12.75");
    EXPECT_EQ(printForm(1e15), " 1E+15");
    EXPECT_EQ(printForm(0.00001), " 1E-05");
    EXPECT_EQ(printForm(1.0 / 3), " .333333333333333");
}

}  // namespace
}  // namespace vtl::num

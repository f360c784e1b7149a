// Reading typed text into numbers and texts, and showing numbers as text: the pure
// functions behind the text controls, over hostile input.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "script/CTavTable.h"
#include "view/TavValueText.h"

namespace {

TEST(TypedText, LeadingIntegerReadsAsDecimalWithoutOverflow) {
    const int64_t kHeld = int64_t{1} << 62;
    const struct {
        std::string text;
        bool reads;
        int64_t number;
    } cases[] = {
        {"42", true, 42},
        {"  -17xyz", true, -17},
        {"\n\t+8", true, 8},
        {"0x1F", true, 0},
        {"0", true, 0},
        {"017", true, 17},
        {"08", true, 8},
        {"-010", true, -10},
        {"0009", true, 9},
        {"-0", true, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"+-1", false, 0},
        {"x12", false, 0},
        {"9223372036854775808", true, kHeld},
        {"-999999999999999999999999", true, -kHeld},
        {"000000000000000000000000000000042", true, 42},
        {std::string(100000, '7'), true, kHeld},
    };
    for (const auto& c : cases) {
        int64_t number = -12345;
        EXPECT_EQ(TavReadLeadingDecimal(c.text, number), c.reads) << c.text.substr(0, 30);
        if (c.reads) {
            EXPECT_EQ(number, c.number) << c.text.substr(0, 30);
        }
    }
}

TEST(TypedText, LeadingDoubleReadsAsPercentLfWhateverTheLocale) {
    const double kInf = std::numeric_limits<double>::infinity();
    const struct {
        std::string text;
        bool reads;
        double number;
    } cases[] = {
        {"3.14", true, 3.14},       {" -.5x", true, -0.5}, {"1e3", true, 1000},     {"1e", true, 1},
        {"2.5e-1", true, 0.25},     {"0x1.8p1", true, 3},  {"0x", true, 0},         {"INF", true, kInf},
        {"-infinity", true, -kInf}, {"1e400", true, kInf}, {"-1e400", true, -kInf}, {"1e-400", true, 0},
        {"3,5", true, 3},           {"nan", false, 0},     {"", false, 0},          {".", false, 0},
        {"+-1", false, 0},          {"--1", false, 0},     {"e5", false, 0},        {"\xc3\xa9", false, 0},
    };
    for (const auto& c : cases) {
        double number = -12345;
        EXPECT_EQ(TavReadLeadingDouble(c.text, number), c.reads) << c.text;
        if (c.reads) {
            EXPECT_EQ(number, c.number) << c.text;
        }
    }
}

TEST(TypedText, TypedNumbersStayInsideTheBoundsGivenEvenWhenTheyAreReversed) {
    EXPECT_EQ(TavTypedInteger("5", 0, 10, 0), 10); // a hostile range: the minimum wins
    EXPECT_EQ(TavTypedInteger("-2147483648", 2147483647, -2147483647 - 1, 2147483647), -2147483647 - 1);
    EXPECT_EQ(TavTypedInteger("2147483647", -2147483647 - 1, -5, 5), 5);
    EXPECT_EQ(TavTypedInteger("nothing", 7, -3, 3), -3);
    EXPECT_EQ(TavTypedQuotient("0.29", 100, 0, 0, 1000), 29); // 28.999... as a binary product
    EXPECT_EQ(TavTypedQuotient("-1.99", 1, 0, -10, 10), -1);  // toward zero
    EXPECT_EQ(TavTypedQuotient("-1e300", 2147483647, 5, -100, 100), -100);
    EXPECT_EQ(TavTypedQuotient("12.5", 10, -3, 0, 1000), 128);
    EXPECT_EQ(TavTypedQuotient("x", 10, 3, 20, 30), 20);
}

TEST(TypedText, QuotientTextHasThePrecisionAndNoLocale) {
    const struct {
        int64_t number;
        int32_t division;
        int32_t precision;
        const char* text;
    } cases[] = {
        {125, 10, 1, "12.5"},
        {125, 10, 0, "12"},
        {-3, 10, 2, "-0.30"},
        {7, 1, 3, "7.000"},
        {1, 3, 99, "0.333333333333333"},
        {5, 0, 1, "5.0"},
        {2147483647, 1, -4, "2147483647"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavQuotientText(c.number, c.division, c.precision), c.text)
            << c.number << "/" << c.division;
}

TEST(TypedText, TypedStringsHoldOnlySevenBitBytesOfTheValuesLength) {
    const struct {
        std::string text;
        size_t length;
        std::string typed;
    } cases[] = {
        {"abc", 0, ""},
        {"\xe2\x82", 3, "?  "},          // a sequence cut short
        {"\x80\x80\x41", 4, "??A "},     // stray continuation bytes
        {"\xf0\x9f\x8e\xb9x", 3, "?x "}, // four bytes, one character
        {"\xff\xfe", 2, "??"},
        {"\r\n", 3, "   "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavTypedString(c.text, c.length), c.typed);
}

TEST(TypedText, TableTextsStayInsideTheTable) {
    CTavStringTable table;
    table.Elements() = {"Off", "On"};
    EXPECT_EQ(TavTableText(table, -5), "Off");
    EXPECT_EQ(TavTableText(table, 7), "On");
    CTavStringTable empty;
    EXPECT_EQ(TavTableText(empty, 0), "");
}

} // namespace

#include "number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace belavo {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

std::string shown(const char16_t* text) { return testing::PrintToString(std::u16string(text)); }

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(TextToNumber, ReadsTheDecimalFormToTheNearestDouble) {
    const struct { const char16_t* text; double value; } cases[] = {
        {u"162", 162}, {u" 56.30 ", 56.3}, {u"\t-0.5\u3000", -0.5}, {u"+1e2", 100},
        {u"1.e1", 10}, {u".5", 0.5}, {u"1E+3", 1000}, {u"25e-1", 2.5}, {u"000123.4500", 123.45},
        {u"１６２", 162}, {u"５６．３", 56.3}, {u"\uFF0D３", -3}, {u"\u2212３", -3},
        {u"＋１\uFF25２", 100}, {u"1\uFF45-1", 0.1}, {u"-0", -0.0},
        {u"0.1000000000000000055511151231257827021181583404541015625", 0.1},
        {u"9007199254740993", 9007199254740992.0},             // tie: to even
        {u"9007199254740993.0000000001", 9007199254740994.0},  // just past the tie
        {u"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {u"0.0000000001e318", 1e308},
        {u"2.4703282292062328e-324", std::numeric_limits<double>::denorm_min()},
        {u"2.4703282292062327e-324", 0}, {u"1e-400", 0}, {u"-1e-400", -0.0},
        {u"0e999999999999999999999999", 0}, {u"7e-99999999999999999999999", 0},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(sameBits(textToNumber(c.text, Entry::Height), c.value))
            << shown(c.text) << " -> " << textToNumber(c.text, Entry::Height);
    }
}

TEST(TextToNumber, RejectsTextsOutsideTheFormAndOutOfRangeNumbers) {
    const struct { const char16_t* text; ErrorNumber number; } cases[] = {
        {u"", ErrorNumber::TypeMismatch}, {u" \u3000\t", ErrorNumber::TypeMismatch},
        {u"162cm", ErrorNumber::TypeMismatch}, {u"1..2", ErrorNumber::TypeMismatch},
        {u"1 2", ErrorNumber::TypeMismatch}, {u"-", ErrorNumber::TypeMismatch},
        {u"1e", ErrorNumber::TypeMismatch}, {u"0x10", ErrorNumber::TypeMismatch},
        {u"inf", ErrorNumber::TypeMismatch}, {u"nan", ErrorNumber::TypeMismatch},
        {u"1,000", ErrorNumber::TypeMismatch}, {u"\u00A5100", ErrorNumber::TypeMismatch},
        {u"5-", ErrorNumber::TypeMismatch}, {u"--5", ErrorNumber::TypeMismatch},
        {u"１２ａ", ErrorNumber::TypeMismatch}, {u"\u00A05", ErrorNumber::TypeMismatch},
        {u"1e309", ErrorNumber::Overflow}, {u"-1e309", ErrorNumber::Overflow},
        {u"1.7976931348623159e308", ErrorNumber::Overflow},
        {u"1e99999999999999999999999", ErrorNumber::Overflow},
        {u"0.00001e314", ErrorNumber::Overflow},
    };
    for (const auto& c : cases) {
        try {
            textToNumber(c.text, Entry::Weight);
            ADD_FAILURE() << "no error for " << shown(c.text);
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), c.number) << shown(c.text);
            EXPECT_EQ(e.entry(), Entry::Weight);
        }
    }
}

TEST(ToInt16, RoundsHalfToEvenInsideTheSixteenBitRange) {
    const struct { double value; int expected; } cases[] = {
        {21.5, 22}, {22.5, 22}, {20.5, 20}, {49.5, 50}, {-4.5, -4}, {-4.5454, -5}, {-5.5, -6},
        {0.49999999999999994, 0}, {57.7368, 58}, {-0.0, 0}, {32767.499999, 32767},
        {32766.5, 32766}, {-32768.5, -32768}, {-32767.5, -32768},
    };
    for (const auto& c : cases) EXPECT_EQ(toInt16(c.value), c.expected) << c.value;
    for (double bad : {32767.5, std::nextafter(-32768.5, -infinity), 40000.0, -1e300,
                       infinity, -infinity, std::numeric_limits<double>::quiet_NaN()}) {
        try {
            toInt16(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::Overflow);
            EXPECT_EQ(e.entry(), Entry::None);
        }
    }
}

TEST(Int16ToText, WritesPlainDecimal) {
    EXPECT_EQ(int16ToText(21), u"21");
    EXPECT_EQ(int16ToText(-5), u"-5");
    EXPECT_EQ(int16ToText(0), u"0");
    EXPECT_EQ(int16ToText(10000), u"10000");
    EXPECT_EQ(int16ToText(-32768), u"-32768");
    EXPECT_EQ(int16ToText(32767), u"32767");
}

TEST(ClassifyEntry, TellsWhetherTypingMoreCanStillGiveANumber) {
    using enum EntryShape;
    const struct { const char16_t* text; EntryShape shape; } cases[] = {
        {u"", Empty}, {u"  ", Empty}, {u"\u3000\t", Empty},
        {u"162", Number}, {u" 56.30 ", Number}, {u"1e5", Number}, {u"５６．３", Number},
        {u"56.", Number}, {u"-.5e-3\u3000", Number},
        {u"-", Prefix}, {u"+", Prefix}, {u".", Prefix}, {u"-.", Prefix}, {u" \uFF0D", Prefix},
        {u"1e", Prefix}, {u"1e-", Prefix}, {u"1\uFF25\uFF0B", Prefix},
        {u"cm", Invalid}, {u"162cm", Invalid}, {u"1..2", Invalid}, {u"1e5.", Invalid},
        {u"abc", Invalid}, {u"1 2", Invalid}, {u"1e ", Invalid}, {u"- ", Invalid},
        {u".e5", Invalid}, {u"e5", Invalid}, {u"+-1", Invalid},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyEntry(c.text), c.shape) << shown(c.text);
    }
}

TEST(RunError, CarriesNumberEntryAndJapaneseDescription) {
    const RunError overflow(ErrorNumber::Overflow, Entry::None);
    const RunError byZero(ErrorNumber::DivisionByZero, Entry::None);
    const RunError mismatch(ErrorNumber::TypeMismatch, Entry::Height);
    EXPECT_EQ(overflow.description(), u"オーバーフローしました。");
    EXPECT_EQ(byZero.description(), u"0 で除算しました。");
    EXPECT_EQ(mismatch.description(), u"型が一致しません。");
    EXPECT_EQ(mismatch.entry(), Entry::Height);
    EXPECT_STREQ(mismatch.what(), "run-time error 13");
}

}  // namespace
}  // namespace belavo

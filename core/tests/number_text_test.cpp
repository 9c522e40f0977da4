#include "number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "error_of.hpp"

namespace belavo {
namespace {

using limits = std::numeric_limits<double>;

std::string shown(std::u16string_view text) { return testing::PrintToString(std::u16string(text)); }

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(TextToNumber, ReadsTheDecimalFormToTheNearestDouble) {
    const struct { std::u16string_view text; double value; } cases[] = {
        {u"162", 162}, {u" 56.30 ", 56.3}, {u"\t-0.5\u3000", -0.5}, {u"+1e2", 100}, {u"1.e1", 10},
        {u".5", 0.5}, {u"25E-1", 2.5}, {u"５６．３", 56.3}, {u"\uFF0D３", -3}, {u"\u2212３", -3},
        {u"＋１\uFF25２", 100}, {u"1\uFF45-1", 0.1}, {u"1e23", 1e23}, {u"3e-23", 3e-23},
        {u"0.1000000000000000055511151231257827021181583404541015625", 0.1},
        {u"9007199254740993", 9007199254740992.0},             // a tie: to even
        {u"9007199254740993.0000000001", 9007199254740994.0},  // just past it
        {u"1.7976931348623157e308", limits::max()}, {u"-0", -0.0}, {u"-1e-400", -0.0},
        {u"2.4703282292062328e-324", limits::denorm_min()}, {u"2.4703282292062327e-324", 0},
        {u"0e99999999999999999999", 0}, {u"7e-99999999999999999999", 0},
    };
    for (const auto& c : cases) {
        const double value = textToNumber(c.text, Entry::Height);
        EXPECT_TRUE(sameBits(value, c.value)) << shown(c.text) << " gave " << value;
    }
}

TEST(TextToNumber, RaisesTheErrorOfTheEntryItReads) {
    const std::u16string_view mismatches[] = {u"", u" \u3000\t", u"162cm", u"1..2", u"1 2", u"-", u"1e",
                                               u"0x10", u"inf", u"1,000", u"\u00A5100", u"１２ａ"};
    const std::u16string_view overflows[] = {u"1e309", u"-1.7976931348623159e308", u"1e99999999999999999999"};
    const auto expectError = [](std::u16string_view text, int number) {
        EXPECT_EQ(errorOf([&] { textToNumber(text, Entry::Weight); }), std::pair(number, Entry::Weight))
            << shown(text);
    };
    for (std::u16string_view text : mismatches) expectError(text, 13);
    for (std::u16string_view text : overflows) expectError(text, 6);
}

TEST(ToInt16, RoundsHalfToEvenAndRaisesOverflowOutsideSixteenBits) {
    const struct { double value; int rounded; } cases[] = {
        {21.5, 22}, {22.5, 22}, {20.5, 20}, {49.5, 50}, {-4.5, -4}, {-5.5, -6}, {-4.5454, -5},
        {0.49999999999999994, 0}, {32767.4999, 32767}, {-32768.5, -32768}, {-32767.5, -32768}};
    for (const auto& c : cases) EXPECT_EQ(toInt16(c.value), c.rounded) << c.value;
    for (double value : {32767.5, std::nextafter(-32768.5, -1e9), -1e300, limits::infinity(),
                         -limits::infinity(), limits::quiet_NaN()}) {
        EXPECT_EQ(errorOf([&] { toInt16(value); }), std::pair(6, Entry::None)) << value;
    }
}

TEST(Int16ToText, WritesPlainDecimal) {
    for (const auto& [value, text] : {std::pair<int, std::u16string_view>{21, u"21"}, {-5, u"-5"},
                                      {0, u"0"}, {10000, u"10000"}, {-32768, u"-32768"}, {32767, u"32767"}}) {
        EXPECT_EQ(int16ToText(static_cast<std::int16_t>(value)), text);
    }
}

TEST(ClassifyEntry, TellsWhetherTypingMoreCanStillGiveANumber) {
    using enum EntryShape;
    const struct { std::u16string_view text; EntryShape shape; } cases[] = {
        {u"", Empty}, {u" \u3000\t", Empty}, {u"162", Number}, {u" 56.30 ", Number},
        {u"1e5", Number}, {u"５６．３", Number}, {u"56.", Number}, {u"-.5e-3\u3000", Number},
        {u"-", Prefix}, {u"+", Prefix}, {u".", Prefix}, {u"-.", Prefix}, {u" \uFF0D", Prefix},
        {u"1e", Prefix}, {u"1e-", Prefix}, {u"1\uFF25\uFF0B", Prefix}, {u"cm", Invalid},
        {u"162cm", Invalid}, {u"1..2", Invalid}, {u"1e5.", Invalid}, {u"abc", Invalid},
        {u"1 2", Invalid}, {u"1e ", Invalid}, {u"- ", Invalid}, {u".e5", Invalid}, {u"+-1", Invalid}};
    for (const auto& c : cases) EXPECT_EQ(classifyEntry(c.text), c.shape) << shown(c.text);
}

TEST(RunError, DescribesEachNumberInJapanese) {
    EXPECT_EQ(RunError(ErrorNumber::Overflow, Entry::None).description(), u"オーバーフローしました。");
    EXPECT_EQ(RunError(ErrorNumber::DivisionByZero, Entry::None).description(), u"0 で除算しました。");
    EXPECT_EQ(RunError(ErrorNumber::TypeMismatch, Entry::None).description(), u"型が一致しません。");
    EXPECT_STREQ(RunError(ErrorNumber::TypeMismatch, Entry::None).what(), "run-time error 13");
}

}  // namespace
}  // namespace belavo

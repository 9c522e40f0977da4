#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "advice_bands.hpp"
#include "assessment.hpp"
#include "number_text.hpp"

namespace belavo {
namespace {

using limits = std::numeric_limits<double>;

// The number and entry of the RunError that `action` raises; {0, None} if none.
template <class Action>
std::pair<int, Entry> errorOf(Action action) try {
    action();
    return {0, Entry::None};
} catch (const RunError& e) {
    return {static_cast<int>(e.number()), e.entry()};
}

// Plain ASCII forms are also read against strtod by the fuzzer, from its seeds.
TEST(TextToNumber, ReadsTheDecimalFormToTheNearestDoubleOrRaisesItsError) {
    const struct { std::u16string_view text; double value; int error = 0; } cases[] = {
        {u"\t-0.5\u3000", -0.5}, {u"１２３４５.６７８９０", 12345.6789}, {u"５６．３", 56.3}, {u"\uFF0D３", -3},
        {u"\u2212３", -3}, {u"＋１\uFF25２", 100}, {u"1\uFF45-1", 0.1}, {u"-1e-400", -0.0}, {u"1e309", 0, 6},
        {u"1.7976931348623157e308", limits::max()}, {u"1.7976931348623159e308", 0, 6},  // the double's top edge
        {u"1e+2", 100}, {u"1e+-1", 0, 13}, {u"0.05", 0.05}, {u"-00.0500", -0.05},  // exponent sign, point zeros
        {u" \u3000\t", 0, 13}, {u"162cm", 0, 13}, {u"1..2", 0, 13}, {u"-", 0, 13}, {u"1e", 0, 13}, {u"inf", 0, 13},
    };
    for (const auto& c : cases) {
        double value = 0;
        const auto error = errorOf([&] { value = textToNumber(c.text, Entry::Weight); });
        EXPECT_EQ(error, std::pair(c.error, c.error ? Entry::Weight : Entry::None)) << testing::PrintToString(std::u16string(c.text));
        EXPECT_EQ(std::memcmp(&value, &c.value, sizeof value), 0) << testing::PrintToString(std::u16string(c.text)) << " gave " << value;
    }
}

TEST(ToInt16, RoundsHalfToEvenAndRaisesOverflowOutsideSixteenBits) {
    const struct { double value; int rounded; } cases[] = {
        {21.5, 22}, {22.5, 22}, {20.5, 20}, {49.5, 50}, {-4.5, -4}, {-5.5, -6}, {0.49999999999999994, 0},
        {32767.4999, 32767}, {-32768.5, -32768}};
    for (const auto& c : cases) EXPECT_EQ(toInt16(c.value), c.rounded) << c.value;
    for (double value : {32767.5, std::nextafter(-32768.5, -1e9), limits::infinity(), limits::quiet_NaN()}) {
        EXPECT_EQ(errorOf([&] { toInt16(value); }).first, 6) << value;
    }
}

TEST(AdviceBands, EachBmiGoesToTheRowWhoseRangeHoldsIt) {
    for (int bmi = INT16_MIN; bmi <= INT16_MAX; ++bmi) {
        const AdviceBand& band = findAdviceBand(static_cast<std::int16_t>(bmi));
        ASSERT_TRUE(band.minBmi <= bmi && bmi <= band.maxBmi) << bmi;
    }
}

// All five labels write into one log, so that their order shows as well.
struct Recorder final : CaptionSink {
    void setCaption(std::u16string_view text) override { log.emplace_back(text); }
    std::vector<std::u16string> log;
};

// A check shows each result in order, or raises the error of its first failing step and shows nothing.
TEST(Assessment, ShowsEachResultInOrderOrRaisesTheFirstFailingStepsError) {
    const auto none = Entry::None, height = Entry::Height, weight = Entry::Weight;
    const struct {
        std::u16string_view height, weight;
        int bmi, standard, obesity, error = 0;
        Entry entry = none;
    } cases[] = {
        {u"162", u"56.3", 21, 58, -5}, {u"100", u"22.5", 22, 22, 0}, {u"100", u"20.5", 20, 22, -9},
        {u"180", u"45", 14, 71, -36}, {u"-162", u" 56.30 ", 21, 58, -5}, {u"162", u"-10", -4, 58, -118},
        {u"3859.31", u"0", 0, 32767, -100}, {u"100", u"7230", 7230, 22, 32764}, {u"100", u"-7187", -7187, 22, -32768},
        {u"", u"56.3", 0, 0, 0, 13, height}, {u"1e309", u"abc", 0, 0, 0, 6, height},
        {u"1.4e156", u"abc", 0, 0, 0, 6}, {u"1.3e156", u"abc", 0, 0, 0, 13, weight},
        {u"0", u"abc", 0, 0, 0, 13, weight}, {u"0", u"1e309", 0, 0, 0, 6, weight}, {u"0", u"56.3", 0, 0, 0, 11},
        {u"1e-170", u"-1", 0, 0, 0, 11}, {u"0", u"0", 0, 0, 0, 6}, {u"10", u"1000", 0, 0, 0, 6},
        {u"-3859.32", u"0", 0, 0, 0, 6}, {u"100", u"7231", 0, 0, 0, 6}, {u"100", u"-7188", 0, 0, 0, 6},
    };
    for (const auto& c : cases) {
        const auto name = testing::PrintToString(std::u16string(c.height) + u" / " + std::u16string(c.weight));
        Recorder label;
        const ResultLabels labels{label, label, label, label, label};
        AssessmentResult result;
        EXPECT_EQ(errorOf([&] { assessBody(c.height, c.weight, result, labels); }), std::pair(c.error, c.entry)) << name;
        const auto text = [](int n) { return int16ToText(static_cast<std::int16_t>(n)); };
        const std::u16string advice(findAdviceBand(static_cast<std::int16_t>(c.bmi)).adviceText);
        const std::vector<std::u16string> shown{text(c.bmi), advice, text(c.standard), std::u16string(c.weight),
                                                text(c.obesity)};
        EXPECT_EQ(label.log, c.error ? std::vector<std::u16string>{} : shown) << name;
    }
}

}  // namespace
}  // namespace belavo

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
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
    const struct {
        std::u16string_view text;
        double value;
        int error = 0;
    } cases[] = {
        {u"\t-0.5\u3000", -0.5},
        {u"１２３４５.６７８９０", 12345.6789},
        {u"５６．３", 56.3},
        {u"\uFF0D３", -3},
        {u"\u2212３", -3},
        {u"＋１\uFF25２", 100},
        {u"1\uFF45-1", 0.1},
        {u"-1e-400", -0.0},
        {u"1e309", 0, 6},
        {u"1.7976931348623157e308", limits::max()},
        {u"1.7976931348623159e308", 0, 6},  // the double's top edge
        {u"1e+2", 100},
        {u"1e+-1", 0, 13},
        {u"0.05", 0.05},
        {u"-00.0500", -0.05},  // exponent sign, point zeros
        {u" \u3000\t", 0, 13},
        {u"162cm", 0, 13},
        {u"1..2", 0, 13},
        {u"-", 0, 13},
        {u"1e", 0, 13},
        {u"inf", 0, 13},
    };
    for (const auto& c : cases) {
        double value = 0;
        const auto error = errorOf([&] { value = textToNumber(c.text, Entry::Weight); });
        EXPECT_EQ(error, std::pair(c.error, c.error ? Entry::Weight : Entry::None))
            << testing::PrintToString(std::u16string(c.text));
        EXPECT_EQ(std::memcmp(&value, &c.value, sizeof value), 0)
            << testing::PrintToString(std::u16string(c.text)) << " gave " << value;
    }
}

TEST(ToInt16, RoundsHalfToEvenAndRaisesOverflowOutsideSixteenBits) {
    const struct {
        double value;
        int rounded;
    } cases[] = {{21.5, 22},
                 {22.5, 22},
                 {20.5, 20},
                 {49.5, 50},
                 {-4.5, -4},
                 {-5.5, -6},
                 {0.49999999999999994, 0},
                 {32767.4999, 32767},
                 {-32768.5, -32768}};
    for (const auto& c : cases) EXPECT_EQ(toInt16(c.value), c.rounded) << c.value;
    for (double value : {32767.5, std::nextafter(-32768.5, -1e9), limits::infinity(), limits::quiet_NaN()}) {
        EXPECT_EQ(errorOf([&] { toInt16(value); }).first, 6) << value;
    }
}

// All five labels write into one log, so that their order shows as well.
struct Recorder final : CaptionSink {
    void setCaption(std::u16string_view text) override { log.emplace_back(text); }
    std::vector<std::u16string> log;
};

// Each check of tests/expected/checks.tsv (the window tests read its labels back) shows its results in order,
// the advice of its row among them, or raises the error of its first failing step and shows nothing.
TEST(Assessment, ShowsEachResultInOrderOrRaisesTheFirstFailingStepsError) {
    std::ifstream table(BELAVO_EXPECTED "/checks.tsv");
    ASSERT_TRUE(table);
    const std::map<std::string, Entry> entries{
        {"-", Entry::None}, {"Text1", Entry::Height}, {"Text2", Entry::Weight}};
    const auto u16 = [](const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); };
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;  // height, weight, error, entry, Label8, Label9's row, Label7, 6 and 18
        for (std::istringstream fields(line); std::getline(fields, f.emplace_back(), '\t');) {
        }
        Recorder label;
        const ResultLabels labels{label, label, label, label, label};
        AssessmentResult result;
        const auto raised = errorOf([&] { assessBody(u16(f[0]), u16(f[1]), result, labels); });
        EXPECT_EQ(raised, std::pair(std::stoi(f[2]), entries.at(f[3]))) << line;
        if (f[2] != "0") {
            EXPECT_EQ(label.log, std::vector<std::u16string>{}) << line;
            continue;
        }
        const std::u16string advice(adviceBands[std::stoi(f[5]) - 1].adviceText);
        EXPECT_EQ(label.log, (std::vector{u16(f[4]), advice, u16(f[6]), u16(f[7]), u16(f[8])})) << line;
    }
}

}  // namespace
}  // namespace belavo

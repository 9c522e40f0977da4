#include "assessment.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "advice_bands.hpp"
#include "error_of.hpp"
#include "number_text.hpp"

namespace belavo {
namespace {

// Writes "label=caption" into a log that all five labels share.
struct RecordingLabel final : CaptionSink {
    RecordingLabel(const char16_t* name, std::vector<std::u16string>& log) : name(name), log(log) {}
    void setCaption(std::u16string_view text) override { log.push_back(std::u16string(name).append(u"=").append(text)); }
    const char16_t* name;
    std::vector<std::u16string>& log;
};

struct Window {
    std::vector<std::u16string> log;
    RecordingLabel bmi{u"bmi", log}, advice{u"advice", log}, standard{u"standard", log}, weight{u"weight", log},
        obesity{u"obesity", log};
    ResultLabels labels{bmi, advice, standard, weight, obesity};
    AssessmentResult result;
};

auto fieldsOf(const AssessmentResult& r) {
    return std::tie(r.heightMetres, r.weightValue, r.bmiValue, r.standardWeightKg, r.obesityPercent, r.adviceText);
}

std::u16string adviceOfRow(int row) { return std::u16string(adviceBands[row - 1].adviceText); }

std::string shown(std::u16string_view height, std::u16string_view weight) {
    return testing::PrintToString(std::u16string(height) + u" / " + std::u16string(weight));
}

TEST(Assessment, ComputesEachResultAndShowsThemInOrder) {
    const struct {
        std::u16string_view height, weight;
        std::int16_t bmi;
        int row;
        std::int16_t standardWeight, obesity;
    } cases[] = {
        {u"162", u"56.3", 21, 5, 58, -5},    {u"100", u"22.5", 22, 6, 22, 0},    {u"100", u"21.5", 22, 6, 22, 0},
        {u"100", u"20.5", 20, 5, 22, -9},    {u"150", u"80", 36, 11, 50, 64},    {u"180", u"45", 14, 2, 71, -36},
        {u"100", u"11", 11, 1, 22, -50},     {u"100", u"33", 33, 10, 22, 50},    {u"100", u"44", 44, 11, 22, 100},
        {u"-162", u"56.3", 21, 5, 58, -5},   {u"162", u"-10", -4, 1, 58, -118},  {u"162", u" 56.30 ", 21, 5, 58, -5},
        {u"１６２", u"５６．３", 21, 5, 58, -5}, {u"3859.31", u"0", 0, 1, 32767, -100},
        {u"-3859.31", u"0", 0, 1, 32767, -100}, {u"100", u"7230", 7230, 11, 22, 32764},
        {u"100", u"-7187", -7187, 1, 22, -32768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(shown(c.height, c.weight));
        Window window;
        assessBody(c.height, c.weight, window.result, window.labels);
        const AssessmentResult expected{textToNumber(c.height, Entry::Height) / 100, std::u16string(c.weight),
                                        c.bmi, c.standardWeight, c.obesity, adviceOfRow(c.row)};
        EXPECT_EQ(fieldsOf(window.result), fieldsOf(expected));
        const std::vector<std::u16string> captions = {
            u"bmi=" + int16ToText(c.bmi), u"advice=" + adviceOfRow(c.row), u"standard=" + int16ToText(c.standardWeight),
            u"weight=" + std::u16string(c.weight), u"obesity=" + int16ToText(c.obesity)};
        EXPECT_EQ(window.log, captions);
    }
}

// Each case names the first failing step; later inputs may be bad as well.
TEST(Assessment, RaisesTheFirstFailingStepsErrorAndChangesNothing) {
    const auto none = Entry::None, height = Entry::Height, weight = Entry::Weight;
    const struct {
        std::u16string_view height, weight;
        int error;
        Entry entry;
    } cases[] = {
        {u"", u"56.3", 13, height},       {u"abc", u"", 13, height},     {u"1e309", u"abc", 6, height},
        {u"1.4e156", u"abc", 6, none},    {u"1.3e156", u"abc", 13, weight}, {u"0", u"abc", 13, weight},
        {u"162", u"  ", 13, weight},      {u"0", u"1e309", 6, weight},   {u"0", u"56.3", 11, none},
        {u"1e-170", u"-1", 11, none},     {u"0", u"0", 6, none},         {u"10", u"1000", 6, none},
        {u"100", u"32767.5", 6, none},    {u"1e-150", u"1e300", 6, none}, {u"4000", u"56.3", 6, none},
        {u"-3859.32", u"0", 6, none},     {u"10", u"100", 6, none},      {u"100", u"7231", 6, none},
        {u"100", u"-7188", 6, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(shown(c.height, c.weight));
        Window window;
        assessBody(u"162", u"56.3", window.result, window.labels);
        const AssessmentResult before = window.result;
        const std::vector<std::u16string> logBefore = window.log;
        const auto error = errorOf([&] { assessBody(c.height, c.weight, window.result, window.labels); });
        EXPECT_EQ(error, std::pair(c.error, c.entry));
        EXPECT_EQ(window.log, logBefore);
        EXPECT_EQ(fieldsOf(window.result), fieldsOf(before));
    }
}

}  // namespace
}  // namespace belavo

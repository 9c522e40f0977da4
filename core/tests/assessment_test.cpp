#include "assessment.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "advice_bands.hpp"
#include "number_text.hpp"

namespace belavo {
namespace {

// Writes "label=caption" into a log shared by all five labels.
class RecordingLabel final : public CaptionSink {
public:
    RecordingLabel(std::u16string name, std::vector<std::u16string>& log)
        : name_(std::move(name)), log_(log) {}
    void setCaption(std::u16string_view text) override { log_.push_back(name_ + u"=" + std::u16string(text)); }

private:
    std::u16string name_;
    std::vector<std::u16string>& log_;
};

struct Window {
    std::vector<std::u16string> log;
    RecordingLabel bmi{u"bmi", log}, advice{u"advice", log}, standard{u"standard", log},
        weight{u"weight", log}, obesity{u"obesity", log};
    ResultLabels labels{bmi, advice, standard, weight, obesity};
    AssessmentResult result;
};

std::u16string adviceOfRow(int row) { return std::u16string(adviceBands[row - 1].adviceText); }

TEST(Assessment, ComputesEachResultAndShowsThemInOrder) {
    const struct {
        const char16_t *height, *weight;
        std::int16_t bmi;
        int row;
        std::int16_t standardWeight, obesity;
    } cases[] = {
        {u"162", u"56.3", 21, 5, 58, -5},     {u"100", u"22.5", 22, 6, 22, 0},
        {u"100", u"21.5", 22, 6, 22, 0},      {u"100", u"20.5", 20, 5, 22, -9},
        {u"150", u"80", 36, 11, 50, 64},      {u"180", u"45", 14, 2, 71, -36},
        {u"100", u"11", 11, 1, 22, -50},      {u"100", u"33", 33, 10, 22, 50},
        {u"100", u"44", 44, 11, 22, 100},     {u"-162", u"56.3", 21, 5, 58, -5},
        {u"162", u"-10", -4, 1, 58, -118},    {u"162", u" 56.30 ", 21, 5, 58, -5},
        {u"１６２", u"５６．３", 21, 5, 58, -5}, {u"3859.31", u"0", 0, 1, 32767, -100},
        {u"-3859.31", u"0", 0, 1, 32767, -100}, {u"100", u"7230", 7230, 11, 22, 32764},
        {u"100", u"-7187", -7187, 1, 22, -32768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::u16string(c.height) + u"/" + c.weight));
        Window window;
        assessBody(c.height, c.weight, window.result, window.labels);
        const AssessmentResult& r = window.result;
        EXPECT_EQ(r.weightValue, c.weight);
        EXPECT_EQ(r.bmiValue, c.bmi);
        EXPECT_EQ(r.adviceText, adviceOfRow(c.row));
        EXPECT_EQ(r.standardWeightKg, c.standardWeight);
        EXPECT_EQ(r.obesityPercent, c.obesity);
        const std::vector<std::u16string> expected = {
            u"bmi=" + int16ToText(c.bmi), u"advice=" + adviceOfRow(c.row),
            u"standard=" + int16ToText(c.standardWeight), u"weight=" + std::u16string(c.weight),
            u"obesity=" + int16ToText(c.obesity)};
        EXPECT_EQ(window.log, expected);
    }
}

TEST(Assessment, KeepsTheHeightInMetresAndTheWeightAsTyped) {
    const AssessmentResult r = computeAssessment(u"162", u" 56.30 ");
    EXPECT_EQ(r.heightMetres, 1.62);
    EXPECT_EQ(r.weightValue, u" 56.30 ");
    EXPECT_EQ(r.bmiValue, 21);
}

// Each case names the first failing step; later inputs may be bad as well.
TEST(Assessment, RaisesTheFirstFailingStepsErrorAndChangesNothing) {
    constexpr auto overflow = ErrorNumber::Overflow, byZero = ErrorNumber::DivisionByZero,
                   mismatch = ErrorNumber::TypeMismatch;
    const struct {
        const char16_t *height, *weight;
        ErrorNumber number;
        Entry entry;
    } cases[] = {
        {u"", u"56.3", mismatch, Entry::Height},      {u"abc", u"", mismatch, Entry::Height},
        {u"162cm", u"0", mismatch, Entry::Height},    {u"1e309", u"abc", overflow, Entry::Height},
        {u"1.4e156", u"abc", overflow, Entry::None},  {u"-1.4e156", u"1", overflow, Entry::None},
        {u"1.3e156", u"abc", mismatch, Entry::Weight}, {u"0", u"abc", mismatch, Entry::Weight},
        {u"0", u"", mismatch, Entry::Weight},         {u"162", u"  ", mismatch, Entry::Weight},
        {u"0", u"1e309", overflow, Entry::Weight},    {u"0", u"56.3", byZero, Entry::None},
        {u"1e-170", u"-1", byZero, Entry::None},      {u"0", u"0", overflow, Entry::None},
        {u"0", u"-0", overflow, Entry::None},         {u"10", u"1000", overflow, Entry::None},
        {u"100", u"32767.5", overflow, Entry::None},  {u"100", u"-32768.6", overflow, Entry::None},
        {u"1e-150", u"1e300", overflow, Entry::None}, {u"4000", u"56.3", overflow, Entry::None},
        {u"3859.32", u"0", overflow, Entry::None},    {u"-3859.32", u"0", overflow, Entry::None},
        {u"10", u"100", overflow, Entry::None},       {u"100", u"7231", overflow, Entry::None},
        {u"100", u"-7188", overflow, Entry::None},    {u"100", u"32767.4", overflow, Entry::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::u16string(c.height) + u"/" + c.weight));
        Window window;
        assessBody(u"162", u"56.3", window.result, window.labels);
        const AssessmentResult before = window.result;
        const std::vector<std::u16string> logBefore = window.log;
        try {
            assessBody(c.height, c.weight, window.result, window.labels);
            ADD_FAILURE() << "no error";
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.entry(), c.entry);
        }
        EXPECT_EQ(window.log, logBefore);
        EXPECT_EQ(window.result.heightMetres, before.heightMetres);
        EXPECT_EQ(window.result.weightValue, before.weightValue);
        EXPECT_EQ(window.result.bmiValue, before.bmiValue);
        EXPECT_EQ(window.result.standardWeightKg, before.standardWeightKg);
        EXPECT_EQ(window.result.obesityPercent, before.obesityPercent);
        EXPECT_EQ(window.result.adviceText, before.adviceText);
    }
}

}  // namespace
}  // namespace belavo

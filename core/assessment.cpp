#include "assessment.hpp"

#include <cmath>

#include "advice_bands.hpp"
#include "number_text.hpp"

namespace belavo {

namespace {

constexpr double centimetresPerMetre = 100;
constexpr std::int16_t standardBmi = 22;
constexpr double percentScale = 100;

// A square past the largest double comes out infinite. (Infinite quotients
// and products need no such check: toInt16 rejects them as overflows too.)
double squareOrOverflow(double value) {
    const double square = value * value;
    if (!std::isfinite(square)) throw RunError(ErrorNumber::Overflow, Entry::None);
    return square;
}

// Zero over zero is an overflow, anything else over zero a division by zero.
double divide(double dividend, double divisor) {
    if (divisor == 0) {
        const auto number = dividend == 0 ? ErrorNumber::Overflow : ErrorNumber::DivisionByZero;
        throw RunError(number, Entry::None);
    }
    return dividend / divisor;
}

// Each operation is a statement of its own, so none is fused or reordered.
std::int16_t standardWeightFor(double heightMetres) {
    const double partial = standardBmi * heightMetres;
    const double weight = partial * heightMetres;
    return toInt16(weight);
}

std::int16_t obesityFor(std::int16_t bmi) {
    const double ratio = bmi / static_cast<double>(standardBmi);
    const double percent = ratio * percentScale;
    return toInt16(percent - percentScale);
}

// The figures of one check; the texts stay where they already are.
struct Figures {
    double heightMetres;
    std::int16_t bmiValue;
    std::u16string_view adviceText;
    std::int16_t standardWeightKg;
    std::int16_t obesityPercent;
};

Figures computeFigures(std::u16string_view heightText, std::u16string_view weightText) {
    const double heightMetres = textToNumber(heightText, Entry::Height) / centimetresPerMetre;
    // The square comes first: its overflow is reported before a bad weight.
    const double heightSquared = squareOrOverflow(heightMetres);
    const double weight = textToNumber(weightText, Entry::Weight);
    const std::int16_t bmi = toInt16(divide(weight, heightSquared));
    return {heightMetres, bmi, findAdviceBand(bmi).adviceText, standardWeightFor(heightMetres),
            obesityFor(bmi)};
}

// Assigns in place, so that a window's record reuses its text buffers.
void store(const Figures& figures, std::u16string_view weightText, AssessmentResult& result) {
    result.heightMetres = figures.heightMetres;
    result.weightValue.assign(weightText);
    result.bmiValue = figures.bmiValue;
    result.standardWeightKg = figures.standardWeightKg;
    result.obesityPercent = figures.obesityPercent;
    result.adviceText.assign(figures.adviceText);
}

}  // namespace

void assessBody(std::u16string_view heightText, std::u16string_view weightText, AssessmentResult& result,
                const ResultLabels& labels) {
    store(computeFigures(heightText, weightText), weightText, result);
    labels.bmi.setCaption(int16ToText(result.bmiValue));
    labels.advice.setCaption(result.adviceText);
    labels.standardWeight.setCaption(int16ToText(result.standardWeightKg));
    labels.weight.setCaption(result.weightValue);
    labels.obesity.setCaption(int16ToText(result.obesityPercent));
}

}  // namespace belavo

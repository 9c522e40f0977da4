// Runs checks on fuzzer texts, the height before the first newline and the
// weight after it. Every check either completes with a consistent result or
// raises run-time error 6, 11 or 13 and then leaves the record and the labels
// as they were.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "advice_bands.hpp"
#include "assessment.hpp"
#include "fuzz_text.hpp"
#include "number_text.hpp"

namespace {

using namespace belavo;

class CountingLabel final : public CaptionSink {
public:
    void setCaption(std::u16string_view text) override { captions.emplace_back(text); }
    std::vector<std::u16string> captions;
};

void expect(bool condition) {
    if (!condition) std::abort();
}

void expectConsistent(const AssessmentResult& r, std::u16string_view height, std::u16string_view weight) {
    expect(r.heightMetres == textToNumber(height, Entry::Height) / 100);
    expect(r.weightValue == weight);
    expect(r.adviceText == findAdviceBand(r.bmiValue).adviceText);
}

void expectAllowed(const RunError& e) {
    switch (e.number()) {
    case ErrorNumber::TypeMismatch: expect(e.entry() != Entry::None); break;
    case ErrorNumber::Overflow: break;
    case ErrorNumber::DivisionByZero: expect(e.entry() == Entry::None); break;
    default: std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* newline = std::find(data, data + size, '\n');
    const std::u16string height = fuzz::textFrom(data, newline - data);
    const std::size_t rest = newline == data + size ? 0 : size - (newline - data) - 1;
    const std::u16string weight = fuzz::textFrom(newline + (rest ? 1 : 0), rest);

    CountingLabel bmi, advice, standardWeight, weightLabel, obesity;
    const ResultLabels labels{bmi, advice, standardWeight, weightLabel, obesity};
    AssessmentResult result;
    result.adviceText = u"before";
    try {
        assessBody(height, weight, result, labels);
    } catch (const RunError& e) {
        expectAllowed(e);
        expect(result.adviceText == u"before" && result.weightValue.empty());
        expect(bmi.captions.empty() && advice.captions.empty() && standardWeight.captions.empty() &&
               weightLabel.captions.empty() && obesity.captions.empty());
        return 0;
    }
    expectConsistent(result, height, weight);
    expect(bmi.captions == std::vector{int16ToText(result.bmiValue)});
    expect(advice.captions == std::vector{result.adviceText});
    expect(standardWeight.captions == std::vector{int16ToText(result.standardWeightKg)});
    expect(weightLabel.captions == std::vector{result.weightValue});
    expect(obesity.captions == std::vector{int16ToText(result.obesityPercent)});
    return 0;
}

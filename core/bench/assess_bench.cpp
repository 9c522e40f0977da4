// The cost of one check with the texts the window opens with.
#include <benchmark/benchmark.h>

#include <string>

#include "assessment.hpp"
#include "number_text.hpp"

namespace {

// Keeps its caption, as a window label does.
class StoringLabel final : public belavo::CaptionSink {
public:
    void setCaption(std::u16string_view text) override { caption_.assign(text); }

private:
    std::u16string caption_;
};

void assessInitialTexts(benchmark::State& state) {
    StoringLabel bmi, advice, standardWeight, weight, obesity;
    const belavo::ResultLabels labels{bmi, advice, standardWeight, weight, obesity};
    belavo::AssessmentResult result;
    for (auto _ : state) {
        belavo::assessBody(u"162", u"56.3", result, labels);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(assessInitialTexts);

void readWeightText(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(belavo::textToNumber(u"56.3", belavo::Entry::Weight));
    }
}
BENCHMARK(readWeightText);

}  // namespace

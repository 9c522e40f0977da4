#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "run_error.hpp"

namespace belavo {

// The latest check of one main window.
struct AssessmentResult {
    double heightMetres = 0;
    std::u16string weightValue;  // the weight text exactly as typed
    std::int16_t bmiValue = 0;
    std::int16_t standardWeightKg = 0;
    std::int16_t obesityPercent = 0;
    std::u16string adviceText;
};

// Anything that shows a caption: a label of the window, or a test's recorder.
class CaptionSink {
public:
    virtual void setCaption(std::u16string_view text) = 0;

protected:
    ~CaptionSink() = default;
};

// Where a check shows its result, in the order it writes them.
struct ResultLabels {
    CaptionSink& bmi;
    CaptionSink& advice;
    CaptionSink& standardWeight;
    CaptionSink& weight;
    CaptionSink& obesity;
};

// Runs one check of the height (cm) and weight (kg) texts. The whole result is
// computed first; only when every step succeeded is it stored in `result` and
// shown, in the order BMI, advice, standard weight, weight, obesity degree.
// A failed step throws RunError and changes neither `result` nor any label.
void assessBody(std::u16string_view heightText, std::u16string_view weightText, AssessmentResult& result,
                const ResultLabels& labels);

}  // namespace belavo

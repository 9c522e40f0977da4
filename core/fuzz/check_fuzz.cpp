// Fuzzer bytes as the two entry texts, split at the first newline; bytes from
// 0x80 up stand for characters the number reader treats specially, or near
// misses. A number reads as strtod reads its ASCII form, in agreement with
// classifyEntry; a check shows all five results, as recorded, or raises error
// 6, 11 or 13 and shows nothing.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "advice_bands.hpp"
#include "assessment.hpp"
#include "number_text.hpp"

namespace {

using namespace belavo;
constexpr char16_t wide[] = u"０１２３４５６７８９．＋－−Ｅｅ\u3000\u00A0，＄‥\uFFFF\u0660·";
constexpr char ascii[] = "0123456789.+--Ee ";

void expect(bool condition) {
    if (!condition) std::abort();
}

std::string bitsOf(double value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

std::string reading(std::u16string_view text) {
    try {
        return bitsOf(textToNumber(text, Entry::Weight));
    } catch (const RunError& e) {
        expect(e.entry() == Entry::Weight);
        return "error " + std::to_string(static_cast<int>(e.number()));
    }
}

void checkNumber(const std::u16string& text) {
    const std::string read = reading(text);
    expect((read != "error 13") == (classifyEntry(text) == EntryShape::Number));
    std::u16string folded = text;
    for (char16_t& c : folded) {
        if (const char16_t* at = std::char_traits<char16_t>::find(wide, 17, c)) c = ascii[at - wide];
    }
    expect(reading(folded) == read);
    if (read == "error 13" || folded != text) return;
    const std::string bytes(text.begin(), text.end());
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(bytes.c_str(), &end);
    expect(std::strspn(end, " \t") == std::strlen(end));
    expect(read == (errno == ERANGE && std::isinf(value) ? "error 6" : bitsOf(value)));
}

// All five labels write into one log, so that their order shows as well.
struct Recorder final : CaptionSink {
    explicit Recorder(std::vector<std::u16string>& log) : log(log) {}
    void setCaption(std::u16string_view text) override { log.emplace_back(text); }
    std::vector<std::u16string>& log;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string texts[2];
    for (std::size_t i = 0, field = 0; i < size; ++i) {
        if (data[i] == '\n' && field == 0) field = 1;
        else texts[field].push_back(data[i] < 0x80 ? data[i] : wide[data[i] % (std::size(wide) - 1)]);
    }
    checkNumber(texts[0]);
    std::vector<std::u16string> log;
    Recorder label(log);
    AssessmentResult result;
    try {
        assessBody(texts[0], texts[1], result, {label, label, label, label, label});
    } catch (const RunError& e) {
        const bool mismatch = e.number() == ErrorNumber::TypeMismatch;
        expect(e.number() == ErrorNumber::Overflow || mismatch != (e.entry() == Entry::None));
        expect(log.empty() && result.weightValue.empty());
        return 0;
    }
    expect(result.heightMetres == textToNumber(texts[0], Entry::Height) / 100 && result.weightValue == texts[1]);
    expect(log == std::vector{int16ToText(result.bmiValue), std::u16string(findAdviceBand(result.bmiValue).adviceText),
                              int16ToText(result.standardWeightKg), texts[1], int16ToText(result.obesityPercent)});
    return 0;
}

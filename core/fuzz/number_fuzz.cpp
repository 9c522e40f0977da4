// Reads fuzzer texts as numbers. Oracles: a plain ASCII number reads exactly
// as the C library's strtod reads it (in the "C" locale); full-width forms
// read as their ASCII forms; and every text gives a finite double or run-time
// error 13 or 6, in agreement with classifyEntry.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "fuzz_text.hpp"
#include "number_text.hpp"

namespace {

using namespace belavo;

// What a reading gave: the bits of the double, or the error number.
struct Outcome {
    std::optional<double> value;
    ErrorNumber error{};
};

bool operator==(const Outcome& a, const Outcome& b) {
    if (a.value.has_value() != b.value.has_value()) return false;
    if (!a.value) return a.error == b.error;
    return std::memcmp(&*a.value, &*b.value, sizeof(double)) == 0;
}

Outcome read(const std::u16string& text) {
    try {
        const double value = textToNumber(text, Entry::Weight);
        if (!std::isfinite(value)) std::abort();
        return {value, {}};
    } catch (const RunError& e) {
        if (e.entry() != Entry::Weight) std::abort();
        if (e.number() != ErrorNumber::TypeMismatch && e.number() != ErrorNumber::Overflow) std::abort();
        return {std::nullopt, e.number()};
    }
}

Outcome readWithStrtod(const std::u16string& text) {
    const std::string ascii(text.begin(), text.end());
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(ascii.c_str(), &end);
    if (std::strspn(end, " \t") != std::strlen(end)) std::abort();  // it stopped early
    if (errno == ERANGE && std::isinf(value)) return {std::nullopt, ErrorNumber::Overflow};
    return {value, {}};
}

std::u16string asciiFolded(std::u16string text) {
    for (char16_t& c : text) {
        for (std::size_t i = 0; i + 1 < std::size(fuzz::asciiForms); ++i) {
            if (c == fuzz::wideForms[i]) c = fuzz::asciiForms[i];
        }
    }
    return text;
}

bool isAscii(const std::u16string& text) {
    for (char16_t c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = fuzz::textFrom(data, size);
    const Outcome outcome = read(text);
    const bool isNumber = classifyEntry(text) == EntryShape::Number;
    if (isNumber == (!outcome.value && outcome.error == ErrorNumber::TypeMismatch)) std::abort();
    if (isNumber && isAscii(text) && !(outcome == readWithStrtod(text))) std::abort();
    if (!(outcome == read(asciiFolded(text)))) std::abort();
    return 0;
}

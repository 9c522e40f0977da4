// Fuzzer bytes as two entry texts split at the first newline, bytes from 0x80 up standing for characters the
// number reader treats specially or near misses: each reads as strtod reads its ASCII form, in agreement with
// classifyEntry.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "number_text.hpp"

namespace {

using namespace belavo;
constexpr char16_t wide[] = u"０１２３４５６７８９．＋－−Ｅｅ\u3000\u00A0，＄‥\uFFFF\u0660·";
constexpr char ascii[] = "0123456789.+--Ee ";

void expect(bool condition) {
    if (!condition) std::abort();
}

std::string bitsOf(double value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

std::string reading(std::u16string_view text) try {
    return bitsOf(textToNumber(text, Entry::Weight));
} catch (const RunError& e) {
    return "error " + std::to_string(static_cast<int>(e.number()));
}

void checkNumber(const std::u16string& text) {
    const std::string read = reading(text);
    expect((read != "error 13") == (classifyEntry(text) == EntryShape::Number));
    // Within these characters strtod reads the same forms.
    std::string bytes;
    for (char16_t c : text) {
        const char16_t* at = std::char_traits<char16_t>::find(wide, 17, c);
        bytes.push_back(at ? ascii[at - wide] : c < 0x80 ? static_cast<char>(c) : '?');
    }
    if (bytes.find_first_not_of("0123456789.+-Ee \t") != std::string::npos) return;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(bytes.c_str(), &end);
    const bool whole = end != bytes.c_str() && std::strspn(end, " \t") == std::strlen(end);
    expect(whole == (read != "error 13"));
    if (whole) expect(read == (errno == ERANGE && std::isinf(value) ? "error 6" : bitsOf(value)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string texts[2];
    for (std::size_t i = 0, field = 0; i < size; ++i) {
        if (data[i] == '\n' && field == 0) field = 1;
        else texts[field].push_back(data[i] < 0x80 ? data[i] : wide[data[i] % (std::size(wide) - 1)]);
    }
    for (const std::u16string& text : texts) checkNumber(text);
    return 0;
}

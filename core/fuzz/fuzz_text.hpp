#pragma once
// Turns fuzzer bytes into entry texts. Bytes below 0x80 stand for themselves;
// the others pick one of the characters the number reader treats specially
// (or a near miss), so that the fuzzer meets them as often as ASCII.
#include <cstddef>
#include <cstdint>
#include <string>

namespace belavo::fuzz {

inline constexpr char16_t wideForms[] = {
    u'\uFF10', u'\uFF11', u'\uFF12', u'\uFF13', u'\uFF14', u'\uFF15', u'\uFF16', u'\uFF17',
    u'\uFF18', u'\uFF19', u'\uFF0E', u'\uFF0B', u'\uFF0D', u'\u2212', u'\uFF25', u'\uFF45',
    u'\u3000', u'\u00A0', u'\uFF0C', u'\uFF04', u'\u2025', u'\uFFFF', u'\u0660', u'\u00B7',
};
// The ASCII forms of the first seventeen, in the same order.
inline constexpr char16_t asciiForms[] = u"0123456789.+--Ee ";

inline char16_t characterFrom(std::uint8_t byte) {
    if (byte < 0x80) return byte;
    return wideForms[byte % std::size(wideForms)];
}

inline std::u16string textFrom(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i) text.push_back(characterFrom(data[i]));
    return text;
}

}  // namespace belavo::fuzz

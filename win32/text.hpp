#pragma once
// Conversions between the core's UTF-16 text and the window functions' wide
// text (the same code units on Windows), and the ANSI code page for the few
// narrow functions called on purpose.
#include <windows.h>

#include <string>
#include <string_view>

namespace belavo::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on Windows");

inline std::wstring_view wide(std::u16string_view text) noexcept {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::u16string_view utf16(std::wstring_view text) noexcept {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

std::wstring windowText(HWND window);
std::string toAnsi(std::wstring_view text);
std::wstring fromAnsi(std::string_view text);

}  // namespace belavo::win32

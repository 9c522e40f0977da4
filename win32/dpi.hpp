#pragma once
// Every position and size is designed in twips (1/1440 inch) and every font in
// points; these are the only places where they become pixels.
#include <windows.h>

namespace belavo::win32 {

inline constexpr UINT kDefaultDpi = 96;
inline constexpr int kTwipsPerInch = 1440;

inline int twipsToPixels(int twips, UINT dpi) noexcept {
    return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

// LOGFONT height (negative: character height) of a size in points.
inline LONG pointsToFontHeight(double points, UINT dpi) noexcept {
    return -static_cast<LONG>(points * dpi / 72.0 + 0.5);
}

// The window's DPI; the system's when the window does not exist yet.
UINT dpiOf(HWND window) noexcept;

}  // namespace belavo::win32

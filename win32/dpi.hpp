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

// LOGFONT height of a size in points. Japanese faces are asked for by their
// cell height (positive), Western ones by their character height (negative).
// The design's Japanese faces, the MS Gothic family, have their cell equal to
// their em, so they render exactly as drawn; any face that stands in for them
// (Yu Gothic UI, Meiryo, the IPA and Noto faces, or whatever GDI maps a missing
// name to) has taller lines for the same em, and asked for by its em it would
// push the fixed-size labels' lines out of sight. By its cell it keeps the
// design's line pitch and draws its characters a little smaller instead. The
// Western faces keep the em the design measured them by.
inline LONG fontHeight(double points, BYTE charset, UINT dpi) noexcept {
    const auto pixels = static_cast<LONG>(points * dpi / 72.0 + 0.5);
    return charset == SHIFTJIS_CHARSET ? pixels : -pixels;
}

// The window's DPI; the system's when the window does not exist yet.
UINT dpiOf(HWND window) noexcept;

// The user's text size in percent (Settings > Accessibility > Text size), 100
// to 225; 100 when it was never set. The windows are laid out for their DPI
// times this, as Windows enlarges its own menus, titles and messages by it.
UINT textScalePercent() noexcept;

}  // namespace belavo::win32

#include "dpi.hpp"

#include <algorithm>

namespace belavo::win32 {

UINT dpiOf(HWND window) noexcept {
    const UINT dpi = window ? GetDpiForWindow(window) : GetDpiForSystem();
    return dpi ? dpi : kDefaultDpi;
}

UINT textScalePercent() noexcept {
    DWORD percent = 100, size = sizeof percent;
    // A missing value, or one of another type or size, is the normal text size.
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Accessibility", L"TextScaleFactor",
                     RRF_RT_REG_DWORD, nullptr, &percent, &size) != ERROR_SUCCESS) {
        percent = 100;
    }
    return std::clamp<UINT>(percent, 100, 225);
}

}  // namespace belavo::win32

#include "dpi.hpp"

namespace belavo::win32 {

UINT dpiOf(HWND window) noexcept {
    const UINT dpi = window ? GetDpiForWindow(window) : GetDpiForSystem();
    return dpi ? dpi : kDefaultDpi;
}

}  // namespace belavo::win32

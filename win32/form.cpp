#include "form.hpp"

#include <algorithm>

#include "base_window.hpp"
#include "dpi.hpp"
#include "ui_font.hpp"

namespace belavo::win32 {
namespace {

HICON loadClassIcon(HINSTANCE instance, int id, int metric) noexcept {
    const int size = GetSystemMetricsForDpi(metric, dpiOf(nullptr));
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}

void registerClass(HINSTANCE instance, const FormDesign& design, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, design.className, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    if (design.classIcon) {
        windowClass.hIcon = loadClassIcon(instance, design.classIcon, SM_CXICON);
        windowClass.hIconSm = loadClassIcon(instance, design.classIcon, SM_CXSMICON);
    }
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = design.className;
    // No window can be made without its class: say so rather than end in silence.
    if (!RegisterClassExW(&windowClass)) reportUnexpectedFailure(nullptr, design.failureTitle);
}

}  // namespace

// Created centred over `owner` (the work area when none) and sized for the
// owner's DPI, or the system's when there is none, so that WM_CREATE already
// finds the monitor it will show on and builds the fonts and icons for that
// monitor's DPI. The system DPI is the one of sign-in time: on a monitor whose
// scale differs from it (changed since, or another monitor) the window takes
// its size for its own monitor before it is shown.
HWND Form::create(WNDPROC procedure, void* creator, const wchar_t* caption, HWND owner) const {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClass(instance, design_, procedure);
    const UINT dpi = dpiOf(owner);
    const auto [left, top, right, bottom] = placeFor(owner, dpi);
    const HWND window = CreateWindowExW(design_.exStyle, design_.className, caption, design_.style, left, top,
                                       right - left, bottom - top, owner, nullptr, instance, creator);
    if (window && dpiOf(window) != dpi) {
        const RECT place = placeFor(owner, dpiOf(window));
        SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return window;
}

// The window's rectangle at `dpi`, centred over `owner` or the work area; when it cannot fit, its top-left
// corner stays on the screen.
RECT Form::placeFor(HWND owner, UINT dpi) const noexcept {
    const SIZE size = windowSizeFor(dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    RECT centre = area;
    if (owner) GetWindowRect(owner, &centre);
    const LONG left = std::max(area.left, std::min((centre.left + centre.right - size.cx) / 2, area.right - size.cx));
    const LONG top = std::max(area.top, std::min((centre.top + centre.bottom - size.cy) / 2, area.bottom - size.cy));
    return {left, top, left + size.cx, top + size.cy};
}

void Form::build(HWND window) {
    if (design_.menuBar) SetMenu(window, design_.menuBar());
    controls_.emplace(window, design_.controls, japaneseUiFont96());
    savedFocus_ = nullptr;
}

void Form::release() noexcept {
    controls_.reset();
    savedFocus_ = nullptr;
}

// Like a dialog, the window gives the focus back to the control that had it
// when it is activated again; the first time, to the designed first control.
void Form::onActivate(HWND window, bool active) noexcept {
    if (!active) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) savedFocus_ = focus;
        return;
    }
    SetFocus(savedFocus_ && IsWindow(savedFocus_) ? savedFocus_ : GetDlgItem(window, design_.firstFocus));
}

std::optional<LRESULT> Form::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (!controls_) break;
        if (HBRUSH brush = controls_->colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_ACTIVATE:
        onActivate(window, LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE*>(lParam) = windowSizeFor(static_cast<UINT>(wParam));
        return TRUE;
    case WM_DPICHANGED: {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (controls_) controls_->layout(HIWORD(wParam));
        // Every control has moved and changed its font: nothing of the old picture stays.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    }
    }
    return std::nullopt;
}

SIZE Form::windowSizeFor(UINT dpi) const noexcept {
    RECT rect{0, 0, twipsToPixels(design_.clientWidth, dpi), twipsToPixels(design_.clientHeight, dpi)};
    AdjustWindowRectExForDpi(&rect, design_.style, design_.menuBar != nullptr, design_.exStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace belavo::win32

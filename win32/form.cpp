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
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // follows the system's colours
    windowClass.lpszClassName = design.className;
    // No window can be made without its class: say so rather than end in silence.
    if (!RegisterClassExW(&windowClass)) reportUnexpectedFailure(nullptr, design.failureTitle);
}

RECT workAreaOf(HMONITOR monitor) noexcept {
    MONITORINFO info{sizeof info, {}, {}, 0};
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

// Where a window `size` long starts on an axis of the work area from `low` to
// `high` when it wants to start at `wanted`: on it, and its start on it when it
// cannot fit.
LONG within(LONG wanted, LONG size, LONG low, LONG high) noexcept {
    return std::max(low, std::min(wanted, high - size));
}

// Paints the whole window afresh, backgrounds first: a group box leaves
// whatever its inside showed before.
void redraw(HWND window) noexcept {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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

// The window's rectangle at `dpi` and the text size now set, centred over
// `owner` or the work area.
RECT Form::placeFor(HWND owner, UINT dpi) const noexcept {
    const RECT area = workAreaOf(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY));
    const SIZE size = windowSizeFor(layoutDpiFor(dpi, area), dpi);
    RECT centre = area;
    if (owner) GetWindowRect(owner, &centre);
    const LONG left = within((centre.left + centre.right - size.cx) / 2, size.cx, area.left, area.right);
    const LONG top = within((centre.top + centre.bottom - size.cy) / 2, size.cy, area.top, area.bottom);
    return {left, top, left + size.cx, top + size.cy};
}

void Form::build(HWND window) {
    if (design_.menuBar) SetMenu(window, design_.menuBar());
    dpi_ = dpiOf(window);
    layoutDpi_ = layoutDpiFor(dpi_, workAreaOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)));
    controls_.emplace(window, design_.controls, japaneseUiFont96(), layoutDpi_);
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
        if (HBRUSH brush =
                controls_->colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_ACTIVATE: onActivate(window, LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_GETDPISCALEDSIZE: {
        // The work area of the monitor it leaves stands in for the one it goes to.
        const UINT dpi = static_cast<UINT>(wParam);
        const RECT area = workAreaOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
        *reinterpret_cast<SIZE*>(lParam) = windowSizeFor(layoutDpiFor(dpi, area), dpi);
        return TRUE;
    }
    case WM_DPICHANGED: relayout(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_SYSCOLORCHANGE:
        // Common controls hear of new colours only from their window.
        for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            SendMessageW(control, WM_SYSCOLORCHANGE, wParam, lParam);
        }
        recolour(window);
        break;
    case WM_SETTINGCHANGE: followSettings(window); break;
    }
    return std::nullopt;
}

// The system's colours or the contrast theme changed.
void Form::recolour(HWND window) {
    if (controls_ && controls_->recolour()) redraw(window);
}

// The contrast theme, the text size or the work area may have changed: the
// window follows them where it is.
void Form::followSettings(HWND window) {
    if (!controls_) return;
    recolour(window);
    RECT place;
    GetWindowRect(window, &place);
    relayout(window, dpi_, place);
}

// Sizes and lays the window out for `dpi` and the text size now set, its
// top-left corner where `place` has it unless the work area there asks to move
// it. The controls stay, and with them what they show and the focus.
void Form::relayout(HWND window, UINT dpi, const RECT& place) {
    const RECT area = workAreaOf(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST));
    const UINT layoutDpi = layoutDpiFor(dpi, area);
    const SIZE size = windowSizeFor(layoutDpi, dpi);
    SetWindowPos(window, nullptr, within(place.left, size.cx, area.left, area.right),
                 within(place.top, size.cy, area.top, area.bottom), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (controls_ && layoutDpi != layoutDpi_) {
        controls_->layout(layoutDpi);
        redraw(window);
    }
    dpi_ = dpi;
    layoutDpi_ = layoutDpi;
}

// The DPI times the text size, or as much of that as lets the whole window fit
// the work area; never less than the DPI itself.
UINT Form::layoutDpiFor(UINT dpi, const RECT& workArea) const noexcept {
    const SIZE frame = windowSizeFor(0, dpi);
    const auto fit = [](LONG room, int twips) {
        return static_cast<UINT>(std::max(room, 0L) * kTwipsPerInch / twips);
    };
    const UINT fits = std::min(fit(workArea.right - workArea.left - frame.cx, design_.clientWidth),
                               fit(workArea.bottom - workArea.top - frame.cy, design_.clientHeight));
    return std::max(dpi, std::min(static_cast<UINT>(MulDiv(dpi, textScalePercent(), 100)), fits));
}

// The client area laid out for `layoutDpi` in the frame Windows draws at `dpi`.
SIZE Form::windowSizeFor(UINT layoutDpi, UINT dpi) const noexcept {
    RECT rect{0, 0, twipsToPixels(design_.clientWidth, layoutDpi),
              twipsToPixels(design_.clientHeight, layoutDpi)};
    AdjustWindowRectExForDpi(&rect, design_.style, design_.menuBar != nullptr, design_.exStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace belavo::win32

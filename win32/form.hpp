#pragma once
// What every top-level window of the program shares: a window class of its
// own, a client area designed in twips, controls built from a table and laid
// out for the window's DPI times the user's text size, their colours (the
// system's in a contrast theme), and the focus given back when the window is
// activated again.
#include <windows.h>

#include <optional>
#include <span>

#include "control_table.hpp"
#include "dpi.hpp"

namespace belavo::win32 {

struct FormDesign {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int clientWidth;   // twips
    int clientHeight;  // twips
    std::span<const ControlSpec> controls;
    int firstFocus;               // the control with the focus when the window is first activated
    int classIcon;                // icon resource of the window class; 0 for none
    HMENU (*menuBar)();           // makes the window's menu bar; null for none
    const wchar_t* failureTitle;  // the title of the report when the window cannot be made
};

class Form {
public:
    explicit Form(const FormDesign& design) noexcept : design_(design) {}

    // Registers the window class on first use and creates the window centred
    // over `owner` (the work area when null), keeping it on that screen;
    // `creator` is handed to WM_NCCREATE. Null when creation failed.
    HWND create(WNDPROC procedure, void* creator, const wchar_t* caption, HWND owner) const;

    // WM_CREATE: gives the window its menu bar, which it owns from then on
    // (a window that fails to build takes it along), and builds the controls
    // for the window's DPI.
    void build(HWND window);

    // WM_NCDESTROY: the controls are gone, and so are their fonts and brushes.
    void release() noexcept;

    // Answers the messages that every form answers alike: colours, activation,
    // DPI and setting changes. Nothing for the others.
    std::optional<LRESULT> handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT dpi() const noexcept { return dpi_; }
    // The DPI the window is laid out for: its DPI times the text size, as far
    // as the window fits its monitor's work area.
    UINT layoutDpi() const noexcept { return layoutDpi_; }

private:
    UINT layoutDpiFor(UINT dpi, const RECT& workArea) const noexcept;
    SIZE windowSizeFor(UINT layoutDpi, UINT dpi) const noexcept;
    void relayout(HWND window, UINT dpi, const RECT& place);
    void recolour(HWND window);
    void followSettings(HWND window);
    RECT placeFor(HWND owner, UINT dpi) const noexcept;
    void onActivate(HWND window, bool active) noexcept;

    FormDesign design_;
    std::optional<ControlSet> controls_;
    HWND savedFocus_ = nullptr;
    UINT dpi_ = kDefaultDpi, layoutDpi_ = kDefaultDpi;
};

}  // namespace belavo::win32

#pragma once
// A window as a C++ object: one static window procedure picks up `this` at
// WM_NCCREATE and forwards every message to Derived::handleMessage. No
// exception ever unwinds through user32: it is reported under the title
// Derived::failureReportTitle() gives, and a window that fails while it is
// being created is not created at all.
#include <windows.h>

namespace belavo::win32 {

// Tells the user that something unexpected failed.
void reportUnexpectedFailure(HWND owner, const wchar_t* title) noexcept;

template <class Derived>
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND hwnd() const noexcept { return hwnd_; }

protected:
    ~BaseWindow() {
        if (hwnd_) {
            // The object is going away: the window's last messages go to the default procedure.
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
    }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        // Messages such as WM_GETMINMAXINFO arrive before WM_NCCREATE.
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

        LRESULT result = 0;
        try {
            result = self->handleMessage(message, wParam, lParam);
        } catch (...) {
            const bool creating = message == WM_CREATE;
            reportUnexpectedFailure(creating ? nullptr : hwnd, Derived::failureReportTitle());
            // -1 makes CreateWindowEx destroy the window and return null: no
            // code ever runs on a window without its controls.
            if (creating) result = -1;
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
};

}  // namespace belavo::win32

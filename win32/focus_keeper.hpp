#pragma once
#include <windows.h>

namespace belavo::win32 {

// Like a dialog, a window gives the focus back to the control that had it
// when it is activated again; the first time, to `firstFocus`.
class FocusKeeper {
public:
    void onActivate(HWND window, bool active, HWND firstFocus) noexcept {
        if (!active) {
            const HWND focus = GetFocus();
            if (focus && IsChild(window, focus)) saved_ = focus;
            return;
        }
        SetFocus(saved_ && IsWindow(saved_) ? saved_ : firstFocus);
    }
    void forget() noexcept { saved_ = nullptr; }

private:
    HWND saved_ = nullptr;
};

}  // namespace belavo::win32

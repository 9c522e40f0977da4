#pragma once
// Drives a running Belavo.exe from another process the way a person does:
// windows found by class and process, texts read with WM_GETTEXT, keys and
// clicks sent as real input to the foreground window.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

namespace belavo::test {

// The built Belavo.exe: the BELAVO_EXE environment variable (a Linux path is
// taken as one on Wine's Z: drive).
std::wstring belavoExe();

// Polls `condition` every few milliseconds until it holds or `timeoutMs` passed.
template <class Condition>
bool waitUntil(Condition condition, DWORD timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > end) return false;
        Sleep(10);
    }
    return true;
}

class AppProcess {
public:
    explicit AppProcess(const std::wstring& exe = belavoExe());
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    HWND mainWindow() const noexcept { return mainWindow_; }
    HWND control(int id) const noexcept { return GetDlgItem(mainWindow_, id); }
    DWORD id() const noexcept { return info_.dwProcessId; }
    bool waitForExit(DWORD timeoutMs = 5000) const noexcept;
    bool running() const noexcept { return !waitForExit(0); }

private:
    PROCESS_INFORMATION info_{};
    HWND mainWindow_ = nullptr;
};

// A top-level window of process `processId` with that class (and title, if given).
HWND findWindowOf(DWORD processId, const wchar_t* className, const wchar_t* title = nullptr);

std::wstring textOf(HWND window);
// The window with the keyboard focus in the thread that owns `window`.
HWND focusIn(HWND window);

// Makes `window` the foreground window so that real input reaches it.
void bringToFront(HWND window);
// Presses the keys in order, then releases them in reverse: {VK_MENU, 'C'} is Alt+C.
void pressKeys(std::initializer_list<WORD> keys);
// Types text as the keyboard would deliver it (Unicode key events).
void typeText(const std::wstring& text);
// Replaces an entry field's text by selecting all of it and typing over it.
void typeInto(HWND entry, const std::wstring& text);
// A left click at a point of the screen, in the middle of `window`, or on
// the close box of `window`'s title bar.
void clickAt(POINT point);
void click(HWND window);
void clickCloseBox(HWND window);
// Clicks until `done` holds (a click under Wine's virtual desktop is now and
// then lost while the pointer is still on its way); false if it never does.
bool clickUntil(HWND window, const std::function<bool()>& done, int tries = 3);

struct MessageBoxSeen {
    HWND window;
    std::wstring title;
    std::wstring text;
};
// Waits for a message box (dialog class #32770) of `processId` and reads it.
std::optional<MessageBoxSeen> waitForMessageBox(DWORD processId, DWORD timeoutMs = 5000);
// Presses the message box's OK button.
void pressOk(HWND messageBox);

}  // namespace belavo::test

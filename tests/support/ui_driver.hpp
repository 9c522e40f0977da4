#pragma once
// Drives a running Belavo.exe from another process as a person does: windows, texts, real key presses.
#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "main_window_ids.hpp"

namespace belavo::test {

inline std::wstring windowsPath(const wchar_t* path) {
    return (path[0] == L'/' ? L"Z:" : L"") + std::wstring(path);
}
std::wstring belavoExe();  // BELAVO_EXE, a Linux path taken as one on Wine's Z: drive (windowsPath)

template <class Condition>
bool waitUntil(Condition condition, DWORD timeoutMs = 5000, DWORD pollMs = 10) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition() && GetTickCount64() <= end) Sleep(pollMs);
    return condition();
}

// A started program, up once a visible window of `windowClass` belongs to it; ended by force unless it has
// ended.
class AppProcess {
public:
    explicit AppProcess(const std::wstring& exe = belavoExe(),
                        const wchar_t* windowClass = ui::kMainWindowClass);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;
    HWND mainWindow() const noexcept { return mainWindow_; }
    HWND control(int id) const noexcept { return GetDlgItem(mainWindow_, id); }
    DWORD id() const noexcept { return info_.dwProcessId; }
    HANDLE handle() const noexcept { return info_.hProcess; }
    bool waitForExit(DWORD timeoutMs = 5000) const noexcept {
        return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }
    bool running() const noexcept { return !waitForExit(0); }

private:
    PROCESS_INFORMATION info_{};
    HWND mainWindow_ = nullptr;
};

HWND findWindowOf(DWORD processId, const wchar_t* className);  // a visible top-level window of the process
std::wstring textOf(HWND window);
std::vector<std::wstring> textsOf(HWND window, std::initializer_list<int> ids);  // its controls'
HWND focusIn(HWND window);  // the focus in the thread that owns `window`

void bringToFront(HWND window);                 // real input goes to the foreground window
void pressKeys(const std::vector<WORD>& keys);  // {VK_MENU, 'C'} is Alt+C: down in order, up in reverse

struct MessageBoxSeen {
    HWND window, owner;
    std::wstring title, text;
};
std::optional<MessageBoxSeen> waitForMessageBox(DWORD processId, DWORD timeoutMs = 5000);
void pressOk(HWND messageBox);

int liveGdiObjects(DWORD processId);  // under Wine as well as on Windows

// The rows of a UTF-8 table in tests/expected, split at tabs: \r and \n stand for CR and LF, a line that
// ends in a backslash goes on on the next, and lines that begin with # are left out.
std::vector<std::vector<std::wstring>> expectedTable(const char* file);
// The text that texts.tsv gives `where` (a window, a table or a report) for `name`.
std::wstring designedText(std::wstring_view where, std::wstring_view name);

}  // namespace belavo::test

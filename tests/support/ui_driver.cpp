#include "ui_driver.hpp"

#include <stdexcept>
#include <vector>

namespace belavo::test {
namespace {

constexpr wchar_t kMainWindowClass[] = L"BelavoForm1";
constexpr wchar_t kDialogClass[] = L"#32770";

struct WindowQuery {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto& query = *reinterpret_cast<WindowQuery*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != query.processId || !IsWindowVisible(window)) return TRUE;
    wchar_t className[64]{};
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, query.className) != 0) return TRUE;
    if (query.title && textOf(window) != query.title) return TRUE;
    query.found = window;
    return FALSE;
}

void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(30);  // let the target's thread take the input in
}

INPUT key(WORD virtualKey, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

std::wstring belavoExe() {
    wchar_t path[MAX_PATH]{};
    if (!GetEnvironmentVariableW(L"BELAVO_EXE", path, MAX_PATH)) throw std::runtime_error("BELAVO_EXE is not set");
    std::wstring exe = path;
    if (!exe.empty() && exe[0] == L'/') exe = L"Z:" + exe;
    for (wchar_t& c : exe) {
        if (c == L'/') c = L'\\';
    }
    return exe;
}

AppProcess::AppProcess(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_)) {
        throw std::runtime_error("cannot start Belavo.exe");
    }
    WaitForInputIdle(info_.hProcess, 10000);
    // On the first start into a new desktop WaitForInputIdle can return early.
    waitUntil([&] { return (mainWindow_ = findWindowOf(id(), kMainWindowClass)) != nullptr; }, 15000);
    if (!mainWindow_) throw std::runtime_error("Belavo.exe showed no main window");
}

AppProcess::~AppProcess() {
    if (running()) {
        TerminateProcess(info_.hProcess, 1);
        waitForExit(5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool AppProcess::waitForExit(DWORD timeoutMs) const noexcept {
    return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

HWND findWindowOf(DWORD processId, const wchar_t* className, const wchar_t* title) {
    WindowQuery query{processId, className, title, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

std::wstring textOf(HWND window) {
    // Across processes only WM_GETTEXT reads the current text of a control.
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        2000, &copied);
    text.resize(copied);
    return text;
}

HWND focusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void bringToFront(HWND window) {
    SetForegroundWindow(window);
    waitUntil([&] { return GetForegroundWindow() == window; }, 2000);
    Sleep(50);
}

void pressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD k : keys) inputs.push_back(key(k, false));
    for (auto k = std::rbegin(keys); k != std::rend(keys); ++k) inputs.push_back(key(*k, true));
    send(inputs);
}

void typeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        for (bool release : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (release ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    send(inputs);
}

void typeInto(HWND entry, const std::wstring& text) {
    clickUntil(entry, [&] { return focusIn(entry) == entry; });
    // Selected with keys, which queue behind the click; a sent EM_SETSEL
    // would overtake it and the click would undo the selection.
    pressKeys({VK_END});
    pressKeys({VK_SHIFT, VK_HOME});
    if (text.empty()) {
        pressKeys({VK_DELETE});
    } else {
        typeText(text);
    }
    waitUntil([&] { return textOf(entry) == text; }, 5000);
}

namespace {

INPUT mouseInput(POINT point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

bool pointerAt(POINT point) {
    POINT now{};
    GetCursorPos(&now);
    return now.x == point.x && now.y == point.y;
}

}  // namespace

// Wine can still be catching up with an earlier pointer position when the
// button goes down: the press waits until the pointer has stayed put, and
// the press and release carry the position themselves as well.
void clickAt(POINT point) {
    INPUT move = mouseInput(point, MOUSEEVENTF_MOVE);
    for (int attempt = 0; attempt < 5; ++attempt) {
        SendInput(1, &move, sizeof move);
        if (waitUntil([&] { return pointerAt(point); }, 500)) {
            Sleep(100);
            if (pointerAt(point)) break;
        }
    }
    send({mouseInput(point, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN),
          mouseInput(point, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP)});
}

void click(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    clickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void clickCloseBox(HWND window) {
    RECT frame;
    GetWindowRect(window, &frame);
    // The close box is the rightmost part of the title bar that answers HTCLOSE.
    for (int y = frame.top; y < frame.top + 60 && y < frame.bottom; ++y) {
        for (int x = frame.right - 1; x > frame.right - 80; --x) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit);
            if (hit == HTCLOSE) {
                clickAt({x - 4, y + 4});
                return;
            }
        }
    }
}

bool clickUntil(HWND window, const std::function<bool()>& done, int tries) {
    for (int attempt = 0; attempt < tries; ++attempt) {
        click(window);
        if (waitUntil(done, 1500)) return true;
    }
    return false;
}

std::optional<MessageBoxSeen> waitForMessageBox(DWORD processId, DWORD timeoutMs) {
    HWND box = nullptr;
    if (!waitUntil([&] { return (box = findWindowOf(processId, kDialogClass)) != nullptr; }, timeoutMs)) {
        return std::nullopt;
    }
    Sleep(50);  // the box fills its texts right after it appears
    return MessageBoxSeen{box, textOf(box), textOf(GetDlgItem(box, 0xFFFF))};
}

void pressOk(HWND messageBox) {
    const HWND owner = GetWindow(messageBox, GW_OWNER);
    // A button takes a click only in the active window (it needs the capture).
    bringToFront(messageBox);
    SendMessageTimeoutW(GetDlgItem(messageBox, IDOK), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    waitUntil([&] { return !IsWindow(messageBox); }, 3000);
    // Input goes astray until the owner is active again.
    if (owner) waitUntil([&] { return GetForegroundWindow() == owner; }, 3000);
    Sleep(50);
}

}  // namespace belavo::test

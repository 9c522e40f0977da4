#include "ui_driver.hpp"

#include <winternl.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace belavo::test {

std::wstring belavoExe() {
    if (const wchar_t* path = _wgetenv(L"BELAVO_EXE")) return windowsPath(path);
    throw std::runtime_error("BELAVO_EXE is not set");
}

AppProcess::AppProcess(const std::wstring& exe, const wchar_t* windowClass) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info_)) {
        throw std::runtime_error("cannot start the program: error " + std::to_string(GetLastError()));
    }
    // On the first start into a new desktop WaitForInputIdle can return early. Polled every ms: benchmarks
    // time it.
    WaitForInputIdle(info_.hProcess, 10000);
    waitUntil([&] { return (mainWindow_ = findWindowOf(id(), windowClass)) != nullptr; }, 15000, 1);
    if (!mainWindow_) throw std::runtime_error("the program showed no main window");
}

AppProcess::~AppProcess() {
    if (running()) TerminateProcess(info_.hProcess, 1), waitForExit();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND findWindowOf(DWORD processId, const wchar_t* className) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// Across processes only WM_GETTEXT reads the current text of a control.
std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), LPARAM(text.data()))));
    return text;
}

std::vector<std::wstring> textsOf(HWND window, std::initializer_list<int> ids) {
    std::vector<std::wstring> texts;
    for (int id : ids) texts.push_back(textOf(GetDlgItem(window, id)));
    return texts;
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

void pressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs(2 * keys.size(), INPUT{INPUT_KEYBOARD, {}});
    for (std::size_t down = 0, up = inputs.size() - 1; down < keys.size(); ++down, --up) {
        inputs[down].ki.wVk = inputs[up].ki.wVk = keys[down];
        inputs[up].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(30);  // let the target's thread take the input in
}

// A message box is a dialog (#32770); its text is the static with id 0xFFFF.
std::optional<MessageBoxSeen> waitForMessageBox(DWORD processId, DWORD timeoutMs) {
    HWND box = nullptr;
    if (!waitUntil([&] { return (box = findWindowOf(processId, L"#32770")) != nullptr; }, timeoutMs))
        return {};
    Sleep(50);  // the box fills its texts right after it appears
    return MessageBoxSeen{box, GetWindow(box, GW_OWNER), textOf(box), textOf(GetDlgItem(box, 0xFFFF))};
}

// A button takes a click only in the active window, and input goes astray until the owner is active again.
void pressOk(HWND messageBox) {
    const HWND owner = GetWindow(messageBox, GW_OWNER);
    bringToFront(messageBox);
    SendMessageW(GetDlgItem(messageBox, IDOK), BM_CLICK, 0, 0);
    waitUntil([&] { return !IsWindow(messageBox); }, 3000);
    if (owner) waitUntil([&] { return GetForegroundWindow() == owner; }, 3000);
    Sleep(50);
}

// GetGuiResources reads 0 under Wine: there the PEB's GDI handle table has 0x10000 entries of 24 bytes, live
// at 14.
int liveGdiObjects(DWORD processId) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    int count = static_cast<int>(GetGuiResources(process, GR_GDIOBJECTS));
    PROCESS_BASIC_INFORMATION basic{};
    const void* table = nullptr;
    if (count == 0 &&
        NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) == 0 &&
        ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + 0xF8, &table,
                          sizeof table, nullptr)) {
        std::vector<unsigned char> entries(0x10000 * 24);
        ReadProcessMemory(process, table, entries.data(), entries.size(), nullptr);
        for (std::size_t entry = 0; entry < 0x10000; ++entry) count += entries[entry * 24 + 14] != 0;
    }
    CloseHandle(process);
    return count;
}

std::vector<std::vector<std::wstring>> expectedTable(const char* file) {
    std::ifstream in(std::filesystem::path(windowsPath(L"" BELAVO_EXPECTED)) / file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::wstring text(bytes.size(), L'\0');
    const int size = static_cast<int>(bytes.size());
    text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, text.data(), size));
    std::vector<std::vector<std::wstring>> rows;
    std::wistringstream lines(std::regex_replace(text, std::wregex(L"\\\\\n"), L""));
    for (std::wstring line; std::getline(lines, line);) {
        if (line.empty() || line[0] == L'#') continue;
        line = std::regex_replace(line, std::wregex(L"\\\\r"), L"\r");
        line = std::regex_replace(line, std::wregex(L"\\\\n"), L"\n");
        std::vector<std::wstring>& row = rows.emplace_back();
        for (std::wistringstream fields(line); std::getline(fields, row.emplace_back(), L'\t');) {
        }
        row.pop_back();
    }
    if (rows.empty()) throw std::runtime_error(std::string("no rows in ") + file);
    return rows;
}

std::wstring designedText(std::wstring_view where, std::wstring_view name) {
    static const auto rows = expectedTable("texts.tsv");
    for (const auto& row : rows) {
        if (row.size() == 3 && row[0] == where && row[1] == name) return row[2];
    }
    throw std::out_of_range("texts.tsv gives no text for this");
}

}  // namespace belavo::test

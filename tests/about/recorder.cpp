// Stands in for a browser, a mail program or the system information viewer:
// appends one line about how it was started to the file named by
// BELAVO_RECORDER_LOG, then exits. A line holds, separated by tabs, the
// program's own path, its whole command line, its first argument and the
// window style it was asked for (-1: none).
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), bytes, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

std::wstring firstArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring first = arguments && count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    return first;
}

int requestedShow() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t log[MAX_PATH]{};
    if (!GetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log, MAX_PATH)) return 2;
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string line = utf8(self) + "\t" + utf8(GetCommandLineW()) + "\t" + utf8(firstArgument()) + "\t" +
                             std::to_string(requestedShow()) + "\n";
    const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}

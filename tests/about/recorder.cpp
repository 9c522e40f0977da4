// Stands in for a browser or the system information viewer: appends one line,
// "own path<TAB>whole command line", in UTF-16 to the file named by
// BELAVO_RECORDER_LOG, then exits.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t log[MAX_PATH]{}, self[MAX_PATH]{};
    GetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log, MAX_PATH);
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring line = std::wstring(self) + L"\t" + GetCommandLineW() + L"\n";
    const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    return CloseHandle(file) ? 0 : 1;  // 1 when the log could not be opened
}

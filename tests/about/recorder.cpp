// Stands in for a browser or the system information viewer: appends one line, "own path<TAB>whole command
// line", in UTF-16 to the file named by BELAVO_RECORDER_LOG, then exits.
#include <windows.h>

#include <fstream>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t log[MAX_PATH]{}, self[MAX_PATH]{};
    GetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log, MAX_PATH);
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring line = std::wstring(self) + L"\t" + GetCommandLineW() + L"\n";
    std::ofstream(log, std::ios::binary | std::ios::app)
        .write(reinterpret_cast<const char*>(line.data()), line.size() * sizeof(wchar_t));
    return 0;
}

// Reports on a running Belavo for scripts that drive it from outside Wine.
//   probe wait          waits for the main window; exit 0 when it is there
//   probe text <id>     prints a control's text (UTF-8)
//   probe foreground    makes the main window the foreground window
#include <windows.h>

#include <cstdio>
#include <string>

#include "ui_driver.hpp"

namespace {

HWND mainWindow() { return FindWindowW(L"BelavoForm1", nullptr); }

std::string utf8(const std::wstring& text) {
    std::string bytes(static_cast<size_t>(text.size()) * 4, '\0');
    bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                         bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                         nullptr)));
    return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"wait") return belavo::test::waitUntil([] { return mainWindow() != nullptr; }, 20000) ? 0 : 1;
    const HWND window = mainWindow();
    if (!window) return 2;
    if (command == L"text" && argc > 2) {
        std::printf("%s\n", utf8(belavo::test::textOf(GetDlgItem(window, _wtoi(argv[2])))).c_str());
        return 0;
    }
    if (command == L"foreground") {
        belavo::test::bringToFront(window);
        return 0;
    }
    return 3;
}

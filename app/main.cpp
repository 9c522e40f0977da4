// Start-up: the main window, then the event loop until the window is closed.
// No command line, environment or setting is read.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "main_window.hpp"

namespace {

// COM for this thread, as ShellExecute asks of its callers: a shell extension
// it hands the address to may be a COM object.
class ComApartment {
public:
    ComApartment() noexcept
        : initialised_(
              SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    // Users start Belavo from a Downloads folder: a DLL someone put there must
    // never be loaded, by this program or by the shell and controls it uses.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    const ComApartment com;

    SetThreadUILanguage(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    belavo::ui::MainWindow window;
    if (!window.hwnd()) return 1;
    window.show(showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.handleDialogKeys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

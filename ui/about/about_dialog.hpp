#pragma once
// frmAbout: the application's version dialog, with its openers and the
// system information launcher. One handler method per handled event, named
// after its control and event.
#include <windows.h>

#include <optional>
#include <string>

#include "app_identity.hpp"
#include "base_window.hpp"
#include "form.hpp"
#include "handles.hpp"

namespace belavo::ui {

// Opens the application's About dialog modally over `owner` and returns when
// it has been closed.
void showAboutDialog(HWND owner);

class AboutDialog : public win32::BaseWindow<AboutDialog> {
public:
    AboutDialog() noexcept : form_(design()) {}

    // Builds the window afresh, runs Form_Load, and shows it modally over
    // `owner` until it is unloaded.
    void showModal(HWND owner);

    // Starts the system information viewer found through the registry, or
    // tells the user that it could not be opened.
    void StartSysInfo();

    // Reads one registry value as ANSI text: true when the key opened and the
    // value was read. Text values give their text, double words their decimal
    // value; other kinds leave `keyVal` as it was. On false `keyVal` is empty.
    // A value without any data throws std::invalid_argument.
    static bool GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName,
                            std::string& keyVal);

    static const wchar_t* failureReportTitle() noexcept { return design().failureTitle; }

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Form_Load();
    void cmdOK_Click();
    void Command1_Click();
    void Command2_Click();
    void cmdSysInfo_Click();

    // The dialog's class, frame, size and controls, as designed.
    static const win32::FormDesign& design() noexcept;

    void load(HWND owner);
    void unload();
    std::optional<WPARAM> runModalLoop();
    void onCreate();
    void onCommand(int id, int notification);
    void onNcDestroy();
    void showIcons();
    HWND control(int id) const noexcept { return GetDlgItem(hwnd_, id); }

    win32::Form form_;
    HWND owner_ = nullptr;
    win32::UniqueIcon bigIcon_, smallIcon_, picture_;
};

}  // namespace belavo::ui

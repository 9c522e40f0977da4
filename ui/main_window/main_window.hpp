#pragma once
// Form1: the main window with the entry fields, the result display, the
// buttons and the menu bar. One handler method per handled event, named after
// its control and event.
#include <windows.h>

#include "app_identity.hpp"
#include "assessment.hpp"
#include "base_window.hpp"
#include "form.hpp"
#include "main_window_ids.hpp"

namespace belavo::ui {

class MainWindow : public win32::BaseWindow<MainWindow> {
public:
    // Creates the window, centred and hidden, with every control in its
    // design-time state; hwnd() is null when it could not be created.
    MainWindow();

    void show(int showCommand) noexcept;

    // Tab, Shift+Tab and the access keys of the buttons; true when `message` was consumed.
    bool handleDialogKeys(MSG& message) noexcept;

    static const wchar_t* failureReportTitle() noexcept { return design().failureTitle; }

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Command1_Click();
    void Command2_Click();
    void endb_Click();
    void verb_Click();
    void Label10_Click();
    void Text1_Change();
    void Text2_Change();
    void Text1_GotFocus();
    void Text2_GotFocus();

    // The window's class, frame, size and controls, as designed.
    static const win32::FormDesign& design() noexcept;

    void onCommand(int id, int notification);
    void reportCheckError(const RunError& error);
    HWND control(int id) const noexcept { return GetDlgItem(hwnd_, id); }

    win32::Form form_;
    AssessmentResult result_;
};

}  // namespace belavo::ui

#pragma once
// Form1: the main window with the entry fields, the result display, the
// buttons and the menu bar. One handler method per handled event, named after
// its control and event.
#include <windows.h>

#include <optional>
#include <span>

#include "assessment.hpp"
#include "base_window.hpp"
#include "control_table.hpp"
#include "focus_keeper.hpp"
#include "main_window_ids.hpp"

namespace belavo::ui {

class MainWindow : public win32::BaseWindow<MainWindow> {
public:
    // Creates the window, centred and hidden, with every control in its design-time state.
    explicit MainWindow(HINSTANCE instance);

    void show(int showCommand) noexcept;

    // Tab, Shift+Tab and the access keys of the buttons; true when `message` was consumed.
    bool handleDialogKeys(MSG& message) noexcept;

    const AssessmentResult& lastResult() const noexcept { return result_; }

    static std::span<const win32::ControlSpec> controlTable() noexcept;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Command1_Click();
    void Command2_Click();
    void endb_Click();
    void verb_Click();
    void Label10_Click();
    void Text1_Change();
    void Text2_Change();

    void onCreate();
    void onCommand(int id, int notification);
    void onDpiChanged(UINT dpi, const RECT& suggested);
    SIZE windowSizeFor(UINT dpi) const noexcept;
    void reportCheckError(const RunError& error);
    HWND control(int id) const noexcept { return GetDlgItem(hwnd_, id); }

    std::optional<win32::ControlSet> controls_;
    AssessmentResult result_;
    win32::FocusKeeper focus_;
};

}  // namespace belavo::ui

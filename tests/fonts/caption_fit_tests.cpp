// Every caption of both windows measured with its control's own font against the control's client
// area, as built and after a move to a 150% monitor. CTest runs it once per font profile: the test
// session's prefix and its copies that have the fonts of other PCs (scripts/wine-profiles).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "main_window.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

// Each control shows its whole caption: its lines at the client width (single-line captions and
// buttons by their width), an entry field its line; `advice` may cut a long advice after four whole lines.
void expectCaptionsFit(HWND window, UINT dpi, int advice) {
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::wstring text = textOf(control);
        if (text.empty()) continue;
        wchar_t kind[16]{};
        GetClassNameW(control, kind, 16);
        const bool label = !lstrcmpiW(kind, L"Static"), edit = !lstrcmpiW(kind, L"Edit");
        const bool wraps = label && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
        RECT client, needed;
        GetClientRect(control, &client);
        needed = client;
        const HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        wchar_t face[LF_FACESIZE]{};
        GetTextFaceW(dc, LF_FACESIZE, face);
        DrawTextW(dc, text.c_str(), -1, &needed,
                  DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (label ? DT_NOPREFIX : 0));
        ReleaseDC(control, dc);
        if (edit || GetDlgCtrlID(control) == advice) {
            needed.right = 0;
            needed.bottom = metrics.tmHeight * (edit ? 1 : 4);
        }
        const std::string trace = "control " + std::to_string(GetDlgCtrlID(control)) + " at " + std::to_string(dpi) +
                                  " DPI, " + testing::PrintToString(std::wstring(face)) + " lines of " +
                                  std::to_string(metrics.tmHeight) + " px: " + testing::PrintToString(text);
        EXPECT_LE(needed.right, client.right) << trace;
        EXPECT_LE(needed.bottom, client.bottom) << trace;
    }
}

// Both windows at 96 DPI, then after WM_DPICHANGED to 144, as on a move to a 150% monitor.
void expectCaptionsFitAtBothScales(HWND window, int advice = 0) {
    expectCaptionsFit(window, 96, advice);
    RECT place;
    GetWindowRect(window, &place);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&place));
    expectCaptionsFit(window, 144, advice);
}

TEST(CaptionFit, EveryCaptionShowsWholeInBothWindows) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") || !prefix ||
        !std::filesystem::exists(std::string("Z:") + prefix + "/.belavo-ready"))
        GTEST_SKIP() << "fonts are measured only in the throwaway Wine prefixes of the test session";
    ui::MainWindow main;
    expectCaptionsFitAtBothScales(main.hwnd(), ui::Label9);
    std::thread helper([&] {
        HWND about = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (about = findWindowOf(GetCurrentProcessId(), ui::about::kAboutDialogClass)); }));
        expectCaptionsFitAtBothScales(about);
        PostMessageW(about, WM_COMMAND, MAKEWPARAM(ui::about::cmdOK, BN_CLICKED), 0);
    });
    ui::showAboutDialog(main.hwnd());
    helper.join();
}

}  // namespace
}  // namespace belavo::test

// Every caption of both windows measured with its control's own font against its client area, as
// built and after a move to a 150% monitor. CTest runs this under each font profile: the session's
// prefix and its copies with the fonts of other PCs (scripts/wine-profiles).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "main_window.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

// At 96 DPI and after WM_DPICHANGED to 144, each control shows its whole caption: its lines at the client
// width (single-line captions and buttons by their width), an entry field its font's line; `advice` four.
void expectCaptionsFit(HWND window, int advice = 0) {
    for (const UINT dpi : {96, 144}) {
        RECT place;
        GetWindowRect(window, &place);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
        for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            const std::wstring text = textOf(control);
            wchar_t kind[8]{};
            GetClassNameW(control, kind, 8);
            const bool label = !lstrcmpiW(kind, L"Static"), edit = !lstrcmpiW(kind, L"Edit");
            const bool wraps = label && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
            RECT client, needed;
            GetClientRect(control, &client);
            needed = client;
            const HDC dc = GetDC(control);
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
            TEXTMETRICW font;
            GetTextMetricsW(dc, &font);
            DrawTextW(dc, text.c_str(), -1, &needed,
                      DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (label ? DT_NOPREFIX : 0));
            ReleaseDC(control, dc);
            if (edit || GetDlgCtrlID(control) == advice) needed = {0, 0, 0, font.tmHeight * (edit ? 1 : 4)};
            EXPECT_TRUE(text.empty() || (needed.right <= client.right && needed.bottom <= client.bottom))
                << "control " << GetDlgCtrlID(control) << " at " << dpi << " DPI needs " << needed.right << "x"
                << needed.bottom << " in " << client.right << "x" << client.bottom;
        }
    }
}

TEST(CaptionFit, EveryCaptionShowsWholeInBothWindows) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix || !std::filesystem::exists(std::string("Z:") + prefix + "/.belavo-ready"))
        GTEST_SKIP() << "fonts are measured only in the throwaway Wine prefixes of the test session";
    ui::MainWindow main;
    expectCaptionsFit(main.hwnd(), ui::Label9);
    std::thread helper([] {
        HWND about = nullptr;
        EXPECT_TRUE(waitUntil([&] { return (about = findWindowOf(GetCurrentProcessId(), ui::about::kAboutDialogClass)); }));
        expectCaptionsFit(about);
        PostMessageW(about, WM_COMMAND, MAKEWPARAM(ui::about::cmdOK, BN_CLICKED), 0);
    });
    ui::showAboutDialog(main.hwnd());
    helper.join();
}

}  // namespace
}  // namespace belavo::test

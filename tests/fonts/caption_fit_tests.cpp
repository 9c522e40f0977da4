// Every control of both windows drawn with its own font, and the menu bar with the menu font, as built and
// after a move to a 150% monitor. CTest runs this under each font profile: the session's prefix and its copies
// with the fonts of other PCs (scripts/wine-profiles).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "main_window.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

// The characters of `text` that `font` draws as Wine draws U+FFFF, the missing-glyph box: characters that no
// font of the prefix has, font links included.
std::wstring boxesIn(const std::wstring& text, HFONT font) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(64, 64, 1, 1, nullptr);
    SelectObject(dc, bitmap), SelectObject(dc, font);
    const auto picture = [&](wchar_t character) {
        PatBlt(dc, 0, 0, 64, 64, WHITENESS), TextOutW(dc, 0, 0, &character, 1);
        std::vector<BYTE> bits(64 * 64 / 8);
        GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
        return bits;
    };
    std::wstring boxes;
    const auto box = picture(0xFFFF);
    for (wchar_t c : text) if (c > L' ' && picture(c) == box) boxes += c;
    DeleteDC(dc), DeleteObject(bitmap);
    return boxes;
}

// At 96 DPI and after WM_DPICHANGED to 144: the menu bar's characters all drawn; and each control shows its whole
// caption in drawn characters: its lines at the client width (single-line captions and buttons by their width), an
// entry field its font's line, `advice` four. The move scales every place and font by 1.5 and frees the old fonts.
void expectCaptionsFit(HWND window, int advice = 0) {
    std::vector<std::pair<std::vector<long>, HFONT>> built;  // each control's place and font height, and its font
    for (const UINT dpi : {96, 144}) {
        RECT place;
        GetWindowRect(window, &place);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
        if (const HMENU menu = GetMenu(window)) {
            NONCLIENTMETRICSW metrics{};
            metrics.cbSize = sizeof metrics;
            SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
            const HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
            for (int item = 0; item < GetMenuItemCount(menu); ++item) {
                std::wstring caption(64, L'\0');
                caption.resize(GetMenuStringW(menu, item, caption.data(), 64, MF_BYPOSITION));
                EXPECT_EQ(boxesIn(caption, font), L"") << testing::PrintToString(caption) << " at " << dpi << " DPI";
            }
            DeleteObject(font);
        }
        std::size_t row = 0;
        for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT), ++row) {
            const std::wstring text = textOf(control);
            const int id = GetDlgCtrlID(control);
            const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
            LOGFONTW logFont{};
            GetObjectW(font, sizeof logFont, &logFont);
            GetWindowRect(control, &place);
            MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&place), 2);
            const std::vector<long> scaled{place.left, place.top, place.right, place.bottom, logFont.lfHeight};
            if (dpi == 96) built.emplace_back(scaled, font);
            for (std::size_t i = 0; dpi == 144 && i < scaled.size(); ++i) {
                EXPECT_NEAR(scaled[i], built[row].first[i] * 1.5, 1.5) << "control " << id << " not rescaled";
            }
            EXPECT_TRUE(dpi == 96 || !GetObjectType(built[row].second)) << "control " << id << "'s old font kept";
            wchar_t kind[8]{};
            GetClassNameW(control, kind, 8);
            const bool label = !lstrcmpiW(kind, L"Static"), edit = !lstrcmpiW(kind, L"Edit");
            const bool wraps = label && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
            RECT client, needed;
            GetClientRect(control, &client);
            needed = client;
            const HDC dc = GetDC(control);
            SelectObject(dc, font);
            TEXTMETRICW metrics;
            GetTextMetricsW(dc, &metrics);
            DrawTextW(dc, text.c_str(), -1, &needed,
                      DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (label ? DT_NOPREFIX : 0));
            ReleaseDC(control, dc);
            if (edit || id == advice) needed = {0, 0, 0, metrics.tmHeight * (edit ? 1 : 4)};
            EXPECT_TRUE(text.empty() || (needed.right <= client.right && needed.bottom <= client.bottom))
                << "control " << id << " at " << dpi << " DPI needs " << needed.right << "x" << needed.bottom
                << " in " << client.right << "x" << client.bottom;
            EXPECT_EQ(boxesIn(text, font), L"") << "control " << id << " at " << dpi << " DPI";
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

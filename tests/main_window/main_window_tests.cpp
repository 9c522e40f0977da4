// The main window and its About dialog in this process, where their fonts, menu, beeps and input contexts can be
// seen. CTest runs the caption test again in copies of the session's prefix with the fonts of other PCs
// (scripts/wine-profiles).
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "main_window.hpp"
#include "ui_driver.hpp"

// The real user32 function behind an import that this program replaces.
template <class Function>
static Function user32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32"), name)));
}
// The beep cannot be heard here: the window's calls of MessageBeep are counted instead. Windows refuses a class
// when its atoms run out, and a window when its handles do.
static int beeps = 0, staleMenuDestroys = 0;  // menus destroyed once too often
static bool refuseNextClass = false, refuseNextControl = false;
extern "C" {
decltype(&MessageBeep) __imp_MessageBeep = [](UINT) { return ++beeps, TRUE; };
decltype(&DestroyMenu) __imp_DestroyMenu = [](HMENU menu) {
    return staleMenuDestroys += !IsMenu(menu), user32<decltype(&DestroyMenu)>("DestroyMenu")(menu);
};
decltype(&RegisterClassExW) __imp_RegisterClassExW = [](const WNDCLASSEXW* c) {
    return std::exchange(refuseNextClass, false) ? ATOM{0} : user32<decltype(&RegisterClassExW)>("RegisterClassExW")(c);
};
decltype(&CreateWindowExW) __imp_CreateWindowExW = [](DWORD ex, auto name, auto caption, DWORD style, auto... rest) {
    if (style & WS_CHILD && std::exchange(refuseNextControl, false)) return HWND{};
    return user32<decltype(&CreateWindowExW)>("CreateWindowExW")(ex, name, caption, style, rest...);
};
}

namespace belavo::ui {
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
    for (const auto box = picture(0xFFFF); wchar_t c : text) if (c > L' ' && picture(c) == box) boxes += c;
    DeleteDC(dc), DeleteObject(bitmap);
    return boxes;
}

// At 96 DPI and after WM_DPICHANGED to 144: every character of the menu bar and of each caption drawn, and where the
// fonts are `measured`, each control shows its whole caption: its lines at the client width (single-line captions and
// buttons by their width), an entry field its font's line, `advice` four. The move scales every place and font by 1.5
// and frees the old fonts.
void expectCaptionsFit(HWND window, bool measured, int advice = 0) {
    std::vector<std::pair<std::vector<long>, HFONT>> at96;  // each control's place and font height, and its font
    for (const UINT dpi : {96, 144}) {
        RECT place;
        GetWindowRect(window, &place);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
        const HFONT menuFont = CreateFontIndirectW(&metrics.lfMenuFont);
        for (int item = 0; item < GetMenuItemCount(GetMenu(window)); ++item) {  // none in the About dialog
            std::wstring caption(64, L'\0');
            caption.resize(GetMenuStringW(GetMenu(window), item, caption.data(), 64, MF_BYPOSITION));
            EXPECT_EQ(boxesIn(caption, menuFont), L"") << testing::PrintToString(caption) << " at " << dpi << " DPI";
        }
        DeleteObject(menuFont);
        std::size_t row = 0;
        for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT), ++row) {
            const std::wstring text = test::textOf(control);
            const int id = GetDlgCtrlID(control);
            SCOPED_TRACE(testing::Message() << "control " << id << " at " << dpi << " DPI");
            const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
            LOGFONTW logFont{};
            GetObjectW(font, sizeof logFont, &logFont);
            GetWindowRect(control, &place);
            MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&place), 2);
            const std::vector<long> now{place.left, place.top, place.right, place.bottom, logFont.lfHeight};
            if (dpi == 96) at96.emplace_back(now, font);
            for (std::size_t k = 0; dpi > 96 && k < now.size(); ++k) EXPECT_NEAR(now[k], at96[row].first[k] * 1.5, 1.5);
            EXPECT_TRUE(dpi == 96 || !GetObjectType(at96[row].second)) << "the font of 96 DPI is kept";
            wchar_t kind[8]{};
            GetClassNameW(control, kind, 8);
            const bool label = !lstrcmpiW(kind, L"Static"), edit = !lstrcmpiW(kind, L"Edit");
            const bool wraps = label && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
            RECT client, needed;
            GetClientRect(control, &client);
            needed = client;
            const HDC dc = GetDC(control);
            SelectObject(dc, font);
            TEXTMETRICW line;
            GetTextMetricsW(dc, &line);
            DrawTextW(dc, text.c_str(), -1, &needed,
                      DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (label ? DT_NOPREFIX : 0));
            ReleaseDC(control, dc);
            if (edit || id == advice) needed = {0, 0, 0, line.tmHeight * (edit ? 1 : 4)};
            EXPECT_TRUE(!measured || text.empty() || (needed.right <= client.right && needed.bottom <= client.bottom))
                << needed.right << "x" << needed.bottom << " needed in " << client.right << "x" << client.bottom;
            EXPECT_EQ(boxesIn(text, font), L"");
        }
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(SW_SHOWNORMAL); }
    HWND control(int id) const { return GetDlgItem(window.hwnd(), id); }
    MainWindow window;
};

// Each field stands right after its caption: a screen reader names it after the static just before it, and
// reads the statics in that order. An entry field closes the IME when it gets the focus, and beeps once its
// text can no longer become a number by typing on.
TEST_F(MainWindowTest, EveryFieldFollowsItsCaptionAndAnEntryTakesNumbers) {
    const std::pair<int, int> pairs[] = {{Label2, Text1},    {Label3, Text2},    {Label13, Label6},
                                         {Label12, Label7}, {Label11, Label8}, {Label17, Label18}};
    const std::pair<const wchar_t*, bool> entries[] = {
        {L"", false}, {L"-", false}, {L"1e", false}, {L"56.", false}, {L"162cm", true}, {L"1..2", true}};
    for (const auto& [caption, field] : pairs) {
        EXPECT_EQ(GetWindow(control(field), GW_HWNDPREV), control(caption)) << field;
        if (field != Text1 && field != Text2) continue;
        const HIMC context = ImmGetContext(control(field));
        SetFocus(control(Command1));
        ImmSetOpenStatus(context, TRUE);
        SetFocus(control(field));
        EXPECT_TRUE(context && !ImmGetOpenStatus(context)) << field << " left the IME open";
        ImmReleaseContext(control(field), context);
        for (const auto& [text, beep] : entries) {
            beeps = 0;
            SetWindowTextW(control(field), text);
            EXPECT_EQ(beeps, beep ? 1 : 0) << field << " " << testing::PrintToString(std::wstring(text));
        }
    }
}

// A window that cannot be built is not created at all (its menu goes with it, once), the failure is
// reported under the program's title, and the next window is built as usual.
TEST_F(MainWindowTest, AWindowThatCannotBeBuiltIsReportedAndNotCreated) {
    const std::pair<bool*, void (*)(HWND)> refusals[] = {
        {&refuseNextControl, [](HWND) { EXPECT_FALSE(MainWindow().hwnd()); }},
        {&refuseNextClass, [](HWND owner) {  // returns at once when none opened
             UnregisterClassW(about::kAboutDialogClass, GetModuleHandleW(nullptr));  // as if no test had opened it
             showAboutDialog(owner);
         }},
    };
    for (const auto& [refuse, build] : refusals) {
        std::wstring reportTitle;
        std::thread reader([&] {
            const auto report = test::waitForMessageBox(GetCurrentProcessId());
            if (report) reportTitle = report->title, test::pressOk(report->window);
        });
        *refuse = true;
        build(window.hwnd());
        reader.join();
        EXPECT_EQ(reportTitle, kAppIdentity.title);
    }
    EXPECT_EQ(staleMenuDestroys, 0);
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), window.hwnd());
    EXPECT_TRUE(MainWindow().hwnd());
}

TEST_F(MainWindowTest, EveryCaptionShowsWholeAndRescalesInBothWindows) {
    const char* prefix = std::getenv("WINEPREFIX");  // elsewhere the captions are measured in another PC's fonts
    const bool measured = prefix && std::filesystem::exists(std::string("Z:") + prefix + "/.belavo-ready");
    expectCaptionsFit(window.hwnd(), measured, Label9);
    std::thread helper([measured] {
        HWND about = nullptr;
        EXPECT_TRUE(test::waitUntil(
            [&] { return (about = test::findWindowOf(GetCurrentProcessId(), about::kAboutDialogClass)); }));
        expectCaptionsFit(about, measured);
        PostMessageW(about, WM_COMMAND, MAKEWPARAM(about::cmdOK, BN_CLICKED), 0);
    });
    showAboutDialog(window.hwnd());
    helper.join();
}

}  // namespace
}  // namespace belavo::ui

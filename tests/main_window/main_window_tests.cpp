// The main window in this process, where its fonts, its beeps and its input
// contexts can be seen.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "about_dialog.hpp"
#include "main_window.hpp"
#include "ui_driver.hpp"

// The beep cannot be heard here: the window's calls of MessageBeep come here instead.
static int beeps = 0;
static BOOL WINAPI countBeep(UINT) { return ++beeps, TRUE; }
// The real user32 function behind an import that this program replaces.
template <class Function>
static Function user32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32"), name)));
}
static int staleMenuDestroys = 0;  // menus destroyed once too often
static BOOL WINAPI destroyMenu(HMENU menu) {
    return staleMenuDestroys += !IsMenu(menu), user32<decltype(&destroyMenu)>("DestroyMenu")(menu);
}
static bool refuseNextClass = false;  // as Windows does when its atoms run out
static ATOM WINAPI registerClass(const WNDCLASSEXW* c) {
    return std::exchange(refuseNextClass, false) ? 0 : user32<decltype(&registerClass)>("RegisterClassExW")(c);
}
extern "C" {
decltype(&countBeep) __imp_MessageBeep = countBeep;
decltype(&destroyMenu) __imp_DestroyMenu = destroyMenu;
decltype(&registerClass) __imp_RegisterClassExW = registerClass;
}

// Refuses the next child window, as Windows does when its window handles run out.
static bool refuseNextControl = false;
static LRESULT CALLBACK refuseControl(int code, WPARAM wParam, LPARAM lParam) {
    const bool child = code == HCBT_CREATEWND && reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->style & WS_CHILD;
    if (!child || !std::exchange(refuseNextControl, false)) return CallNextHookEx(nullptr, code, wParam, lParam);
    return 1;
}

namespace belavo::ui {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(SW_SHOWNORMAL); }
    HWND control(int id) const { return GetDlgItem(window.hwnd(), id); }
    MainWindow window;
};

// A beep says that the text can no longer become a number by typing on.
TEST_F(MainWindowTest, BeepsWhenAnEntryCanNoLongerBecomeANumber) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"", false}, {L"-", false}, {L"1e", false}, {L"56.", false}, {L"162cm", true}, {L"1..2", true}};
    for (int id : {Text1, Text2}) {
        for (const auto& [text, beep] : cases) {
            beeps = 0;
            SetWindowTextW(control(id), text);
            EXPECT_EQ(beeps, beep ? 1 : 0) << id << " " << testing::PrintToString(std::wstring(text));
        }
    }
}

// A move to a 150% monitor scales every place and font by 1.5, and frees the old fonts.
TEST_F(MainWindowTest, RescalesOnADpiChange) {
    const auto fontOf = [&](int id) { return reinterpret_cast<HFONT>(SendMessageW(control(id), WM_GETFONT, 0, 0)); };
    const auto metricsOf = [&](int id) {
        RECT rect;
        GetWindowRect(control(id), &rect);
        MapWindowPoints(HWND_DESKTOP, GetParent(control(id)), reinterpret_cast<POINT*>(&rect), 2);
        LOGFONTW font{};
        GetObjectW(fontOf(id), sizeof font, &font);
        return std::vector<long>{rect.left, rect.top, rect.right, rect.bottom, font.lfHeight};
    };
    std::vector<std::vector<long>> before;
    for (int id = Frame1; id <= Line3; ++id) before.push_back(metricsOf(id));
    const HFONT oldFont = fontOf(Label8);
    RECT suggested;
    GetWindowRect(window.hwnd(), &suggested);
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    for (int id = Frame1; id <= Line3; ++id) {
        const auto now = metricsOf(id);
        for (std::size_t i = 0; i < now.size(); ++i) EXPECT_NEAR(now[i], before[id - Frame1][i] * 1.5, 1.5) << id;
    }
    EXPECT_EQ(GetObjectType(oldFont), 0u) << "the 96 DPI font was not released";
}

// A screen reader names a field after the static just before it, and reads
// the statics in that order: nothing may stand between a caption and its field.
TEST_F(MainWindowTest, EveryFieldStandsRightAfterItsCaption) {
    const std::pair<int, int> pairs[] = {{Label2, Text1},    {Label3, Text2},    {Label13, Label6},
                                         {Label12, Label7}, {Label11, Label8}, {Label17, Label18}};
    for (const auto& [caption, field] : pairs) {
        EXPECT_EQ(GetWindow(control(field), GW_HWNDPREV), control(caption)) << field;
    }
}

TEST_F(MainWindowTest, AnEntryFieldClosesTheImeWhenItGetsTheFocus) {
    for (int field : {Text1, Text2}) {
        const HIMC context = ImmGetContext(control(field));
        ASSERT_TRUE(context);
        SetFocus(control(Command1));
        ImmSetOpenStatus(context, TRUE);
        SetFocus(control(field));
        EXPECT_FALSE(ImmGetOpenStatus(context)) << field;
        ImmReleaseContext(control(field), context);
    }
}

// Wine draws a character that no font of the prefix has (font links
// included) as the picture it draws for U+FFFF, the missing-glyph box.
TEST_F(MainWindowTest, TheMenuFontDrawsEveryCharacterOfTheMenuBar) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, GetDpiForWindow(window.hwnd()));
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(64, 64, 1, 1, nullptr);
    const HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
    SelectObject(dc, bitmap), SelectObject(dc, font);
    const auto picture = [&](wchar_t character) {
        PatBlt(dc, 0, 0, 64, 64, WHITENESS), TextOutW(dc, 0, 0, &character, 1);
        std::vector<BYTE> bits(64 * 64 / 8);
        GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
        return bits;
    };
    const HMENU menu = GetMenu(window.hwnd());
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        std::wstring caption(64, L'\0'), boxes;
        caption.resize(GetMenuStringW(menu, item, caption.data(), 64, MF_BYPOSITION));
        for (wchar_t c : caption) if (c != L' ' && picture(c) == picture(0xFFFF)) boxes += c;
        EXPECT_EQ(boxes, L"") << testing::PrintToString(caption);
    }
    DeleteDC(dc), DeleteObject(bitmap), DeleteObject(font);
}

// A window that cannot be built is not created at all (its menu goes with it, once), the failure is
// reported under the program's title, and the next window is built as usual.
TEST_F(MainWindowTest, AWindowThatCannotBeBuiltIsReportedAndNotCreated) {
    const std::pair<bool*, void (*)(HWND)> refusals[] = {
        {&refuseNextControl, [](HWND) { EXPECT_FALSE(MainWindow().hwnd()); }},
        {&refuseNextClass, [](HWND owner) { showAboutDialog(owner); }},  // returns at once when none opened
    };
    const HHOOK hook = SetWindowsHookExW(WH_CBT, refuseControl, nullptr, GetCurrentThreadId());
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
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(staleMenuDestroys, 0);
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), window.hwnd());
    EXPECT_TRUE(MainWindow().hwnd());
}

}  // namespace
}  // namespace belavo::ui

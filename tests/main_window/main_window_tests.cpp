// The main window in this process, where its fonts, its beeps and its input
// contexts can be seen.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <string>
#include <thread>
#include <utility>

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

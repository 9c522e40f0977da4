// The real Belavo.exe, driven from another process as a person would use it.
#include <gtest/gtest.h>

#include <vector>

#include "about_dialog_ids.hpp"
#include "main_window_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui;

// A real click in the middle of `control`, the pointer moved there in the same input: Wine honours
// SetCursorPos once.
void clickOn(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    INPUT input{INPUT_MOUSE, {}};
    input.mi.dx = MulDiv(r.left + r.right, 32768, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = MulDiv(r.top + r.bottom, 32768, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

// The version menu item by its access key.
void altV(HWND) { pressKeys({VK_MENU, 'V'}); }

// Tab walks the entries and the check button, Esc and Enter pressing nothing. Round after round the About
// opens and closes one way, and pasted entries checked with Alt+C give the five labels as designed (nothing
// of a long paste cut); no GDI object is left behind. A quit request ends it all.
TEST(App, ChecksPastedEntriesAndOpensTheAboutEachWayLeavingNoGdiObjectBehind) {
    const std::wstring padded = std::wstring(40000, L'0') + L"56.3";
    const struct {
        std::wstring height, weight;
        std::vector<std::wstring> labels;  // Label8, Label9, Label7, Label6, Label18
    } cases[] = {
        {L"162", padded, {L"21", designedText(L"adviceBands", L"5"), L"58", padded, L"-5"}},
        {L"100", L"22.5", {L"22", designedText(L"adviceBands", L"6"), L"22", L"22.5", L"0"}},
    };
    // One route a row: a way to open the About dialog and a way to close it.
    // clang-format off
    const struct Route { const char* name; void (*open)(HWND), (*close)(HWND); } routes[] = {
        {"the menu by keyboard, then Esc",
         [](HWND) { pressKeys({VK_F10}); pressKeys({VK_RIGHT}); pressKeys({VK_RETURN}); },
         [](HWND) { pressKeys({VK_ESCAPE}); }},
        {"Alt+V, then Alt+F4", altV, [](HWND) { pressKeys({VK_MENU, VK_F4}); }},
        {"Alt+V, then Enter on OK", altV, [](HWND) { pressKeys({VK_RETURN}); }},
        {"Alt+V, then Alt+O", altV, [](HWND) { pressKeys({VK_MENU, 'O'}); }},
        {"a click on the copyright line, then a quit request", clickOn,
         [](HWND dialog) { PostThreadMessageW(GetWindowThreadProcessId(dialog, nullptr), WM_QUIT, 0, 0); }},
    };
    // clang-format on
    AppProcess app;
    bringToFront(app.mainWindow());
    const auto focusOn = [&](int id) {
        return waitUntil([&] { return focusIn(app.mainWindow()) == app.control(id); });
    };
    pressKeys({VK_TAB});
    EXPECT_TRUE(focusOn(Text2));
    pressKeys({VK_DELETE});  // Tab selected the whole weight: a check now would report it
    pressKeys({VK_ESCAPE});
    pressKeys({VK_RETURN});
    pressKeys({VK_TAB});  // a report box or the end of the program would keep this Tab from arriving
    ASSERT_TRUE(focusOn(Command1));
    const auto take = [&](const Route& route) {
        SCOPED_TRACE(route.name);
        bringToFront(app.mainWindow());
        route.open(app.control(Label10));
        HWND dialog = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (dialog = findWindowOf(app.id(), about::kAboutDialogClass)); }));
        EXPECT_FALSE(IsWindowEnabled(app.mainWindow()));
        bringToFront(dialog);
        route.close(dialog);
        EXPECT_TRUE(waitUntil(
            [&] { return !IsWindow(dialog) && (IsWindowEnabled(app.mainWindow()) || !app.running()); }));
    };
    const auto shown = [&] { return textsOf(app.mainWindow(), {Label8, Label9, Label7, Label6, Label18}); };
    int objects = 0;
    for (int round = 0; round < 8 && !HasFailure(); ++round) {  // a round that failed spoils the next
        if (round == 4) objects = liveGdiObjects(app.id());     // the first ones made what is kept to the end
        take(routes[round % 4]);
        const auto& c = cases[round % 2];
        SCOPED_TRACE(testing::PrintToString(c.height + L" " + c.weight.substr(0, 20)));
        bringToFront(app.mainWindow());
        for (const auto& [id, text] : {std::pair{Text1, &c.height}, {Text2, &c.weight}}) {
            SendMessageW(app.control(id), EM_SETSEL, 0, -1);
            SendMessageW(app.control(id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text->c_str()));
        }
        pressKeys({VK_MENU, 'C'});
        EXPECT_TRUE(waitUntil([&] { return shown() == c.labels; }, 10000, 100));  // a long text takes a while
    }
    EXPECT_EQ(liveGdiObjects(app.id()), objects);
    take(routes[4]);
    EXPECT_TRUE(app.waitForExit());
}

// The Quit button (its access key), the Quit menu item (the menu bar's first) and the close box end the
// process.
TEST(App, EveryWayOfQuittingEndsTheProcess) {
    for (int way = 0; way < 3; ++way) {
        AppProcess app;
        bringToFront(app.mainWindow());
        if (way == 0) pressKeys({VK_MENU, 'Q'});
        if (way == 1) pressKeys({VK_F10}), pressKeys({VK_RETURN});
        if (way == 2) pressKeys({VK_MENU, VK_F4});
        EXPECT_TRUE(app.waitForExit()) << "way " << way;
    }
}

}  // namespace
}  // namespace belavo::test

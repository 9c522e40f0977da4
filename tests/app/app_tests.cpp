// The real Belavo.exe, driven from another process as a person would use it.
#include <gtest/gtest.h>

#include "main_window_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui;

// Escape and Enter press nothing, Tab goes through the entries and buttons, and
// Alt+C checks. A failed check is reported under the program's title and puts
// the focus back on the entry at fault. Each focus step waits for the keys before it.
TEST(App, KeysMoveTheFocusAndAFailedCheckReturnsItToTheEntryAtFault) {
    AppProcess app;
    bringToFront(app.mainWindow());
    const auto focusComesTo = [&](int id) {
        return waitUntil([&] { return focusIn(app.mainWindow()) == app.control(id); });
    };
    pressKeys({VK_TAB});
    EXPECT_TRUE(focusComesTo(Text2));
    pressKeys({VK_DELETE});  // Tab selected the whole weight
    pressKeys({VK_ESCAPE});
    pressKeys({VK_RETURN});  // a report box now would keep the Tab below
    pressKeys({VK_TAB});
    ASSERT_TRUE(focusComesTo(Command1));
    pressKeys({VK_MENU, 'C'});
    const auto report = waitForMessageBox(app.id());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->title, L"Belavo");
    EXPECT_NE(report->text.find(L"'13'"), std::wstring::npos) << "no weight";
    pressOk(report->window);
    EXPECT_TRUE(focusComesTo(Text2));
}

// The Quit button, the Quit menu item and the close box end the process at once.
TEST(App, EveryWayOfQuittingEndsTheProcess) {
    const std::pair<const char*, void (*)(const AppProcess&)> ways[] = {
        {"button", [](const AppProcess& app) { click(app.control(Command2)); }},
        {"menu", [](const AppProcess&) {
             pressKeys({VK_F10});  // into the menu bar, whose first item is Quit
             pressKeys({VK_RETURN});
         }},
        {"close box", [](const AppProcess& app) { clickCloseBox(app.mainWindow()); }},
    };
    for (const auto& [name, quit] : ways) {
        AppProcess app;
        bringToFront(app.mainWindow());
        quit(app);
        EXPECT_TRUE(app.waitForExit()) << name;
    }
}

}  // namespace
}  // namespace belavo::test

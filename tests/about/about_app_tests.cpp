// The About dialog of the real Belavo.exe, opened and closed from another
// process the way a person does it.
#include <gtest/gtest.h>

#include "about_dialog_ids.hpp"
#include "main_window_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

TEST(AboutInBelavo, OpensFromTheMenuAndLabel10OverADisabledMainWindow) {
    AppProcess app;
    const std::pair<const char*, void (*)(const AppProcess&)> openings[] = {
        {"Alt+V", [](const AppProcess&) { pressKeys({VK_MENU, 'V'}); }},
        {"a click on Label10", [](const AppProcess& app) { click(app.control(ui::Label10)); }},
    };
    for (const auto& [name, open] : openings) {
        SCOPED_TRACE(name);
        bringToFront(app.mainWindow());
        open(app);
        HWND dialog = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (dialog = findWindowOf(app.id(), ui::about::kAboutDialogClass)); }));
        EXPECT_EQ(textOf(dialog), L"Belavo ｳﾞｧｰｼﾞｮﾝ情報");
        EXPECT_FALSE(IsWindowEnabled(app.mainWindow()));
        bringToFront(dialog);
        pressKeys({VK_ESCAPE});
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_TRUE(IsWindowEnabled(app.mainWindow()));
    }
    // The dialog instance kept after closing does not keep the program running.
    bringToFront(app.mainWindow());
    click(app.control(ui::Command2));  // Quit
    EXPECT_TRUE(app.waitForExit());
}

}  // namespace
}  // namespace belavo::test

// The About dialog of the real Belavo.exe, opened and closed from another
// process the way a person does it.
#include <gtest/gtest.h>

#include <string>

#include "about_dialog_ids.hpp"
#include "about_test_support.hpp"
#include "main_window_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

namespace about = belavo::ui::about;

struct DialogTexts {
    std::wstring caption, version, title;
    bool operator==(const DialogTexts&) const = default;
};

void PrintTo(const DialogTexts& texts, std::ostream* out) {
    *out << testing::PrintToString(texts.caption) << ", " << testing::PrintToString(texts.version) << ", "
         << testing::PrintToString(texts.title);
}

class AboutFromTheMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { bringToFront(app.mainWindow()); }

    HWND waitForDialog() const {
        HWND dialog = nullptr;
        waitUntil([&] { return (dialog = findWindowOf(app.id(), about::kAboutDialogClass)) != nullptr; });
        Sleep(100);
        return dialog;
    }

    static DialogTexts textsOf(HWND dialog) {
        return {textOf(dialog), textOf(GetDlgItem(dialog, about::lblVersion)),
                textOf(GetDlgItem(dialog, about::lblTitle))};
    }

    AppProcess app;
};

TEST_F(AboutFromTheMainWindowTest, OpensFromTheMenuAndTheCopyrightLabelAndClosesByEveryRoute) {
    struct Opening {
        const char* name;
        void (*open)(const AppProcess& app);
    };
    const Opening openings[] = {
        {"Alt+V", [](const AppProcess&) { pressKeys({VK_MENU, 'V'}); }},
        {"a click on Label10",
         [](const AppProcess& app) {
             // Not so soon after the last click on it that the two make a double-click.
             Sleep(GetDoubleClickTime() + 100);
             click(app.control(ui::Label10));
         }},
    };
    struct Closing {
        const char* name;
        void (*close)(HWND dialog);
    };
    const Closing closings[] = {
        {"a click on OK", [](HWND dialog) { click(GetDlgItem(dialog, about::cmdOK)); }},
        {"Esc", [](HWND) { pressKeys({VK_ESCAPE}); }},
        {"Enter", [](HWND) { pressKeys({VK_RETURN}); }},
        {"Alt+O", [](HWND) { pressKeys({VK_MENU, 'O'}); }},
        {"the close box", [](HWND dialog) { clickCloseBox(dialog); }},
    };
    const DialogTexts expected{L"Belavo ｳﾞｧｰｼﾞｮﾝ情報", L"ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 1.3.8", L"Belavo"};
    // Every opening after the first loads the dialog again.
    for (const Opening& opening : openings) {
        for (const Closing& closing : closings) {
            SCOPED_TRACE(testing::Message() << "opened by " << opening.name << ", closed by " << closing.name);
            bringToFront(app.mainWindow());
            opening.open(app);
            const HWND dialog = waitForDialog();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(textsOf(dialog), expected);
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), app.mainWindow());
            EXPECT_FALSE(IsWindowEnabled(app.mainWindow()));
            EXPECT_EQ(focusIn(dialog), GetDlgItem(dialog, about::cmdOK));

            bringToFront(dialog);
            closing.close(dialog);
            EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }, 3000));
            EXPECT_TRUE(IsWindowEnabled(app.mainWindow()));
            EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == app.mainWindow(); }, 2000));
            EXPECT_TRUE(app.running());
        }
    }
}

TEST_F(AboutFromTheMainWindowTest, TheMainWindowTakesNoInputWhileTheDialogIsOpen) {
    pressKeys({VK_MENU, 'V'});
    const HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr);
    // The Quit button would end the program at once.
    click(app.control(ui::Command2));
    Sleep(500);
    EXPECT_TRUE(app.running());
    EXPECT_TRUE(IsWindow(dialog));

    bringToFront(dialog);
    pressKeys({VK_ESCAPE});
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }, 3000));
    bringToFront(app.mainWindow());
    click(app.control(ui::Command2));
    EXPECT_TRUE(app.waitForExit());
}

// The dialog instance that is kept after closing does not keep the program running.
TEST_F(AboutFromTheMainWindowTest, ClosingTheMainWindowAfterTheDialogEndsTheProgram) {
    pressKeys({VK_MENU, 'V'});
    const HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr);
    bringToFront(dialog);
    pressKeys({VK_RETURN});
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }, 3000));
    bringToFront(app.mainWindow());
    clickCloseBox(app.mainWindow());
    EXPECT_TRUE(app.waitForExit());
}

}  // namespace
}  // namespace belavo::test

// The real Belavo.exe, driven from another process as a person would use it.
#include <gtest/gtest.h>

#include <vector>

#include "advice_bands.hpp"
#include "main_window_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui;

// Tab walks the entries and the check button, and Esc and Enter press nothing on
// the way. Then entries pasted into the real program and checked with Alt+C give
// the five labels, or the report of the error with its number, nothing shown
// changed, and the entry at fault focused with its text selected.
TEST(App, ChecksThePastedEntriesOrReportsTheEntryAtFault) {
    const std::wstring padded = std::wstring(40000, L'0') + L"56.3";  // nothing of a long paste is cut
    const struct {
        std::wstring height, weight;
        std::vector<std::wstring> labels;  // Label8, Label7, Label6, Label18
        int error, entry;
    } cases[] = {
        {L"162", padded, {L"21", L"58", padded, L"-5"}, 0, 0},
        {L"", L"56.3", {}, 13, Text1},
        {L"162", L"56..3", {}, 13, Text2},
    };
    AppProcess app;
    bringToFront(app.mainWindow());
    const auto focusComesTo = [&](int id) {
        return waitUntil([&] { return focusIn(app.mainWindow()) == app.control(id); });
    };
    pressKeys({VK_TAB});
    EXPECT_TRUE(focusComesTo(Text2));
    pressKeys({VK_DELETE});  // Tab selected the whole weight: a check now would report it
    pressKeys({VK_ESCAPE});
    pressKeys({VK_RETURN});
    pressKeys({VK_TAB});  // a report box or the end of the program would keep this Tab from arriving
    ASSERT_TRUE(focusComesTo(Command1));
    const auto shown = [&] {
        std::vector<std::wstring> texts;
        for (int id : {Label8, Label7, Label6, Label18, Label9}) texts.push_back(textOf(app.control(id)));
        return texts;
    };
    const auto paste = [&](int id, const std::wstring& text) {
        SendMessageW(app.control(id), EM_SETSEL, 0, -1);
        SendMessageW(app.control(id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.height + L" " + c.weight.substr(0, 20)));
        paste(Text1, c.height);
        paste(Text2, c.weight);
        const std::vector<std::wstring> before = shown();
        pressKeys({VK_MENU, 'C'});
        if (!c.error) {
            std::vector<std::wstring> expected = c.labels;
            const std::u16string_view advice = findAdviceBand(static_cast<std::int16_t>(std::stoi(c.labels[0]))).adviceText;
            expected.emplace_back(advice.begin(), advice.end());
            EXPECT_TRUE(waitUntil([&] { return shown() == expected; }));
            continue;
        }
        const auto report = waitForMessageBox(app.id());
        ASSERT_TRUE(report);
        EXPECT_EQ(report->title, L"Belavo");
        // The report is the main window's: the window takes no input until it is closed.
        EXPECT_EQ(GetWindow(report->window, GW_OWNER), app.mainWindow());
        EXPECT_FALSE(IsWindowEnabled(app.mainWindow()));
        EXPECT_NE(report->text.find(L"'" + std::to_wstring(c.error) + L"'"), std::wstring::npos) << report->text;
        pressOk(report->window);
        EXPECT_TRUE(focusComesTo(c.entry));
        const auto selection = static_cast<DWORD>(SendMessageW(app.control(c.entry), EM_GETSEL, 0, 0));
        EXPECT_EQ(HIWORD(selection) - LOWORD(selection), textOf(app.control(c.entry)).size());
        EXPECT_EQ(shown(), before);
    }
}

// The Quit button, the Quit menu item and the close box end the process at once.
TEST(App, EveryWayOfQuittingEndsTheProcess) {
    const std::pair<const char*, void (*)()> ways[] = {
        {"button", [] { pressKeys({VK_MENU, 'Q'}); }},  // its access key
        {"menu", [] {
             pressKeys({VK_F10});  // into the menu bar, whose first item is Quit
             pressKeys({VK_RETURN});
         }},
        {"close box", [] { pressKeys({VK_MENU, VK_F4}); }},  // its command
    };
    for (const auto& [name, quit] : ways) {
        AppProcess app;
        bringToFront(app.mainWindow());
        quit();
        EXPECT_TRUE(app.waitForExit()) << name;
    }
}

}  // namespace
}  // namespace belavo::test

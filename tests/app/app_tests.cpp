// The real Belavo.exe, driven from another process as a person would use it.
#include <gtest/gtest.h>

#include <vector>

#include "advice_bands.hpp"
#include "main_window_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui;

// Entries through the real program: the five labels, or the report of the
// error with its number, nothing shown changed, and the entry at fault focused
// with its text selected.
TEST(App, ChecksTheEntriesOrReportsTheEntryAtFault) {
    const struct {
        const wchar_t *height, *weight;
        std::vector<std::wstring> labels;  // Label8, Label7, Label6, Label18
        int error, entry;
    } cases[] = {
        {L"162", L"56.3", {L"21", L"58", L"56.3", L"-5"}, 0, 0},
        {L"１８０", L"７２", {L"22", L"71", L"７２", L"0"}, 0, 0},
        {L"", L"56.3", {}, 13, Text1},
        {L"0", L"56.3", {}, 11, Text1},
        {L"162", L"56..3", {}, 13, Text2},
    };
    AppProcess app;
    bringToFront(app.mainWindow());
    const auto shown = [&] {
        std::vector<std::wstring> texts;
        for (int id : {Label8, Label7, Label6, Label18, Label9}) texts.push_back(textOf(app.control(id)));
        return texts;
    };
    for (const auto& c : cases) {
        SendMessageW(app.control(Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.height));
        SendMessageW(app.control(Text2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.weight));
        const std::vector<std::wstring> before = shown();
        pressKeys({VK_MENU, 'C'});
        if (!c.error) {
            std::vector<std::wstring> expected = c.labels;
            const std::u16string_view advice = findAdviceBand(static_cast<std::int16_t>(std::stoi(c.labels[0]))).adviceText;
            expected.emplace_back(advice.begin(), advice.end());
            EXPECT_TRUE(waitUntil([&] { return shown() == expected; })) << c.height << " " << c.weight;
            continue;
        }
        const auto report = waitForMessageBox(app.id());
        ASSERT_TRUE(report) << c.height << " " << c.weight;
        EXPECT_EQ(report->title, L"Belavo");
        EXPECT_NE(report->text.find(L"'" + std::to_wstring(c.error) + L"'"), std::wstring::npos) << report->text;
        pressOk(report->window);
        const HWND entry = app.control(c.entry);
        EXPECT_TRUE(waitUntil([&] { return focusIn(app.mainWindow()) == entry; })) << c.height << " " << c.weight;
        const auto selection = static_cast<DWORD>(SendMessageW(entry, EM_GETSEL, 0, 0));
        EXPECT_EQ(HIWORD(selection) - LOWORD(selection), textOf(entry).size());
        EXPECT_EQ(shown(), before);
    }
}

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

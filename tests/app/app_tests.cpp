// The real Belavo.exe, driven from another process as a person would use it.
#include <gtest/gtest.h>

#include "advice_bands.hpp"
#include "main_window_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui;
constexpr int kResultLabels[] = {Label8, Label9, Label7, Label6, Label18};

std::vector<std::wstring> resultsOf(const AppProcess& app) {
    std::vector<std::wstring> texts;
    for (int id : kResultLabels) texts.push_back(textOf(app.control(id)));
    return texts;
}

std::wstring adviceFor(int bmi) {
    const std::u16string_view text = findAdviceBand(static_cast<std::int16_t>(bmi)).adviceText;
    return {text.begin(), text.end()};
}

// Each row is typed and checked on the same window, after the rows before it.
TEST(App, ShowsTheResultsOrReportsTheErrorAndPutsTheFocusOnTheEntryAtFault) {
    const struct {
        const wchar_t *height, *weight, *bmi, *standardWeight, *obesity;
        int error = 0, entryAtFault = 0;
    } rows[] = {
        {L"162", L"56.3", L"21", L"58", L"-5"},
        {L"０", L"56.3", nullptr, nullptr, nullptr, 11, Text1},
        {L"162", L"", nullptr, nullptr, nullptr, 13, Text2},
        {L"１５０", L" 80.0", L"36", L"50", L"64"},
        {L"4000", L"56.3", nullptr, nullptr, nullptr, 6, Text1},  // the standard weight overflows
    };
    AppProcess app;
    bringToFront(app.mainWindow());
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.height << L" / " << row.weight);
        const std::vector<std::wstring> before = resultsOf(app);
        const std::vector<std::wstring> after =
            row.error ? before
                      : std::vector<std::wstring>{row.bmi, adviceFor(_wtoi(row.bmi)), row.standardWeight,
                                                  row.weight, row.obesity};
        typeInto(app.control(Text1), row.height);
        typeInto(app.control(Text2), row.weight);
        ASSERT_EQ(textOf(app.control(Text1)) + L"/" + textOf(app.control(Text2)), row.height + (L"/" + std::wstring(row.weight)));
        clickUntil(app.control(Command1), [&] {
            return findWindowOf(app.id(), L"#32770") || (!row.error && resultsOf(app) == after);
        });
        EXPECT_EQ(resultsOf(app), after);
        if (!row.error) continue;
        const auto report = waitForMessageBox(app.id());
        ASSERT_TRUE(report);
        EXPECT_EQ(report->title, L"Belavo");
        EXPECT_NE(report->text.find(L"'" + std::to_wstring(row.error) + L"'"), std::wstring::npos);
        pressOk(report->window);
        const HWND entry = app.control(row.entryAtFault);
        EXPECT_TRUE(waitUntil([&] { return focusIn(app.mainWindow()) == entry; }))
            << "focus on control " << GetDlgCtrlID(focusIn(app.mainWindow())) << " after " << report->text;
        EXPECT_EQ(SendMessageW(entry, EM_GETSEL, 0, 0), MAKELRESULT(0, textOf(entry).size()));
    }
}

// Enter and Escape press nothing; Tab and Shift+Tab go round the entries and
// buttons; Alt+C checks. Each focus step waits for the keys before it.
TEST(App, KeysMoveTheFocusAndOnlyAltCChecks) {
    AppProcess app;
    bringToFront(app.mainWindow());
    const std::vector<std::wstring> design = resultsOf(app);
    pressKeys({VK_RETURN});
    pressKeys({VK_ESCAPE});
    for (const auto& [shift, id] : {std::pair{false, Text2}, {false, Command1}, {false, Command2}, {false, Text1},
                                    {true, Command2}, {true, Command1}}) {
        shift ? pressKeys({VK_SHIFT, VK_TAB}) : pressKeys({VK_TAB});
        EXPECT_TRUE(waitUntil([&] { return focusIn(app.mainWindow()) == app.control(id); })) << id;
    }
    EXPECT_EQ(resultsOf(app), design);
    pressKeys({VK_MENU, 'C'});
    EXPECT_TRUE(waitUntil([&] { return textOf(app.control(Label8)) == L"21"; }));
}

// The Quit button, the Quit menu item and the close box end the process at once.
TEST(App, EveryWayOfQuittingEndsTheProcess) {
    const std::pair<const char*, void (*)(const AppProcess&)> ways[] = {
        {"button", [](const AppProcess& app) { click(app.control(Command2)); }},
        {"menu", [](const AppProcess& app) {
             POINT client{0, 0};  // the first menu item sits just above the client area
             ClientToScreen(app.mainWindow(), &client);
             clickAt({client.x + 20, client.y - GetSystemMetrics(SM_CYMENU) / 2});
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

// The main window in this process, where its fonts and its beeps can be seen.
#include <gtest/gtest.h>
#include <windows.h>

#include "main_window.hpp"

// The beep cannot be heard here: the window's calls of MessageBeep come here instead.
static int beeps = 0;
static BOOL WINAPI countBeep(UINT) { return ++beeps, TRUE; }
extern "C" {
decltype(&countBeep) __imp_MessageBeep = countBeep;
}

namespace belavo::ui {
namespace {

class MainWindowInProcess : public ::testing::Test {
protected:
    HWND control(int id) const { return GetDlgItem(window.hwnd(), id); }
    MainWindow window{GetModuleHandleW(nullptr)};
};

// A beep says that the text can no longer become a number by typing on.
TEST_F(MainWindowInProcess, BeepsWhenAnEntryCanNoLongerBecomeANumber) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"", false}, {L" \u3000", false}, {L"-", false}, {L".", false}, {L"1e", false}, {L"1\uFF25\uFF0B", false},
        {L"56.", false}, {L"-.5e-3\u3000", false}, {L"０１２３４５６７８９", false}, {L"1e5.", true},
        {L"162cm", true}, {L"1..2", true}, {L"1 2", true}, {L"- ", true}, {L".e5", true}, {L"+-1", true},
    };
    for (int id : {Text1, Text2}) {
        for (const auto& [text, beep] : cases) {
            beeps = 0;
            SetWindowTextW(control(id), text);
            EXPECT_EQ(beeps, beep ? 1 : 0) << id << " " << testing::PrintToString(std::wstring(text));
        }
    }
}

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

RECT placeOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A move to a 150% monitor scales every place and font by 1.5, and frees the old fonts.
TEST_F(MainWindowInProcess, RescalesOnADpiChange) {
    std::vector<std::pair<RECT, LOGFONTW>> before;
    for (int id = Frame1; id <= Line3; ++id) before.emplace_back(placeOf(control(id)), fontOf(control(id)));
    const auto oldFont = reinterpret_cast<HFONT>(SendMessageW(control(Label8), WM_GETFONT, 0, 0));
    RECT suggested;
    GetWindowRect(window.hwnd(), &suggested);
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    for (int id = Frame1; id <= Line3; ++id) {
        const auto& [place, font] = before[id - Frame1];
        const RECT now = placeOf(control(id));
        for (auto [was, is] : {std::pair{place.left, now.left}, {place.top, now.top}, {place.right, now.right},
                               {place.bottom, now.bottom}}) {
            EXPECT_NEAR(is, was * 1.5, 1.5) << "control " << id;
        }
        EXPECT_NEAR(fontOf(control(id)).lfHeight, font.lfHeight * 1.5, 1) << "control " << id;
    }
    EXPECT_EQ(GetObjectType(oldFont), 0u) << "the 96 DPI font was not released";
}

}  // namespace
}  // namespace belavo::ui

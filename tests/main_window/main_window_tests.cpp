// The main window in this process, where its fonts, colours and menu can be
// read back (another process cannot read them under Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "main_window.hpp"

namespace belavo::ui {
namespace {

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

class MainWindowInProcess : public ::testing::Test {
protected:
    HWND control(int id) const { return GetDlgItem(window.hwnd(), id); }

    MainWindow window{GetModuleHandleW(nullptr)};
};

struct FontCase {
    int id;
    const wchar_t* face;
    LONG height;  // at 96 DPI
    bool italic;
    BYTE charset;
};

TEST_F(MainWindowInProcess, ValueLabelsAndTheAdviceHaveTheirOwnFonts) {
    const FontCase cases[] = {
        {Label6, L"Times New Roman", -20, false, ANSI_CHARSET},   // 15 pt
        {Label7, L"Times New Roman", -20, false, ANSI_CHARSET},
        {Label8, L"Times New Roman", -27, true, ANSI_CHARSET},    // 20.25 pt
        {Label18, L"Times New Roman", -27, true, ANSI_CHARSET},
        {Label9, L"ＭＳ Ｐゴシック", -13, false, SHIFTJIS_CHARSET},  // 9.75 pt
    };
    for (const FontCase& c : cases) {
        const LOGFONTW font = fontOf(control(c.id));
        EXPECT_STREQ(font.lfFaceName, c.face) << c.id;
        EXPECT_EQ(font.lfHeight, c.height) << c.id;
        EXPECT_EQ(font.lfWeight, FW_NORMAL) << c.id;
        EXPECT_EQ(font.lfItalic != 0, c.italic) << c.id;
        EXPECT_EQ(font.lfCharSet, c.charset) << c.id;
    }
    // Everything else shares the window's default font, which can show Japanese.
    const LOGFONTW defaultFont = fontOf(control(Label1));
    EXPECT_EQ(defaultFont.lfCharSet, SHIFTJIS_CHARSET);
    for (int id : {Label2, Text1, Text2, Command1, Command2, Frame1, Label16}) {
        EXPECT_EQ(SendMessageW(control(id), WM_GETFONT, 0, 0), SendMessageW(control(Label1), WM_GETFONT, 0, 0)) << id;
    }
}

struct ColourCase {
    int id;
    COLORREF text;
    COLORREF back;
};

TEST_F(MainWindowInProcess, LabelsPaintInTheirColours) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const ColourCase cases[] = {
        {Label6, RGB(0xC0, 0x00, 0xC0), RGB(0xFF, 0xC0, 0x80)}, {Label7, RGB(0x00, 0x00, 0xFF), RGB(0x00, 0xFF, 0x00)},
        {Label8, RGB(0x00, 0xFF, 0xFF), RGB(0x00, 0x00, 0x00)}, {Label18, RGB(0xC0, 0x00, 0xC0), RGB(0xFF, 0xC0, 0xFF)},
        {Label9, RGB(0x00, 0x00, 0x80), RGB(0xC0, 0xFF, 0xFF)}, {Label16, RGB(0xC0, 0x00, 0x00), face},
        {Line1, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOWTEXT)},
    };
    const HDC dc = CreateCompatibleDC(nullptr);
    for (const ColourCase& c : cases) {
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
            window.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control(c.id))));
        ASSERT_NE(brush, nullptr) << c.id;
        LOGBRUSH fill{};
        GetObjectW(brush, sizeof fill, &fill);
        if (c.id != Line1) {
            EXPECT_EQ(GetTextColor(dc), c.text) << c.id;
        }
        EXPECT_EQ(GetBkColor(dc), c.back) << c.id;
        EXPECT_EQ(fill.lbColor, c.back) << c.id;
    }
    DeleteDC(dc);
}

TEST_F(MainWindowInProcess, HasAFixedFrameAndTwoMenuItemsWithoutDropDowns) {
    const LONG_PTR style = GetWindowLongPtrW(window.hwnd(), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);

    const HMENU menu = GetMenu(window.hwnd());
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    const std::pair<UINT, const wchar_t*> items[] = {{endb, L"終了 (&Q)"}, {verb, L"ｳﾞｧｰｼﾞｮﾝ情報 (&V)"}};
    for (int position = 0; position < 2; ++position) {
        wchar_t caption[64]{};
        GetMenuStringW(menu, static_cast<UINT>(position), caption, 64, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(menu, position), items[position].first);
        EXPECT_STREQ(caption, items[position].second);
        EXPECT_EQ(GetSubMenu(menu, position), nullptr);
    }
}

TEST_F(MainWindowInProcess, NoControlIsTheDefaultButton) {
    for (int id : {Command1, Command2}) {
        EXPECT_FALSE(GetWindowLongPtrW(control(id), GWL_STYLE) & BS_DEFPUSHBUTTON) << id;
    }
}

// A move to a 150% monitor scales every place and font, and frees the old fonts.
TEST_F(MainWindowInProcess, RescalesOnADpiChange) {
    const auto oldFont = reinterpret_cast<HFONT>(SendMessageW(control(Label8), WM_GETFONT, 0, 0));
    RECT suggested;
    GetWindowRect(window.hwnd(), &suggested);
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    const RECT label8 = placeOf(control(Label8));  // (3720 + 120, 840 + 2640, 855, 495) twips
    EXPECT_EQ(label8.left, 384);
    EXPECT_EQ(label8.top, 348);
    EXPECT_EQ(label8.right - label8.left, 86);
    EXPECT_EQ(label8.bottom - label8.top, 50);  // both edges rounded: 3480 and 3975 twips
    EXPECT_EQ(fontOf(control(Label8)).lfHeight, -41);  // 20.25 pt at 144 DPI
    EXPECT_EQ(fontOf(control(Label9)).lfHeight, -20);
    EXPECT_EQ(GetObjectType(oldFont), 0u) << "the 96 DPI font was not released";
    EXPECT_EQ(placeOf(control(Line2)).right - placeOf(control(Line2)).left, 2);  // a hairline scales too
}

}  // namespace
}  // namespace belavo::ui

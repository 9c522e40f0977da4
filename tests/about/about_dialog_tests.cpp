// The About dialog opened in this process over a window of the test, as the
// main window opens it, with a helper thread looking at it and pressing its
// keys and buttons the way a person does.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "about_dialog_ids.hpp"
#include "about_test_support.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui::about;

// Face, height, weight, character set and italic of the control's font.
std::wstring fontOf(HWND control) {
    LOGFONTW f{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof f, &f);
    return std::wstring(f.lfFaceName) + L" " + std::to_wstring(f.lfHeight) + L" " + std::to_wstring(f.lfWeight) +
           L" " + std::to_wstring(f.lfCharSet) + L" " + std::to_wstring(f.lfItalic);
}

// The width of an icon and the id of the resource it was loaded from.
std::pair<int, WORD> iconOf(LRESULT icon) {
    ICONINFOEXW info{};
    info.cbSize = sizeof info;
    BITMAP bitmap{};
    if (!icon || !GetIconInfoExW(reinterpret_cast<HICON>(icon), &info)) return {};
    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {static_cast<int>(bitmap.bmWidth), info.wResID};
}

// How many screen pixels inside `control` have exactly `colour`, and how many there are.
std::pair<int, int> screenPixels(HWND control, COLORREF colour) {
    RECT r;
    GetWindowRect(control, &r);
    const HDC screen = GetDC(nullptr);
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) count += GetPixel(screen, x, y) == colour;
    ReleaseDC(nullptr, screen);
    return {count, (r.right - r.left) * (r.bottom - r.top)};
}

bool messageBoxShown() { return findWindowOf(GetCurrentProcessId(), L"#32770") != nullptr; }

// Caption, title, version line, OK, system information, home page, mail address, notice.
std::vector<std::wstring> textsOf(HWND dialog) {
    std::vector<std::wstring> texts{textOf(dialog)};
    for (int id : {lblTitle, lblVersion, cmdOK, cmdSysInfo, Command1, Command2, Label1})
        texts.push_back(textOf(GetDlgItem(dialog, id)));
    return texts;
}

class AboutDialogTest : public ::testing::Test {
protected:
    OwnerWindow owner;
};

TEST_F(AboutDialogTest, ShowsItsTextsAndLoadsThemAfreshAtEveryOpening) {
    std::vector<std::wstring> first, second;
    HWND firstWindow = nullptr;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        firstWindow = dialog;
        first = textsOf(dialog);
        SetWindowTextW(dialog, L"changed");
        for (int id : {lblTitle, lblVersion, Label1}) SetWindowTextW(GetDlgItem(dialog, id), L"changed");
    }));
    EXPECT_FALSE(IsWindow(firstWindow));
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) { second = textsOf(dialog); }));
    EXPECT_EQ(second, first);
    ASSERT_EQ(first.size(), 8u);
    EXPECT_EQ(std::vector(first.begin(), first.begin() + 5),
              (std::vector<std::wstring>{L"Belavo ｳﾞｧｰｼﾞｮﾝ情報", L"Belavo", L"ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 1.3.8", L"OK(&O)",
                                         L"ｼｽﾃﾑ情報(&S)"}));
    EXPECT_TRUE(std::regex_match(first[5], std::wregex(L"HomePage: https://.+"))) << testing::PrintToString(first[5]);
    EXPECT_TRUE(std::regex_match(first[6], std::wregex(L"E-Mail Address: .+@.+"))) << testing::PrintToString(first[6]);
    // An author line, an empty line, and one line about reproduction.
    EXPECT_TRUE(std::regex_match(first[7], std::wregex(L"[^\r\n]+\r\n\r\n[^\r\n]*許可[^\r\n]*")))
        << testing::PrintToString(first[7]);
}

TEST_F(AboutDialogTest, PlacesEveryElementWithItsFontAt96DpiCentredOverTheOwner) {
    const std::pair<int, RECT> places[] = {  // pixels within the client area: twips / 15
        {lblVersion, {64, 40, 387, 55}}, {cmdOK, {200, 184, 287, 207}},    {Label1, {8, 72, 385, 113}},
        {picIcon, {8, 8, 40, 40}},       {lblTitle, {64, 8, 387, 40}},     {Command1, {8, 120, 385, 137}},
        {Command2, {8, 144, 385, 161}},  {cmdSysInfo, {296, 184, 383, 207}}, {Line1, {8, 176, 386, 178}},
    };
    const std::wstring gothic = L"ＭＳ ゴシック -12 400 128 0";  // 9 pt, FW_NORMAL, SHIFTJIS_CHARSET
    const std::vector<std::wstring> expectedFonts{gothic, gothic, gothic, L"Times New Roman -21 700 0 0"};
    UINT dpi = 0;
    RECT client{}, dialogRect{}, ownerRect{};
    std::vector<RECT> found;
    std::vector<std::wstring> fonts;
    std::vector<LRESULT> defaults;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        dpi = GetDpiForWindow(dialog);
        GetClientRect(dialog, &client);
        GetWindowRect(dialog, &dialogRect);
        GetWindowRect(owner.hwnd(), &ownerRect);
        for (const auto& [id, rect] : places) {
            RECT r;
            GetWindowRect(GetDlgItem(dialog, id), &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            found.push_back(r);
        }
        for (int id : {Label1, Command1, Command2, lblTitle, lblVersion})
            fonts.push_back(fontOf(GetDlgItem(dialog, id)));
        for (int id : {lblVersion, cmdOK, cmdSysInfo})
            defaults.push_back(SendMessageW(GetDlgItem(dialog, id), WM_GETFONT, 0, 0));
    }));
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
    // The version line and the two small buttons share the dialog's default font, a Japanese one.
    EXPECT_EQ(defaults, std::vector<LRESULT>(3, defaults.at(0)));
    EXPECT_TRUE(fonts.back().ends_with(L" 128 0")) << testing::PrintToString(fonts.back());
    if (dpi != 96) GTEST_SKIP() << "the display is at " << dpi << " DPI";
    EXPECT_EQ(std::vector(fonts.begin(), fonts.end() - 1), expectedFonts);
    EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(394L, 210L));
    for (size_t i = 0; i < found.size(); ++i) {
        const RECT& r = found[i];
        EXPECT_TRUE(EqualRect(&places[i].second, &r))
            << "control " << places[i].first << ": " << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
    }
}

// A blue title, a grey separator, the information sign for the window and the application icon inside.
TEST_F(AboutDialogTest, DrawsItsColoursAndIcons) {
    std::pair<int, int> titleBlue, versionBlue, lineGrey;
    std::pair<int, WORD> big, small, picture;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        bringToFront(dialog);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        titleBlue = screenPixels(GetDlgItem(dialog, lblTitle), RGB(0, 0, 255));
        versionBlue = screenPixels(GetDlgItem(dialog, lblVersion), RGB(0, 0, 255));
        lineGrey = screenPixels(GetDlgItem(dialog, Line1), RGB(128, 128, 128));
        big = iconOf(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
        small = iconOf(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0));
        picture = iconOf(SendMessageW(GetDlgItem(dialog, picIcon), STM_GETICON, 0, 0));
    }));
    EXPECT_GT(titleBlue.first, 50);
    EXPECT_EQ(versionBlue.first, 0);
    EXPECT_EQ(lineGrey.first, lineGrey.second);
    EXPECT_EQ(big, std::pair(GetSystemMetrics(SM_CXICON), WORD{2}));
    EXPECT_EQ(small, std::pair(GetSystemMetrics(SM_CXSMICON), WORD{2}));
    EXPECT_EQ(picture, std::pair(32, WORD{1}));
}

TEST_F(AboutDialogTest, FocusStartsOnTheDefaultButtonOkAndTabFollowsTheDesignOrder) {
    std::vector<HWND> seen, expected;
    LONG_PTR okStyle = 0;
    LRESULT defaultId = 0;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        okStyle = GetWindowLongPtrW(GetDlgItem(dialog, cmdOK), GWL_STYLE);
        defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        bringToFront(dialog);
        // Five times Tab round to OK again, then Shift+Tab back.
        for (int id : {cmdOK, picIcon, Command1, Command2, cmdSysInfo, cmdOK, cmdSysInfo})
            expected.push_back(GetDlgItem(dialog, id));
        seen.push_back(focusIn(dialog));
        for (size_t step = 1; step < expected.size(); ++step) {
            if (step < 6) pressKeys({VK_TAB});
            else pressKeys({VK_SHIFT, VK_TAB});
            waitUntil([&] { return focusIn(dialog) == expected[step]; }, 1000);
            seen.push_back(focusIn(dialog));
        }
    }));
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(okStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(defaultId, MAKELRESULT(cmdOK, DC_HASDEFID));
}

// Each closes the dialog and gives the opener back its input, and does nothing
// else; a quit request also reaches the application's loop afterwards.
TEST_F(AboutDialogTest, ClosesTheSameWayByEveryRoute) {
    static DWORD thread = GetCurrentThreadId();
    const std::pair<const char*, void (*)(HWND)> routes[] = {
        {"a click on OK", [](HWND dialog) { click(GetDlgItem(dialog, cmdOK)); }},
        {"Enter", [](HWND) { pressKeys({VK_RETURN}); }},
        {"Esc", [](HWND) { pressKeys({VK_ESCAPE}); }},
        {"Alt+O", [](HWND) { pressKeys({VK_MENU, 'O'}); }},
        {"the close box", [](HWND dialog) { clickCloseBox(dialog); }},
        {"Enter with the focus on the picture",
         [](HWND dialog) {
             pressKeys({VK_TAB});
             waitUntil([&] { return focusIn(dialog) == GetDlgItem(dialog, picIcon); }, 1000);
             pressKeys({VK_RETURN});
         }},
        {"a quit request", [](HWND) { PostThreadMessageW(thread, WM_QUIT, 42, 0); }},
    };
    for (const auto& [name, close] : routes) {
        SCOPED_TRACE(name);
        bool closed = false, messageSeen = false;
        ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
            bringToFront(dialog);
            close(dialog);
            closed = waitUntil([&] { return !IsWindow(dialog); }, 3000);
            messageSeen = messageBoxShown();
        }));
        EXPECT_TRUE(closed);
        EXPECT_FALSE(messageSeen);
        EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
        EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == owner.hwnd(); }, 2000));
        MSG quit{};
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 42,
                  std::string(name) == "a quit request");
    }
}

// The recording program answers the shell's "open" of web and mail addresses.
class ShellLinkTest : public AboutDialogTest {
protected:
    ShellLinkTest() {
        for (auto& handler : handlers) handler.setText(L"\"" + recorderProgram() + L"\" \"%1\"");
    }
    static std::wstring commandKey(const wchar_t* scheme) {
        return std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command";
    }
    RegistryValueBackup handlers[3] = {{HKEY_LOCAL_MACHINE, commandKey(L"http"), L""},
                                       {HKEY_LOCAL_MACHINE, commandKey(L"https"), L""},
                                       {HKEY_LOCAL_MACHINE, commandKey(L"mailto"), L""}};
};

TEST_F(ShellLinkTest, LinkButtonsHandTheirAddressesToTheShellAndTheDialogStaysOpen) {
    const struct {
        const char* name;
        int id;
        std::wstring captionPrefix, addressPrefix;
        void (*press)(HWND dialog, HWND button);
    } links[] = {
        {"a click on the home page", Command1, L"HomePage: ", L"", [](HWND, HWND button) { click(button); }},
        {"a click on the mail address", Command2, L"E-Mail Address: ", L"mailto:",
         [](HWND, HWND button) { click(button); }},
        {"Enter with the focus on the home page", Command1, L"HomePage: ", L"",
         [](HWND dialog, HWND button) {
             pressKeys({VK_TAB});
             pressKeys({VK_TAB});
             waitUntil([&] { return focusIn(dialog) == button; }, 1000);
             pressKeys({VK_RETURN});
         }},
    };
    for (const auto& link : links) {
        SCOPED_TRACE(link.name);
        RecorderLog log;
        std::wstring caption;
        bool started = false, openAfterwards = false, messageSeen = false;
        ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
            bringToFront(dialog);
            caption = textOf(GetDlgItem(dialog, link.id));
            link.press(dialog, GetDlgItem(dialog, link.id));
            started = log.waitForStarts(1);
            Sleep(300);
            openAfterwards = IsWindowVisible(dialog);
            messageSeen = messageBoxShown();
        }));
        ASSERT_TRUE(started);
        ASSERT_EQ(caption.rfind(link.captionPrefix, 0), 0u);
        const std::vector<Start> starts = log.starts();
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].argument, link.addressPrefix + caption.substr(link.captionPrefix.size()));
        EXPECT_TRUE(sameFile(starts[0].program, recorderProgram()));
        EXPECT_EQ(starts[0].show, SW_SHOW);
        EXPECT_TRUE(openAfterwards);
        EXPECT_FALSE(messageSeen);
    }
}

}  // namespace
}  // namespace belavo::test

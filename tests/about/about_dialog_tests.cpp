// The About dialog opened in this process over a window of the test, as the
// main window opens it, with a helper thread looking at it and pressing its
// keys and buttons the way a person does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about_dialog_ids.hpp"
#include "about_test_support.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

using namespace belavo::ui::about;

constexpr wchar_t kMessageBoxClass[] = L"#32770";

RECT clientRectOf(HWND dialog, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

// The pixels of `icon` drawn at `size` on white.
std::vector<COLORREF> pixelsOf(HICON icon, int size) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, size, size};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(memory, x, y));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

SIZE iconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {0, 0};
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    const SIZE size{bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

// How many screen pixels inside `control` have exactly `colour`.
int countScreenPixels(HWND control, COLORREF colour) {
    RECT rect;
    GetWindowRect(control, &rect);
    const HDC screen = GetDC(nullptr);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) count += GetPixel(screen, x, y) == colour;
    }
    ReleaseDC(nullptr, screen);
    return count;
}

bool messageBoxShown() { return findWindowOf(GetCurrentProcessId(), kMessageBoxClass) != nullptr; }

class AboutDialogTest : public ::testing::Test {
protected:
    OwnerWindow owner;
};

TEST_F(AboutDialogTest, ShowsTheTitleAndVersionOfTheApplication) {
    std::wstring caption, version, title;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        caption = textOf(dialog);
        version = textOf(GetDlgItem(dialog, lblVersion));
        title = textOf(GetDlgItem(dialog, lblTitle));
    }));
    EXPECT_EQ(caption, L"Belavo ｳﾞｧｰｼﾞｮﾝ情報");
    EXPECT_EQ(version, L"ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 1.3.8");
    EXPECT_EQ(title, L"Belavo");
}

TEST_F(AboutDialogTest, ShowsTheButtonCaptionsAndTheThreeLineNotice) {
    std::wstring ok, sysInfo, homePage, mail, notice;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        ok = textOf(GetDlgItem(dialog, cmdOK));
        sysInfo = textOf(GetDlgItem(dialog, cmdSysInfo));
        homePage = textOf(GetDlgItem(dialog, Command1));
        mail = textOf(GetDlgItem(dialog, Command2));
        notice = textOf(GetDlgItem(dialog, Label1));
    }));
    EXPECT_EQ(ok, L"OK(&O)");
    EXPECT_EQ(sysInfo, L"ｼｽﾃﾑ情報(&S)");
    EXPECT_EQ(homePage.rfind(L"HomePage: https://", 0), 0u) << "caption: " << testing::PrintToString(homePage);
    EXPECT_EQ(mail.rfind(L"E-Mail Address: ", 0), 0u);
    EXPECT_NE(mail.find(L'@'), std::wstring::npos);

    // An author line, an empty line, and the line about reproduction.
    const size_t first = notice.find(L"\r\n");
    ASSERT_NE(first, std::wstring::npos);
    EXPECT_GT(first, 0u);
    EXPECT_EQ(notice.substr(first, 4), L"\r\n\r\n");
    const std::wstring last = notice.substr(first + 4);
    EXPECT_FALSE(last.empty());
    EXPECT_EQ(last.find_first_of(L"\r\n"), std::wstring::npos);
    EXPECT_NE(last.find(L"許可"), std::wstring::npos);
}

TEST_F(AboutDialogTest, PlacesEveryElementAt96Dpi) {
    struct Place {
        int id;
        RECT rect;  // pixels within the client area: twips / 15
    };
    const Place places[] = {
        {lblVersion, {64, 40, 387, 55}}, {cmdOK, {200, 184, 287, 207}},    {Label1, {8, 72, 385, 113}},
        {picIcon, {8, 8, 40, 40}},       {lblTitle, {64, 8, 387, 40}},     {Command1, {8, 120, 385, 137}},
        {Command2, {8, 144, 385, 161}},  {cmdSysInfo, {296, 184, 383, 207}}, {Line1, {8, 176, 386, 178}},
    };
    UINT dpi = 0;
    RECT client{};
    std::vector<RECT> found;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        dpi = GetDpiForWindow(dialog);
        GetClientRect(dialog, &client);
        for (const Place& place : places) found.push_back(clientRectOf(dialog, place.id));
    }));
    if (dpi != 96) GTEST_SKIP() << "the display is at " << dpi << " DPI";
    EXPECT_EQ(client.right, 394);
    EXPECT_EQ(client.bottom, 210);
    for (size_t i = 0; i < found.size(); ++i) {
        const RECT& want = places[i].rect;
        const RECT& got = found[i];
        EXPECT_TRUE(EqualRect(&want, &got)) << "control " << places[i].id << ": " << got.left << "," << got.top << " - "
                                            << got.right << "," << got.bottom;
    }
}

TEST_F(AboutDialogTest, UsesTheDesignFontsWithTheirCharacterSets) {
    struct Font {
        int id;
        const wchar_t* face;
        LONG height;  // 9 pt and 15.75 pt at 96 DPI
        LONG weight;
        BYTE charset;
    };
    const Font fonts[] = {
        {Label1, L"ＭＳ ゴシック", -12, FW_NORMAL, SHIFTJIS_CHARSET},
        {Command1, L"ＭＳ ゴシック", -12, FW_NORMAL, SHIFTJIS_CHARSET},
        {Command2, L"ＭＳ ゴシック", -12, FW_NORMAL, SHIFTJIS_CHARSET},
        {lblTitle, L"Times New Roman", -21, FW_BOLD, ANSI_CHARSET},
    };
    std::vector<LOGFONTW> found;
    std::vector<HFONT> defaults;
    LOGFONTW defaultFont{};
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        for (const Font& font : fonts) found.push_back(fontOf(GetDlgItem(dialog, font.id)));
        for (int id : {lblVersion, cmdOK, cmdSysInfo}) {
            defaults.push_back(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(dialog, id), WM_GETFONT, 0, 0)));
        }
        defaultFont = fontOf(GetDlgItem(dialog, lblVersion));
    }));
    for (size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "control " << fonts[i].id);
        EXPECT_STREQ(found[i].lfFaceName, fonts[i].face);
        EXPECT_EQ(found[i].lfHeight, fonts[i].height);
        EXPECT_EQ(found[i].lfWeight, fonts[i].weight);
        EXPECT_EQ(found[i].lfCharSet, fonts[i].charset);
        EXPECT_FALSE(found[i].lfItalic);
    }
    // The version line and the two small buttons share the dialog's default font, a Japanese one.
    ASSERT_EQ(defaults.size(), 3u);
    EXPECT_EQ(defaults[1], defaults[0]);
    EXPECT_EQ(defaults[2], defaults[0]);
    EXPECT_EQ(defaultFont.lfCharSet, SHIFTJIS_CHARSET);
}

TEST_F(AboutDialogTest, DrawsTheTitleInBlueAndTheSeparatorAsAGreyLine) {
    int bluePixels = 0, versionBluePixels = 0, linePixels = 0, greyLinePixels = 0;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        bringToFront(dialog);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        bluePixels = countScreenPixels(GetDlgItem(dialog, lblTitle), RGB(0, 0, 255));
        versionBluePixels = countScreenPixels(GetDlgItem(dialog, lblVersion), RGB(0, 0, 255));
        RECT line;
        GetWindowRect(GetDlgItem(dialog, Line1), &line);
        linePixels = (line.right - line.left) * (line.bottom - line.top);
        greyLinePixels = countScreenPixels(GetDlgItem(dialog, Line1), RGB(128, 128, 128));
    }));
    EXPECT_GT(bluePixels, 50);
    EXPECT_EQ(versionBluePixels, 0);
    EXPECT_EQ(linePixels, 378 * 2);
    EXPECT_EQ(greyLinePixels, linePixels);
}

TEST_F(AboutDialogTest, IsAFixedDialogOwnedByTheOpenerAndCentredOverIt) {
    LONG_PTR style = 0, exStyle = 0;
    HWND ownerOfDialog = nullptr;
    BOOL ownerEnabledWhileOpen = TRUE;
    RECT dialogRect{}, ownerRect{};
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        style = GetWindowLongPtrW(dialog, GWL_STYLE);
        exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
        ownerOfDialog = GetWindow(dialog, GW_OWNER);
        ownerEnabledWhileOpen = IsWindowEnabled(owner.hwnd());
        GetWindowRect(dialog, &dialogRect);
        GetWindowRect(owner.hwnd(), &ownerRect);
    }));
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);  // an owned window without it stays out of the taskbar
    EXPECT_EQ(ownerOfDialog, owner.hwnd());
    EXPECT_FALSE(ownerEnabledWhileOpen);
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == owner.hwnd(); }, 2000));
}

TEST_F(AboutDialogTest, ShowsTheInformationIconAndTheApplicationPicture) {
    SIZE big{}, small{}, picture{}, pictureBox{};
    std::vector<COLORREF> shown;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        big = iconSize(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0)));
        small = iconSize(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0)));
        const HWND box = GetDlgItem(dialog, picIcon);
        const auto icon = reinterpret_cast<HICON>(SendMessageW(box, STM_GETICON, 0, 0));
        picture = iconSize(icon);
        if (icon) shown = pixelsOf(icon, 32);
        RECT rect;
        GetClientRect(box, &rect);
        pictureBox = {rect.right, rect.bottom};
    }));
    EXPECT_EQ(big.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(small.cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(picture.cx, 32);
    EXPECT_EQ(picture.cy, 32);
    EXPECT_EQ(pictureBox.cx, 32);
    EXPECT_EQ(pictureBox.cy, 32);

    // The picture is the application icon, not the window's information sign.
    const auto application = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    ASSERT_NE(application, nullptr);
    EXPECT_TRUE(shown == pixelsOf(application, 32));
    DestroyIcon(application);
}

TEST_F(AboutDialogTest, FocusStartsOnOkAndTabFollowsTheDesignOrder) {
    std::vector<HWND> seen, expected;
    HWND backFromOk = nullptr, expectedBack = nullptr;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        bringToFront(dialog);
        seen.push_back(focusIn(dialog));
        for (int id : {cmdOK, picIcon, Command1, Command2, cmdSysInfo, cmdOK}) {
            expected.push_back(GetDlgItem(dialog, id));
        }
        for (int step = 1; step < 6; ++step) {
            pressKeys({VK_TAB});
            waitUntil([&] { return focusIn(dialog) == expected[static_cast<size_t>(step)]; }, 1000);
            seen.push_back(focusIn(dialog));
        }
        pressKeys({VK_SHIFT, VK_TAB});
        expectedBack = GetDlgItem(dialog, cmdSysInfo);
        waitUntil([&] { return focusIn(dialog) == expectedBack; }, 1000);
        backFromOk = focusIn(dialog);
    }));
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(backFromOk, expectedBack);
}

TEST_F(AboutDialogTest, OkIsTheDefaultButton) {
    LONG_PTR okStyle = 0;
    LRESULT defaultId = 0;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        okStyle = GetWindowLongPtrW(GetDlgItem(dialog, cmdOK), GWL_STYLE);
        defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    }));
    EXPECT_EQ(okStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(LOWORD(defaultId), cmdOK);
    EXPECT_EQ(HIWORD(defaultId), DC_HASDEFID);
}

// OK, Enter, Esc, Alt+O and the close box all unload the dialog and give the
// opener back its input; none of them does anything else.
TEST_F(AboutDialogTest, ClosesTheSameWayByEveryRoute) {
    struct Route {
        const char* name;
        void (*close)(HWND dialog);
    };
    const Route routes[] = {
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
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        bool closed = false, messageSeen = false;
        ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
            bringToFront(dialog);
            route.close(dialog);
            closed = waitUntil([&] { return !IsWindow(dialog); }, 3000);
            messageSeen = messageBoxShown();
        }));
        EXPECT_TRUE(closed);
        EXPECT_FALSE(messageSeen);
        EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
        EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == owner.hwnd(); }, 2000));
    }
}

TEST_F(AboutDialogTest, EveryOpeningBuildsTheWindowAfreshAndLoadsItsTexts) {
    HWND first = nullptr;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        first = dialog;
        SetWindowTextW(dialog, L"changed");
        SetWindowTextW(GetDlgItem(dialog, lblVersion), L"changed");
        SetWindowTextW(GetDlgItem(dialog, lblTitle), L"changed");
        SetWindowTextW(GetDlgItem(dialog, Label1), L"changed");
    }));
    EXPECT_FALSE(IsWindow(first));
    std::wstring caption, version, title, notice;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        caption = textOf(dialog);
        version = textOf(GetDlgItem(dialog, lblVersion));
        title = textOf(GetDlgItem(dialog, lblTitle));
        notice = textOf(GetDlgItem(dialog, Label1));
    }));
    EXPECT_EQ(caption, L"Belavo ｳﾞｧｰｼﾞｮﾝ情報");
    EXPECT_EQ(version, L"ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 1.3.8");
    EXPECT_EQ(title, L"Belavo");
    EXPECT_NE(notice, L"changed");
}

// A quit request that arrives while the dialog runs its own loop ends that
// loop and reaches the application's loop afterwards.
TEST_F(AboutDialogTest, PassesOnAQuitRequestThatArrivesWhileItIsOpen) {
    const DWORD thread = GetCurrentThreadId();
    HWND opened = nullptr;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        opened = dialog;
        PostThreadMessageW(thread, WM_QUIT, 42, 0);
        waitUntil([&] { return !IsWindow(dialog); }, 3000);
    }));
    EXPECT_FALSE(IsWindow(opened));
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 42u);
}

// The recording program answers the shell's "open" of web and mail addresses.
class ShellLinkTest : public AboutDialogTest {
protected:
    ShellLinkTest() {
        const std::wstring command = L"\"" + recorderProgram() + L"\" \"%1\"";
        for (auto& handler : handlers) handler.setText(command);
    }

    static std::wstring commandKey(const wchar_t* scheme) {
        return std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command";
    }

    RegistryValueBackup handlers[3] = {{HKEY_LOCAL_MACHINE, commandKey(L"http"), L""},
                                       {HKEY_LOCAL_MACHINE, commandKey(L"https"), L""},
                                       {HKEY_LOCAL_MACHINE, commandKey(L"mailto"), L""}};
    RecorderLog log;
};

TEST_F(ShellLinkTest, LinkButtonsHandTheirAddressesToTheShellAndTheDialogStaysOpen) {
    struct Link {
        int id;
        std::wstring captionPrefix, addressPrefix;
    };
    const Link links[] = {{Command1, L"HomePage: ", L""}, {Command2, L"E-Mail Address: ", L"mailto:"}};
    for (const Link& link : links) {
        SCOPED_TRACE(testing::Message() << "button " << link.id);
        RecorderLog linkLog;
        std::wstring caption;
        bool started = false, openAfterwards = false, messageSeen = false;
        ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
            bringToFront(dialog);
            caption = textOf(GetDlgItem(dialog, link.id));
            click(GetDlgItem(dialog, link.id));
            started = linkLog.waitForStarts(1);
            Sleep(300);
            openAfterwards = IsWindowVisible(dialog);
            messageSeen = messageBoxShown();
        }));
        ASSERT_TRUE(started);
        ASSERT_EQ(caption.rfind(link.captionPrefix, 0), 0u);
        const std::vector<Start> starts = linkLog.starts();
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].argument, link.addressPrefix + caption.substr(link.captionPrefix.size()));
        EXPECT_TRUE(sameFile(starts[0].program, recorderProgram()));
        EXPECT_EQ(starts[0].show, SW_SHOW);
        EXPECT_TRUE(openAfterwards);
        EXPECT_FALSE(messageSeen);
    }
}

TEST_F(ShellLinkTest, EnterPressesTheLinkButtonThatHasTheFocus) {
    std::wstring caption;
    bool started = false, openAfterwards = false;
    ASSERT_TRUE(runDialog(owner.hwnd(), [&](HWND dialog) {
        bringToFront(dialog);
        const HWND homePage = GetDlgItem(dialog, Command1);
        caption = textOf(homePage);
        pressKeys({VK_TAB});
        pressKeys({VK_TAB});
        waitUntil([&] { return focusIn(dialog) == homePage; }, 1000);
        pressKeys({VK_RETURN});
        started = log.waitForStarts(1);
        Sleep(300);
        openAfterwards = IsWindowVisible(dialog);
    }));
    ASSERT_TRUE(started);
    EXPECT_EQ(log.starts().at(0).argument, caption.substr(std::wstring(L"HomePage: ").size()));
    EXPECT_TRUE(openAfterwards);
}

}  // namespace
}  // namespace belavo::test

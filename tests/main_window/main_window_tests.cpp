// The main window and its About dialog in this process, where fonts, menu, beeps, input contexts and started programs
// show; registry and files are the test's own. CTest reruns the caption test under other PCs' fonts (wine-profiles).
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "main_window.hpp"
#include "ui_driver.hpp"

// The real user32 function behind an import that this program replaces.
template <class Function>
static Function user32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32"), name)));
}
// Beeps are counted; a class is refused as when atoms run out, a window as when handles do.
static int beeps = 0, staleMenuDestroys = 0;  // menus destroyed once too often
static bool refuseNextClass = false, refuseNextControl = false;
extern "C" {
decltype(&MessageBeep) __imp_MessageBeep = [](UINT) { return ++beeps, TRUE; };
decltype(&DestroyMenu) __imp_DestroyMenu = [](HMENU menu) {
    return staleMenuDestroys += !IsMenu(menu), user32<decltype(&DestroyMenu)>("DestroyMenu")(menu);
};
decltype(&RegisterClassExW) __imp_RegisterClassExW = [](const WNDCLASSEXW* c) {
    return std::exchange(refuseNextClass, false) ? ATOM{0} : user32<decltype(&RegisterClassExW)>("RegisterClassExW")(c);
};
static DWORD textScale = 100, contrast = 0;  // TextScaleFactor, HIGHCONTRAST flags: faked (none in Wine)
decltype(&RegGetValueW) __imp_RegGetValueW = [](HKEY root, LPCWSTR key, LPCWSTR name, DWORD flags,
                                                 DWORD* type, void* data, DWORD* size) {
    if (!lstrcmpW(name, L"TextScaleFactor")) return *static_cast<DWORD*>(data) = textScale, LSTATUS{};
    const auto real = reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryA("advapi32"), "RegGetValueW"));
    return reinterpret_cast<decltype(&RegGetValueW)>(real)(root, key, name, flags, type, data, size);
};
decltype(&SystemParametersInfoW) __imp_SystemParametersInfoW = [](UINT what, UINT size, void* data, UINT f) {
    if (what == SPI_GETHIGHCONTRAST) return static_cast<HIGHCONTRASTW*>(data)->dwFlags = contrast, TRUE;
    return user32<decltype(&SystemParametersInfoW)>("SystemParametersInfoW")(what, size, data, f);
};
decltype(&CreateWindowExW) __imp_CreateWindowExW = [](DWORD ex, auto name, auto caption, DWORD style, auto... rest) {
    if (style & WS_CHILD && std::exchange(refuseNextControl, false)) return HWND{};
    return user32<decltype(&CreateWindowExW)>("CreateWindowExW")(ex, name, caption, style, rest...);
};
}

namespace belavo::ui {
namespace {

namespace fs = std::filesystem;

// Started in place of the browser or the viewer: notes "path<TAB>command line" in the log and ends.
[[maybe_unused]] const bool recorded = [] {
    wchar_t log[MAX_PATH]{}, self[MAX_PATH]{};
    if (!GetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log, MAX_PATH)) return false;
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring line = std::wstring(self) + L"\t" + GetCommandLineW() + L"\n";
    std::ofstream(log, std::ios::binary | std::ios::app)
        .write(reinterpret_cast<const char*>(line.data()), line.size() * sizeof(wchar_t));
    ExitProcess(3);
}();

// Sets a string value, terminated or not (a character after it stops the registry adding one); none deletes it.
// HKEY_CLASSES_ROOT is redirected to the same key as HKEY_LOCAL_MACHINE.
void set(const std::wstring& key, const wchar_t* name, const std::optional<std::wstring>& value, bool terminated) {
    if (!value) RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name);
    else RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, (*value + (terminated ? L'\0' : L'?')).c_str(),
                         static_cast<DWORD>((value->size() + terminated) * sizeof(wchar_t)));
}

// Where the first top-level window made on this thread was created, as a WH_CBT hook sees it.
RECT created{};
LRESULT CALLBACK noteCreation(int code, WPARAM wParam, LPARAM lParam) {
    const CREATESTRUCTW* w = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs : nullptr;
    if (w && !(w->style & WS_CHILD) && IsRectEmpty(&created)) created = {w->x, w->y, w->x + w->cx, w->y + w->cy};
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Opens the About dialog over `owner` on this thread while `drive` works on it from another, then presses OK.
template <class Drive>
void withAboutDialog(HWND owner, Drive drive) {
    std::thread helper([&] {
        HWND about = nullptr;
        if (!test::waitUntil([&] { return (about = test::findWindowOf(GetCurrentProcessId(), about::kAboutDialogClass)); }))
            return ADD_FAILURE() << "no About dialog";
        drive(about);
        PostMessageW(about, WM_COMMAND, MAKEWPARAM(about::cmdOK, BN_CLICKED), 0);
    });
    showAboutDialog(owner);
    helper.join();
}

// The characters of `text` that `font` (or a font it links to) draws as U+FFFF, the missing-glyph box.
std::wstring boxesIn(const std::wstring& text, HFONT font) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(64, 64, 1, 1, nullptr);
    SelectObject(dc, bitmap), SelectObject(dc, font);
    const auto picture = [&](wchar_t character) {
        PatBlt(dc, 0, 0, 64, 64, WHITENESS), TextOutW(dc, 0, 0, &character, 1);
        std::vector<BYTE> bits(64 * 64 / 8);
        GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
        return bits;
    };
    std::wstring boxes;
    for (const auto box = picture(0xFFFF); wchar_t c : text) if (c > L' ' && picture(c) == box) boxes += c;
    DeleteDC(dc), DeleteObject(bitmap);
    return boxes;
}

// As opened, then live at text sizes 225, 100, 150% and at 144 DPI: the client area `design` (twips / 15)
// times the text size or stopped by the work area; places and fonts scaled as the window, first fonts freed;
// at 225 and 150% a contrast theme's yellow on black alone (white: caret, focus), else `designed`; no brush
// left. Every character of the menu bar and captions drawn and, where `measured`, each caption whole: its
// lines at the client width (one-line captions, buttons by width), an entry its font's line, `advice` four.
void expectCaptionsFit(HWND window, SIZE design, COLORREF designed, bool measured, int advice = 0) {
    std::vector<std::tuple<std::vector<long>, HFONT, double>> opened;  // place and font height, font, scale
    int ids[COLOR_MENUBAR + 1], objects = 0, step = 0;
    COLORREF palette[2][COLOR_MENUBAR + 1];  // the system's, and the theme's: texts and edges at even indexes
    for (int i = 0; i <= COLOR_MENUBAR; ++i) palette[0][i] = GetSysColor(ids[i] = i);
    for (int i = 0; i <= COLOR_MENUBAR; ++i) palette[1][i] = i % 2 ? RGB(0, 0, 0) : RGB(0xFF, 0xFF, 0);
    for (RECT place, frame{}, client, work;
         const auto& [dpi, percent] : {std::pair{96ul, textScale}, {96ul, 225ul}, {96ul, 100ul},
                                       {96ul, 150ul}, {144ul, 100ul}}) {
        std::vector<COLORREF> shown;
        if (std::exchange(textScale, percent) != percent) SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
        if (measured && step) SetSysColors(COLOR_MENUBAR + 1, ids, palette[contrast = step % 2]);
        if (dpi > 96) SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&frame));
        GetWindowRect(window, &frame);
        GetClientRect(window, &client);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const bool stopped = frame.bottom - frame.top > work.bottom - work.top - 5;  // by a layout DPI's step
        EXPECT_TRUE(dpi > 96 || (frame.bottom <= work.bottom &&
                                 (stopped || client.bottom == LONG(design.cy * percent + 50) / 100)));
        const double scale = dpi > 96 ? 1.5 : client.right / double(design.cx);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
        const HFONT menuFont = CreateFontIndirectW(&metrics.lfMenuFont);
        for (int item = 0; item < GetMenuItemCount(GetMenu(window)); ++item) {  // none in the About dialog
            std::wstring caption(64, L'\0');
            caption.resize(GetMenuStringW(GetMenu(window), item, caption.data(), 64, MF_BYPOSITION));
            EXPECT_EQ(boxesIn(caption, menuFont), L"") << testing::PrintToString(caption) << " at " << dpi << " DPI";
        }
        DeleteObject(menuFont);
        std::size_t row = 0;
        for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT), ++row) {
            const std::wstring text = test::textOf(control);
            const int id = GetDlgCtrlID(control);
            SCOPED_TRACE(testing::Message() << "control " << id << " at " << dpi << " DPI");
            const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
            LOGFONTW logFont{};
            GetObjectW(font, sizeof logFont, &logFont);
            GetWindowRect(control, &place);
            MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&place), 2);
            const std::vector<long> now{place.left, place.top, place.right, place.bottom, logFont.lfHeight};
            if (opened.size() == row) opened.emplace_back(now, font, scale);
            const auto& [first, firstFont, firstScale] = opened[row];
            for (auto k = 0u; k < now.size(); ++k) EXPECT_NEAR(now[k], first[k] * scale / firstScale, scale);
            EXPECT_TRUE(font == firstFont || !GetObjectType(firstFont)) << "the first font is kept";
            wchar_t kind[8]{};
            GetClassNameW(control, kind, 8);
            const bool label = !lstrcmpiW(kind, L"Static"), edit = !lstrcmpiW(kind, L"Edit");
            const bool wraps = label && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
            RECT client, needed;
            GetClientRect(control, &client);
            needed = client;
            const HDC dc = GetDC(control);
            SelectObject(dc, font);
            TEXTMETRICW line;
            GetTextMetricsW(dc, &line);
            DrawTextW(dc, text.c_str(), -1, &needed,
                      DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (label ? DT_NOPREFIX : 0));
            for (int y = 0; measured && y < client.bottom; ++y)
                for (int x = 0; x < client.right; ++x) shown.push_back(GetPixel(dc, x, y));
            ReleaseDC(control, dc);
            if (edit || id == advice) needed = {0, 0, 0, line.tmHeight * (edit ? 1 : 4)};
            EXPECT_TRUE(!measured || text.empty() || (needed.right <= client.right && needed.bottom <= client.bottom))
                << needed.right << "x" << needed.bottom << " needed in " << client.right << "x" << client.bottom;
            EXPECT_EQ(boxesIn(text, font), L"");
        }
        std::erase_if(shown, [](auto c) { return c == 0xFFFFFF || (!(c >> 16) && c >> 8 == (c & 0xFF)); });
        EXPECT_TRUE(!measured || (contrast ? shown.empty() : std::erase(shown, designed) > 0)) << percent;
        if (step++ == 2) objects = test::liveGdiObjects(GetCurrentProcessId());  // the theme came and went
    }
    EXPECT_EQ(test::liveGdiObjects(GetCurrentProcessId()), objects) << "left by a contrast theme";
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(SW_SHOWNORMAL); }
    HWND control(int id) const { return GetDlgItem(window.hwnd(), id); }
    MainWindow window;
};

// A screen reader names a field after the static just before it. An entry field closes the IME when it gets
// the focus, and beeps once its text can no longer become a number by typing on.
TEST_F(MainWindowTest, EveryFieldFollowsItsCaptionAndAnEntryTakesNumbers) {
    const std::pair<int, int> pairs[] = {{Label2, Text1},    {Label3, Text2},    {Label13, Label6},
                                         {Label12, Label7}, {Label11, Label8}, {Label17, Label18}};
    const std::pair<const wchar_t*, bool> entries[] = {
        {L"", false}, {L"-", false}, {L"1e", false}, {L"56.", false}, {L"162cm", true}, {L"1..2", true}};
    for (const auto& [caption, field] : pairs) {
        EXPECT_EQ(GetWindow(control(field), GW_HWNDPREV), control(caption)) << field;
        if (field != Text1 && field != Text2) continue;
        const HIMC context = ImmGetContext(control(field));
        SetFocus(control(Command1));
        ImmSetOpenStatus(context, TRUE);
        SetFocus(control(field));
        EXPECT_TRUE(context && !ImmGetOpenStatus(context)) << field << " left the IME open";
        ImmReleaseContext(control(field), context);
        for (const auto& [text, beep] : entries) {
            beeps = 0;
            SetWindowTextW(control(field), text);
            EXPECT_EQ(beeps, beep ? 1 : 0) << field << " " << testing::PrintToString(std::wstring(text));
        }
    }
}

// A window that cannot be built is not created (its menu goes with it, once) and is reported under the
// program's title; the next window is built as usual.
TEST_F(MainWindowTest, AWindowThatCannotBeBuiltIsReportedAndNotCreated) {
    const std::pair<bool*, void (*)(HWND)> refusals[] = {
        {&refuseNextControl, [](HWND) { EXPECT_FALSE(MainWindow().hwnd()); }},
        // As if no test had opened it; showAboutDialog returns at once when it opened none.
        {&refuseNextClass, [](HWND owner) { UnregisterClassW(about::kAboutDialogClass, nullptr), showAboutDialog(owner); }},
    };
    for (const auto& [refuse, build] : refusals) {
        std::wstring reportTitle;
        std::thread reader([&] {
            const auto report = test::waitForMessageBox(GetCurrentProcessId());
            if (report) reportTitle = report->title, test::pressOk(report->window);
        });
        *refuse = true;
        build(window.hwnd());
        reader.join();
        EXPECT_EQ(reportTitle, kAppIdentity.title);
    }
    EXPECT_EQ(staleMenuDestroys, 0);
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), window.hwnd());
    EXPECT_TRUE(MainWindow().hwnd());
}

TEST_F(MainWindowTest, EveryCaptionShowsWholeAndRescalesInBothWindows) {
    const char* prefix = std::getenv("WINEPREFIX");  // elsewhere the fonts are the user's own
    const bool measured = prefix && std::filesystem::exists(std::string("Z:") + prefix + "/.belavo-ready");
    expectCaptionsFit(window.hwnd(), {6510 / 15, 6285 / 15}, RGB(0xC0, 0xFF, 0xFF), measured, Label9);
    EXPECT_EQ(GetFocus(), control(Text1)) << "a new layout made the entries again, losing what was typed";
    textScale = 150;  // the dialog (5910 x 3150 twips) opens at that size; its title is blue
    withAboutDialog(window.hwnd(), [=](HWND w) { expectCaptionsFit(w, {394, 210}, 0xFF0000, measured); });
}

class AboutDialogTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        HKEY key = nullptr;  // both roots in one: their keys do not meet
        ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, sandbox.c_str(), &key), ERROR_SUCCESS);
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT})
            ASSERT_EQ(RegOverridePredefKey(root, key), ERROR_SUCCESS) << "the machine's own keys would be written";
        RegCloseKey(key);
        fs::create_directories(folder);
        SetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log.c_str());
    }
    ~AboutDialogTest() override {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT}) RegOverridePredefKey(root, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, sandbox.c_str());
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Clicks `button`: a line "path<TAB>command line" per recording start, once one started or a box was closed.
    std::wstring click(HWND dialog, int button) const {
        fs::remove(log);
        PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        const auto size = [&] { return fs::exists(log) ? fs::file_size(log) / sizeof(wchar_t) : 0; };
        test::waitUntil([&] { return size() || test::findWindowOf(GetCurrentProcessId(), L"#32770"); }, 10000);
        if (const auto box = test::waitForMessageBox(GetCurrentProcessId(), 0)) test::pressOk(box->window);
        std::wstring text(size(), L'\0');
        std::ifstream(log, std::ios::binary).read(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
        return text;
    }

    const std::wstring sandbox = L"Software\\Belavo tests " + std::to_wstring(GetCurrentProcessId());
    const fs::path folder = fs::temp_directory_path() / (L"belavo-about-" + std::to_wstring(GetCurrentProcessId()));
    const fs::path log = folder / L"starts.log";
};

// The dialog is created centred over its owner; each link opens the address its caption shows (mail as mailto:).
// The viewer's first place is taken as it stands, the second only when the first is absent and the viewer is a
// plain file there; a path not fully qualified would run the current folder's or drive's. Closing frees the fonts.
TEST_F(AboutDialogTest, StartsWhatItsButtonsNameFromItsCentredPlaceAndFreesItsFonts) {
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring recorder = self, base = folder.wstring() + L"\\", other = base + L"other\\MSINFO32.EXE",
                       spaced = base + L"My Tools\\MSINFO32.EXE", hidden = base + L"hidden\\MSINFO32.EXE";
    for (const std::wstring& file : {other, spaced, hidden, base + L"here\\MSINFO32.EXE"}) {
        fs::create_directories(fs::path(file).parent_path());
        fs::copy_file(recorder, file);
    }
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const struct {
        const char* name;
        std::optional<std::wstring> first, second;
        std::wstring started;  // "" for the message
        bool terminated = false;  // the terminator within the values' size
    } cases[] = {
        {"the second place's folder", {}, base + L"other", other},
        {"more than 1024 bytes count as absent", std::wstring(1100, L'x'), base + L"other", other},
        {"a quoted path with spaces, terminated", L"\"" + spaced + L"\"", {}, spaced, true},
        {"no data at all", L"", base + L"other", L""},
        {"a relative path", L"MSINFO32.EXE", base + L"other", L""},
        {"a drive-relative path", base.substr(0, 2) + L"MSINFO32.EXE", {}, L""},
        {"a root-relative path", base.substr(2) + L"other\\MSINFO32.EXE", {}, L""},
        {"forward slashes from the root", fs::path(base.substr(2) + L"other\\MSINFO32.EXE").generic_wstring(), {}, L""},
        {"dot segments from the current folder", L"..\\here\\MSINFO32.EXE", {}, L""},
        {"a hidden viewer", {}, base + L"hidden", L""},
    };
    for (const std::wstring scheme : {L"https", L"mailto"})
        set(scheme + L"\\shell\\open\\command", nullptr, L"\"" + recorder + L"\" \"%1\"", false);
    const fs::path current = fs::current_path();
    fs::current_path(base + L"here");
    const HHOOK hook = SetWindowsHookExW(WH_CBT, noteCreation, nullptr, GetCurrentThreadId());
    RECT shown{}, over;
    GetWindowRect(window.hwnd(), &over);
    std::vector<HGDIOBJ> fonts;
    withAboutDialog(window.hwnd(), [&](HWND dialog) {
        GetWindowRect(dialog, &shown);
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
            fonts.push_back(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        for (const auto& [button, scheme] : {std::pair{about::Command1, L""}, {about::Command2, L"mailto:"}}) {
            // On Windows the browser is the user's own choice, not a registry key that a test may redirect.
            if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) break;
            const std::wstring caption = test::textOf(GetDlgItem(dialog, button));
            const std::wstring address = scheme + caption.substr(caption.find(L": ") + 2);
            EXPECT_EQ(click(dialog, button), recorder + L"\t\"" + recorder + L"\" \"" + address + L"\"\n");
        }
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            set(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", c.first, c.terminated);
            set(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", c.second, c.terminated);
            // The path as put together, quoted: nothing of it can be taken as arguments.
            EXPECT_EQ(click(dialog, about::cmdSysInfo), c.started.empty() ? L"" : c.started + L"\t\"" + c.started + L"\"\n");
        }
    });
    UnhookWindowsHookEx(hook);
    fs::current_path(current);
    EXPECT_TRUE(EqualRect(&created, &shown));
    EXPECT_NEAR(created.left + created.right, over.left + over.right, 1);
    EXPECT_NEAR(created.top + created.bottom, over.top + over.bottom, 1);
    for (HGDIOBJ font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
}

}  // namespace
}  // namespace belavo::ui

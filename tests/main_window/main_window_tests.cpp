// The main window and its About dialog in this process, where fonts, menu, beeps, input contexts and started programs
// show; registry and files are the test's own. CTest reruns the caption test under other PCs' fonts (wine-profiles).
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <atomic>
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
decltype(&CreateWindowExW) __imp_CreateWindowExW = [](DWORD ex, auto name, auto caption, DWORD style, auto... rest) {
    if (style & WS_CHILD && std::exchange(refuseNextControl, false)) return HWND{};
    return user32<decltype(&CreateWindowExW)>("CreateWindowExW")(ex, name, caption, style, rest...);
};
}

namespace belavo::ui {
namespace {

namespace fs = std::filesystem;

// Started in place of the browser or the viewer: notes "command line<TAB>show command" in the log and ends.
[[maybe_unused]] const bool recorded = [] {
    wchar_t log[MAX_PATH]{};
    if (!GetEnvironmentVariableW(L"BELAVO_RECORDER_LOG", log, MAX_PATH)) return false;
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1;
    const std::wstring line = GetCommandLineW() + (L"\t" + std::to_wstring(show)) + L"\n";
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

// Runs `action` here while another thread reads and closes the first message box of this process, if any.
template <class Action>
std::optional<test::MessageBoxSeen> boxDuring(Action action) {
    std::atomic<bool> done = false;
    std::optional<test::MessageBoxSeen> box;
    std::thread reader([&] {
        const DWORD self = GetCurrentProcessId();
        const auto seen = [&] { return done || test::findWindowOf(self, L"#32770"); };
        if (!test::waitUntil(seen, 10000) || done) return;
        if ((box = test::waitForMessageBox(self, 0))) test::pressOk(box->window);
    });
    action();
    done = true;
    reader.join();
    return box;
}

// Every row of texts.tsv for `where`: the window's caption, or a control's or menu item's by its id.
void expectDesignedTexts(HWND window, const wchar_t* where) {
    for (const auto& row : test::expectedTable("texts.tsv")) {
        if (row[0] != where) continue;
        SCOPED_TRACE(testing::PrintToString(row[1]));
        const int id = row[1].empty() ? 0 : std::stoi(row[1]);
        const HWND control = id ? GetDlgItem(window, id) : window;
        std::wstring item(256, L'\0');  // a menu item's, when no control has the id
        item.resize(GetMenuStringW(GetMenu(window), id, item.data(), 256, MF_BYCOMMAND));
        EXPECT_EQ(control ? test::textOf(control) : item, row[2]);
    }
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

// At 96 DPI and after WM_DPICHANGED to 144 (every place and font scaled by 1.5, the old fonts freed): every character
// of the menu bar and the captions drawn and, where the fonts are `measured`, each caption whole: its lines at the
// client width (one-line captions and buttons by width), an entry field its font's line, `advice` four.
void expectCaptionsFit(HWND window, bool measured, int advice = 0) {
    std::vector<std::pair<std::vector<long>, HFONT>> at96;  // each control's place and font height, and its font
    for (const UINT dpi : {96, 144}) {
        RECT place;
        GetWindowRect(window, &place);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
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
            if (dpi == 96) at96.emplace_back(now, font);
            for (std::size_t k = 0; dpi > 96 && k < now.size(); ++k) EXPECT_NEAR(now[k], at96[row].first[k] * 1.5, 1.5);
            EXPECT_TRUE(dpi == 96 || !GetObjectType(at96[row].second)) << "the font of 96 DPI is kept";
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
            ReleaseDC(control, dc);
            if (edit || id == advice) needed = {0, 0, 0, line.tmHeight * (edit ? 1 : 4)};
            EXPECT_TRUE(!measured || text.empty() || (needed.right <= client.right && needed.bottom <= client.bottom))
                << needed.right << "x" << needed.bottom << " needed in " << client.right << "x" << client.bottom;
            EXPECT_EQ(boxesIn(text, font), L"");
        }
    }
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
        *refuse = true;
        const auto report = boxDuring([&] { build(window.hwnd()); });
        EXPECT_EQ(report ? report->title : L"", test::designedText(L"AppIdentity", L"title"));
    }
    EXPECT_EQ(staleMenuDestroys, 0);
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), window.hwnd());
    EXPECT_TRUE(MainWindow().hwnd());
}

TEST_F(MainWindowTest, EveryCaptionShowsWholeAndRescalesInBothWindows) {
    const char* prefix = std::getenv("WINEPREFIX");  // elsewhere the captions are measured in another PC's fonts
    const bool measured = prefix && std::filesystem::exists(std::string("Z:") + prefix + "/.belavo-ready");
    expectCaptionsFit(window.hwnd(), measured, Label9);
    withAboutDialog(window.hwnd(), [measured](HWND about) { expectCaptionsFit(about, measured); });
}

// The window opens with its captions as designed. Each check of checks.tsv shows its results, or reports its
// error whole over the window, leaves the results as they were, and gives the focus to the entry to correct
// (the height when neither) with its text selected.
TEST_F(MainWindowTest, EveryCaptionAndCheckReadsAsDesigned) {
    expectDesignedTexts(window.hwnd(), L"Form1");
    const HWND form = window.hwnd();
    const auto shown = [form] { return test::textsOf(form, {Label8, Label9, Label7, Label6, Label18}); };
    // Each row: height, weight, error, entry, then the results.
    for (const auto& row : test::expectedTable("checks.tsv")) {
        SCOPED_TRACE(testing::PrintToString(row[0] + L" / " + row[1]));
        SetWindowTextW(control(Text1), row[0].c_str());
        SetWindowTextW(control(Text2), row[1].c_str());
        const std::vector<std::wstring> before = shown();
        const auto report = boxDuring([&] { SendMessageW(control(Command1), BM_CLICK, 0, 0); });
        if (row[2] == L"0") {
            EXPECT_FALSE(report) << report->text;
            const std::wstring advice = test::designedText(L"adviceBands", row[5]);
            EXPECT_EQ(shown(), (std::vector<std::wstring>{row[4], advice, row[6], row[7], row[8]}));
            continue;
        }
        ASSERT_TRUE(report);
        EXPECT_EQ(report->title, test::designedText(L"AppIdentity", L"title"));
        EXPECT_EQ(report->text, test::designedText(L"report", row[2] + L" " + row[3]));
        EXPECT_EQ(report->owner, window.hwnd());  // the window takes no input meanwhile
        EXPECT_EQ(shown(), before);
        const HWND entry = control(row[3] == L"Text2" ? Text2 : Text1);
        EXPECT_EQ(GetFocus(), entry);
        const auto selection = static_cast<DWORD>(SendMessageW(entry, EM_GETSEL, 0, 0));
        EXPECT_EQ(HIWORD(selection) - LOWORD(selection), test::textOf(entry).size());
    }
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

    // What `press` led to: a line "command line<TAB>show command" per recording start, or the title and text
    // of the message box that came (closed then); "" when neither came.
    template <class Press>
    std::wstring outcomeOf(Press press) const {
        fs::remove(log);
        press();
        const auto size = [&] { return fs::exists(log) ? fs::file_size(log) / sizeof(wchar_t) : 0; };
        test::waitUntil([&] { return size() || test::findWindowOf(GetCurrentProcessId(), L"#32770"); }, 10000);
        if (const auto box = test::waitForMessageBox(GetCurrentProcessId(), 0)) {
            test::pressOk(box->window);
            return box->title + L": " + box->text;
        }
        std::wstring text(size(), L'\0');
        std::ifstream(log, std::ios::binary).read(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
        return text;
    }
    std::wstring click(HWND dialog, int button) const {
        return outcomeOf([&] { PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0); });
    }

    const std::wstring sandbox = L"Software\\Belavo tests " + std::to_wstring(GetCurrentProcessId());
    const fs::path folder = fs::temp_directory_path() / (L"belavo-about-" + std::to_wstring(GetCurrentProcessId()));
    const fs::path log = folder / L"starts.log";
};

// Opened centred over its owner, captions as designed, the focus on OK, Tab and Shift+Tab round every button
// and the picture; Enter on a button or its access key presses it (Enter on OK, Esc, Alt+O: app_tests).
// Links open their captions' addresses; each launcher.tsv row starts the viewer shown, its path quoted, or
// shows the failure box: a path not fully qualified would run the current folder's or drive's. Closing frees
// the fonts.
TEST_F(AboutDialogTest, AnswersItsKeysAndButtonsAsDesignedFromItsCentredPlaceAndFreesItsFonts) {
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring recorder = self, base = folder.wstring() + L"\\";
    const std::wstring viewer = L"\"" + recorder + L"\"\t1\n";
    for (const wchar_t* place : {L"other", L"My Tools", L"hidden", L"here"}) {
        fs::create_directories(base + place);
        fs::copy_file(recorder, base + place + L"\\MSINFO32.EXE");
    }
    SetFileAttributesW((base + L"hidden\\MSINFO32.EXE").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const auto slashes = [](const std::wstring& path) { return fs::path(path).generic_wstring(); };
    const std::pair<std::wstring, std::wstring> names[] = {
        {L"{folder}", base}, {L"{folder/}", slashes(base)}, {L"{drive}", base.substr(0, 2)},
        {L"{path}", base.substr(2)}, {L"{path/}", slashes(base.substr(2))},
        {L"{long}", std::wstring(1100, L'x')}};
    const auto value = [&](std::wstring text) -> std::optional<std::wstring> {
        for (const auto& [name, meaning] : names) {
            for (std::size_t at; (at = text.find(name)) != std::wstring::npos;)
                text.replace(at, name.size(), meaning);
        }
        return text == L"-" ? std::nullopt : std::optional(text);
    };
    const std::wstring failure = test::designedText(L"AppIdentity", L"title") + L": " +
                                 test::designedText(L"StartSysInfo", L"failure");
    // At opening, then after each of five Tabs and each of five Shift+Tabs.
    const std::vector<int> focused{about::cmdOK, about::picIcon, about::Command1, about::Command2,
        about::cmdSysInfo, about::cmdOK, about::cmdSysInfo, about::Command2, about::Command1, about::picIcon,
        about::cmdOK};
    for (const std::wstring scheme : {L"https", L"mailto"})
        set(scheme + L"\\shell\\open\\command", nullptr, L"\"" + recorder + L"\" \"%1\"", false);
    set(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", recorder, false);
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
        expectDesignedTexts(dialog, L"frmAbout");
        test::bringToFront(dialog);
        const auto focus = [&] { return GetDlgCtrlID(test::focusIn(dialog)); };
        std::vector<int> visited{focus()};
        for (int key = 0; key < 10; ++key) {
            test::pressKeys(key < 5 ? std::vector<WORD>{VK_TAB} : std::vector<WORD>{VK_SHIFT, VK_TAB});
            test::waitUntil([&] { return focus() != visited.back(); }, 1000);
            visited.push_back(focus());
        }
        EXPECT_EQ(visited, focused);
        const auto shiftTabEnter = [] { test::pressKeys({VK_SHIFT, VK_TAB}); test::pressKeys({VK_RETURN}); };
        EXPECT_EQ(outcomeOf(shiftTabEnter), viewer);
        EXPECT_EQ(outcomeOf([] { test::pressKeys({VK_MENU, 'S'}); }), viewer);
        for (const auto& [button, scheme] : {std::pair{about::Command1, L""}, {about::Command2, L"mailto:"}}) {
            // On Windows the browser is the user's own choice, not a registry key that a test may redirect.
            if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) break;
            const std::wstring caption = test::textOf(GetDlgItem(dialog, button));
            const std::wstring address = scheme + caption.substr(caption.find(L": ") + 2);
            EXPECT_EQ(click(dialog, button), L"\"" + recorder + L"\" \"" + address + L"\"\t5\n");
        }
        // Each row: what, first place, second place, started, terminated.
        for (const auto& row : test::expectedTable("launcher.tsv")) {
            SCOPED_TRACE(testing::PrintToString(row[0]));
            set(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", value(row[1]), row.size() > 4);
            set(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", value(row[2]), row.size() > 4);
            const auto started = value(row[3]);
            EXPECT_EQ(click(dialog, about::cmdSysInfo), started ? L"\"" + *started + L"\"\t1\n" : failure);
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

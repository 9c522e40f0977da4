// The main window and its About dialog in this process, where fonts, menu, beeps, input contexts and started
// programs show; registry and files are the test's own. CTest reruns the caption test and the pictures under
// other PCs' fonts (wine-profiles).
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>
#include <objidl.h>
#include <gdiplus.h>

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
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32"), name)));
}
// Beeps are counted; a class is refused as when atoms run out, a window as when handles do; the system DPI
// can be made the one of sign-in time, which the monitor no longer has.
static int beeps = 0, staleMenuDestroys = 0;  // menus destroyed once too often
static bool refuseNextClass = false, refuseNextControl = false;
static UINT systemDpi = 0;  // 0: the real one
extern "C" {
decltype(&MessageBeep) __imp_MessageBeep = [](UINT) { return ++beeps, TRUE; };
decltype(&DestroyMenu) __imp_DestroyMenu = [](HMENU menu) {
    return staleMenuDestroys += !IsMenu(menu), user32<decltype(&DestroyMenu)>("DestroyMenu")(menu);
};
decltype(&RegisterClassExW) __imp_RegisterClassExW = [](const WNDCLASSEXW* c) {
    return std::exchange(refuseNextClass, false) ? ATOM{0}
                                                 : user32<decltype(&RegisterClassExW)>("RegisterClassExW")(c);
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
decltype(&CreateWindowExW) __imp_CreateWindowExW = [](DWORD ex, auto name, auto caption, DWORD style,
                                                      auto... rest) {
    if (style & WS_CHILD && std::exchange(refuseNextControl, false)) return HWND{};
    return user32<decltype(&CreateWindowExW)>("CreateWindowExW")(ex, name, caption, style, rest...);
};
decltype(&GetDpiForSystem) __imp_GetDpiForSystem = [] {
    return systemDpi ? systemDpi : user32<decltype(&GetDpiForSystem)>("GetDpiForSystem")();
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

// Sets a string value, terminated or not (a character after it stops the registry adding one); none deletes
// it. HKEY_CLASSES_ROOT is redirected to the same key as HKEY_LOCAL_MACHINE.
void set(const std::wstring& key, const wchar_t* name, const std::optional<std::wstring>& value,
         bool terminated) {
    if (!value) RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name);
    else
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ,
                        (*value + (terminated ? L'\0' : L'?')).c_str(),
                        static_cast<DWORD>((value->size() + terminated) * sizeof(wchar_t)));
}

// Opens the About dialog over `owner` on this thread while `drive` works on it from another, then presses OK.
template <class Drive>
void withAboutDialog(HWND owner, Drive drive) {
    std::thread helper([&] {
        HWND about = nullptr;
        if (!test::waitUntil([&] {
                return (about = test::findWindowOf(GetCurrentProcessId(), about::kAboutDialogClass));
            }))
            return ADD_FAILURE() << "no About dialog";
        drive(about);
        PostMessageW(about, WM_COMMAND, MAKEWPARAM(about::cmdOK, BN_CLICKED), 0);
    });
    showAboutDialog(owner);
    helper.join();
}

// As Windows moves `window` to a monitor of `dpi` at `corner`: it asks the window's size there and suggests
// that rectangle, which it returns.
RECT moveTo(HWND window, UINT dpi, POINT corner) {
    SIZE size{};
    SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size));
    RECT suggested{corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
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

// Only the test session's throwaway prefixes have the fonts that captions are measured and pictures made in.
bool inTestPrefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix && fs::exists(std::string("Z:") + prefix + "/.belavo-ready");
}

// GDI+ reads and writes the pictures' PNG files.
[[maybe_unused]] const ULONG_PTR gdiplus = [] {
    ULONG_PTR token = 0;
    const Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    return token;
}();

struct Picture {
    int width = 0, height = 0;
    std::vector<UINT32> pixels;  // 0xRRGGBB, rows from the top
    bool operator==(const Picture&) const = default;
};

Picture pictureOf(Gdiplus::Bitmap&& bitmap) {
    using namespace Gdiplus;
    const Rect all(0, 0, static_cast<int>(bitmap.GetWidth()), static_cast<int>(bitmap.GetHeight()));
    Picture picture{all.Width, all.Height, std::vector<UINT32>(all.Width * all.Height)};
    BitmapData data{UINT(all.Width), UINT(all.Height), all.Width * 4, PixelFormat32bppRGB, nullptr, 0};
    data.Scan0 = picture.pixels.data();
    bitmap.LockBits(&all, ImageLockModeRead | ImageLockModeUserInputBuf, data.PixelFormat, &data);
    bitmap.UnlockBits(&data);
    for (UINT32& pixel : picture.pixels) pixel &= 0xFFFFFF;
    return picture;
}

// What the screen shows in `rect`; the pointer is not part of it.
Picture screenPicture(const RECT& rect) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right - rect.left, rect.bottom - rect.top);
    SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top, SRCCOPY);
    DeleteDC(dc);  // which lets go of the bitmap
    ReleaseDC(nullptr, screen);
    Picture picture = pictureOf(Gdiplus::Bitmap(bitmap, nullptr));
    DeleteObject(bitmap);
    return picture;
}

void savePng(Picture picture, const fs::path& file) {
    static const CLSID png{0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    fs::create_directories(file.parent_path());
    Gdiplus::Bitmap(picture.width, picture.height, picture.width * 4, PixelFormat32bppRGB,
                    reinterpret_cast<BYTE*>(picture.pixels.data()))
        .Save(file.c_str(), &png, nullptr);
}

fs::path pictures;  // this Wine version's reference pictures
const bool renewing = std::getenv("BELAVO_RENEW_PICTURES");

// Polls until the screen shows `window`, and `over` it, the same twice in a row and as in the picture `name`
// (which it becomes when renewing); else that goes to the test's folder, with the pixels that differ in red.
void expectPicture(HWND window, HWND over, const std::string& name) {
    RECT rect, other;
    GetWindowRect(window, &rect);
    GetWindowRect(over, &other);
    UnionRect(&rect, &rect, &other);
    const Picture reference = renewing ? Picture{} : pictureOf(Gdiplus::Bitmap((pictures / name).c_str()));
    Picture seen, last;
    const bool same = test::waitUntil(
        [&] {
            for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
            last = std::exchange(seen, screenPicture(rect));
            return seen == last && (renewing || seen == reference);
        },
        5000, 100);
    if (renewing) return savePng(seen, pictures / name);
    if (same) return;
    for (std::size_t i = 0; i < seen.pixels.size(); ++i)
        if (i >= reference.pixels.size() || seen.pixels[i] != reference.pixels[i]) seen.pixels[i] = 0xFF0000;
    const fs::path out = fs::current_path() / pictures.parent_path().filename() / pictures.filename() / name;
    savePng(seen, out);
    ADD_FAILURE() << (pictures / name).generic_string() << " differs; in red in " << out.generic_string();
}

// As opened, then live at text sizes 225, 100, 150%, then moved to a 144 DPI monitor at (8, 8): the client
// area `design` (twips / 15) times the text size or stopped by the work area, at 144 DPI the rectangle
// suggested taken, the design's area times 1.5 in the system's frame; places and fonts scaled as the window,
// first fonts freed; at 225 and 150% a contrast theme's yellow on black alone (white: caret, focus), else
// `designed`; no brush left. Where `measured`, each caption whole: its lines at the client width (one-line
// captions, buttons by width), an entry its font's line, `advice` four.
void expectCaptionsFit(HWND window, SIZE design, COLORREF designed, bool measured, int advice = 0) {
    std::vector<std::tuple<std::vector<long>, HFONT, double>> opened;  // place and font height, font, scale
    int ids[COLOR_MENUBAR + 1], objects = 0, step = 0;
    COLORREF palette[2][COLOR_MENUBAR + 1];  // the system's, and the theme's: texts and edges at even indexes
    for (int i = 0; i <= COLOR_MENUBAR; ++i) palette[0][i] = GetSysColor(ids[i] = i);
    for (int i = 0; i <= COLOR_MENUBAR; ++i) palette[1][i] = i % 2 ? RGB(0, 0, 0) : RGB(0xFF, 0xFF, 0);
    for (RECT place, frame{}, client, work;
         const auto& [dpi, percent] :
         {std::pair{96ul, textScale}, {96ul, 225ul}, {96ul, 100ul}, {96ul, 150ul}, {144ul, 100ul},
          {144ul, 100ul}, {144ul, 100ul}}) {
        std::vector<COLORREF> shown;
        if (std::exchange(textScale, percent) != percent) SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
        if (measured && step) SetSysColors(COLOR_MENUBAR + 1, ids, palette[contrast = step % 2]);
        const RECT suggested = dpi > 96 ? moveTo(window, dpi, {8, 8}) : RECT{};
        GetWindowRect(window, &frame);
        GetClientRect(window, &client);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const bool stopped = frame.bottom - frame.top > work.bottom - work.top - 5;  // by a layout DPI's step
        EXPECT_TRUE(dpi > 96 || (frame.bottom <= work.bottom &&
                                 (stopped || client.bottom == LONG(design.cy * percent + 50) / 100)));
        if (dpi > 96) {  // the design's area times 1.5 in the system's frame, where Windows suggested
            RECT outer{0, 0, (design.cx * 3 + 1) / 2, (design.cy * 3 + 1) / 2};
            AdjustWindowRectExForDpi(&outer, GetWindowLongW(window, GWL_STYLE), GetMenu(window) != nullptr,
                                     GetWindowLongW(window, GWL_EXSTYLE), dpi);
            OffsetRect(&outer, suggested.left - outer.left, suggested.top - outer.top);
            EXPECT_TRUE(EqualRect(&frame, &suggested)) << "the rectangle suggested is not taken";
            EXPECT_TRUE(EqualRect(&frame, &outer)) << "not the design's size at 144 DPI";
        }
        const double scale = dpi > 96 ? 1.5 : client.right / double(design.cx);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        std::size_t row = 0;
        for (HWND control = GetWindow(window, GW_CHILD); control;
             control = GetWindow(control, GW_HWNDNEXT), ++row) {
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
            const bool wraps = label &&
                               (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
            // An icon keeps its colours; buttons keep those of Wine's visual style (Windows turns the styles
            // off in a contrast theme).
            const bool icon = (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            const bool ownColours = !(label || edit) || icon;
            RECT client, needed;
            GetClientRect(control, &client);
            needed = client;
            const HDC dc = GetDC(control);
            SelectObject(dc, font);
            TEXTMETRICW line;
            GetTextMetricsW(dc, &line);
            DrawTextW(dc, text.c_str(), -1, &needed,
                      DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (label ? DT_NOPREFIX : 0));
            for (int y = 0; measured && !ownColours && y < client.bottom; ++y)
                for (int x = 0; x < client.right; ++x) shown.push_back(GetPixel(dc, x, y));
            ReleaseDC(control, dc);
            if (edit || id == advice) needed = {0, 0, 0, line.tmHeight * (edit ? 1 : 4)};
            EXPECT_TRUE(!measured || text.empty() ||
                        (needed.right <= client.right && needed.bottom <= client.bottom))
                << needed.right << "x" << needed.bottom << " needed in " << client.right << "x"
                << client.bottom;
        }
        // Greys too: where a label overlaps an entry, the style draws the entry's edge.
        std::erase_if(shown, [](COLORREF c) {  // yellows over black, and greys
            return GetGValue(c) == GetRValue(c) && (!GetBValue(c) || GetBValue(c) == GetRValue(c));
        });
        EXPECT_TRUE(!measured || (contrast ? shown.empty() : std::erase(shown, designed) > 0)) << percent;
        // The theme on and off again where nothing else changes: what Wine makes once for a size does
        // not count.
        if (step++ == 4) objects = test::liveGdiObjects(GetCurrentProcessId());
    }
    // Wine 10 holds a few objects for a while after drawing; what the theme leaves stays.
    const auto settled = [&] { return test::liveGdiObjects(GetCurrentProcessId()) <= objects; };
    EXPECT_TRUE(test::waitUntil(settled, 2000)) << "left by a contrast theme";
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
    const std::pair<int, int> pairs[] = {{Label2, Text1},   {Label3, Text2},   {Label13, Label6},
                                         {Label12, Label7}, {Label11, Label8}, {Label17, Label18}};
    const std::pair<const wchar_t*, bool> entries[] = {{L"", false},    {L"-", false},    {L"1e", false},
                                                       {L"56.", false}, {L"162cm", true}, {L"1..2", true}};
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
        {&refuseNextClass,
         [](HWND owner) { UnregisterClassW(about::kAboutDialogClass, nullptr), showAboutDialog(owner); }},
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

// The main window opens while the system DPI is still 144 from sign-in; the About over it, no longer centred.
TEST_F(MainWindowTest, EveryCaptionShowsWholeAndRescalesInBothWindows) {
    ShowWindow(window.hwnd(), SW_HIDE);  // nothing over the windows whose pixels are read
    systemDpi = 144;                     // the system DPI of sign-in time, which the monitor no longer has
    MainWindow opened;
    systemDpi = 0;
    opened.show(SW_SHOWNORMAL);
    const bool measured = inTestPrefix();  // elsewhere the fonts are the user's own
    expectCaptionsFit(opened.hwnd(), {6510 / 15, 6285 / 15}, RGB(0xC0, 0xFF, 0xFF), measured, Label9);
    EXPECT_EQ(GetFocus(), GetDlgItem(opened.hwnd(), Text1)) << "a new layout made the entries again";
    RECT owner, about;  // the owner now stands at (8, 8), not centred on the screen
    GetWindowRect(opened.hwnd(), &owner);
    textScale = 150;  // the dialog (5910 x 3150 twips) opens at that size; its title is blue
    withAboutDialog(opened.hwnd(), [&](HWND dialog) {
        GetWindowRect(dialog, &about);
        expectCaptionsFit(dialog, {394, 210}, 0xFF0000, measured);
    });
    textScale = 100;
    EXPECT_NEAR(about.left + about.right, owner.left + owner.right, 1) << "not centred over its owner";
    EXPECT_NEAR(about.top + about.bottom, owner.top + owner.bottom, 1) << "not centred over its owner";
}

// Each window as it first appears, at 96 DPI and after a move to a 150 % monitor, is pixel for pixel its
// picture of this Wine version (frame, places, fonts, colours, captions and glyphs at once): the main window,
// the About dialog and a failed check's report over the main window. scripts/renew-pictures.sh renews them.
TEST_F(MainWindowTest, EachWindowLooksAsInItsPicture) {
    if (!inTestPrefix() || !std::getenv("BELAVO_PICTURES"))
        GTEST_SKIP() << "the pictures show the windows in the test session's Wine prefixes, not this PC's";
    const auto wine = reinterpret_cast<const char* (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version")));
    pictures = fs::path(std::getenv("BELAVO_PICTURES")) / ("wine-" + std::to_string(std::atoi(wine())));
    if (!renewing && !fs::exists(pictures)) GTEST_SKIP() << "no pictures of this Wine version: " << pictures;
    for (const std::string dpi : {"96", "144"}) {
        if (dpi == "144") moveTo(window.hwnd(), 144, {8, 8});
        expectPicture(window.hwnd(), window.hwnd(), "main-window-" + dpi + ".png");
        withAboutDialog(window.hwnd(), [&](HWND about) {
            if (dpi == "144") moveTo(about, 144, {8, 8});
            expectPicture(about, about, "about-" + dpi + ".png");
        });
        SetWindowTextW(control(Text1), L"");
        std::thread reader([&] {
            const auto report = test::waitForMessageBox(GetCurrentProcessId());
            ASSERT_TRUE(report);
            expectPicture(window.hwnd(), report->window, "error-report-" + dpi + ".png");
            test::pressOk(report->window);
        });
        SendMessageW(control(Command1), BM_CLICK, 0, 0);
        reader.join();
        SetWindowTextW(control(Text1), L"162");
    }
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
            ASSERT_EQ(RegOverridePredefKey(root, key), ERROR_SUCCESS)
                << "the machine's own keys would be written";
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
        test::waitUntil([&] { return size() || test::findWindowOf(GetCurrentProcessId(), L"#32770"); },
                        10000);
        if (const auto box = test::waitForMessageBox(GetCurrentProcessId(), 0)) {
            test::pressOk(box->window);
            return box->title + L": " + box->text;
        }
        std::wstring text(size(), L'\0');
        std::ifstream(log, std::ios::binary)
            .read(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
        return text;
    }
    std::wstring click(HWND dialog, int button) const {
        return outcomeOf([&] { PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0); });
    }

    const std::wstring sandbox = L"Software\\Belavo tests " + std::to_wstring(GetCurrentProcessId());
    const fs::path folder = fs::temp_directory_path() /
                            (L"belavo-about-" + std::to_wstring(GetCurrentProcessId()));
    const fs::path log = folder / L"starts.log";
};

// Captions as designed, the focus on OK at opening, Tab and Shift+Tab round every button
// and the picture; Enter on a button or its access key presses it (Enter on OK, Esc, Alt+O: app_tests).
// Links open their captions' addresses; each launcher.tsv row starts the viewer shown, its path quoted, or
// shows the failure box: a path not fully qualified would run the current folder's or drive's. Closing frees
// the fonts.
TEST_F(AboutDialogTest, AnswersItsKeysAndButtonsAsDesignedAndFreesItsFonts) {
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
    const std::pair<std::wstring, std::wstring> names[] = {{L"{folder}", base},
                                                           {L"{folder/}", slashes(base)},
                                                           {L"{drive}", base.substr(0, 2)},
                                                           {L"{path}", base.substr(2)},
                                                           {L"{path/}", slashes(base.substr(2))},
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
    const std::vector<int> focused{about::cmdOK,      about::picIcon, about::Command1,   about::Command2,
                                   about::cmdSysInfo, about::cmdOK,   about::cmdSysInfo, about::Command2,
                                   about::Command1,   about::picIcon, about::cmdOK};
    for (const std::wstring scheme : {L"https", L"mailto"})
        set(scheme + L"\\shell\\open\\command", nullptr, L"\"" + recorder + L"\" \"%1\"", false);
    set(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", recorder, false);
    const fs::path current = fs::current_path();
    fs::current_path(base + L"here");
    std::vector<HGDIOBJ> fonts;
    withAboutDialog(window.hwnd(), [&](HWND dialog) {
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
        const auto shiftTabEnter = [] {
            test::pressKeys({VK_SHIFT, VK_TAB});
            test::pressKeys({VK_RETURN});
        };
        EXPECT_EQ(outcomeOf(shiftTabEnter), viewer);
        EXPECT_EQ(outcomeOf([] { test::pressKeys({VK_MENU, 'S'}); }), viewer);
        for (const auto& [button, scheme] :
             {std::pair{about::Command1, L""}, {about::Command2, L"mailto:"}}) {
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
    fs::current_path(current);
    for (HGDIOBJ font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
}

}  // namespace
}  // namespace belavo::ui

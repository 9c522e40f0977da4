// The yardstick for Belavo's own overhead: the same main window and About
// window written as plainly as possible, in one C-style file. Same window
// classes, control ids, captions, fonts, colours, menu, icons and manifest
// (the program's own resource script), the same check through the core and
// the same error report; the About window is built afresh at every opening.
// Positions are the design's twips, converted with the window's DPI once at
// creation; a later DPI change is not followed (nothing measured needs it).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <imm.h>
#include <objbase.h>

#include <string>

#include "app_identity.hpp"
#include "assessment.hpp"
#include "number_text.hpp"

namespace {

// Control ids: the same numbers as Belavo's, so one driver finds both.
enum {
    Frame1 = 100, Frame2, Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10,
    Label11, Label12, Label13, Label14, Label15, Label16, Label17, Label18, Label19,
    Text1, Text2, Command1, Command2, Line1, Line2, Line3,
    endb = 200, verb,
};
enum { lblVersion = 100, cmdOK, AboutLabel1, picIcon, lblTitle, AboutCommand1, AboutCommand2, cmdSysInfo, AboutLine1 };

const DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const DWORD kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
const DWORD kLabel = SS_LEFT | SS_NOPREFIX;
const DWORD kOneLine = SS_LEFTNOWORDWRAP;
const DWORD kValue = SS_RIGHT | WS_BORDER;
const COLORREF kNoColour = CLR_INVALID;

HINSTANCE gInstance;
HWND gMain, gAbout, gMainFocus, gAboutFocus;
UINT gDpi = 96;
HFONT gDefaultFont, gValueFont, gLargeValueFont, gAdviceFont;
HBRUSH gLabel6Brush, gLabel7Brush, gLabel8Brush, gLabel18Brush, gLabel9Brush, gLineBrush;
HFONT gAboutDefaultFont, gNoticeFont, gTitleFont;
HBRUSH gAboutLineBrush;
HICON gAboutBigIcon, gAboutSmallIcon, gAboutPicture;
LOGFONTW gUiFont96;

int px(int twips) { return MulDiv(twips, (int)gDpi, 1440); }

HFONT makeFont(const wchar_t* face, double points, int weight, BOOL italic, BYTE charset) {
    LOGFONTW font = {};
    font.lfHeight = -(LONG)(points * gDpi / 72.0 + 0.5);
    font.lfWeight = weight;
    font.lfItalic = (BYTE)italic;
    font.lfCharSet = charset;
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

HFONT makeDefaultFont() {
    LOGFONTW font = gUiFont96;
    font.lfHeight = MulDiv(gUiFont96.lfHeight, (int)gDpi, 96);
    return CreateFontIndirectW(&font);
}

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *(BOOL*)found = TRUE;
    return 0;
}

BOOL hasJapaneseFace(const wchar_t* face) {
    LOGFONTW query = {};
    query.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    BOOL found = FALSE;
    HDC screen = GetDC(NULL);
    EnumFontFamiliesExW(screen, &query, noteFound, (LPARAM)&found, 0);
    ReleaseDC(NULL, screen);
    return found;
}

// The message font when it can show Japanese, else a Japanese interface font; once per process.
void findUiFont() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, 96);
    gUiFont96 = metrics.lfMessageFont;
    if (gUiFont96.lfHeight == 0) gUiFont96.lfHeight = -12;
    if (!hasJapaneseFace(gUiFont96.lfFaceName)) {
        const wchar_t* face = L"MS UI Gothic";
        if (hasJapaneseFace(L"Yu Gothic UI")) face = L"Yu Gothic UI";
        else if (hasJapaneseFace(L"Meiryo UI")) face = L"Meiryo UI";
        lstrcpynW(gUiFont96.lfFaceName, face, LF_FACESIZE);
    }
    gUiFont96.lfCharSet = SHIFTJIS_CHARSET;
}

HWND makeControl(HWND parent, const wchar_t* cls, DWORD style, DWORD exStyle, int id, const wchar_t* text,
                 int left, int top, int width, int height, HFONT font) {
    HWND control = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, px(left), px(top),
                                   px(left + width) - px(left), px(top + height) - px(top), parent,
                                   (HMENU)(INT_PTR)id, gInstance, NULL);
    SendMessageW(control, WM_SETFONT, (WPARAM)font, TRUE);
    return control;
}

HWND makeEdit(HWND parent, int id, const wchar_t* text, int left, int top, int width, int height) {
    HWND edit = makeControl(parent, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP | ES_RIGHT, WS_EX_CLIENTEDGE, id, text,
                            left, top, width, height, gDefaultFont);
    int margin = px(15);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    return edit;
}

// A line is at least one pixel thick whatever the DPI.
void makeLine(HWND parent, int id, int left, int top, int width, int height, HFONT font) {
    HWND line = makeControl(parent, L"STATIC", SS_LEFT, 0, id, L"", left, top, width, height, font);
    RECT r = {px(left), px(top), px(left + width), px(top + height)};
    if (r.right <= r.left) r.right = r.left + 1;
    if (r.bottom <= r.top) r.bottom = r.top + 1;
    SetWindowPos(line, NULL, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Created in reading order, each field right after its caption.
void createMainControls(HWND w) {
    const int f1x = 120, f1y = 840, f2x = 120, f2y = 2640;
    gDefaultFont = makeDefaultFont();
    gValueFont = makeFont(L"Times New Roman", 15, FW_NORMAL, FALSE, ANSI_CHARSET);
    gLargeValueFont = makeFont(L"Times New Roman", 20.25, FW_NORMAL, TRUE, ANSI_CHARSET);
    gAdviceFont = makeFont(L"ＭＳ Ｐゴシック", 9.75, FW_NORMAL, FALSE, SHIFTJIS_CHARSET);
    gLabel6Brush = CreateSolidBrush(RGB(0xFF, 0xC0, 0x80));
    gLabel7Brush = CreateSolidBrush(RGB(0x00, 0xFF, 0x00));
    gLabel8Brush = CreateSolidBrush(RGB(0x00, 0x00, 0x00));
    gLabel18Brush = CreateSolidBrush(RGB(0xFF, 0xC0, 0xFF));
    gLabel9Brush = CreateSolidBrush(RGB(0xC0, 0xFF, 0xFF));
    gLineBrush = CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT));

    makeControl(w, L"STATIC", kLabel, 0, Label1, L"体重と身長を基にしBMI値及び肥満度をチェックします。", 120, 120,
                4575, 255, gDefaultFont);
    makeControl(w, L"STATIC", kLabel | SS_RIGHT | SS_NOTIFY, 0, Label10, BELAVO_WIDEN(BELAVO_COPYRIGHT), 120,
                600, 6255, 255, gDefaultFont);
    makeControl(w, L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, Frame1, L"入力", f1x, f1y, 6255, 1695, gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label2, L"身長", f1x + 120, f1y + 360, 495, 255, gDefaultFont);
    makeEdit(w, Text1, L"162", f1x + 600, f1y + 360, 615, 270);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label4, L"センチ", f1x + 1320, f1y + 360, 495, 255, gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label3, L"体重", f1x + 2400, f1y + 360, 495, 255, gDefaultFont);
    makeEdit(w, Text2, L"56.3", f1x + 2880, f1y + 360, 495, 270);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label5, L"キログラム", f1x + 3480, f1y + 360, 855, 255,
                gDefaultFont);
    makeControl(w, L"STATIC", kLabel, 0, Label16,
                L"【警告】　不正にとんでもない値を入力するとオーバーフローを起こします。自分の正しい身長と体重を入力して下さい。",
                f1x + 120, f1y + 960, 4695, 495, gDefaultFont);
    makeControl(w, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, Command1, L"チェック(&C)", f1x + 4920, f1y + 960, 1215,
                615, gDefaultFont);
    makeControl(w, L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, Frame2, L"チェック結果", f2x, f2y, 6255, 2535,
                gDefaultFont);
    makeLine(w, Line1, f2x + 1920, f2y + 240, 4080, 15, gDefaultFont);
    makeLine(w, Line2, f2x + 4440, f2y + 240, 15, 600, gDefaultFont);
    makeLine(w, Line3, f2x + 6000, f2y + 240, 15, 600, gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label13, L"実質体重", f2x + 120, f2y + 360, 855, 255, gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kValue, 0, Label6, L"??", f2x + 1080, f2y + 240, 735, 375, gValueFont);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label15, L"キログラム", f2x + 1920, f2y + 360, 855, 255,
                gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label12, L"標準体重", f2x + 120, f2y + 840, 855, 255, gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kValue, 0, Label7, L"??", f2x + 1080, f2y + 720, 735, 375, gValueFont);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label14, L"キログラム", f2x + 1920, f2y + 840, 855, 255,
                gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label11, L"BMI値", f2x + 3120, f2y + 1080, 495, 255, gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kValue, 0, Label8, L"22", f2x + 3720, f2y + 840, 855, 495, gLargeValueFont);
    makeControl(w, L"STATIC", kLabel | kOneLine, 0, Label17, L"肥満", f2x + 4800, f2y + 1080, 375, 255, gDefaultFont);
    makeControl(w, L"STATIC", kLabel | kValue, 0, Label18, L"0", f2x + 5280, f2y + 840, 855, 495, gLargeValueFont);
    makeControl(w, L"STATIC", kLabel, 0, Label9,
                L"身長と体重を入力して[チェック]を押下して下さい。\r\n"
                L" BMIはBodyMassIndexの略で世界標準的に使われている肥満度計算法です。BMIの値は22が標準とて平均値です。\r\n"
                L" 肥満度は0が標準体重に略該当している値ですので出来るだけ0に近いことが望ましいのです。",
                f2x + 120, f2y + 1440, 6015, 975, gAdviceFont);
    makeControl(w, L"STATIC", kLabel, 0, Label19,
                L"◆　チェックされる値は物理的な公式計算を用いていますので最終的に健康管理をされるのは貴方自身です。"
                L"個々の判断においてご参考までにお使い下さい。",
                120, 5280, 6255, 375, gDefaultFont);
    makeControl(w, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, Command2, L"終了(&Q)", 2295, 5760, 1920, 375,
                gDefaultFont);
}

// WM_CTLCOLORSTATIC: a label's own text colour and background.
HBRUSH colourLabel(HDC dc, COLORREF text, COLORREF back, HBRUSH brush) {
    SetTextColor(dc, text != kNoColour ? text : GetSysColor(COLOR_WINDOWTEXT));
    if (brush) {
        SetBkColor(dc, back);
        return brush;
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH colourMainControl(HDC dc, HWND control) {
    switch (GetDlgCtrlID(control)) {
    case Label6: return colourLabel(dc, RGB(0xC0, 0x00, 0xC0), RGB(0xFF, 0xC0, 0x80), gLabel6Brush);
    case Label7: return colourLabel(dc, RGB(0x00, 0x00, 0xFF), RGB(0x00, 0xFF, 0x00), gLabel7Brush);
    case Label8: return colourLabel(dc, RGB(0x00, 0xFF, 0xFF), RGB(0x00, 0x00, 0x00), gLabel8Brush);
    case Label18: return colourLabel(dc, RGB(0xC0, 0x00, 0xC0), RGB(0xFF, 0xC0, 0xFF), gLabel18Brush);
    case Label9: return colourLabel(dc, RGB(0x00, 0x00, 0x80), RGB(0xC0, 0xFF, 0xFF), gLabel9Brush);
    case Label16: return colourLabel(dc, RGB(0xC0, 0x00, 0x00), kNoColour, NULL);
    case Line1:
    case Line2:
    case Line3: return colourLabel(dc, kNoColour, GetSysColor(COLOR_WINDOWTEXT), gLineBrush);
    }
    return NULL;
}

// ---- About window ----------------------------------------------------------

HICON loadIcon(int id, int size) {
    return (HICON)LoadImageW(gInstance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
}

void createAboutControls(HWND w) {
    gAboutDefaultFont = makeDefaultFont();
    gNoticeFont = makeFont(L"ＭＳ ゴシック", 9, FW_NORMAL, FALSE, SHIFTJIS_CHARSET);
    gTitleFont = makeFont(L"Times New Roman", 15.75, FW_BOLD, FALSE, ANSI_CHARSET);
    gAboutLineBrush = CreateSolidBrush(RGB(0x80, 0x80, 0x80));

    HWND picture = makeControl(w, L"STATIC", SS_ICON | WS_TABSTOP, 0, picIcon, L"", 120, 120, 540, 540,
                               gAboutDefaultFont);
    makeControl(w, L"STATIC", kLabel, 0, lblTitle, L"Belavo", 960, 120, 4845, 480, gTitleFont);
    makeControl(w, L"STATIC", kLabel, 0, lblVersion, L"ｳﾞｧｰｼﾞｮﾝ", 960, 600, 4845, 225, gAboutDefaultFont);
    makeControl(w, L"STATIC", kLabel, 0, AboutLabel1,
                L"作者: Belavo 開発グループ\r\n\r\n作者の許可なく本ソフトウェアを転載・複製することを禁じます。", 120,
                1080, 5655, 615, gNoticeFont);
    makeControl(w, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, AboutCommand1, L"HomePage: https://belavo.example/", 120,
                1800, 5655, 255, gNoticeFont);
    makeControl(w, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, AboutCommand2,
                L"E-Mail Address: belavo@belavo.example", 120, 2160, 5655, 255, gNoticeFont);
    makeControl(w, L"STATIC", SS_LEFT, 0, AboutLine1, L"", 120, 2640, 5670, 30, gAboutDefaultFont);
    makeControl(w, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, cmdSysInfo, L"ｼｽﾃﾑ情報(&S)", 4440, 2760, 1305, 345,
                gAboutDefaultFont);
    makeControl(w, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, cmdOK, L"OK(&O)", 3000, 2760, 1305,
                345, gAboutDefaultFont);

    gAboutBigIcon = loadIcon(2, GetSystemMetricsForDpi(SM_CXICON, gDpi));
    gAboutSmallIcon = loadIcon(2, GetSystemMetricsForDpi(SM_CXSMICON, gDpi));
    SendMessageW(w, WM_SETICON, ICON_BIG, (LPARAM)gAboutBigIcon);
    SendMessageW(w, WM_SETICON, ICON_SMALL, (LPARAM)gAboutSmallIcon);
    gAboutPicture = loadIcon(1, MulDiv(32, (int)gDpi, 96));
    SendMessageW(picture, STM_SETICON, (WPARAM)gAboutPicture, 0);
}

void startSysInfo(HWND owner) {
    char path[1024] = "";
    DWORD size = sizeof path;
    BOOL started = FALSE;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", RRF_RT_REG_SZ, NULL,
                     path, &size) == ERROR_SUCCESS) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::string commandLine = std::string("\"") + path + "\"";
        started = CreateProcessA(path, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
        if (started) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    if (!started) MessageBoxW(owner, L"ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした", L"Belavo", MB_OK);
}

void closeAbout() {
    EnableWindow(gMain, TRUE);
    DestroyWindow(gAbout);
}

LRESULT CALLBACK aboutProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        createAboutControls(w);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        switch (LOWORD(wParam)) {
        case cmdOK:
        case IDCANCEL: closeAbout(); break;
        case AboutCommand1:
            ShellExecuteA(GetDesktopWindow(), "open", "https://belavo.example/", NULL, "", SW_SHOW);
            break;
        case AboutCommand2:
            ShellExecuteA(GetDesktopWindow(), "open", "mailto:belavo@belavo.example", NULL, "", SW_SHOW);
            break;
        case cmdSysInfo: startSysInfo(w); break;
        }
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(cmdOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
        switch (GetDlgCtrlID((HWND)lParam)) {
        case lblTitle: return (LRESULT)colourLabel((HDC)wParam, RGB(0, 0, 0xFF), kNoColour, NULL);
        case AboutLine1:
            return (LRESULT)colourLabel((HDC)wParam, kNoColour, RGB(0x80, 0x80, 0x80), gAboutLineBrush);
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(w, focus)) gAboutFocus = focus;
        } else {
            SetFocus(gAboutFocus && IsWindow(gAboutFocus) ? gAboutFocus : GetDlgItem(w, cmdOK));
        }
        return 0;
    case WM_CLOSE:
        closeAbout();
        return 0;
    case WM_NCDESTROY:
        DeleteObject(gAboutDefaultFont);
        DeleteObject(gNoticeFont);
        DeleteObject(gTitleFont);
        DeleteObject(gAboutLineBrush);
        DestroyIcon(gAboutBigIcon);
        DestroyIcon(gAboutSmallIcon);
        DestroyIcon(gAboutPicture);
        gAbout = NULL;
        break;
    }
    return DefWindowProcW(w, message, wParam, lParam);
}

// Built afresh, centred over the main window, and run modally until closed.
void showAbout() {
    if (gAbout) return;
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = aboutProc;
    cls.hInstance = gInstance;
    cls.hCursor = LoadCursorW(NULL, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = L"BelavoFrmAbout";
    RegisterClassExW(&cls);
    gAboutFocus = NULL;
    gAbout = CreateWindowExW(WS_EX_DLGMODALFRAME, L"BelavoFrmAbout", L"ｳﾞｧｰｼﾞｮﾝ情報", kAboutStyle, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, gMain, NULL, gInstance, NULL);
    if (!gAbout) return;
    SetWindowTextW(gAbout, L"Belavo ｳﾞｧｰｼﾞｮﾝ情報");
    SetWindowTextW(GetDlgItem(gAbout, lblVersion), L"ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 1.3.8");
    SetWindowTextW(GetDlgItem(gAbout, lblTitle), L"Belavo");

    RECT size = {0, 0, px(5910), px(3150)};
    AdjustWindowRectExForDpi(&size, kAboutStyle, FALSE, WS_EX_DLGMODALFRAME, gDpi);
    int cx = size.right - size.left, cy = size.bottom - size.top;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(gMain, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT over, area = monitor.rcWork;
    GetWindowRect(gMain, &over);
    LONG left = (over.left + over.right - cx) / 2, top = (over.top + over.bottom - cy) / 2;
    if (left > area.right - cx) left = area.right - cx;
    if (left < area.left) left = area.left;
    if (top > area.bottom - cy) top = area.bottom - cy;
    if (top < area.top) top = area.top;
    SetWindowPos(gAbout, NULL, left, top, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);

    EnableWindow(gMain, FALSE);
    ShowWindow(gAbout, SW_SHOW);
    MSG msg;
    BOOL quit = FALSE;
    while (gAbout) {
        BOOL got = GetMessageW(&msg, NULL, 0, 0);
        if (got == 0) {
            quit = TRUE;
            break;
        }
        if (got == -1) break;
        if (IsDialogMessageW(gAbout, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (gAbout) closeAbout();
    EnableWindow(gMain, TRUE);
    SetActiveWindow(gMain);
    if (quit) PostQuitMessage((int)msg.wParam);
}

// ---- The check ---------------------------------------------------------------

struct Label : belavo::CaptionSink {
    HWND window;
    explicit Label(HWND w) : window(w) {}
    void setCaption(std::u16string_view text) override {
        std::wstring copy(text.begin(), text.end());
        SetWindowTextW(window, copy.c_str());
    }
};

std::u16string entryText(int id) {
    wchar_t text[256];
    int length = GetWindowTextW(GetDlgItem(gMain, id), text, 256);
    return std::u16string((const char16_t*)text, (size_t)length);
}

void reportError(const belavo::RunError& error) {
    const wchar_t* advice = L"自分の正しい身長と体重を入力して下さい。";
    if (error.number() == belavo::ErrorNumber::DivisionByZero) advice = L"身長に 0 は使えません。正しい身長を入力して下さい。";
    else if (error.entry() == belavo::Entry::Height) advice = L"身長 (センチ) を数値で正しく入力して下さい。";
    else if (error.entry() == belavo::Entry::Weight) advice = L"体重 (キログラム) を数値で正しく入力して下さい。";
    wchar_t text[512];
    std::wstring description(error.description().begin(), error.description().end());
    wsprintfW(text, L"実行時エラー '%d':\n\n%s\n\n%s", (int)error.number(), description.c_str(), advice);
    HWND entry = GetDlgItem(gMain, error.entry() == belavo::Entry::Weight ? Text2 : Text1);
    SetFocus(entry);
    SendMessageW(entry, EM_SETSEL, 0, -1);
    MessageBoxW(gMain, text, L"Belavo", MB_OK | MB_ICONEXCLAMATION);
}

belavo::AssessmentResult gResult;

void check() {
    Label bmi(GetDlgItem(gMain, Label8)), advice(GetDlgItem(gMain, Label9)), standard(GetDlgItem(gMain, Label7)),
        weight(GetDlgItem(gMain, Label6)), obesity(GetDlgItem(gMain, Label18));
    try {
        belavo::assessBody(entryText(Text1), entryText(Text2), gResult, {bmi, advice, standard, weight, obesity});
    } catch (const belavo::RunError& error) {
        reportError(error);
    }
}

void beepIfInvalid(int id) {
    if (belavo::classifyEntry(entryText(id)) == belavo::EntryShape::Invalid) MessageBeep(MB_OK);
}

// ---- Main window -------------------------------------------------------------

LRESULT CALLBACK mainProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        gMain = w;
        gDpi = GetDpiForWindow(w);
        if (!gDpi) gDpi = 96;
        createMainControls(w);
        RECT size = {0, 0, px(6510), px(6285)};
        AdjustWindowRectExForDpi(&size, kMainStyle, TRUE, WS_EX_CONTROLPARENT, gDpi);
        int cx = size.right - size.left, cy = size.bottom - size.top;
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), &monitor);
        RECT area = monitor.rcWork;
        SetWindowPos(w, NULL, area.left + (area.right - area.left - cx) / 2,
                     area.top + (area.bottom - area.top - cy) / 2, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case Command1:
            if (HIWORD(wParam) == BN_CLICKED) check();
            break;
        case Command2:
        case endb: DestroyWindow(w); break;
        case verb: showAbout(); break;
        case Label10:
            if (HIWORD(wParam) == STN_CLICKED) showAbout();
            break;
        case Text1:
        case Text2:
            if (HIWORD(wParam) == EN_CHANGE) beepIfInvalid(LOWORD(wParam));
            if (HIWORD(wParam) == EN_SETFOCUS) {
                HWND entry = (HWND)lParam;
                HIMC context = ImmGetContext(entry);
                if (context) {
                    ImmSetOpenStatus(context, FALSE);
                    ImmReleaseContext(entry, context);
                }
            }
            break;
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = colourMainControl((HDC)wParam, (HWND)lParam)) return (LRESULT)brush;
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(w, focus)) gMainFocus = focus;
        } else {
            SetFocus(gMainFocus && IsWindow(gMainFocus) ? gMainFocus : GetDlgItem(w, Text1));
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(w, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    gInstance = instance;
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SetThreadUILanguage(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    findUiFont();

    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = mainProc;
    cls.hInstance = instance;
    UINT systemDpi = GetDpiForSystem();
    cls.hIcon = (HICON)LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetricsForDpi(SM_CXICON, systemDpi),
                                  GetSystemMetricsForDpi(SM_CXICON, systemDpi), LR_SHARED);
    cls.hIconSm = (HICON)LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                    GetSystemMetricsForDpi(SM_CXSMICON, systemDpi),
                                    GetSystemMetricsForDpi(SM_CXSMICON, systemDpi), LR_SHARED);
    cls.hCursor = LoadCursorW(NULL, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = L"BelavoForm1";
    RegisterClassExW(&cls);

    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, endb, L"終了 (&Q)");
    AppendMenuW(menu, MF_STRING, verb, L"ｳﾞｧｰｼﾞｮﾝ情報 (&V)");
    HWND w = CreateWindowExW(WS_EX_CONTROLPARENT, L"BelavoForm1", L"Belavo Ver1.3", kMainStyle, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL, menu, instance, NULL);
    if (!w) return 1;
    ShowWindow(w, showCommand);
    UpdateWindow(w);

    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (IsDialogMessageW(w, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return (int)msg.wParam;
}

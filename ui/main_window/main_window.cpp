#include "main_window.hpp"

#include "about_dialog.hpp"
#include "app_identity.hpp"
#include "dpi.hpp"
#include "number_text.hpp"
#include "text.hpp"
#include "ui_font.hpp"

namespace belavo::ui {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 6510;   // twips
constexpr int kClientHeight = 6285;  // twips
constexpr int kApplicationIcon = 1;

// A result label as the check sees it: something that takes a caption.
class LabelCaption final : public CaptionSink {
public:
    explicit LabelCaption(HWND label) noexcept : label_(label) {}
    void setCaption(std::u16string_view text) override {
        SetWindowTextW(label_, std::wstring(win32::wide(text)).c_str());
    }

private:
    HWND label_;
};

HICON loadApplicationIcon(HINSTANCE instance, int metric) noexcept {
    const int size = GetSystemMetricsForDpi(metric, win32::dpiOf(nullptr));
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kApplicationIcon), IMAGE_ICON, size,
                                         size, LR_SHARED));
}

void registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = loadApplicationIcon(instance, SM_CXICON);
    windowClass.hIconSm = loadApplicationIcon(instance, SM_CXSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when a second window registers again
}

HMENU createMenuBar() {
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, endb, L"終了 (&Q)");
    AppendMenuW(menu, MF_STRING, verb, L"ｳﾞｧｰｼﾞｮﾝ情報 (&V)");
    return menu;
}

// What the user should correct, for the report of a failed check.
const wchar_t* adviceFor(const RunError& error) noexcept {
    if (error.number() == ErrorNumber::DivisionByZero) return L"身長に 0 は使えません。正しい身長を入力して下さい。";
    switch (error.entry()) {
    case Entry::Height: return L"身長 (センチ) を数値で正しく入力して下さい。";
    case Entry::Weight: return L"体重 (キログラム) を数値で正しく入力して下さい。";
    case Entry::None: break;
    }
    return L"自分の正しい身長と体重を入力して下さい。";
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) {
    registerWindowClass(instance, windowProc);
    CreateWindowExW(kExStyle, kMainWindowClass, kMainWindowCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, createMenuBar(), instance, this);
}

void MainWindow::show(int showCommand) noexcept {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
}

bool MainWindow::handleDialogKeys(MSG& message) noexcept {
    return hwnd_ && IsDialogMessageW(hwnd_, &message);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate();
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (HBRUSH brush = controls_->colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_ACTIVATE:
        focus_.onActivate(hwnd_, LOWORD(wParam) != WA_INACTIVE, control(Text1));
        return 0;
    case WM_GETDPISCALEDSIZE: {
        const SIZE size = windowSizeFor(static_cast<UINT>(wParam));
        *reinterpret_cast<SIZE*>(lParam) = size;
        return TRUE;
    }
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return defaultHandling(message, wParam, lParam);
}

void MainWindow::onCreate() {
    controls_.emplace(hwnd_, controlTable(), win32::japaneseUiFont96());
    const SIZE size = windowSizeFor(win32::dpiOf(hwnd_));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - size.cx) / 2,
                 area.top + (area.bottom - area.top - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE MainWindow::windowSizeFor(UINT dpi) const noexcept {
    RECT rect{0, 0, win32::twipsToPixels(kClientWidth, dpi), win32::twipsToPixels(kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&rect, kStyle, TRUE, kExStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void MainWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    controls_->layout(dpi);
}


void MainWindow::onCommand(int id, int notification) {
    switch (id) {
    case Command1: if (notification == BN_CLICKED) Command1_Click(); break;
    case Command2: if (notification == BN_CLICKED) Command2_Click(); break;
    case endb: endb_Click(); break;
    case verb: verb_Click(); break;
    case Label10: if (notification == STN_CLICKED) Label10_Click(); break;
    case Text1: if (notification == EN_CHANGE) Text1_Change(); break;
    case Text2: if (notification == EN_CHANGE) Text2_Change(); break;
    default: break;  // IDOK and IDCANCEL: the window has no default or cancel button
    }
}

void MainWindow::Command1_Click() {
    LabelCaption bmi(control(Label8)), advice(control(Label9)), standardWeight(control(Label7)),
        weight(control(Label6)), obesity(control(Label18));
    try {
        assessBody(win32::utf16(win32::windowText(control(Text1))), win32::utf16(win32::windowText(control(Text2))),
                   result_, {bmi, advice, standardWeight, weight, obesity});
    } catch (const RunError& error) {
        reportCheckError(error);
    }
}

// The report names the error and what to correct; afterwards the entry at
// fault has the focus with its text selected, ready to be typed over.
void MainWindow::reportCheckError(const RunError& error) {
    const std::wstring text = L"実行時エラー '" + std::to_wstring(static_cast<int>(error.number())) + L"':\n\n" +
                              std::wstring(win32::wide(error.description())) + L"\n\n" + adviceFor(error);
    // The focus moves first, so that it is what the window gives back when the report closes.
    const HWND entry = control(error.entry() == Entry::Weight ? Text2 : Text1);
    SetFocus(entry);
    SendMessageW(entry, EM_SETSEL, 0, -1);
    MessageBoxW(hwnd_, text.c_str(), kAppIdentity.title.data(), MB_OK | MB_ICONEXCLAMATION);
}

void MainWindow::Command2_Click() { DestroyWindow(hwnd_); }

void MainWindow::endb_Click() { DestroyWindow(hwnd_); }

void MainWindow::verb_Click() { showAboutDialog(hwnd_); }

void MainWindow::Label10_Click() { showAboutDialog(hwnd_); }

// The text is never altered; a beep says that it can no longer become a number.
void MainWindow::Text1_Change() {
    if (classifyEntry(win32::utf16(win32::windowText(control(Text1)))) == EntryShape::Invalid) MessageBeep(MB_OK);
}

void MainWindow::Text2_Change() {
    if (classifyEntry(win32::utf16(win32::windowText(control(Text2)))) == EntryShape::Invalid) MessageBeep(MB_OK);
}

}  // namespace belavo::ui

#include "about_dialog.hpp"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "about_dialog_ids.hpp"
#include "app_identity.hpp"
#include "dpi.hpp"
#include "maker_addresses.hpp"
#include "text.hpp"
#include "ui_font.hpp"

namespace belavo::ui {
namespace {

using namespace about;

// A fixed dialog frame with a close box; owned by the main window, so it is
// never shown in the taskbar.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kClientWidth = 5910;   // twips
constexpr int kClientHeight = 3150;  // twips
constexpr int kApplicationIcon = 1;
constexpr int kInformationIcon = 2;
constexpr int kPictureSize = 32;  // pixels at 96 DPI

void registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kAboutDialogClass;
    RegisterClassExW(&windowClass);  // fails harmlessly from the second opening on
}

// An icon of the program's resources at `size` pixels, or none when the resource is missing.
win32::UniqueIcon loadIcon(int id, int size) {
    return win32::UniqueIcon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void openWithShell(std::wstring_view address) {
    ShellExecuteA(GetDesktopWindow(), "open", win32::toAnsi(address).c_str(), nullptr, "", SW_SHOW);
}

}  // namespace

void showAboutDialog(HWND owner) {
    // The one instance of the application, made on the first opening and kept
    // to the end; every opening builds its window afresh.
    static AboutDialog* const instance = new AboutDialog;
    instance->showModal(owner);
}

void AboutDialog::showModal(HWND owner) {
    if (hwnd_) return;  // already open
    load(owner);
    if (!hwnd_) return;
    EnableWindow(owner_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    const std::optional<WPARAM> quit = runModalLoop();
    if (hwnd_) unload();
    if (owner_) {
        EnableWindow(owner_, TRUE);
        SetActiveWindow(owner_);
    }
    // The quit request was meant for the main loop.
    if (quit) PostQuitMessage(static_cast<int>(*quit));
}

void AboutDialog::load(HWND owner) {
    owner_ = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    focus_.forget();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerWindowClass(instance, windowProc);
    CreateWindowExW(kExStyle, kAboutDialogClass, L"ｳﾞｧｰｼﾞｮﾝ情報", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr, instance, this);
    if (hwnd_) Form_Load();
}

// The owner takes input again before the dialog goes, so that it becomes the active window.
void AboutDialog::unload() {
    EnableWindow(owner_, TRUE);
    DestroyWindow(hwnd_);
}

// Runs until the dialog is gone; the exit code of a quit request that came meanwhile.
std::optional<WPARAM> AboutDialog::runModalLoop() {
    MSG message;
    while (hwnd_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return message.wParam;
        if (got == -1) break;
        // Tab, Enter, Esc and the access keys.
        if (IsDialogMessageW(hwnd_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return std::nullopt;
}

LRESULT AboutDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate();
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(cmdOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = controls_->colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_ACTIVATE:
        focus_.onActivate(hwnd_, LOWORD(wParam) != WA_INACTIVE, control(cmdOK));
        return 0;
    case WM_CLOSE:
        unload();
        return 0;
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE*>(lParam) = windowSizeFor(static_cast<UINT>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_NCDESTROY:
        onNcDestroy();
        break;
    }
    return defaultHandling(message, wParam, lParam);
}

void AboutDialog::onCreate() {
    controls_.emplace(hwnd_, controlTable(), win32::japaneseUiFont96());
    const UINT dpi = win32::dpiOf(hwnd_);
    bigIcon_ = loadIcon(kInformationIcon, GetSystemMetricsForDpi(SM_CXICON, dpi));
    smallIcon_ = loadIcon(kInformationIcon, GetSystemMetricsForDpi(SM_CXSMICON, dpi));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    showIcons(dpi);
    centreOverOwner();
}

// picIcon shows the application icon at the window's DPI and takes its size.
void AboutDialog::showIcons(UINT dpi) {
    // The old picture stays alive until the box has let go of it.
    const win32::UniqueIcon previous = std::move(picture_);
    picture_ = loadIcon(kApplicationIcon, MulDiv(kPictureSize, static_cast<int>(dpi), win32::kDefaultDpi));
    SendMessageW(control(picIcon), STM_SETICON, reinterpret_cast<WPARAM>(picture_.get()), 0);
}

SIZE AboutDialog::windowSizeFor(UINT dpi) const noexcept {
    RECT rect{0, 0, win32::twipsToPixels(kClientWidth, dpi), win32::twipsToPixels(kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&rect, kStyle, FALSE, kExStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Centred over the owner, but kept on the owner's screen; when it cannot
// fit, its top-left corner stays visible.
void AboutDialog::centreOverOwner() {
    const SIZE size = windowSizeFor(win32::dpiOf(hwnd_));
    RECT over{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_ ? owner_ : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    if (!owner_ || !GetWindowRect(owner_, &over)) over = monitor.rcWork;
    const RECT& area = monitor.rcWork;
    const LONG left = std::max(area.left, std::min((over.left + over.right - size.cx) / 2, area.right - size.cx));
    const LONG top = std::max(area.top, std::min((over.top + over.bottom - size.cy) / 2, area.bottom - size.cy));
    SetWindowPos(hwnd_, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutDialog::onDpiChanged(UINT dpi, const RECT& suggested) {
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    controls_->layout(dpi);
    showIcons(dpi);
}

// The controls are gone: their fonts, brushes and icons can go too.
void AboutDialog::onNcDestroy() {
    controls_.reset();
    picture_.reset();
    bigIcon_.reset();
    smallIcon_.reset();
}


void AboutDialog::onCommand(int id, int notification) {
    if (notification != BN_CLICKED) return;
    switch (id) {
    case cmdOK: cmdOK_Click(); break;
    case IDCANCEL: cmdOK_Click(); break;  // Esc presses the cancel button, which is cmdOK
    case Command1: Command1_Click(); break;
    case Command2: Command2_Click(); break;
    case cmdSysInfo: cmdSysInfo_Click(); break;
    default: break;
    }
}

void AboutDialog::Form_Load() {
    const AppIdentity& identity = kAppIdentity;
    SetWindowTextW(hwnd_, (std::wstring(identity.title) + L" ｳﾞｧｰｼﾞｮﾝ情報").c_str());
    const std::wstring version = L"ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: " + std::to_wstring(identity.major) + L"." +
                                 std::to_wstring(identity.minor) + L"." + std::to_wstring(identity.revision);
    SetWindowTextW(control(lblVersion), version.c_str());
    SetWindowTextW(control(lblTitle), std::wstring(identity.title).c_str());
}

void AboutDialog::cmdOK_Click() { unload(); }

void AboutDialog::Command1_Click() { openWithShell(BELAVO_HOME_PAGE); }

void AboutDialog::Command2_Click() { openWithShell(L"mailto:" BELAVO_MAIL_ADDRESS); }

void AboutDialog::cmdSysInfo_Click() { StartSysInfo(); }

}  // namespace belavo::ui

#include "about_dialog.hpp"

#include <shellapi.h>

#include <string>

#include "about_dialog_ids.hpp"
#include "app_identity.hpp"
#include "dpi.hpp"
#include "maker_addresses.hpp"
#include "resource_ids.h"
#include "text.hpp"

namespace belavo::ui {
namespace {

using namespace about;

constexpr int kPictureSize = 32;  // pixels at 96 DPI

// An icon of the program's resources at `size` pixels, or none when the resource is missing.
win32::UniqueIcon loadIcon(int id, int size) {
    return win32::UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                           IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
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
    if (form_.create(windowProc, this, L"ｳﾞｧｰｼﾞｮﾝ情報", owner_)) Form_Load();
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
    case WM_CREATE: onCreate(); return 0;
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case DM_GETDEFID: return MAKELRESULT(cmdOK, DC_HASDEFID);
    case WM_CLOSE: unload(); return 0;
    case WM_DPICHANGED:
    case WM_SETTINGCHANGE:  // the text size too may have changed
        form_.handleMessage(hwnd_, message, wParam, lParam);
        showIcons();
        return 0;
    case WM_NCDESTROY: onNcDestroy(); break;
    }
    if (const auto answer = form_.handleMessage(hwnd_, message, wParam, lParam)) return *answer;
    return defaultHandling(message, wParam, lParam);
}

void AboutDialog::onCreate() {
    form_.build(hwnd_);
    showIcons();
}

// The window's big and small icons at the window's DPI, and picIcon's
// application icon, which the box takes the size of, at the layout's.
void AboutDialog::showIcons() {
    const UINT dpi = form_.dpi();
    // The old icons stay alive until the window and the box have let go of them.
    const win32::UniqueIcon previousBig = std::move(bigIcon_), previousSmall = std::move(smallIcon_),
                            previousPicture = std::move(picture_);
    bigIcon_ = loadIcon(BELAVO_INFORMATION_ICON, GetSystemMetricsForDpi(SM_CXICON, dpi));
    smallIcon_ = loadIcon(BELAVO_INFORMATION_ICON, GetSystemMetricsForDpi(SM_CXSMICON, dpi));
    const auto pictureSize = MulDiv(kPictureSize, static_cast<int>(form_.layoutDpi()), win32::kDefaultDpi);
    picture_ = loadIcon(BELAVO_APPLICATION_ICON, pictureSize);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    SendMessageW(control(picIcon), STM_SETICON, reinterpret_cast<WPARAM>(picture_.get()), 0);
}

// The controls are gone: their fonts, brushes and icons can go too.
void AboutDialog::onNcDestroy() {
    form_.release();
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

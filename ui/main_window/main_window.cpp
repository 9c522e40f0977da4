#include "main_window.hpp"

#include <imm.h>

#include "about_dialog.hpp"
#include "number_text.hpp"
#include "text.hpp"

namespace belavo::ui {
namespace {

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

// Numbers are typed with the IME closed, so that digits need no conversion;
// the user may still open it, and full-width digits are still read.
void closeIme(HWND entry) noexcept {
    if (const HIMC context = ImmGetContext(entry)) {
        ImmSetOpenStatus(context, FALSE);
        ImmReleaseContext(entry, context);
    }
}

// What the user should correct, for the report of a failed check.
const wchar_t* adviceFor(const RunError& error) noexcept {
    if (error.number() == ErrorNumber::DivisionByZero)
        return L"身長に 0 は使えません。正しい身長を入力して下さい。";
    switch (error.entry()) {
    case Entry::Height: return L"身長 (センチ) を数値で正しく入力して下さい。";
    case Entry::Weight: return L"体重 (キログラム) を数値で正しく入力して下さい。";
    case Entry::None: break;
    }
    return L"自分の正しい身長と体重を入力して下さい。";
}

}  // namespace

MainWindow::MainWindow() : form_(design()) { form_.create(windowProc, this, kMainWindowCaption, nullptr); }

void MainWindow::show(int showCommand) noexcept {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
}

bool MainWindow::handleDialogKeys(MSG& message) noexcept {
    return hwnd_ && IsDialogMessageW(hwnd_, &message);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: form_.build(hwnd_); return 0;
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_NCDESTROY: form_.release(); break;
    }
    if (const auto answer = form_.handleMessage(hwnd_, message, wParam, lParam)) return *answer;
    return defaultHandling(message, wParam, lParam);
}

void MainWindow::onCommand(int id, int notification) {
    switch (id) {
    case Command1:
        if (notification == BN_CLICKED) Command1_Click();
        break;
    case Command2:
        if (notification == BN_CLICKED) Command2_Click();
        break;
    case endb: endb_Click(); break;
    case verb: verb_Click(); break;
    case Label10:
        if (notification == STN_CLICKED) Label10_Click();
        break;
    case Text1:
        if (notification == EN_CHANGE) Text1_Change();
        if (notification == EN_SETFOCUS) Text1_GotFocus();
        break;
    case Text2:
        if (notification == EN_CHANGE) Text2_Change();
        if (notification == EN_SETFOCUS) Text2_GotFocus();
        break;
    default: break;  // IDOK and IDCANCEL: the window has no default or cancel button
    }
}

void MainWindow::Command1_Click() {
    const auto label = [this](int at) { return LabelCaption(control(kResultLabels[at])); };
    LabelCaption bmi = label(0), advice = label(1), standardWeight = label(2), weight = label(3),
                 obesity = label(4);
    try {
        assessBody(win32::utf16(win32::windowText(control(Text1))),
                   win32::utf16(win32::windowText(control(Text2))), result_,
                   {bmi, advice, standardWeight, weight, obesity});
    } catch (const RunError& error) {
        reportCheckError(error);
    }
}

// The report names the error and what to correct; afterwards the entry at
// fault has the focus with its text selected, ready to be typed over.
void MainWindow::reportCheckError(const RunError& error) {
    const std::wstring text = L"実行時エラー '" + std::to_wstring(static_cast<int>(error.number())) +
                              L"':\n\n" + std::wstring(win32::wide(error.description())) + L"\n\n" +
                              adviceFor(error);
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
    if (classifyEntry(win32::utf16(win32::windowText(control(Text1)))) == EntryShape::Invalid)
        MessageBeep(MB_OK);
}

void MainWindow::Text2_Change() {
    if (classifyEntry(win32::utf16(win32::windowText(control(Text2)))) == EntryShape::Invalid)
        MessageBeep(MB_OK);
}

void MainWindow::Text1_GotFocus() { closeIme(control(Text1)); }

void MainWindow::Text2_GotFocus() { closeIme(control(Text2)); }

}  // namespace belavo::ui

// The About dialog as designed: its frame and client size, and every element
// with its geometry in twips within the client area, caption, font and colour.
#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "maker_addresses.hpp"

namespace belavo::ui {
namespace {

using namespace about;
using win32::ControlKind;
using win32::ControlSpec;
using win32::FontSpec;
using win32::lineSpec;
constexpr auto Label = ControlKind::Label;
constexpr auto Button = ControlKind::Button;
constexpr auto Picture = ControlKind::Picture;

constexpr FontSpec kNoticeFont{L"ＭＳ ゴシック", 9, FW_NORMAL, false, SHIFTJIS_CHARSET};
constexpr FontSpec kTitleFont{L"Times New Roman", 15.75, FW_BOLD, false, ANSI_CHARSET};
constexpr COLORREF kTitleColour = RGB(0x00, 0x00, 0xFF);
constexpr COLORREF kLineColour = RGB(0x80, 0x80, 0x80);
constexpr int kLineThickness = 30;  // twips: two pixels at 96 DPI

constexpr wchar_t kNotice[] =
    L"作者: Belavo 開発グループ\r\n"
    L"\r\n"
    L"作者の許可なく本ソフトウェアを転載・複製することを禁じます。";

constexpr int frmAbout = win32::kNoParent;
constexpr auto Default = win32::kDefaultColour;
constexpr auto DefaultFont = win32::kDefaultFont;

// Access keys: Alt+O OK, Alt+S system information. Enter presses OK unless
// another button has the focus; Esc presses OK as the cancel button.
//
// In reading order, each field right after its caption (screen readers name a
// field after the text before it), except that the system information button
// stands before OK: Tab goes in this order, and so it goes from OK to the
// picture as designed.
// kind, name, parent, left, top, width, height, caption, font, text colour,
// background colour, extra style
constexpr ControlSpec kControls[] = {
    // A picture box takes the focus in its turn, though it shows no sign of it.
    {Picture, picIcon, frmAbout, 120, 120, 540, 540, L"", DefaultFont, Default, Default, WS_TABSTOP},
    {Label, lblTitle, frmAbout, 960, 120, 4845, 480, L"Belavo", &kTitleFont, kTitleColour},
    {Label, lblVersion, frmAbout, 960, 600, 4845, 225, L"ｳﾞｧｰｼﾞｮﾝ"},
    {Label, Label1, frmAbout, 120, 1080, 5655, 615, kNotice, &kNoticeFont},
    {Button, Command1, frmAbout, 120, 1800, 5655, 255, L"HomePage: " BELAVO_HOME_PAGE, &kNoticeFont},
    {Button, Command2, frmAbout, 120, 2160, 5655, 255, L"E-Mail Address: " BELAVO_MAIL_ADDRESS, &kNoticeFont},
    lineSpec(Line1, frmAbout, 120, 2640, 5790, 2640, kLineColour, kLineThickness),
    {Button, cmdSysInfo, frmAbout, 4440, 2760, 1305, 345, L"ｼｽﾃﾑ情報(&S)"},
    {Button, cmdOK, frmAbout, 3000, 2760, 1305, 345, L"OK(&O)", DefaultFont, Default, Default,
     BS_DEFPUSHBUTTON},
};

// A fixed dialog frame with a close box; owned by the main window, so it is
// never shown in the taskbar.
constexpr win32::FormDesign kDesign{
    .className = kAboutDialogClass,
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
    .exStyle = WS_EX_DLGMODALFRAME,
    .clientWidth = 5910,
    .clientHeight = 3150,
    .controls = kControls,
    .firstFocus = cmdOK,
    .classIcon = 0,
    .menuBar = nullptr,
    .failureTitle = kAppIdentity.title.data(),
};

}  // namespace

const win32::FormDesign& AboutDialog::design() noexcept { return kDesign; }

}  // namespace belavo::ui

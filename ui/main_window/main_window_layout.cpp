// The main window as designed: its frame and client size, and every control
// with its geometry in twips (relative to the client area or to its group
// box), caption, font and colours.
#include "main_window.hpp"

#include "resource_ids.h"

namespace belavo::ui {
namespace {

using win32::ControlKind;
using win32::ControlSpec;
using win32::FontSpec;
using win32::lineSpec;
constexpr auto Label = ControlKind::Label;
constexpr auto GroupBox = ControlKind::GroupBox;
constexpr auto Edit = ControlKind::Edit;
constexpr auto Button = ControlKind::Button;

constexpr FontSpec kValueFont{L"Times New Roman", 15, FW_NORMAL, false, ANSI_CHARSET};
constexpr FontSpec kLargeValueFont{L"Times New Roman", 20.25, FW_NORMAL, true, ANSI_CHARSET};
constexpr FontSpec kAdviceFont{L"ＭＳ Ｐゴシック", 9.75, FW_NORMAL, false, SHIFTJIS_CHARSET};

constexpr DWORD kValueStyle = SS_RIGHT | WS_BORDER;
// A caption one line high shows as much of that line as fits rather than
// wrapping its end onto a line that cannot be seen.
constexpr DWORD kOneLine = SS_LEFTNOWORDWRAP;

constexpr wchar_t kInstructions[] =
    L"身長と体重を入力して[チェック]を押下して下さい。\r\n"
    L" BMIはBodyMassIndexの略で世界標準的に使われている肥満度計算法です。BMIの値は22が標準とて平均値です。\r\n"
    L" 肥満度は0が標準体重に略該当している値ですので出来るだけ0に近いことが望ましいのです。";

constexpr int Form1 = win32::kNoParent;
constexpr auto Default = win32::kDefaultColour;
constexpr auto DefaultFont = win32::kDefaultFont;

// In reading order, each field right after its caption (screen readers name a
// field after the text before it); Tab goes in this order too.
// kind, name, parent, left, top, width, height, caption, font, text colour,
// background colour, extra style
constexpr ControlSpec kControls[] = {
    {Label, Label1, Form1, 120, 120, 4575, 255, L"体重と身長を基にしBMI値及び肥満度をチェックします。"},
    {Label, Label10, Form1, 120, 600, 6255, 255, BELAVO_WIDEN(BELAVO_COPYRIGHT), DefaultFont, Default,
     Default, SS_RIGHT | SS_NOTIFY},
    {GroupBox, Frame1, Form1, 120, 840, 6255, 1695, L"入力"},
    {Label, Label2, Frame1, 120, 360, 495, 255, L"身長", DefaultFont, Default, Default, kOneLine},
    {Edit, Text1, Frame1, 600, 360, 615, 270, L"162", DefaultFont, Default, Default, ES_RIGHT},
    {Label, Label4, Frame1, 1320, 360, 495, 255, L"センチ", DefaultFont, Default, Default, kOneLine},
    {Label, Label3, Frame1, 2400, 360, 495, 255, L"体重", DefaultFont, Default, Default, kOneLine},
    {Edit, Text2, Frame1, 2880, 360, 495, 270, L"56.3", DefaultFont, Default, Default, ES_RIGHT},
    {Label, Label5, Frame1, 3480, 360, 855, 255, L"キログラム", DefaultFont, Default, Default, kOneLine},
    {Label, Label16, Frame1, 120, 960, 4695, 495,
     L"【警告】　不正にとんでもない値を入力するとオーバーフローを起こします。自分の正しい身長と体重を入力して下さい。",
     DefaultFont, RGB(0xC0, 0x00, 0x00)},
    {Button, Command1, Frame1, 4920, 960, 1215, 615, L"チェック(&C)"},
    {GroupBox, Frame2, Form1, 120, 2640, 6255, 2535, L"チェック結果"},
    lineSpec(Line1, Frame2, 1920, 240, 6000, 240),
    lineSpec(Line2, Frame2, 4440, 240, 4440, 840),
    lineSpec(Line3, Frame2, 6000, 240, 6000, 840),
    {Label, Label13, Frame2, 120, 360, 855, 255, L"実質体重", DefaultFont, Default, Default, kOneLine},
    {Label, Label6, Frame2, 1080, 240, 735, 375, L"??", &kValueFont, RGB(0xC0, 0x00, 0xC0),
     RGB(0xFF, 0xC0, 0x80), kValueStyle},
    {Label, Label15, Frame2, 1920, 360, 855, 255, L"キログラム", DefaultFont, Default, Default, kOneLine},
    {Label, Label12, Frame2, 120, 840, 855, 255, L"標準体重", DefaultFont, Default, Default, kOneLine},
    {Label, Label7, Frame2, 1080, 720, 735, 375, L"??", &kValueFont, RGB(0x00, 0x00, 0xFF),
     RGB(0x00, 0xFF, 0x00), kValueStyle},
    {Label, Label14, Frame2, 1920, 840, 855, 255, L"キログラム", DefaultFont, Default, Default, kOneLine},
    {Label, Label11, Frame2, 3120, 1080, 495, 255, L"BMI値", DefaultFont, Default, Default, kOneLine},
    {Label, Label8, Frame2, 3720, 840, 855, 495, L"22", &kLargeValueFont, RGB(0x00, 0xFF, 0xFF),
     RGB(0x00, 0x00, 0x00), kValueStyle},
    {Label, Label17, Frame2, 4800, 1080, 375, 255, L"肥満", DefaultFont, Default, Default, kOneLine},
    {Label, Label18, Frame2, 5280, 840, 855, 495, L"0", &kLargeValueFont, RGB(0xC0, 0x00, 0xC0),
     RGB(0xFF, 0xC0, 0xFF), kValueStyle},
    {Label, Label9, Frame2, 120, 1440, 6015, 975, kInstructions, &kAdviceFont, RGB(0x00, 0x00, 0x80),
     RGB(0xC0, 0xFF, 0xFF)},
    {Label, Label19, Form1, 120, 5280, 6255, 375,
     L"◆　チェックされる値は物理的な公式計算を用いていますので最終的に健康管理をされるのは貴方自身です。個々の判断においてご参考までにお使い下さい。"},
    {Button, Command2, Form1, 2295, 5760, 1920, 375, L"終了(&Q)"},
};

// Two items without drop-downs: choosing one runs its command at once.
HMENU createMenuBar() {
    const HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, endb, L"終了 (&Q)");
    AppendMenuW(menu, MF_STRING, verb, L"ｳﾞｧｰｼﾞｮﾝ情報 (&V)");
    return menu;
}

constexpr win32::FormDesign kDesign{
    .className = kMainWindowClass,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
    .exStyle = WS_EX_CONTROLPARENT,
    .clientWidth = 6510,
    .clientHeight = 6285,
    .controls = kControls,
    .firstFocus = Text1,
    .classIcon = BELAVO_APPLICATION_ICON,
    .menuBar = createMenuBar,
    .failureTitle = kAppIdentity.title.data(),
};

}  // namespace

const win32::FormDesign& MainWindow::design() noexcept { return kDesign; }

}  // namespace belavo::ui

#pragma once
// The names of the About dialog's controls, as control ids, and its window
// class. Tests in other processes find the dialog and its controls by these.
namespace belavo::ui::about {

// clang-format off
enum AboutDialogId : int {
    lblVersion = 100, cmdOK, Label1, picIcon, lblTitle, Command1, Command2, cmdSysInfo, Line1,
};
// clang-format on

inline constexpr wchar_t kAboutDialogClass[] = L"BelavoFrmAbout";

}  // namespace belavo::ui::about

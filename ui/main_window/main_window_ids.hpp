#pragma once
// The names of the main window's controls and menu items, as control ids.
// Tests in other processes find the controls by these ids.
#include "app_identity.hpp"

namespace belavo::ui {

// clang-format off
enum MainWindowId : int {
    Frame1 = 100, Frame2,
    Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10,
    Label11, Label12, Label13, Label14, Label15, Label16, Label17, Label18, Label19,
    Text1, Text2, Command1, Command2, Line1, Line2, Line3,
    endb = 200, verb,
};
// clang-format on

// The result labels in the order a check writes them, that of ResultLabels:
// BMI, advice, standard weight, weight, obesity degree.
inline constexpr int kResultLabels[] = {Label8, Label9, Label7, Label6, Label18};

inline constexpr wchar_t kMainWindowClass[] = L"BelavoForm1";
inline constexpr wchar_t kMainWindowCaption[] = BELAVO_WIDEN(BELAVO_PRODUCT_NAME);

}  // namespace belavo::ui

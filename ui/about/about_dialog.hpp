#pragma once
#include <windows.h>

namespace belavo::ui {

// Opens the application's About dialog modally over `owner` and returns when
// it has been closed.
void showAboutDialog(HWND owner);

}  // namespace belavo::ui

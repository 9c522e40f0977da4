#include "about_dialog.hpp"

namespace belavo::ui {

void showAboutDialog(HWND owner) { MessageBoxW(owner, L"Belavo Ver1.3", L"Belavo", MB_OK); }

}  // namespace belavo::ui

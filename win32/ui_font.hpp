#pragma once
#include <windows.h>

namespace belavo::win32 {

// The font for controls that name none, at 96 DPI: a proportional Japanese
// face at the usual dialog size, 9 pt, preferring the one the layout was drawn
// with (ui_font.cpp says in which order).
LOGFONTW japaneseUiFont96();

}  // namespace belavo::win32

#pragma once
#include <windows.h>

namespace belavo::win32 {

// The font for controls that name none, at 96 DPI: the system's message font
// when it can show Japanese, otherwise a Japanese interface font of that size.
LOGFONTW japaneseUiFont96();

}  // namespace belavo::win32

#pragma once
// Counts a process's live GDI objects, under Wine as well as on Windows.
#include <windows.h>

namespace belavo::test {

int liveGdiObjects(DWORD processId);

}  // namespace belavo::test

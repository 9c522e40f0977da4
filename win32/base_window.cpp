#include "base_window.hpp"

namespace belavo::win32 {

void reportUnexpectedFailure(HWND owner, const wchar_t* title) noexcept {
    MessageBoxW(owner, L"予期しないエラーが発生しました。操作をもう一度お試し下さい。", title,
                MB_OK | MB_ICONERROR);
}

}  // namespace belavo::win32

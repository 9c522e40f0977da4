#include "base_window.hpp"

namespace belavo::win32 {

void reportUnexpectedFailure(HWND owner) noexcept {
    MessageBoxW(owner, L"予期しないエラーが発生しました。操作をもう一度お試し下さい。", L"Belavo",
                MB_OK | MB_ICONERROR);
}

}  // namespace belavo::win32

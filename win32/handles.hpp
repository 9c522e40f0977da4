#pragma once
// Move-only owners for the few kinds of handle the program keeps.
#include <windows.h>

#include <memory>

namespace belavo::win32 {

template <class Handle, auto Release>
struct HandleDeleter {
    using pointer = Handle;
    void operator()(Handle handle) const noexcept {
        if (handle) Release(handle);
    }
};

template <class Handle, auto Release>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, HandleDeleter<Handle, Release>>;

inline void deleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }
inline void destroyIcon(HICON icon) noexcept { DestroyIcon(icon); }
inline void closeKey(HKEY key) noexcept { RegCloseKey(key); }

using UniqueFont = UniqueHandle<HFONT, deleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, deleteGdiObject>;
using UniqueIcon = UniqueHandle<HICON, destroyIcon>;
using UniqueKey = UniqueHandle<HKEY, closeKey>;

}  // namespace belavo::win32

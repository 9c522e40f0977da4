#include "ui_font.hpp"

#include <initializer_list>

#include "dpi.hpp"

namespace belavo::win32 {
namespace {

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool hasJapaneseFace(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

LOGFONTW japaneseUiFont96() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, kDefaultDpi);
    LOGFONTW font = metrics.lfMessageFont;
    if (font.lfHeight == 0) font.lfHeight = pointsToFontHeight(9, kDefaultDpi);
    if (!hasJapaneseFace(font.lfFaceName)) {
        const wchar_t* fallback = L"MS UI Gothic";
        for (const wchar_t* face : {L"Yu Gothic UI", L"Meiryo UI"}) {
            if (hasJapaneseFace(face)) {
                fallback = face;
                break;
            }
        }
        lstrcpynW(font.lfFaceName, fallback, LF_FACESIZE);
    }
    font.lfCharSet = SHIFTJIS_CHARSET;
    return font;
}

}  // namespace belavo::win32

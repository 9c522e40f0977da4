#include "ui_font.hpp"

#include <cstring>
#include <initializer_list>
#include <optional>

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

// `message` itself when it can show Japanese, otherwise a Japanese interface font of its size.
LOGFONTW japaneseVersionOf(const LOGFONTW& message) {
    LOGFONTW font = message;
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

struct ProbedFont {
    LOGFONTW message;
    LOGFONTW japanese;
};

}  // namespace

LOGFONTW japaneseUiFont96() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, kDefaultDpi);
    // Enumerating the fonts is the slow part, and its answer changes only with
    // the message font: every window built afterwards reuses it.
    static std::optional<ProbedFont> probed;
    if (!probed || std::memcmp(&probed->message, &metrics.lfMessageFont, sizeof(LOGFONTW)) != 0) {
        probed = ProbedFont{metrics.lfMessageFont, japaneseVersionOf(metrics.lfMessageFont)};
    }
    return probed->japanese;
}

}  // namespace belavo::win32

#include "ui_font.hpp"

#include <cstring>
#include <initializer_list>
#include <optional>

#include "dpi.hpp"

namespace belavo::win32 {
namespace {

// The face the design's layout was drawn with: on Japanese Windows it is
// installed, and DEFAULT_GUI_FONT is this face at 9 pt.
constexpr wchar_t kDesignFace[] = L"MS UI Gothic";

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// A face that GDI draws as itself: an installed family that shows Japanese,
// whose name no FontSubstitutes entry sends to another face. A missing name
// and a substituted one both still give a font, drawn with another face (Wine
// lists neither here; the registry keeps a substitute out where Windows would).
bool isInstalledJapanese(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    if (face[0]) EnumFontFamiliesExW(screen, &query, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found && RegGetValueW(HKEY_LOCAL_MACHINE,
                                 L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", face,
                                 RRF_RT_ANY, nullptr, nullptr, nullptr) != ERROR_SUCCESS;
}

// The design's face where it is installed, else the message font when it shows
// Japanese, else another Japanese interface face, else the design's name, which
// GDI maps to some Japanese face. At 9 pt, by its cell like every Japanese font
// (fontHeight), so that a taller face keeps the design's line pitch.
LOGFONTW defaultFontFor(const LOGFONTW& message) {
    LOGFONTW font{};
    font.lfHeight = fontHeight(9, SHIFTJIS_CHARSET, kDefaultDpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(font.lfFaceName, kDesignFace, LF_FACESIZE);
    for (const wchar_t* face : {kDesignFace, message.lfFaceName, L"Yu Gothic UI", L"Meiryo UI"}) {
        if (isInstalledJapanese(face)) {
            lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
            break;
        }
    }
    return font;
}

struct ProbedFont {
    LOGFONTW message;
    LOGFONTW chosen;
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
        probed = ProbedFont{metrics.lfMessageFont, defaultFontFor(metrics.lfMessageFont)};
    }
    return probed->chosen;
}

}  // namespace belavo::win32

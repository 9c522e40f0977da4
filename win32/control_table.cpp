#include "control_table.hpp"

#include <algorithm>

#include "dpi.hpp"

namespace belavo::win32 {
namespace {

struct WindowClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

WindowClass windowClassOf(ControlKind kind) noexcept {
    switch (kind) {
    case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::GroupBox: return {L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0};
    case ControlKind::Edit: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::Line: return {L"STATIC", SS_LEFT, 0};
    case ControlKind::Picture: return {L"STATIC", SS_ICON, 0};
    }
    return {L"STATIC", 0, 0};
}

UniqueFont makeFont(const LOGFONTW& base) { return UniqueFont(CreateFontIndirectW(&base)); }

LOGFONTW logFontOf(const FontSpec& spec, UINT dpi) noexcept {
    LOGFONTW font{};
    font.lfHeight = pointsToFontHeight(spec.points, dpi);
    font.lfWeight = spec.weight;
    font.lfItalic = spec.italic ? TRUE : FALSE;
    font.lfCharSet = spec.charset;
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, spec.face, LF_FACESIZE);
    return font;
}

// Lines take their colour from the background; by default that is the text colour.
COLORREF backColourOf(const ControlSpec& spec) noexcept {
    if (spec.kind == ControlKind::Line && spec.backColour == kDefaultColour) {
        return GetSysColor(COLOR_WINDOWTEXT);
    }
    return spec.backColour;
}

}  // namespace

ControlSet::ControlSet(HWND window, std::span<const ControlSpec> table, const LOGFONTW& defaultFont96)
    : window_(window), table_(table), defaultFont96_(defaultFont96) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    for (const ControlSpec& spec : table_) {
        const WindowClass windowClass = windowClassOf(spec.kind);
        const HWND control = CreateWindowExW(windowClass.exStyle, windowClass.name, spec.caption,
                                             WS_CHILD | WS_VISIBLE | windowClass.style | spec.style, 0, 0, 0, 0,
                                             window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                                             instance, nullptr);
        // An entry field keeps whatever is typed or pasted, not just its first 32,767 characters.
        if (spec.kind == ControlKind::Edit) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    }

    brushes_.resize(table_.size());
    fonts_.resize(table_.size());
    for (size_t row = 0; row < table_.size(); ++row) {
        const COLORREF back = backColourOf(table_[row]);
        if (back != kDefaultColour) brushes_[row].reset(CreateSolidBrush(back));
    }
    layout(dpiOf(window));
}

void ControlSet::layout(UINT dpi) {
    LOGFONTW defaultFont = defaultFont96_;
    defaultFont.lfHeight = MulDiv(defaultFont96_.lfHeight, static_cast<int>(dpi), kDefaultDpi);
    UniqueFont newDefault = makeFont(defaultFont);
    std::vector<UniqueFont> newFonts(table_.size());
    for (size_t row = 0; row < table_.size(); ++row) {
        if (table_[row].font) newFonts[row] = makeFont(logFontOf(*table_[row].font, dpi));
    }

    for (size_t row = 0; row < table_.size(); ++row) {
        const ControlSpec& spec = table_[row];
        const HWND control = (*this)[spec.id];
        const RECT rect = pixelRect(spec, dpi);
        // A picture box takes the size of its picture.
        const UINT keepSize = spec.kind == ControlKind::Picture ? SWP_NOSIZE : 0;
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | keepSize);
        HFONT font = newFonts[row] ? newFonts[row].get() : newDefault.get();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (spec.kind == ControlKind::Edit) {
            // Narrow entry fields: hairline margins leave the room to the text.
            const int margin = twipsToPixels(kHairline, dpi);
            SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
        }
    }
    // Every control now uses the new fonts; the old ones can go.
    fonts_ = std::move(newFonts);
    defaultFont_ = std::move(newDefault);
}

RECT ControlSet::pixelRect(const ControlSpec& spec, UINT dpi) const noexcept {
    int left = spec.left, top = spec.top;
    if (spec.parent != kNoParent) {
        if (const ControlSpec* box = find(spec.parent)) {
            left += box->left;
            top += box->top;
        }
    }
    // Both edges are converted from twips, so neighbours never drift apart by rounding.
    RECT rect{twipsToPixels(left, dpi), twipsToPixels(top, dpi),
              twipsToPixels(left + spec.width, dpi), twipsToPixels(top + spec.height, dpi)};
    if (spec.kind == ControlKind::Line) {
        // A line is at least one pixel thick whatever the DPI.
        rect.right = std::max(rect.right, rect.left + 1);
        rect.bottom = std::max(rect.bottom, rect.top + 1);
    }
    return rect;
}

const ControlSpec* ControlSet::find(int id) const noexcept {
    for (const ControlSpec& spec : table_) {
        if (spec.id == id) return &spec;
    }
    return nullptr;
}

HBRUSH ControlSet::colourControl(HDC dc, HWND control) const noexcept {
    const int id = GetDlgCtrlID(control);
    for (size_t row = 0; row < table_.size(); ++row) {
        const ControlSpec& spec = table_[row];
        if (spec.id != id) continue;
        const bool ownText = spec.textColour != kDefaultColour;
        if (!ownText && !brushes_[row]) return nullptr;
        SetTextColor(dc, ownText ? spec.textColour : GetSysColor(COLOR_WINDOWTEXT));
        if (brushes_[row]) {
            SetBkColor(dc, backColourOf(spec));
            return brushes_[row].get();
        }
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    return nullptr;
}

}  // namespace belavo::win32

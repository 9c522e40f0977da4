#include "control_table.hpp"

#include <algorithm>
#include <system_error>

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
    font.lfHeight = fontHeight(spec.points, spec.charset, dpi);
    font.lfWeight = spec.weight;
    font.lfItalic = spec.italic ? TRUE : FALSE;
    font.lfCharSet = spec.charset;
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, spec.face, LF_FACESIZE);
    return font;
}

bool highContrast() noexcept {
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// A row's text and background colours. Lines take theirs from the background,
// by default the text colour. In a contrast theme every colour is the system's:
// a value box is drawn as a window's text, the rest as the defaults draw them.
std::pair<COLORREF, COLORREF> coloursOf(const ControlSpec& spec, bool contrast) noexcept {
    if (spec.kind == ControlKind::Line) {
        const bool own = !contrast && spec.backColour != kDefaultColour;
        return {kDefaultColour, own ? spec.backColour : GetSysColor(COLOR_WINDOWTEXT)};
    }
    if (!contrast) return {spec.textColour, spec.backColour};
    if (spec.backColour == kDefaultColour) return {kDefaultColour, kDefaultColour};
    return {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
}

}  // namespace

ControlSet::ControlSet(HWND window, std::span<const ControlSpec> table, const LOGFONTW& defaultFont96,
                       UINT dpi)
    : table_(table),
      defaultFont96_(defaultFont96),
      controls_(table.size()),
      paints_(table.size()) {
    recolour();
    fonts_ = makeFonts(dpi);

    // Each control is made in its place with its font: under Wine every later
    // move or font change is another round trip to the window server.
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    for (size_t row = 0; row < table_.size(); ++row) {
        const ControlSpec& spec = table_[row];
        const WindowClass windowClass = windowClassOf(spec.kind);
        RECT rect = pixelRect(spec, dpi);
        // A picture box takes the size of its picture.
        if (spec.kind == ControlKind::Picture) {
            rect.right = rect.left;
            rect.bottom = rect.top;
        }
        controls_[row] = CreateWindowExW(windowClass.exStyle, windowClass.name, spec.caption,
                                         WS_CHILD | WS_VISIBLE | windowClass.style | spec.style, rect.left,
                                         rect.top, rect.right - rect.left, rect.bottom - rect.top, window,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance,
                                         nullptr);
        // A window without one of its controls is never shown.
        if (!controls_[row])
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
        // Nothing is painted yet, so nothing needs redrawing.
        applyFont(row, dpi, false);
        // An entry field keeps whatever is typed or pasted, not just its first 32,767 characters.
        if (spec.kind == ControlKind::Edit) SendMessageW(controls_[row], EM_SETLIMITTEXT, 0, 0);
    }
}

void ControlSet::layout(UINT dpi) {
    Fonts newFonts = makeFonts(dpi);
    std::swap(fonts_, newFonts);
    for (size_t row = 0; row < table_.size(); ++row) {
        const ControlSpec& spec = table_[row];
        const RECT rect = pixelRect(spec, dpi);
        // A picture box takes the size of its picture.
        const UINT keepSize = spec.kind == ControlKind::Picture ? SWP_NOSIZE : 0;
        SetWindowPos(controls_[row], nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | keepSize);
        applyFont(row, dpi, true);
    }
    // Every control now uses the new fonts; the old ones go with `newFonts`.
}

ControlSet::Fonts ControlSet::makeFonts(UINT dpi) const {
    Fonts fonts;
    LOGFONTW standard = defaultFont96_;
    standard.lfHeight = MulDiv(defaultFont96_.lfHeight, static_cast<int>(dpi), kDefaultDpi);
    fonts.standard = makeFont(standard);
    for (const ControlSpec& spec : table_) {
        if (spec.font && !fonts(spec.font))
            fonts.own.emplace_back(spec.font, makeFont(logFontOf(*spec.font, dpi)));
    }
    return fonts;
}

HFONT ControlSet::Fonts::operator()(const FontSpec* spec) const noexcept {
    if (!spec) return standard.get();
    for (const auto& [ownSpec, font] : own) {
        if (ownSpec == spec) return font.get();
    }
    return nullptr;
}

void ControlSet::applyFont(size_t row, UINT dpi, bool redraw) const noexcept {
    const HWND control = controls_[row];
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_(table_[row].font)), redraw);
    if (table_[row].kind == ControlKind::Edit) {
        // Narrow entry fields: hairline margins leave the room to the text.
        const int margin = twipsToPixels(kHairline, dpi);
        SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    }
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
    RECT rect{twipsToPixels(left, dpi), twipsToPixels(top, dpi), twipsToPixels(left + spec.width, dpi),
              twipsToPixels(top + spec.height, dpi)};
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

bool ControlSet::recolour() {
    const bool contrast = highContrast();
    bool changed = false;
    for (size_t row = 0; row < table_.size(); ++row) {
        const auto [text, back] = coloursOf(table_[row], contrast);
        Paint& paint = paints_[row];
        changed = changed || text != paint.text || back != paint.back;
        paint.text = text;
        if (back == paint.back) continue;
        paint.back = back;
        paint.brush.reset(back == kDefaultColour ? nullptr : CreateSolidBrush(back));
    }
    return changed;
}

HBRUSH ControlSet::colourControl(HDC dc, HWND control) const noexcept {
    const int id = GetDlgCtrlID(control);
    for (size_t row = 0; row < table_.size(); ++row) {
        if (table_[row].id != id) continue;
        const Paint& paint = paints_[row];
        const bool ownText = paint.text != kDefaultColour;
        if (!ownText && !paint.brush) return nullptr;
        SetTextColor(dc, ownText ? paint.text : GetSysColor(COLOR_WINDOWTEXT));
        if (paint.brush) {
            SetBkColor(dc, paint.back);
            return paint.brush.get();
        }
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    return nullptr;
}

}  // namespace belavo::win32

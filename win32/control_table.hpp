#pragma once
// A window's controls described as a table, in the units of the design:
// geometry in twips relative to the parent (the client area or a group box),
// fonts in points with their character set, colours as RGB. ControlSet creates
// standard controls from such a table, places them for a layout DPI (the
// window's DPI times the text size) and answers their colour messages.
#include <windows.h>

#include <span>
#include <utility>
#include <vector>

#include "handles.hpp"

namespace belavo::win32 {

enum class ControlKind { Label, GroupBox, Edit, Button, Line, Picture };

struct FontSpec {
    const wchar_t* face;
    double points;
    int weight;
    bool italic;
    BYTE charset;
};

inline constexpr COLORREF kDefaultColour = CLR_INVALID;
inline constexpr int kNoParent = 0;
inline constexpr const FontSpec* kDefaultFont = nullptr;
inline constexpr int kHairline = 15;  // twips: one pixel at 96 DPI

struct ControlSpec {
    ControlKind kind;
    int id;      // the control's name, as an enumerator of the window's id enum
    int parent;  // kNoParent, or the id of the group box it sits in
    int left, top, width, height;
    const wchar_t* caption = L"";
    const FontSpec* font = nullptr;  // nullptr: the window's default font
    COLORREF textColour = kDefaultColour;
    COLORREF backColour = kDefaultColour;
    DWORD style = 0;  // extra style bits: alignment, border, notification
};

// A straight line from (x1, y1) to (x2, y2), drawn `thickness` twips wide.
constexpr ControlSpec lineSpec(int id, int parent, int x1, int y1, int x2, int y2,
                               COLORREF colour = kDefaultColour, int thickness = kHairline) {
    const bool horizontal = y1 == y2;
    return ControlSpec{.kind = ControlKind::Line,
                       .id = id,
                       .parent = parent,
                       .left = x1 < x2 ? x1 : x2,
                       .top = y1 < y2 ? y1 : y2,
                       .width = horizontal ? (x1 < x2 ? x2 - x1 : x1 - x2) : thickness,
                       .height = horizontal ? thickness : (y1 < y2 ? y2 - y1 : y1 - y2),
                       .backColour = colour};
}

class ControlSet {
public:
    // Creates the controls of `table` on `window` in the table's order, which
    // is the order accessibility tools read them in: each field right after
    // its caption; laid out for `dpi`.
    ControlSet(HWND window, std::span<const ControlSpec> table, const LOGFONTW& defaultFont96, UINT dpi);

    // Places every control and makes its font for `dpi`; the fonts of the
    // previous DPI are released once no control uses them.
    void layout(UINT dpi);

    // Takes the colours afresh: the design's, or while a contrast theme is on
    // the system's. True when any changed; a brush is made again only then.
    bool recolour();

    // WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT: the brush for a control with its own
    // colours, or nullptr when the default handling applies.
    HBRUSH colourControl(HDC dc, HWND control) const noexcept;

    const ControlSpec* find(int id) const noexcept;

private:
    // The fonts of one DPI: one per distinct FontSpec of the table, shared by
    // the rows that name it, and the window's default font.
    struct Fonts {
        UniqueFont standard;
        std::vector<std::pair<const FontSpec*, UniqueFont>> own;
        HFONT operator()(const FontSpec* spec) const noexcept;
    };

    Fonts makeFonts(UINT dpi) const;
    RECT pixelRect(const ControlSpec& spec, UINT dpi) const noexcept;
    void applyFont(size_t row, UINT dpi, bool redraw) const noexcept;

    std::span<const ControlSpec> table_;
    LOGFONTW defaultFont96_;
    // A row's colours as drawn now, and the brush of its background.
    struct Paint {
        COLORREF text = kDefaultColour, back = kDefaultColour;
        UniqueBrush brush;  // empty where the background is the default
    };

    std::vector<HWND> controls_;  // one per table row
    std::vector<Paint> paints_;   // one per table row
    Fonts fonts_;
};

}  // namespace belavo::win32

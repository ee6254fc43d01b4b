// Colours and fonts of the Windows build.
#include "runtime/win32/look.h"

#include "runtime/win32/text.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>

namespace Runtime::Win32::Look {

COLORREF systemColour(Colour::Source source)
{
    using S = Colour::Source;
    switch (source) {
    case S::Window: return GetSysColor(COLOR_WINDOW);
    case S::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
    case S::HighlightText: return GetSysColor(COLOR_HIGHLIGHTTEXT);
    case S::ButtonText: return GetSysColor(COLOR_BTNTEXT);
    case S::ButtonFace:
    case S::Default:
    case S::Rgb: break;
    }
    return GetSysColor(COLOR_BTNFACE);
}

COLORREF colour(const Colour &c, int fallback)
{
    switch (c.source) {
    case Colour::Source::Rgb: return c.rgb.lowRed();
    case Colour::Source::Default: return GetSysColor(fallback);
    default: return systemColour(c.source);
    }
}

HBRUSH brush(COLORREF colour)
{
    static std::map<COLORREF, HBRUSH> brushes;
    auto it = brushes.find(colour);
    if (it == brushes.end())
        it = brushes.emplace(colour, CreateSolidBrush(colour)).first;
    return it->second;
}

namespace {

// The character height CreateFont takes for `points` at 96 dots per inch (negative: the em
// height, not the cell height).
int fontHeight(double points)
{
    return -int(std::lround(points * 96.0 / 72.0));
}

// The face Windows draws a described family in. "MS Sans Serif" is a bitmap font whose bold is
// made by drawing every glyph one pixel wider, which would cut off the About window's longest
// line; its TrueType successor, which every Windows since 2000 ships, keeps the widths of the
// regular face and makes a true bold.
std::wstring faceOf(const char *family)
{
    if (lstrcmpiA(family, "MS Sans Serif") == 0)
        return L"Microsoft Sans Serif";
    return wide(family);
}

} // namespace

HFONT font(const FontDescription &d)
{
    if (!d.family)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    using Key = std::tuple<std::string, double, bool, bool>;
    static std::map<Key, HFONT> fonts;
    const Key key{d.family, d.points, d.bold, d.italic};
    auto it = fonts.find(key);
    if (it == fonts.end()) {
        const std::wstring face = faceOf(d.family);
        HFONT made = CreateFontW(fontHeight(d.points > 0 ? d.points : 8.25), 0, 0, 0, d.bold ? FW_BOLD : FW_NORMAL,
                                 d.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
        if (!made)
            made = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        it = fonts.emplace(key, made).first;
    }
    return it->second;
}

COLORREF backColour(ControlView control)
{
    if (const Colour back = control.back(); !back.isDefault())
        return colour(back, COLOR_BTNFACE);
    switch (control.kind()) {
    case Kind::TextBox: return GetSysColor(COLOR_WINDOW);
    case Kind::PictureBox:
    case Kind::CommandButton:
    case Kind::Label: return GetSysColor(COLOR_BTNFACE);
    case Kind::Frame:
    case Kind::CheckBox:
    case Kind::OptionButton: break;
    }
    // A form's surface is the system's face colour.
    const ControlView container = control.container();
    return container ? backColour(container) : GetSysColor(COLOR_BTNFACE);
}

COLORREF foreColour(ControlView control)
{
    // As the runtime gives it: its own colour where that reads on the surface under it.
    return control.textColour().lowRed();
}

} // namespace Runtime::Win32::Look

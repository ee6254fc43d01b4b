// The system's colours, brushes and fonts of the Windows build.
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

HFONT font(const Font &f)
{
    if (f.isDefault)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    using Key = std::tuple<std::string, double, bool, bool>;
    static std::map<Key, HFONT> fonts;
    const Key key{f.family, f.points, f.bold, f.italic};
    auto it = fonts.find(key);
    if (it == fonts.end()) {
        const std::wstring face = faceOf(f.family);
        HFONT made = CreateFontW(fontHeight(f.points), 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, f.italic, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face.c_str());
        if (!made)
            made = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        it = fonts.emplace(key, made).first;
    }
    return it->second;
}

} // namespace Runtime::Win32::Look

// The system's colours, brushes and fonts of the Windows build.
#include "runtime/win32/look.h"

#include "runtime/win32/dpi.h"
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

// The character height CreateFont takes for `points` at `dpi` (negative: the em height, not
// the cell height): its height at 96 dots per inch scaled, rounded down. A text never grows
// more than the control that holds it: a pixel more at 120 or 144 would cut off About's
// longest line.
int fontHeight(double points, int dpi)
{
    return -(int(std::lround(points * 96.0 / 72.0)) * dpi / Dpi::Logical);
}

// The system's UI font at a scale: its own description, its height scaled from the system's
// dots per inch, which the stock object has, to `dpi`, rounded down as above.
HFONT guiFont(int dpi)
{
    static std::map<int, HFONT> fonts;
    auto it = fonts.find(dpi);
    if (it == fonts.end()) {
        HFONT made = nullptr;
        LOGFONTW description{};
        if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description) == sizeof description) {
            description.lfHeight = description.lfHeight * dpi / systemDpi();
            made = CreateFontIndirectW(&description);
        }
        it = fonts.emplace(dpi, made ? made : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))).first;
    }
    return it->second;
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

HFONT font(const Font &d, int dpi)
{
    if (d.isDefault)
        return guiFont(dpi);
    using Key = std::tuple<std::string, double, bool, bool, int>;
    static std::map<Key, HFONT> fonts;
    const Key key{d.family, d.points, d.bold, d.italic, dpi};
    auto it = fonts.find(key);
    if (it == fonts.end()) {
        const std::wstring face = faceOf(d.family);
        HFONT made = CreateFontW(fontHeight(d.points, dpi), 0, 0, 0, d.bold ? FW_BOLD : FW_NORMAL,
                                 d.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
        if (!made)
            made = guiFont(dpi);
        it = fonts.emplace(key, made).first;
    }
    return it->second;
}

} // namespace Runtime::Win32::Look

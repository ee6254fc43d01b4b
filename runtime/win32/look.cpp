// Colours and fonts of the Windows build.
#include "runtime/win32/look.h"

#include "runtime/contrast.h"
#include "runtime/win32/text.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>

namespace Runtime::Win32::Look {

COLORREF colour(const Colour &c, int fallback)
{
    using S = Colour::Source;
    switch (c.source) {
    case S::Rgb: return RGB((c.rgb >> 16) & 0xFF, (c.rgb >> 8) & 0xFF, c.rgb & 0xFF);
    case S::Window: return GetSysColor(COLOR_WINDOW);
    case S::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
    case S::HighlightText: return GetSysColor(COLOR_HIGHLIGHTTEXT);
    case S::ButtonFace: return GetSysColor(COLOR_BTNFACE);
    case S::Default: break;
    }
    return GetSysColor(fallback);
}

HBRUSH brush(COLORREF colour)
{
    static std::map<COLORREF, HBRUSH> brushes;
    auto it = brushes.find(colour);
    if (it == brushes.end())
        it = brushes.emplace(colour, CreateSolidBrush(colour)).first;
    return it->second;
}

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

COLORREF formColour()
{
    return GetSysColor(COLOR_BTNFACE);
}

COLORREF backColour(const Control &control)
{
    const ControlDescription &d = control.description();
    if (!d.back.isDefault())
        return colour(d.back, COLOR_BTNFACE);
    switch (d.kind) {
    case Kind::TextBox: return GetSysColor(COLOR_WINDOW);
    case Kind::PictureBox:
    case Kind::CommandButton:
    case Kind::Label: return GetSysColor(COLOR_BTNFACE);
    case Kind::Frame:
    case Kind::CheckBox:
    case Kind::OptionButton: break;
    }
    return control.container() ? backColour(*control.container()) : formColour();
}

namespace {
std::uint32_t toRgb(COLORREF c)
{
    return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}
} // namespace

COLORREF foreColour(const Control &control)
{
    const ControlDescription &d = control.description();
    const COLORREF standard = GetSysColor(d.kind == Kind::TextBox ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
    if (d.fore.isDefault())
        return standard;
    // A colour of its own where it reads on the system's colours of today, else the standard one.
    const std::uint32_t rgb = readableTextColour(toRgb(colour(d.fore, COLOR_BTNTEXT)), toRgb(backColour(control)),
                                                 toRgb(standard));
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace Runtime::Win32::Look

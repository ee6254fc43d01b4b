// Stored descriptions of forms and their controls, in twips, in stored order.
#pragma once

#include <QRgb>

#include <span>

namespace Runtime {

enum class Kind { PictureBox, TextBox, Label, Frame, CommandButton, CheckBox, OptionButton };

// A colour in a description: the runtime's default for the control, a system colour, or an
// explicit RGB value.
struct Colour
{
    enum class Source { Default, Rgb, Window, WindowText, HighlightText, ButtonFace };
    Source source = Source::Default;
    QRgb rgb = 0;

    static constexpr Colour rgbValue(int r, int g, int b) { return {Source::Rgb, qRgb(r, g, b)}; }
    static constexpr Colour system(Source s) { return {s, 0}; }
};

struct FontDescription
{
    const char *family = nullptr; // nullptr: the runtime's default font
    double points = 0;
    bool bold = false;
    bool italic = false;
};

struct ControlDescription
{
    Kind kind;
    const char *name;
    int index;             // element of a control array, or -1
    const char *container; // nullptr: the form itself
    int left, top, width, height; // twips
    const char *text;      // caption or text; nullptr for none
    int tabIndex;
    const char *picture = nullptr; // stored picture name, for picture boxes
    bool border = false;           // picture boxes: 2-pixel sunken border
    bool visible = true;
    bool value = false;            // check box checked, option button selected
    Colour back = {};
    Colour fore = {};
    FontDescription font = {};
};

struct FormDescription
{
    const char *name;
    const char *caption;
    int left, top, width, height; // client area, twips
    std::span<const ControlDescription> controls;
};

// The one conversion from stored twips to pixels.
constexpr int twipsToPixels(int twips)
{
    return (twips + (twips >= 0 ? 7 : -7)) / 15;
}

} // namespace Runtime

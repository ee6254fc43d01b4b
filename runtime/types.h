// The plain values the runtime and a back end both speak: places and sizes in pixels, pointer
// buttons and shift keys, the kinds of controls and what they are to assistive technology, the
// runtime's key names, colours and fonts.
#pragma once

#include <cstdint>

namespace Runtime {

// A place on the screen or in a window, in pixels.
struct Point
{
    int x = 0;
    int y = 0;
    bool operator==(const Point &) const = default;
};

struct Rect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect &) const = default;
    bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < x + width && p.y < y + height; }
};

// A width and height in pixels.
struct Size
{
    int width = 0;
    int height = 0;
    bool operator==(const Size &) const = default;
};

// The frame a window system draws around a window's client area.
struct Margins
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Margins &) const = default;
};

// A place in whole pixels of a control's drawing area.
struct Pixel
{
    int x = 0;
    int y = 0;
    bool operator==(const Pixel &) const = default;
};

// Button and Shift are bit sets: 1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt.
namespace Button {
inline constexpr std::int16_t Left = 1;
inline constexpr std::int16_t Right = 2;
inline constexpr std::int16_t Middle = 4;
} // namespace Button

namespace ShiftKey {
inline constexpr std::int16_t Shift = 1;
inline constexpr std::int16_t Ctrl = 2;
inline constexpr std::int16_t Alt = 4;
} // namespace ShiftKey

enum class Kind { PictureBox, TextBox, Label, Frame, CommandButton, CheckBox, OptionButton };

// What a control is to assistive technology and to the keyboard, where its kind alone does
// not tell: a picture box drawn as a check box, an option button, a push button, or a group
// of keys.
enum class Role { None, CheckBox, RadioButton, PushButton, Grouping };

// The message box's icons.
enum class MessageIcon { None, Critical, Question, Exclamation, Information };

// The keys the runtime's rules know; a back end reports these and leaves every other key to
// the control that has the focus.
enum class Key { Tab, Escape, Space, Enter, Home, Left, Up, Right, Down };

// A colour as 0xRRGGBB: red in the third byte, blue in the low one, nothing in the top byte.
// Pictures as a procedure reads them (Point) and Win32's COLORREF keep red in the low byte
// instead; lowRed() and fromLowRed() are the one pair of conversions between the two orders.
struct Rgb
{
    std::uint32_t value = 0;

    static constexpr Rgb of(int red, int green, int blue)
    {
        return {std::uint32_t(red & 0xFF) << 16 | std::uint32_t(green & 0xFF) << 8 | std::uint32_t(blue & 0xFF)};
    }
    static constexpr Rgb fromLowRed(std::uint32_t bgr)
    {
        return of(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF));
    }
    constexpr int red() const { return int(value >> 16 & 0xFF); }
    constexpr int green() const { return int(value >> 8 & 0xFF); }
    constexpr int blue() const { return int(value & 0xFF); }
    constexpr std::uint32_t lowRed() const
    {
        return std::uint32_t(red()) | std::uint32_t(green()) << 8 | std::uint32_t(blue()) << 16;
    }
    bool operator==(const Rgb &) const = default;
};

// A colour in a description: the runtime's default for the control, a system colour, or an
// explicit RGB value.
struct Colour
{
    enum class Source { Default, Rgb, Window, WindowText, HighlightText, ButtonFace, ButtonText };
    Source source = Source::Default;
    Runtime::Rgb rgb{};

    static constexpr Colour rgbValue(int r, int g, int b) { return {Source::Rgb, Runtime::Rgb::of(r, g, b)}; }
    static constexpr Colour system(Source s) { return {s, {}}; }
    bool isDefault() const { return source == Source::Default; }
    bool operator==(const Colour &) const = default;
};

// The classic system colours: white windows with black text, grey button faces (192, 192, 192)
// with black text, white highlighted text; a source that names none is the button face.
constexpr Rgb classicColour(Colour::Source source)
{
    using S = Colour::Source;
    switch (source) {
    case S::Window:
    case S::HighlightText: return Rgb::of(255, 255, 255);
    case S::WindowText:
    case S::ButtonText: return Rgb::of(0, 0, 0);
    case S::ButtonFace:
    case S::Default:
    case S::Rgb: break;
    }
    return Rgb::of(192, 192, 192);
}

// A font as described: nullptr for the runtime's default font; points 0 for its size.
struct FontDescription
{
    const char *family = nullptr;
    double points = 0;
    bool bold = false;
    bool italic = false;
};

// A font as a back end shows it: the family as described ("MS Sans Serif"), the size in points,
// which a back end turns into its own pixels once, at its own scale.
struct Font
{
    const char *family = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
    bool italic = false;
    // Nothing of it described: a platform whose own user interface font stands for the runtime's
    // default may draw that instead.
    bool isDefault = true;
};

} // namespace Runtime

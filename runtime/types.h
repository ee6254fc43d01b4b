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

// The keys the runtime's rules know; a back end reports these and leaves every other key to
// the control that has the focus.
enum class Key { Tab, Escape, Space, Enter, Home, Left, Up, Right, Down };

// A colour in a description: the runtime's default for the control, a system colour, or an
// explicit RGB value.
struct Colour
{
    enum class Source { Default, Rgb, Window, WindowText, HighlightText, ButtonFace, ButtonText };
    Source source = Source::Default;
    std::uint32_t rgb = 0; // 0xRRGGBB

    static constexpr Colour rgbValue(int r, int g, int b)
    {
        return {Source::Rgb, std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b)};
    }
    static constexpr Colour system(Source s) { return {s, 0}; }
    bool isDefault() const { return source == Source::Default; }
    bool operator==(const Colour &) const = default;
};

struct FontDescription
{
    const char *family = nullptr; // nullptr: the runtime's default font
    double points = 0;
    bool bold = false;
    bool italic = false;
};

} // namespace Runtime

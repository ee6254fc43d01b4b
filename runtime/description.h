// Stored descriptions of forms and their controls, in twips, in stored order.
#pragma once

#include "runtime/events.h"

#include <cstdint>
#include <span>

namespace Runtime {

enum class Kind { PictureBox, TextBox, Label, Frame, CommandButton, CheckBox, OptionButton };

// A place and size in twips, measured from the container's top-left corner.
struct Twips
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A colour in a description: the runtime's default for the control, a system colour, or an
// explicit RGB value.
struct Colour
{
    enum class Source { Default, Rgb, Window, WindowText, HighlightText, ButtonFace };
    Source source = Source::Default;
    std::uint32_t rgb = 0; // 0xRRGGBB

    static constexpr Colour rgbValue(int r, int g, int b)
    {
        return {Source::Rgb, std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b)};
    }
    static constexpr Colour system(Source s) { return {s, 0}; }
    bool isDefault() const { return source == Source::Default; }
};

struct FontDescription
{
    const char *family = nullptr; // nullptr: the runtime's default font
    double points = 0;
    bool bold = false;
    bool italic = false;
};

// What a control is to assistive technology and to the keyboard, where its kind alone does
// not tell: a picture box drawn as a check box, an option button, a push button, or a group
// of keys.
enum class Role { None, CheckBox, RadioButton, PushButton, Grouping };

// The keys that drive a bitmap control from the keyboard.
enum class Key { Space, Enter, Home, Left, Up, Right, Down };

// A key of a bitmap control drawn as a group of keys: its name, the key that presses it, and
// the point inside its shape that a key press presses, in pixels of the control.
struct KeyPart
{
    const char *name;
    Key key;
    Pixel point;
};

struct ControlDescription
{
    Kind kind;
    const char *name;
    int index = -1;                 // element of a control array, or -1
    const char *container = nullptr; // nullptr: the form itself
    Twips place{};
    const char *text = nullptr;     // caption or text; nullptr for none
    int tabIndex = 0;
    const char *picture = nullptr;  // stored picture name, for picture boxes
    bool border = false;            // picture boxes: 2-pixel sunken border
    bool visible = true;
    bool value = false;             // check box checked, option button selected
    Colour back{};
    Colour fore{};
    FontDescription font{};

    // For the keyboard and assistive technology.
    Role role = Role::None;
    const char *accessibleName = nullptr; // the name, where no label gives one
    const char *labelledBy = nullptr;     // the label that names it: "Label3(3)"
    Pixel keyPoint{-1, -1};               // where a key press presses, in pixels
    std::span<const KeyPart> keyParts{};  // a group's keys
};

struct FormDescription
{
    const char *name;
    const char *caption;
    Twips client; // the client area's stored place on the screen and its size
    std::span<const ControlDescription> controls;
};

} // namespace Runtime

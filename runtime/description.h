// Stored descriptions of forms and their controls, in twips, in stored order.
#pragma once

#include "runtime/types.h"

#include <span>

namespace Runtime {

// A place and size in twips, measured from the container's top-left corner.
struct Twips
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A key of a bitmap control drawn as a group of keys: its name, the key that presses it, the
// point inside its shape that a key press presses, and the rectangle its shape lies in, in
// pixels of the control.
struct KeyPart
{
    const char *name;
    Key key;
    Pixel point;
    Rect rect;
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
    MessageIcon icon = MessageIcon::None; // a picture box showing one of the message box's icons

    // For the keyboard and assistive technology.
    Role role = Role::None;
    const char *accessibleName = nullptr;        // the name, where no label gives one
    const char *accessibleDescription = nullptr; // how to use it, where its role does not tell
    const char *labelledBy = nullptr;            // the label that names it: "Label3(3)"
    Pixel keyPoint{-1, -1};                      // where a key press presses, in pixels
    std::span<const KeyPart> keyParts{};         // a group's keys
};

struct FormDescription
{
    const char *name;
    const char *caption;
    Twips client; // the client area's stored place on the screen and its size
    std::span<const ControlDescription> controls;
    bool alert = false; // a message box: an alert, described by its labels
};

} // namespace Runtime

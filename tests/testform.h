// The forms the runtime's own tests build: picture boxes, one lying over another, one with a
// border and a hidden one; a frame holding controls; standard controls and a control array; and
// a dialog stored 30 pixels right of and 50 below the form.
#pragma once

#include "runtime/description.h"
#include "runtime/units.h"

namespace TestForm {

using namespace Runtime;

constexpr int tw(int px)
{
    return px * TwipsPerPixel;
}

// The pictures it names: "white20", "white30x20", "white20x10", "white10", and "small", a 4 x 4
// black ring around white with red at (2, 2).
inline const ControlDescription kControls[] = {
    {.kind = Kind::PictureBox, .name = "Top", .place = {tw(10), tw(10), tw(20), tw(20)}, .tabIndex = 5, .picture = "white20"},
    {.kind = Kind::PictureBox, .name = "Under", .place = {tw(20), tw(20), tw(20), tw(20)}, .tabIndex = 6, .picture = "white20"},
    {.kind = Kind::PictureBox, .name = "Box", .place = {tw(50), tw(10), tw(30), tw(20)}, .tabIndex = 7, .picture = "white30x20"},
    {.kind = Kind::PictureBox, .name = "Bordered", .place = {tw(50), tw(40), tw(24), tw(14)}, .tabIndex = 8,
     .picture = "white20x10", .border = true},
    {.kind = Kind::PictureBox, .name = "Hidden", .place = {tw(400), 0, tw(4), tw(4)}, .tabIndex = 9, .picture = "small",
     .visible = false},
    {.kind = Kind::Frame, .name = "Frame", .place = {tw(10), tw(60), tw(100), tw(50)}, .text = "Frame"},
    {.kind = Kind::PictureBox, .name = "Inner", .container = "Frame", .place = {tw(15), tw(20), tw(10), tw(10)},
     .tabIndex = 10, .picture = "white10"},
    {.kind = Kind::TextBox, .name = "Edit", .container = "Frame", .place = {tw(40), tw(18), tw(50), tw(23)},
     .text = "abc", .tabIndex = 3},
    {.kind = Kind::CommandButton, .name = "Button", .place = {tw(120), tw(60), tw(60), tw(25)}, .text = "Go", .tabIndex = 1},
    {.kind = Kind::Label, .name = "Arr", .index = 0, .place = {tw(120), tw(100), tw(40), tw(15)}, .text = "zero", .tabIndex = 11},
    {.kind = Kind::Label, .name = "Arr", .index = 1, .place = {tw(120), tw(120), tw(40), tw(15)}, .text = "one", .tabIndex = 12},
    {.kind = Kind::CheckBox, .name = "Check", .place = {tw(10), tw(120), tw(60), tw(20)}, .text = "Check", .tabIndex = 2},
};
inline const FormDescription kForm{"TestForm", "Test form", {tw(100), tw(100), tw(200), tw(150)}, kControls};

inline const ControlDescription kDialogControls[] = {
    {.kind = Kind::Label, .name = "Text", .place = {tw(5), tw(5), tw(80), tw(15)}, .text = "Dialog"},
};
inline const FormDescription kDialog{"Dialog", "Dialog", {tw(130), tw(150), tw(100), tw(40)}, kDialogControls};

} // namespace TestForm

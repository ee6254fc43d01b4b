// The About window's stored description.
#include "app/form2.h"

namespace {

using Runtime::Colour;
using Runtime::ControlDescription;
using Runtime::FontDescription;
using Runtime::Kind;

constexpr FontDescription kSansBold{"MS Sans Serif", 8.25, true, false};
constexpr FontDescription kArialBoldItalic{"Arial", 9.75, true, true};
constexpr Colour kHighlightText = Colour::system(Colour::Source::HighlightText);
constexpr Colour kRed = Colour::rgbValue(255, 0, 0);

// Stored order; positions in twips from the client area's top-left corner.
const ControlDescription kControls[] = {
    {.kind = Kind::Label, .name = "Label1", .index = 5, .place = {120, 1665, 4080, 270},
     .text = "Copyright (C) Zennorak Design. All rights reserved.", .tabIndex = 5,
     .fore = kHighlightText, .font = kSansBold},
    {.kind = Kind::Label, .name = "Label1", .index = 4, .place = {90, 1245, 4095, 270},
     .text = "quorvel@zennorak.example", .tabIndex = 4, .fore = kRed, .font = kArialBoldItalic},
    {.kind = Kind::Label, .name = "Label1", .index = 3, .place = {105, 870, 4050, 270},
     .text = "If You will find it usefull - please contact me at", .tabIndex = 3,
     .fore = kHighlightText, .font = kSansBold},
    {.kind = Kind::Label, .name = "Label1", .index = 2, .place = {105, 570, 4095, 270},
     .text = "No limits to Your fantasy...", .tabIndex = 2, .font = kSansBold},
    {.kind = Kind::Label, .name = "Label1", .index = 1, .place = {105, 300, 4100, 270},
     .text = "ted to offen using MS standard custom controls.", .tabIndex = 1, .font = kSansBold},
    {.kind = Kind::Label, .name = "Label1", .index = 0, .place = {105, 45, 4100, 270},
     .text = "This is a sample of Quorvel technics applica-", .tabIndex = 0, .font = kSansBold},
};

const Runtime::FormDescription kForm2{"Form2", "About...", {2700, 2235, 4275, 1980}, kControls};

} // namespace

Form2::Form2(Runtime::Form *owner) : Runtime::Form(kForm2, owner) { }

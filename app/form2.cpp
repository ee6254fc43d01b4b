// The About window's stored description.
#include "form2.h"

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
    {Kind::Label, "Label1", 5, nullptr, 120, 1665, 4080, 270,
     "Copyright (C) Zennorak Design. All rights reserved.", 5,
     nullptr, false, true, false, {}, kHighlightText, kSansBold},
    {Kind::Label, "Label1", 4, nullptr, 90, 1245, 4095, 270,
     "quorvel@zennorak.example", 4,
     nullptr, false, true, false, {}, kRed, kArialBoldItalic},
    {Kind::Label, "Label1", 3, nullptr, 105, 870, 4050, 270,
     "If You will find it usefull - please contact me at", 3,
     nullptr, false, true, false, {}, kHighlightText, kSansBold},
    {Kind::Label, "Label1", 2, nullptr, 105, 570, 4095, 270,
     "No limits to Your fantasy...", 2,
     nullptr, false, true, false, {}, {}, kSansBold},
    {Kind::Label, "Label1", 1, nullptr, 105, 300, 4100, 270,
     "ted to offen using MS standard custom controls.", 1,
     nullptr, false, true, false, {}, {}, kSansBold},
    {Kind::Label, "Label1", 0, nullptr, 105, 45, 4100, 270,
     "This is a sample of Quorvel technics applica-", 0,
     nullptr, false, true, false, {}, {}, kSansBold},
};

const Runtime::FormDescription kForm2{"Form2", "About...", 2700, 2235, 4275, 1980, kControls};

} // namespace

Form2::Form2(QWidget *owner) : Runtime::Form(kForm2, {}, owner) { }

// Whether a text reads on the surface it is drawn on, counted as WCAG counts contrast.
#pragma once

#include "runtime/types.h"

namespace Runtime {

// The contrast ratio of two colours: 1 for the same colour, 21 for black and white.
double contrastRatio(Rgb a, Rgb b);

// The least contrast at which a text in a colour of its own still reads: white on the classic
// grey of button faces (192, 192, 192) has 1.8 to 1 and reads; white on today's faces (240 or
// 245 grey) has 1.1 to 1 and does not.
inline constexpr double kLeastTextContrast = 1.5;

// Whether a text in `text` stands out from `surface` by kLeastTextContrast or more; where it
// does not, the text is drawn in the default text colour instead.
bool readsOn(Rgb text, Rgb surface);

} // namespace Runtime

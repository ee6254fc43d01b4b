// Whether a text reads on the surface it is drawn on, counted as WCAG counts contrast.
#pragma once

#include <cstdint>

namespace Runtime {

// The contrast ratio of two colours (0xRRGGBB): 1 for the same colour, 21 for black and white.
double contrastRatio(std::uint32_t a, std::uint32_t b);

// The least contrast at which a text in a colour of its own still reads: white on the classic
// grey of button faces (192, 192, 192) has 1.8 to 1 and reads; white on today's faces (240 or
// 245 grey) has 1.1 to 1 and does not.
inline constexpr double kLeastTextContrast = 1.5;

// The colour a text described in `described` is drawn in on `surface`: that colour where it
// stands out by kLeastTextContrast or more, else the default text colour `fallback`.
std::uint32_t readableTextColour(std::uint32_t described, std::uint32_t surface, std::uint32_t fallback);

} // namespace Runtime

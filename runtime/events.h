// What event procedures receive: buttons, shift keys, positions.
#pragma once

#include <cstdint>

namespace Runtime {

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

struct MouseArgs
{
    std::int16_t button = 0; // the button that changed (down, up) or the buttons held (move)
    std::int16_t shift = 0;
    float x = 0; // in the control's scale, from a whole pixel
    float y = 0;
};

// A place in whole pixels of a control's drawing area.
struct Pixel
{
    int x = 0;
    int y = 0;
    bool operator==(const Pixel &) const = default;
};

} // namespace Runtime

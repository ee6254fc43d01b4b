// A pointer event as the event procedures see it.
#pragma once

#include <QtGlobal>

namespace Runtime {

// Button and Shift are bit sets: 1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt.
namespace Button {
inline constexpr qint16 Left = 1;
inline constexpr qint16 Right = 2;
inline constexpr qint16 Middle = 4;
} // namespace Button

namespace ShiftKey {
inline constexpr qint16 Shift = 1;
inline constexpr qint16 Ctrl = 2;
inline constexpr qint16 Alt = 4;
} // namespace ShiftKey

// Scale modes a form or picture box can measure in.
namespace Scale {
inline constexpr int Twips = 1;
inline constexpr int Pixels = 3;
inline constexpr int TwipsPerPixel = 15;
} // namespace Scale

struct MouseArgs
{
    qint16 button = 0; // the button that changed (down, up) or the buttons held (move)
    qint16 shift = 0;
    float x = 0; // in the control's scale, from a whole pixel
    float y = 0;
};

} // namespace Runtime

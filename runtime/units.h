// Units of stored descriptions and of event coordinates: twips, pixels, and the scale modes.
#pragma once

namespace Runtime {

// Stored places and sizes are in twips, 15 to a pixel (1440 to the inch at 96 dots per inch).
inline constexpr int TwipsPerPixel = 15;

// The scale modes a form or picture box measures in.
namespace Scale {
inline constexpr int Twips = 1;
inline constexpr int Pixels = 3;
} // namespace Scale

// The one conversion from stored twips to pixels, to the nearest pixel.
constexpr int twipsToPixels(int twips)
{
    return (twips + (twips >= 0 ? TwipsPerPixel / 2 : -(TwipsPerPixel / 2))) / TwipsPerPixel;
}

// How many units of `scaleMode` make a pixel.
constexpr float unitsPerPixel(int scaleMode)
{
    return scaleMode == Scale::Twips ? float(TwipsPerPixel) : 1.0f;
}

// The scale mode itself, checked: raises run-time error 380 for anything but 1 or 3.
int checkedScaleMode(int mode);

} // namespace Runtime

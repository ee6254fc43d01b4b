// Contrast of text colours.
#include "runtime/contrast.h"

#include <algorithm>
#include <cmath>

namespace Runtime {

namespace {

// One sRGB channel (0 to 255) as linear light.
double linear(int channel)
{
    const double c = double(channel) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(Rgb rgb)
{
    return 0.2126 * linear(rgb.red()) + 0.7152 * linear(rgb.green()) + 0.0722 * linear(rgb.blue());
}

} // namespace

double contrastRatio(Rgb a, Rgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool readsOn(Rgb text, Rgb surface)
{
    return contrastRatio(text, surface) >= kLeastTextContrast;
}

} // namespace Runtime

// Contrast of text colours.
#include "runtime/contrast.h"

#include <algorithm>
#include <cmath>

namespace Runtime {

namespace {

// One sRGB channel (0 to 255) as linear light.
double linear(std::uint32_t channel)
{
    const double c = double(channel & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(std::uint32_t rgb)
{
    return 0.2126 * linear(rgb >> 16) + 0.7152 * linear(rgb >> 8) + 0.0722 * linear(rgb);
}

} // namespace

double contrastRatio(std::uint32_t a, std::uint32_t b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool readsOn(std::uint32_t text, std::uint32_t surface)
{
    return contrastRatio(text, surface) >= kLeastTextContrast;
}

} // namespace Runtime

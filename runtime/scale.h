// Logical pixels and a screen's device pixels. Every described place and size, and everything
// the runtime and a program see, is in logical pixels, 96 to the inch. A back end that draws
// on a screen of more dots to the inch by hand maps them here, and only here, both ways:
//
//  - toDevice: the device coordinate of a logical one (an edge, a place or a length), to the
//    nearest, a half rounded up. Logical pixel i covers the device pixels from toDevice(i) up
//    to, not including, toDevice(i + 1): nearest neighbour, each a whole device pixel. At 96
//    dots per inch that is the pixel itself; at 192 a 2 x 2 block; at 144 and 120 one or two
//    device pixels each way.
//  - toLogical: the logical pixel whose device pixels hold device pixel `device`, so that what
//    is found under the pointer is what was drawn there. Also the way back for an edge or a
//    length: toLogical(toDevice(x)) is x at 96 dots per inch or more.
#pragma once

namespace Runtime::Dpi {

// The dots per inch of a logical pixel.
inline constexpr int Logical = 96;

namespace detail {

// a / b rounded towards minus infinity (b > 0): a place left of or above an origin maps as one
// to its right does. In int: a coordinate times the dots per inch of any screen fits in one.
constexpr int floorDiv(int a, int b)
{
    const int q = a / b;
    return q * b > a ? q - 1 : q;
}

} // namespace detail

constexpr int toDevice(int logical, int dpi)
{
    return detail::floorDiv(logical * dpi + Logical / 2, Logical);
}

constexpr int toLogical(int device, int dpi)
{
    // The largest i with toDevice(i) <= device: i * dpi + 48 < (device + 1) * 96.
    return detail::floorDiv(device * Logical + Logical / 2 - 1, dpi);
}

} // namespace Runtime::Dpi

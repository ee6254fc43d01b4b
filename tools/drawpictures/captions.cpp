// Flat grey button faces shaded top to bottom, with a black caption low on the left.
#include "captions.h"

#include "canvas.h"

namespace {

constexpr int kWidth = 90, kHeight = 35;

// Brightness of row y in the middle of the face.
double rowShade(int y, ButtonState state)
{
    if (state == ButtonState::Released) {
        // Even fall from the lit top to row 31, then a slightly lighter lip.
        static const double lip[] = { 125, 129, 133 };
        return y <= 31 ? 248.0 - (248.0 - 122.0) * y / 31.0 : lip[y - 32];
    }
    // Pressed: a shadow under the top edge, then an even rise to the bottom and a fall back.
    static const double shadow[] = { 216, 175, 135 };
    static const double lip[] = { 244, 207, 163 };
    if (y <= 2)
        return shadow[y];
    if (y <= 31)
        return 127.0 + (255.0 - 127.0) * (y - 3) / 28.0;
    return lip[y - 32];
}

// The right edge turns away from the light.
double columnFactor(int x, ButtonState state)
{
    static const double released[] = { 0.94, 0.87, 0.79 };
    static const double pressed[] = { 0.985, 0.97, 0.955 };
    const int fromEdge = kWidth - 1 - x;
    if (fromEdge > 2)
        return 1.0;
    return state == ButtonState::Released ? released[2 - fromEdge] : pressed[2 - fromEdge];
}

} // namespace

const CaptionPlacement &exitCaption()
{
    static const CaptionPlacement c { QStringLiteral("Exit"), { 19.5, 0.70, 1.0 }, { 3.5, 30.375 } };
    return c;
}

const CaptionPlacement &aboutCaption()
{
    static const CaptionPlacement c { QStringLiteral("About"), { 19.5, 0.80, 1.0 }, { 4.875, 30.125 } };
    return c;
}

QImage buttonFace(const CaptionPlacement &caption, ButtonState state)
{
    const Ink ink = captionInk(caption.text, caption.style, caption.origin, kWidth, kHeight);
    QImage out(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double v = rowShade(y, state) * columnFactor(x, state) * (1.0 - ink.at(x, y));
            out.setPixel(x, y, toQRgb(grey(v)));
        }
    return out;
}

// The three masks: where each shaped control is drawn, pixel for pixel.
#pragma once

#include "canvas.h"

#include <QImage>

PixelSet checkMaskShape(); // PicM, 26 x 26: the ball of the check box and option buttons
PixelSet ovalMaskShape(); // pic2, 164 x 51: the oval button
PixelSet padMaskShape(); // Picture2, 171 x 106: the five keys of the direction pad

enum class PadKey { Up, Left, Home, Right, Down };
PixelSet padKeyShape(PadKey key);

// Black outside the shape, white on it: a 1-bit picture with palette 0 = black, 1 = white.
QImage maskPicture(const PixelSet &shape);

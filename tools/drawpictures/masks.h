// The three masks: where each shaped control is drawn, pixel for pixel.
#pragma once

#include "canvas.h"

#include <QImage>

// The shaped controls' sizes, which their masks and faces share.
constexpr int kBallSize = 26; // the check box's and the option buttons' ball, square
constexpr int kOvalWidth = 164, kOvalHeight = 51; // the oval button
constexpr int kPadWidth = 171, kPadHeight = 106; // the direction pad

PixelSet checkMaskShape(); // the ball of the check box and option buttons
PixelSet ovalMaskShape(); // the oval button
PixelSet padMaskShape(); // the five keys of the direction pad

enum class PadKey { Up, Left, Home, Right, Down };
PixelSet padKeyShape(PadKey key);

// Black outside the shape, white on it: a 1-bit picture with palette 0 = black, 1 = white.
QImage maskPicture(const PixelSet &shape);

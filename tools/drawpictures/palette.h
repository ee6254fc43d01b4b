// 8-bit palettes: the system-colour palette of the ball and pad pictures, and the grey ramp.
#pragma once

#include "canvas.h"

#include <QImage>
#include <QList>

// The twenty static colours a Windows palette keeps: ten at its start, ten at its end.
const QList<QRgb> &systemColoursHead();
const QList<QRgb> &systemColoursTail();

// Stores a canvas as an 8-bit picture whose palette begins and ends with the static system
// colours and holds the picture's own colours in the 236 entries between.
// With a base picture, pixels that `changed` does not name keep the base's colour exactly, so
// a picture drawn as a variant of another differs from it only where it was meant to.
// Colours listed in `exact` are kept as they are; when there are more colours than entries,
// the rest are reduced by median cut.
QImage systemPalettePicture(const Canvas &canvas, const QImage *base = nullptr,
                            const PixelSet *changed = nullptr, const QList<QRgb> &exact = {});

// Stores a grey canvas as an 8-bit picture on the grey ramp: entry i is (i, i, i).
QImage greyRampPicture(const Canvas &canvas);

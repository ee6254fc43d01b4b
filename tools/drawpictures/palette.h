// Palettes: the standard colours, black and white, the system-colour palette of the ball and pad
// pictures, and the grey ramp.
#pragma once

#include "canvas.h"

#include <QImage>
#include <QList>

// The sixteen standard colours, in their usual order: eight dark ones, then eight bright ones.
const QList<QRgb> &standardColours();

// The palette of 1-bit pictures: entry 0 black, entry 1 white.
const QList<QRgb> &blackAndWhite();

// Stores a canvas as an 8-bit picture whose palette begins and ends with the twenty static
// colours a Windows palette keeps and holds the picture's own colours in the entries between.
// With a base picture, pixels that `changed` does not name keep the base's colour exactly, so
// a picture drawn as a variant of another differs from it only where it was meant to.
// Colours listed in `exact` are kept as they are; when there are more colours than entries,
// the rest are reduced by median cut.
QImage systemPalettePicture(const Canvas &canvas, const QImage *base = nullptr,
                            const PixelSet *changed = nullptr, const QList<QRgb> &exact = {});

// The first entry of such a picture's palette that none of its own colours takes, or -1 when
// they take them all.
int firstUnusedEntry(const QImage &picture);

// Stores a grey canvas as an 8-bit picture on the grey ramp: entry i is (i, i, i).
QImage greyRampPicture(const Canvas &canvas);

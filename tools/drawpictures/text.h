// Captions drawn from the outlines of a font file, so they come out the same on every machine.
#pragma once

#include <QPointF>
#include <QString>

#include <vector>

// Ink of a caption, one value 0..1 a pixel, row by row, over a width x height picture.
struct Ink
{
    int width = 0, height = 0;
    std::vector<double> alpha;
    double at(int x, int y) const
    {
        return x < 0 || y < 0 || x >= width || y >= height ? 0.0 : alpha[size_t(y * width + x)];
    }
};

struct CaptionStyle
{
    double pixelSize; // em size in pixels
    double tracking; // extra pixels between letters
    double stretch; // horizontal scale of the letters
};

// Anti-aliased ink of `text` with its baseline starting at `origin`, reduced from 8x8
// samples a pixel, then sharpened: nearly covered pixels become solid ink.
Ink captionInk(const QString &text, const CaptionStyle &style, QPointF origin, int width, int height);

// Throws when the font file is missing.
void requireCaptionFont();

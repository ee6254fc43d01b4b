// The Exit and About button faces, 90 x 35, grey, released and pressed.
#pragma once

#include "text.h"

#include <QImage>

enum class ButtonState { Released, Pressed };

struct CaptionPlacement
{
    QString text;
    CaptionStyle style;
    QPointF origin; // baseline start
};

const CaptionPlacement &exitCaption();
const CaptionPlacement &aboutCaption();

// Format_RGB32, grey only.
QImage buttonFace(const CaptionPlacement &caption, ButtonState state);

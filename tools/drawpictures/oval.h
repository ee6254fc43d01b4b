// The oval push button on the grey ramp: released and pressed.
#pragma once

#include "captions.h"

#include <QImage>

// The caption's place on the released face; the pressed face shows it 3 right and 2 down.
const CaptionPlacement &ovalCaption();

QImage ovalFace(ButtonState state);

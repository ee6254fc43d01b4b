// The program's icon: a slanted white window with a cyan title bar.
#pragma once

#include "bmp.h"

#include <QImage>
#include <QList>

// 32 x 32 in two colours, 32 x 32 and 16 x 16 in sixteen colours, in that order.
QList<IconImage> iconImages();

// A sixteen-colour icon image as a picture with transparency, for desktop icon themes.
QImage iconWithAlpha(const IconImage &icon);

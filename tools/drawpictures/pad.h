// The direction pad: its stored face and the six images of the first image list.
#pragma once

#include <QImage>
#include <QList>

struct PadPictures
{
    QImage face; // the pad's stored picture
    QList<QImage> images; // images 1 to 6: released, then Up, Right, Down, Left, Home lit
};

PadPictures padPictures();

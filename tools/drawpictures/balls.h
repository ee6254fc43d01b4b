// The metal balls of the check box and the option buttons: the six images of the second image list.
#pragma once

#include <QImage>
#include <QList>

// Images 1 to 6 in order: check unchecked, red star (unused), check checked,
// option not selected, option pressed, option selected.
QList<QImage> ballImages();

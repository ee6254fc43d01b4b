// Access to the stored pictures embedded in the program.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace Assets {

// ":/pictures/<name>.bmp"
QString picturePath(QStringView name);

// The stored picture as it is kept: 1-bit masks, 8-bit faces with their whole 256-entry
// palette, 24-bit button faces. A null image when there is no picture of that name.
QImage loadPicture(QStringView name);

// Every stored picture's name, without the ".bmp", in alphabetical order.
QStringList pictureNames();

} // namespace Assets

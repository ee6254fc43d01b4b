// Stored pictures are BMP files in the resource folder :/pictures.
#include "assets.h"

#include <QDir>

namespace Assets {

QString picturePath(QStringView name)
{
    return QStringLiteral(":/pictures/%1.bmp").arg(name);
}

QImage loadPicture(QStringView name)
{
    return QImage(picturePath(name), "BMP");
}

QStringList pictureNames()
{
    QStringList names;
    const QStringList files = QDir(QStringLiteral(":/pictures")).entryList({ QStringLiteral("*.bmp") }, QDir::Files, QDir::Name);
    for (const QString &file : files)
        names.append(file.chopped(4));
    return names;
}

} // namespace Assets

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

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/quorvel-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/quorvel-32.png"), QSize(32, 32));
    return icon;
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

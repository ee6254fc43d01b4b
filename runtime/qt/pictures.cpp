// Stored pictures, read as what they are.
#include "runtime/qt/pictures.h"

#include <QImageReader>

namespace Runtime::QtUi {

Picture loadStoredPicture(const std::string &name)
{
    // Qt's BMP reader, with no other reader asked.
    QImageReader reader(QStringLiteral(":/pictures/%1.bmp").arg(QString::fromStdString(name)), "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return pictureOf(std::move(image));
}

Picture pictureOf(QImage image)
{
    return Picture(std::make_shared<QtBitmap>(std::move(image)));
}

QImage imageOf(const Picture &picture)
{
    const auto *bitmap = dynamic_cast<const QtBitmap *>(picture.bitmap());
    return bitmap ? bitmap->image() : QImage();
}

} // namespace Runtime::QtUi

// Stored bitmaps.
#include "picture.h"

#include "runtimeerror.h"

namespace Runtime {

Picture Picture::load(const QString &path)
{
    QImage image(path);
    if (image.isNull())
        throw RuntimeError(Err::InvalidPicture, QStringLiteral("Invalid picture: %1").arg(path));
    return Picture(std::move(image));
}

quint32 Picture::pixelColour(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return 0;
    const QRgb c = m_image.pixel(x, y);
    return quint32(qRed(c)) | (quint32(qGreen(c)) << 8) | (quint32(qBlue(c)) << 16);
}

} // namespace Runtime

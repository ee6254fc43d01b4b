// A picture's pixels as Qt keeps them: a QImage decoded by Qt's own BMP reader.
#pragma once

#include "runtime/picture.h"

#include <QImage>

namespace Runtime::QtUi {

class QtBitmap final : public Bitmap
{
public:
    explicit QtBitmap(QImage image) : m_image(std::move(image)) { }

    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    std::uint32_t colourAt(int x, int y) const override
    {
        const QRgb c = m_image.pixel(x, y);
        return std::uint32_t(qRed(c)) | std::uint32_t(qGreen(c)) << 8 | std::uint32_t(qBlue(c)) << 16;
    }
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
};

// A picture of an image, for tests and tools.
inline Picture pictureOf(QImage image)
{
    return Picture(std::make_shared<QtBitmap>(std::move(image)));
}

// The image a picture holds; a null image for no picture.
inline QImage imageOf(const Picture &picture)
{
    const auto *bitmap = dynamic_cast<const QtBitmap *>(picture.bitmap());
    return bitmap ? bitmap->image() : QImage();
}

} // namespace Runtime::QtUi

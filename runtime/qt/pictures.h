// The stored pictures as Qt keeps them: QImages decoded by Qt's own BMP reader from the
// program's resources.
#pragma once

#include "runtime/picture.h"

#include <QImage>

#include <string>

namespace Runtime::QtUi {

class QtBitmap final : public Bitmap
{
public:
    explicit QtBitmap(QImage image) : m_image(std::move(image)) { }

    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    Rgb colourAt(int x, int y) const override
    {
        const QRgb c = m_image.pixel(x, y);
        return Rgb::of(qRed(c), qGreen(c), qBlue(c));
    }
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
};

// The stored picture `name` (:/pictures/NAME.bmp); a null picture when there is none.
Picture loadStoredPicture(const std::string &name);

// A picture of an image, and the image a picture holds (a null image for none).
Picture pictureOf(QImage image);
QImage imageOf(const Picture &picture);

} // namespace Runtime::QtUi

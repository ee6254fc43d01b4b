// A stored bitmap: immutable and implicitly shared, so handing it to another control never
// copies pixels.
#pragma once

#include <QImage>
#include <QString>

namespace Runtime {

class Picture final
{
public:
    Picture() = default;
    explicit Picture(QImage image) : m_image(std::move(image)) { }

    // Loads a stored picture; raises run-time error 481 when it cannot be read.
    static Picture load(const QString &path);

    bool isNull() const { return m_image.isNull(); }
    QSize size() const { return m_image.size(); }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    const QImage &image() const { return m_image; }

    // The colour at pixel (x, y), red in the low byte and nothing in the top byte, so that
    // black is 0. A picture has nothing beyond its edges: outside it the value is 0.
    quint32 pixelColour(int x, int y) const;

    // True when both hold the very same pixels (no copy was made between them).
    bool sharesWith(const Picture &other) const
    {
        return !isNull() && m_image.cacheKey() == other.m_image.cacheKey();
    }

private:
    QImage m_image;
};

} // namespace Runtime

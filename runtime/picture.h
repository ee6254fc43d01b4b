// A stored bitmap: immutable and shared, so handing it to another control never copies pixels.
// Decoded by the back end with its platform's own reader.
#pragma once

#include "runtime/types.h"

#include <memory>

namespace Runtime {

// The pixels of a decoded picture, as the back end keeps them for showing.
class Bitmap
{
public:
    virtual ~Bitmap() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The colour of pixel (x, y), inside the bitmap.
    virtual Rgb colourAt(int x, int y) const = 0;
};

class Picture final
{
public:
    Picture() = default;
    explicit Picture(std::shared_ptr<const Bitmap> bitmap) : m_bitmap(std::move(bitmap)) { }

    bool isNull() const { return !m_bitmap; }
    int width() const { return m_bitmap ? m_bitmap->width() : 0; }
    int height() const { return m_bitmap ? m_bitmap->height() : 0; }
    const Bitmap *bitmap() const { return m_bitmap.get(); }

    // The colour at pixel (x, y). A picture has nothing beyond its edges: outside it, black.
    Rgb pixelColour(int x, int y) const
    {
        if (!m_bitmap || x < 0 || y < 0 || x >= m_bitmap->width() || y >= m_bitmap->height())
            return {};
        return m_bitmap->colourAt(x, y);
    }

    // True when both hold the very same pixels (no copy was made between them).
    bool sharesWith(const Picture &other) const { return m_bitmap && m_bitmap == other.m_bitmap; }

private:
    std::shared_ptr<const Bitmap> m_bitmap;
};

} // namespace Runtime

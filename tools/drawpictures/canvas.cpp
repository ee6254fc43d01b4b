// Pixel-set helpers shared by the pictures.
#include "canvas.h"

PixelSet PixelSet::outerRing() const
{
    PixelSet ring(m_w, m_h);
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            if (!has(x, y) && (has(x - 1, y) || has(x + 1, y) || has(x, y - 1) || has(x, y + 1)))
                ring.set(x, y);
    return ring;
}

PixelSet PixelSet::eroded(double radius) const
{
    const int r = int(std::ceil(radius));
    PixelSet out(m_w, m_h);
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x) {
            if (!has(x, y))
                continue;
            bool keep = true;
            for (int dy = -r; dy <= r && keep; ++dy)
                for (int dx = -r; dx <= r && keep; ++dx)
                    if (dx * dx + dy * dy <= radius * radius && !has(x + dx, y + dy))
                        keep = false;
            out.set(x, y, keep);
        }
    return out;
}

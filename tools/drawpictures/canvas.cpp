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

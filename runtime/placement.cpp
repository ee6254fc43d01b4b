// Window placement on the screen.
#include "placement.h"

#include <algorithm>

namespace Runtime {

namespace {
// One side of the screen: where a frame of `length` starting at `start` goes.
int keepWithin(int start, int length, int screenStart, int screenLength)
{
    if (length > screenLength)
        return screenStart;
    return std::clamp(start, screenStart, screenStart + screenLength - length);
}
} // namespace

Point keepOnScreen(Rect client, Margins frame, Rect screen)
{
    const int frameX = keepWithin(client.x - frame.left, client.width + frame.left + frame.right,
                                  screen.x, screen.width);
    const int frameY = keepWithin(client.y - frame.top, client.height + frame.top + frame.bottom,
                                  screen.y, screen.height);
    return {frameX + frame.left, frameY + frame.top};
}

} // namespace Runtime

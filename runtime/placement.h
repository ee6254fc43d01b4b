// Where a window goes on the screen: the stored place where it fits, else the nearest place
// that keeps its frame on the screen.
#pragma once

#include "runtime/types.h"

namespace Runtime {

// The client origin that keeps the window's frame on `screen`: unchanged where it fits, else
// moved the least distance that brings it on; along a side where the frame is larger than the
// screen, the frame starts at the screen's edge.
Point keepOnScreen(Rect client, Margins frame, Rect screen);

// A window shown over another keeps the relation of their stored places: its client origin
// is the other's client origin moved by the difference between the two stored origins.
constexpr Point placedRelativeTo(Point ownerClient, Point ownerStored, Point stored)
{
    return {ownerClient.x + stored.x - ownerStored.x, ownerClient.y + stored.y - ownerStored.y};
}

} // namespace Runtime

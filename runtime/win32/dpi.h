// Dots per inch on Windows. The program is aware of each monitor's: Windows scales nothing of
// its windows, and each window is laid out at its own monitor's dots per inch, which it is
// told of again when it moves to another (WM_DPICHANGED). The functions Windows added for that
// are looked up once, with what a system without them has in their place: one scale for every
// screen, the system's.
#pragma once

#include "runtime/scale.h"
#include "runtime/types.h"

#include <windows.h>

namespace Runtime::Win32 {

// The messages of a scale change, which the SDK names only for Windows 8.1 and later: the
// window's size at the new scale asked for first (sent to a window of a program aware of each
// monitor's in the second mode), then the change itself with where the window should go.
inline constexpr UINT kDpiChanged = 0x02E0;
inline constexpr UINT kGetDpiScaledSize = 0x02E4;

// The system's dots per inch, as a program aware of them is told (96 on a screen not scaled).
int systemDpi();
// A window's dots per inch: its monitor's.
int windowDpi(HWND window);
// The window rectangle around a client area at that scale.
RECT frameAround(RECT client, DWORD style, int dpi);

// Logical and device pixels (runtime/scale.h).
inline int device(int logical, int dpi) { return Dpi::toDevice(logical, dpi); }
inline int logical(int device, int dpi) { return Dpi::toLogical(device, dpi); }
inline RECT device(Rect r, int dpi)
{
    const int left = device(r.x, dpi);
    const int top = device(r.y, dpi);
    return {left, top, left + device(r.width, dpi), top + device(r.height, dpi)};
}
inline Rect logical(const RECT &r, int dpi)
{
    return {logical(r.left, dpi), logical(r.top, dpi), logical(r.right - r.left, dpi), logical(r.bottom - r.top, dpi)};
}

} // namespace Runtime::Win32

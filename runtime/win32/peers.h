// The native windows that show a form's controls: the system's BUTTON, EDIT and STATIC
// classes for the standard controls, and a window class of our own for picture boxes, the one
// place that turns Windows' pointer messages into the runtime's raw input.
#pragma once

#include "runtime/backend.h"

#include <windows.h>

#include <memory>

namespace Runtime::Win32 {

// What every peer of this back end is: a child window showing one control, laid out at its
// window's dots per inch.
class Win32Peer : public ControlPeer
{
public:
    Win32Peer(ControlView view, int dpi) : m_view(view), m_dpi(dpi) { }
    ControlView view() const { return m_view; }
    HWND hwnd() const { return m_hwnd; }
    int dpi() const { return m_dpi; }
    // Laid out again at another scale: its place, its size, and its font.
    virtual void rescale(int dpi);

protected:
    ControlView m_view;
    int m_dpi;
    HWND m_hwnd = nullptr;
};

// The peer whose window `window` is; nullptr for any other window. A peer is found from its
// window's first message to its last through this map, not through the window's own data:
// storing that is a round trip to the window system for every control.
Win32Peer *peerOf(HWND window);
void rememberPeer(HWND window, Win32Peer *peer);
void forgetPeer(HWND window);

inline constexpr wchar_t kPictureBoxClass[] = L"QuorvelPictureBox";

// Registers the picture box's window class; false when Windows refused (picturebox.cpp).
bool registerPictureBoxClass(HINSTANCE instance);
// A picture box's peer with its window, the control's id `id`, at `dpi`; nullptr when Windows
// made no window.
std::unique_ptr<Win32Peer> createPictureBox(ControlView box, HWND parent, HINSTANCE instance, int id, int dpi);

// A picture box's pixels, in pixels of the control, and the device pixels of its window (client
// coordinates) that show them, both ways, as it draws them at its scale (picturebox.cpp).
RECT deviceRect(HWND pictureBox, Rect pixels);
Point controlPixel(HWND pictureBox, POINT device);

// The peer of a visible control, a child of `parent` (its container's window or the form's),
// at `dpi`; nullptr when Windows made no window.
std::unique_ptr<ControlPeer> createPeer(ControlView control, HWND parent, HINSTANCE instance, int dpi);

// Every control in `window` laid out again at `dpi`.
void rescaleControls(HWND window, int dpi);

// What a parent window (a form or a frame) does with its controls' notifications and colour
// requests: true when `message` was one of them, with the answer in `result`.
bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result);

} // namespace Runtime::Win32

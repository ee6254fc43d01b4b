// The native windows that show a form's controls: the system's BUTTON, EDIT and STATIC
// classes for the standard controls, and a window class of our own for picture boxes, the one
// place that turns Windows' pointer and key messages into the runtime's raw input.
#pragma once

#include "runtime/backend.h"
#include "runtime/control.h"

#include <windows.h>

#include <memory>

namespace Runtime::Win32 {

// What every peer of this back end is: a child window.
class Win32Peer : public ControlPeer
{
public:
    virtual HWND hwnd() const = 0;
    virtual Control &control() const = 0;
};

inline constexpr wchar_t kPictureBoxClass[] = L"QuorvelPictureBox";

// Registers the picture box's window class; false when Windows refused.
bool registerPictureBoxClass(HINSTANCE instance);

// The peer of a visible control, a child of `parent` (its container's window or the form's).
std::unique_ptr<ControlPeer> createPeer(Control &control, HWND parent, HINSTANCE instance);

// The window showing a control; nullptr for a hidden store.
HWND hwndOf(const Control &control);
// The control a child window shows; nullptr for any other window.
Control *controlOf(HWND window);

// What a parent window (a form or a frame) does with its controls' notifications and colour
// requests: true when `message` was one of them, with the answer in `result`.
bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result);

} // namespace Runtime::Win32

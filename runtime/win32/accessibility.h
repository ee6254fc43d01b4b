// What a screen reader reads of the forms on Windows, through Microsoft Active Accessibility:
// each bitmap control's window answers WM_GETOBJECT with an IAccessible of its own, read from
// the control's view, and raises the WinEvents that a screen reader follows (accessibility.cpp);
// a dialog's window adds its role and description to what the system tells of any window
// (formaccessibility.cpp). The objects and COM: com.h.
#pragma once

#include "runtime/backend.h"

#include <windows.h>

namespace Runtime::Win32 {

class AccessibleControl;
class AccessibleForm;

// The accessible side of one picture box's window, for as long as the window shows its control.
class Accessibility final
{
public:
    // The message a default action is posted as, to run from the message loop as a key does.
    static constexpr UINT kActionMessage = WM_USER + 1;

    Accessibility(HWND window, ControlView view);
    // The object handed out answers CO_E_OBJNOTCONNECTED from now on.
    ~Accessibility();
    Accessibility(const Accessibility &) = delete;
    Accessibility &operator=(const Accessibility &) = delete;

    // WM_GETOBJECT: true when it asked for this control's object, the answer in `result`.
    bool getObject(WPARAM flags, LPARAM objectId, LRESULT &result);
    // What the runtime says changed (ControlPeer::stateChanged), told as WinEvents.
    void stateChanged(Change change);
    // kActionMessage: the default action of the control (child 0) or of one of its parts.
    void runAction(WPARAM child);

    HWND window() const { return m_window; }
    ControlView view() const { return m_view; }
    // Whether the window takes input now: not while a modal window keeps its form from it.
    bool takesInput() const;

private:
    HWND m_window;
    ControlView m_view;
    AccessibleControl *m_object = nullptr; // made on the first request, one reference ours
};

// The accessible side of a form's window: the system's object for a window's client area, with
// a dialog's role and the form's description added where it has them.
class FormAccessibility final
{
public:
    FormAccessibility(HWND window, FormView view) : m_window(window), m_view(view) { }
    ~FormAccessibility(); // the object handed out reads the form no more
    FormAccessibility(const FormAccessibility &) = delete;
    FormAccessibility &operator=(const FormAccessibility &) = delete;

    // WM_GETOBJECT: true when answered, with the answer in `result`; false leaves it to the
    // system.
    bool getObject(WPARAM flags, LPARAM objectId, LRESULT &result);
    FormView view() const { return m_view; }

private:
    HWND m_window;
    FormView m_view;
    AccessibleForm *m_object = nullptr;
};

} // namespace Runtime::Win32

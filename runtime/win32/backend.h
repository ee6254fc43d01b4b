// The Win32 back end of the forms runtime (the Windows build, Quorvel.exe): user32 and gdi32,
// and oleacc with COM for assistive technology, loaded when a screen reader first asks (com.h);
// no dialog templates, no common controls library. It shows what the runtime's views say and
// reports what Windows tells it through Report; every rule is the runtime's.
//
//  [X] Windows: a top-level window of our own class for each form, placed by its client area
//      (AdjustWindowRectEx), of a fixed size, over its owner for a dialog; modal shows with a
//      loop of their own, which survive minimising either window; a window the runtime blocks
//      is disabled (window.h).
//  [X] Reports: the frame's close command (and Alt+F4); shown, hidden, minimised, activated
//      (the runtime gives the focus back to the control that had it) (window.h).
//  [X] Keys: Tab, Escape, Space, Enter, Home and the arrows reported with their shift state and
//      repeats before the focused window sees them, in the message loop; a key the runtime
//      takes goes to no window (backend.h).
//  [X] Focus: every window of a control that takes it reports gaining and losing it; the
//      runtime's moves made with SetFocus, a text box then selecting its whole text (peers.h).
//  [X] Peers: picture boxes (a window class of our own that paints the picture, its 2-pixel
//      sunken border and the dotted focus rectangle, and reports the pointer in whole pixels of
//      its drawing area, with capture from the first button down to the last one up, leaves,
//      and cancels when another window takes the pointer), and the system's EDIT (typing
//      reported), STATIC (labels), BUTTON (frames, command buttons, and check boxes and option
//      buttons that neither check themselves nor group: a click is reported, and the runtime
//      sets the value); a frame's controls above it, one stored earlier above one stored later
//      (peers.h).
//  [X] Pictures decoded by Windows from the BITMAP resources named as the stored pictures
//      (pictures.h).
//  [X] Look: the colours and font each view gives, the system's colours (GetSysColor) under the
//      runtime's system colours and its 8-point UI font for the runtime's default font (look.h).
//  [X] The program's icon (IDI_ICON1, 16 and 32 pixels, scaled by Windows as it loads them to
//      the window's dots per inch) on every window.
//  [X] Scale: aware of each monitor's dots per inch (the manifest); each window laid out at
//      its own, and again when it changes (WM_DPICHANGED): places, sizes, fonts, borders, icons;
//      faces drawn in whole device pixels by nearest neighbour, and the pointer mapped back to
//      the stored pixel drawn under it (dpi.h, runtime/scale.h). The runtime is told logical
//      pixels only.
//  [X] Assistive technology (Microsoft Active Accessibility): each bitmap control's window
//      answers WM_GETOBJECT with an IAccessible read from its view: role, name, description,
//      state, default action (run from the message loop, as its key), the focus taken
//      (accSelect), a group's keys as children found by accHitTest and accLocation, the key
//      the keyboard pressed last as the focused child; WinEvents for the focused key, state and
//      default action changes, as the runtime tells them. Its window text is its name. A dialog's
//      window adds its role and the form's description to the system's object for any window
//      (accessibility.h).
//  [X] MessageBox over the window asked for; the event loop; quitting every loop.
//  [X] Start-up: a screen of fewer than 15 bits of colour is refused in one line (startup.cpp).
//  [ ] A UI Automation provider of our own: UI Automation clients read the bitmap controls
//      through the system's proxy for Active Accessibility.
//  [ ] Mouse cursors, drag and drop, clipboard: the program needs none.
#pragma once

#include "runtime/backend.h"

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace Runtime::Win32 {

class Win32Backend final : public Runtime::Backend
{
public:
    // Registers the window classes; problem() says what went wrong when that failed.
    explicit Win32Backend(HINSTANCE instance);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend &) = delete;
    Win32Backend &operator=(const Win32Backend &) = delete;

    std::optional<std::string> problem() const { return m_problem; }
    HINSTANCE instance() const { return m_instance; }

    // The program's icon at a scale, loaded once.
    struct Icons
    {
        HICON large = nullptr;
        HICON small = nullptr;
    };
    const Icons &icons(int dpi);

    std::unique_ptr<WindowPeer> createWindow(FormView form, WindowPeer *owner) override;
    std::unique_ptr<ControlPeer> createControl(ControlView control, WindowPeer &window,
                                               ControlPeer *container) override;
    Picture loadPicture(const std::string &name) override;
    Rgb systemColour(Colour::Source colour) const override;
    int messageBox(const MessageBoxRequest &request) override;
    int exec() override;
    void quit(int status) override;
    bool inEventLoop() const override { return m_loops > 0; }

    // Runs messages until `done` turns true (or at once returns when it is); false when
    // WM_QUIT came first, which is posted again for the loop outside.
    bool runUntil(const bool &done);

private:
    // One message: a runtime key to its form first, then to its window unless the runtime
    // took it.
    void deliver(MSG &message);

    HINSTANCE m_instance;
    std::map<int, Icons> m_icons; // by dots per inch
    int m_loops = 0;
    std::optional<std::string> m_problem;
};

// The whole start-up on Windows: the screen checked, the back end made, and `program` run over
// it; returns the program's status. A failure to start is said in one line (on standard error
// and in a message box) and returns 1.
int run(char **argv, const char *programName, const std::function<int(Runtime::Backend &)> &program);

} // namespace Runtime::Win32

// The Win32 back end of the forms runtime (the Windows build, Quorvel.exe): user32 and gdi32
// only, no dialog templates, no common controls library. It shows what the runtime's views say
// and reports what Windows tells it through Report; every rule is the runtime's.
//
//  [X] A top-level window for each form, placed by its client area (AdjustWindowRectEx), of a
//      fixed size, with the program's icon (IDI_ICON1, 16 and 32 pixels) on every window.
//  [X] Modal shows: the other windows disabled, a nested message loop until the form closes;
//      minimising either window and restoring it keeps the modal window usable; a window
//      activated again gives the focus back to the control that had it.
//  [X] Peers: the system's BUTTON (group box, push button, check box, radio button), EDIT and
//      STATIC classes in DEFAULT_GUI_FONT or the described font; picture boxes of our own
//      class painting the picture inside a 2-pixel sunken border, and the dotted focus
//      rectangle when the runtime shows the focus indicator.
//  [X] Stacking: a control stored earlier lies above one stored later, and a frame's controls
//      above the frame.
//  [X] Reported: pointer presses, moves, releases and leaves in whole pixels of the drawing
//      area, with capture from the first button down to the last button up, and cancels when
//      another window takes the pointer; the runtime's keys (Tab, Escape, Space, Enter, Home,
//      the arrows) before the focused window sees them; focus gained and lost; text typed,
//      check boxes clicked, option buttons chosen; the frame's close command (and Alt+F4);
//      windows shown, hidden, minimised and disabled by a modal window.
//  [X] Keyboard access: the runtime moves the focus (a text box then selects its whole text).
//  [X] Accessibility names: a bitmap control's window text is its accessible name.
//  [X] Pictures decoded by Windows from BITMAP resources named as the stored pictures.
//  [X] MessageBox over the request's owner, with its title, buttons, icon and default button.
//  [X] System colours from GetSysColor.
//  [X] The event loop, quitting every loop, the program's status as its exit code.
//  [X] Start-up: a screen of fewer than 15 bits of colour is refused in one line.
//  [ ] Accessible roles, states and actions (UI Automation): a screen reader reads names only.
//  [ ] Mouse cursors, drag and drop, clipboard: the program needs none.
#pragma once

#include "runtime/backend.h"

#include <windows.h>

#include <functional>
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

    std::unique_ptr<WindowPeer> createWindow(FormView form, WindowPeer *owner) override;
    std::unique_ptr<ControlPeer> createControl(ControlView control, WindowPeer &window,
                                               ControlPeer *container) override;
    Picture loadPicture(const std::string &name) override;
    std::uint32_t systemColour(Colour::Source colour) const override;
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
    HICON m_icon = nullptr;
    HICON m_smallIcon = nullptr;
    int m_loops = 0;
    std::optional<std::string> m_problem;
};

// The whole start-up on Windows: the screen checked, the back end made, and `program` run over
// it; returns the program's status. A failure to start is said in one line (on standard error
// and in a message box) and returns 1.
int run(char **argv, const char *programName, const std::function<int(Runtime::Backend &)> &program);

} // namespace Runtime::Win32

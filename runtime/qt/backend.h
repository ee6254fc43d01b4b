// The Qt 6 Widgets back end of the forms runtime (the Linux build).
//
//  [X] Windows: a QWidget window for each form, placed by its client area, over its owner for
//      a dialog; modal shows in a loop of their own that survive minimising (window.h).
//  [X] Reports: the frame's close command; shown (exposed, so framed), hidden, unmapped,
//      minimised, blocked by a modal window (window.h).
//  [X] Keys: Tab, Escape, Space, Enter, Home and the arrows reported with their shift state
//      and repeats before any widget sees them, once, from a filter on each form's native
//      window; a key the runtime takes goes to no widget (window.h).
//  [X] Focus: every move of the keyboard focus between controls reported; the runtime's moves
//      made with the keyboard's reason, so a text box selects its text; a window's activation
//      reported, and the focus given back where the runtime says (peers.h, window.h).
//  [X] Peers: picture boxes (a widget that paints the picture, its 2-pixel sunken border and
//      the focus indicator, and reports the pointer in whole pixels of its drawing area), text
//      boxes (QLineEdit, typing reported), labels (each the buddy of the control it names),
//      frames, command buttons, check boxes (a click reports the box clicked, and the runtime
//      toggles it), option buttons (no grouping of Qt's own: a click reports the option chosen)
//      (peers.h).
//  [X] Pictures decoded by Qt's BMP reader from the program's resources, :/pictures/NAME.bmp
//      (pictures.h).
//  [X] Look: the classic "Windows" style, the palette of the classic system colours, each
//      control's colours and font as its view gives them, sizes in points taken at 96 dots per
//      inch, described fonts mapped to Liberation Sans, a font configuration of the program's
//      own (look.h, fonts.h).
//  [X] The program's icon (:/icons/program-16.png, -32.png) on every window.
//  [X] Assistive technology: role, name, state, default action and parts of each bitmap
//      control, as its view says; the changes the runtime tells forwarded; actions asked for
//      are reported (accessibility.h).
//  [X] QMessageBox over the window asked for; the event loop; quitting every loop.
//  [X] Start-up: the display checked first, the toolkit's messages in one line each, a window
//      destroyed by another program said in one line (startup.cpp).
//  [ ] Mouse cursors, drag and drop, clipboard of picture boxes: the program needs none.
#pragma once

#include "runtime/backend.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace Runtime::QtUi {

class QtBackend final : public Runtime::Backend
{
public:
    // Over the application object that exists: sets the look and the program's icon, and
    // starts reporting keys and focus.
    QtBackend();
    ~QtBackend() override;

    std::unique_ptr<WindowPeer> createWindow(FormView form, WindowPeer *owner) override;
    std::unique_ptr<ControlPeer> createControl(ControlView control, WindowPeer &window,
                                               ControlPeer *container) override;
    Picture loadPicture(const std::string &name) override;
    int messageBox(const MessageBoxRequest &request) override;
    int exec() override;
    void quit(int status) override;
    bool inEventLoop() const override { return m_running; }

private:
    bool m_running = false;
};

// The whole start-up on Qt: the display checked before the toolkit starts (one line on
// standard error and status 1 when there is none to open), the toolkit started with the
// program's name only, and `program` run over the back end.
int run(char **argv, const char *programName, const std::function<int(Runtime::Backend &)> &program);

// Why no window could be opened here, or nothing when a display is there to open. An X
// display gets `timeoutMs` to answer; `meanwhile` runs while it does (and when there is
// nothing to wait for, before the answer is given). The connection that asked an X display
// stays open until the toolkit has connected in `run`: closing a display's only client resets
// the server, and the toolkit's connection would fail while it does.
std::optional<QString> displayProblem(int timeoutMs = 4000, const std::function<void()> &meanwhile = {});

} // namespace Runtime::QtUi

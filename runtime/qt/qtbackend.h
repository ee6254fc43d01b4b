// The Qt 6 Widgets back end of the forms runtime (the Linux build).
//
//  [X] A QWidget window for each form, placed by its client area; modal shows that survive
//      minimising; the frame's close command and Escape on a modal form close it.
//  [X] Peers: picture boxes (a widget that paints the picture, 2-pixel sunken border), text
//      boxes (QLineEdit), labels, frames, command buttons, check boxes, option buttons.
//  [X] Raw pointer input in whole pixels, and cancels: hidden, minimised, unmapped, blocked.
//  [X] Pictures decoded by Qt's BMP reader from the program's resources (:/pictures/NAME.bmp).
//  [X] The program's icon (:/icons/program-16.png, -32.png) on every window.
//  [X] QMessageBox, the event loop, quitting every loop.
//  [X] Start-up: the display checked first, the toolkit's messages in one line each.
//  [ ] Mouse cursors, drag and drop, clipboard of picture boxes: the program needs none.
#pragma once

#include "runtime/backend.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;
class QEventLoop;

namespace Runtime::QtUi {

class QtBackend final : public Runtime::Backend
{
public:
    // Over the application object that exists; sets the look and the program's icon, and
    // becomes the runtime's back end.
    QtBackend();
    ~QtBackend() override;

    std::unique_ptr<WindowPeer> createWindow(Form &form) override;
    std::unique_ptr<ControlPeer> createControl(Control &control) override;
    Picture loadPicture(const std::string &name) override;
    int messageBox(const MessageBoxRequest &request) override;
    int exec() override;
    void quit(int status) override;
    bool inEventLoop() const override;
};

// The whole start-up on Qt: the display checked before the toolkit starts (one line on
// standard error and status 1 when there is none to open), the toolkit started with the
// program's name only, and `program` run over it.
int run(char **argv, const char *programName, const std::function<int()> &program);

// Why no window could be opened here, or nothing when a display is there to open. An X
// display gets `timeoutMs` to answer; `meanwhile` runs while it does (and when there is
// nothing to wait for, before the answer is given). The connection that asked an X display
// stays open until the toolkit has connected in `run`: closing a display's only client resets
// the server, and the toolkit's connection would fail while it does.
std::optional<QString> displayProblem(int timeoutMs = 4000, const std::function<void()> &meanwhile = {});

// The widget that shows a control (nullptr for a hidden store), and a form's window: for
// tests and tools that look at what is on screen.
QWidget *widgetOf(const Control &control);
QWidget *windowOf(const Form &form);

} // namespace Runtime::QtUi

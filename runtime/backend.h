// The contract between the forms runtime and the platform beneath it. The runtime keeps every
// control's state and decides every rule; a back end only does what its platform must: a
// native window for each form, a peer widget for each visible control, pictures decoded by
// the platform's own reader, the message box, the event loop and the display check. It reports
// raw input back through the runtime's objects (PictureBox::pointer(), Control::userChanged*,
// Form::closeRequested and the like).
#pragma once

#include "runtime/picture.h"
#include "runtime/placement.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Runtime {

class Control;
class Form;

// The native widget that shows one visible control. It reads what to show from its control
// when told that something changed.
class ControlPeer
{
public:
    virtual ~ControlPeer() = default;
    virtual void pictureChanged() { }
    virtual void textChanged() { }
    virtual void valueChanged() { }
    // Keyboard focus to this control.
    virtual void setFocus() { }
    virtual bool hasFocus() const { return false; }
    // Its keyboard focus indicator, or what assistive technology reads of it, changed.
    virtual void stateChanged() { }
};

// The native window of one form.
class WindowPeer
{
public:
    virtual ~WindowPeer() = default;
    // Shown with its client area at `clientOrigin` on the screen, over its owner if it has one,
    // and active. A modal window keeps the program's other windows from taking input while it
    // is shown; minimising either window changes nothing of that.
    virtual void show(Point clientOrigin, bool modal) = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    // Runs the events of a modal window until endModal().
    virtual void runModal() = 0;
    virtual void endModal() = 0;
    // Where the client area is on the screen now.
    virtual Rect clientRect() const = 0;
    // The window system's frame around the client area; all zero while it is not known.
    virtual Margins frameMargins() const = 0;
    // The work area of the screen that holds `point`, or of the nearest screen.
    virtual Rect screenArea(Point point) const = 0;
    // The keyboard goes through these controls in this order.
    virtual void setTabOrder(const std::vector<Control *> &order) = 0;
};

// One line of a message box's request.
struct MessageBoxRequest
{
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Choice { Ok, Cancel, Abort, Retry, Ignore, Yes, No };
    std::string title;
    std::string prompt;
    Icon icon = Icon::None;
    std::vector<Choice> choices; // in the order they are shown
    int defaultChoice = 0;       // index into choices
};

class Backend
{
public:
    virtual ~Backend() = default;

    virtual std::unique_ptr<WindowPeer> createWindow(Form &form) = 0;
    // The peer of a visible control, inside its container's peer (or the window's).
    virtual std::unique_ptr<ControlPeer> createControl(Control &control) = 0;
    // A stored picture embedded in the program; raises run-time error 481 when there is none.
    virtual Picture loadPicture(const std::string &name) = 0;

    // A modal message box over the active window; the index of the choice that closed it, or
    // -1 when it was closed without one (Escape, or the frame's close command).
    virtual int messageBox(const MessageBoxRequest &request) = 0;

    // The event loop: runs until quit(), and returns its status.
    virtual int exec() = 0;
    // Leaves every running loop, modal ones included.
    virtual void quit(int status) = 0;
    virtual bool inEventLoop() const = 0;
};

// The back end the program was started with.
Backend &backend();
void setBackend(Backend *backend);

} // namespace Runtime

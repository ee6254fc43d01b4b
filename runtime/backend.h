// The contract between the forms runtime and the platform beneath it, both ways. The runtime
// keeps every control's state and decides every rule. A back end is asked for native windows,
// peers that show controls, decoded pictures, the message box and the event loops (Backend,
// WindowPeer, ControlPeer); it reads what to show from the runtime's views (runtime/view.h);
// and it reports raw input and what the window system did through Report, deciding nothing.
// A back end includes from runtime/ only this header, view.h, types.h, picture.h and scale.h.
//
// Every place and size both ways is in logical pixels, 96 to the inch, whatever the screen's
// scale: a back end whose platform does not scale for it (Win32, aware of each monitor's dots
// per inch) converts at its edge, in both directions, with runtime/scale.h: what it is told to
// show, and the client area, frame margins, screen work area and pointer it reports.
#pragma once

#include "runtime/picture.h"
#include "runtime/types.h"
#include "runtime/view.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Runtime {

// ---- what the runtime asks --------------------------------------------------------------

// What changed of a control that assistive technology reads or the focus indicator shows, as the
// runtime tells it: a set of bits, and the part of a group that a change of a part concerns.
// A back end forwards each bit to its platform as it comes; it compares nothing.
struct Change
{
    enum Bit : unsigned {
        Checked = 1,        // its checked state (ControlView::state().checked)
        Pressed = 2,        // a push button held down or let go
        PartPressed = 4,    // `part` of a group held down or let go
        ActivePart = 8,     // a key pressed a part, which becomes or stays the active part; or
                            // the group lost its active part. Told on every press of a key, the
                            // same key again included, so that a screen reader hears each.
        DefaultAction = 16, // what its default action does ("Check", "Uncheck")
        FocusIndicator = 32,
    };
    unsigned bits = 0;
    int part = -1;
    bool has(Bit bit) const { return (bits & bit) != 0; }
    bool operator==(const Change &) const = default;
};

// The native widget that shows one visible control. Told when its control changed, it reads
// the control anew from its view.
class ControlPeer
{
public:
    virtual ~ControlPeer() = default;
    virtual void pictureChanged() { }
    virtual void textChanged() { }
    virtual void valueChanged() { }
    virtual void stateChanged(Change) { }
    // The keyboard focus to this control, as the keyboard moves it: a text box selects its text.
    virtual void setFocus() { }
    // The keyboard focus back to this control as its window is activated again: as it was left,
    // a text box's selection kept.
    virtual void restoreFocus() { setFocus(); }
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
    virtual Margins frameMargins() const { return {}; }
    // Kept from input by a modal form, or free again: the runtime decides which windows a modal
    // form blocks, and tells each as that changes.
    virtual void setBlocked(bool) { }
    // The work area of the screen that holds `point`, or of the nearest screen.
    virtual Rect screenArea(Point point) const = 0;
};

// A message box's request, its style decoded.
struct MessageBoxRequest
{
    using Icon = MessageIcon;
    enum class Choice { Ok, Cancel, Abort, Retry, Ignore, Yes, No };
    std::string title;
    std::string prompt;
    Icon icon = Icon::None;
    std::vector<Choice> choices; // in the order they are shown
    int defaultChoice = 0;       // index into choices
    WindowPeer *owner = nullptr; // the window it is shown over; none: over every window
};

class Backend
{
public:
    virtual ~Backend() = default;

    // A window for `form`, over `owner`'s window when it has one.
    virtual std::unique_ptr<WindowPeer> createWindow(FormView form, WindowPeer *owner) = 0;
    // The peer of a visible control, in its container's peer, or else in the form's window.
    virtual std::unique_ptr<ControlPeer> createControl(ControlView control, WindowPeer &window,
                                                       ControlPeer *container) = 0;
    // A stored picture embedded in the program, decoded by the platform's own reader; a null
    // picture when there is none.
    virtual Picture loadPicture(const std::string &name) = 0;
    // A system colour. By default the classic ones (classicColour); a platform with colours of
    // its own gives those.
    virtual Rgb systemColour(Colour::Source colour) const;

    // Whether the platform has a message box of its own. Where it has none (a web browser),
    // the runtime shows its own, a modal form of a label, command buttons and an icon, and asks
    // the platform to measure the prompt (measureText) and to draw the icon the view names.
    virtual bool hasMessageBox() const { return true; }
    // The platform's modal message box; the index of the choice that closed it, or -1 when it
    // was closed without one (Escape, or the frame's close command).
    virtual int messageBox(const MessageBoxRequest &) { return -1; }
    // The size of `text` in `font`, in pixels, its lines broken at its line breaks alone.
    virtual Size measureText(const Font &, const std::string &) const { return {}; }

    // The program's event loop: runs until quit(), and returns its status. A platform that
    // runs the loop itself (a web browser) is handed the program instead, and exec() never
    // returns: what its callers made stays alive, the platform's events reach the runtime
    // through Report, and quit() ends the program.
    virtual int exec() = 0;
    // Leaves the program's event loop, and every modal loop inside it; where exec() does not
    // return, ends the program with `status`.
    virtual void quit(int status) = 0;
    // Whether the program's event loop runs.
    virtual bool inEventLoop() const = 0;
};

// ---- what a back end reports ------------------------------------------------------------

// Each call is one thing that happened, in plain values; the runtime decides what it means.
namespace Report {

// The pointer at a picture box, in whole pixels of its drawing area (the stored pixel drawn
// under it, at any scale); `button` is the one that
// changed, `held` every button down after the change. A box keeps receiving moves and
// releases from its press until the last button is up, wherever the pointer is.
void pointerPressed(ControlView box, Pixel at, std::int16_t button, std::int16_t held, std::int16_t shift);
void pointerMoved(ControlView box, Pixel at, std::int16_t held, std::int16_t shift);
void pointerReleased(ControlView box, Pixel at, std::int16_t button, std::int16_t shift);
// The pointer left the box with no button held.
void pointerLeft(ControlView box);
// The held buttons' releases will go elsewhere: another program or window took the pointer.
void pointerCancelled(ControlView box);

// A key down or up in the window of `form`, before its focused control sees it. True when the
// runtime took the key: the back end then gives it to no control.
bool keyPressed(FormView form, Key key, std::int16_t shift, bool repeat);
bool keyReleased(FormView form, Key key, std::int16_t shift);

// The keyboard focus came to a control, or left it (to another control, or another window).
void focusGained(ControlView control);
void focusLost(ControlView control);

// A standard control changed by its user: text typed into a text box, a check box clicked,
// an option button chosen, a command button pressed (clicked, or its key).
void textEdited(ControlView textBox, std::string text);
// The runtime toggles a check box clicked, and tells its peer the new value.
void checkBoxClicked(ControlView checkBox);
void optionChosen(ControlView optionButton);
void buttonClicked(ControlView commandButton);
// Assistive technology asked for a control's default action, or a part's.
void actionRequested(ControlView control, int part = -1);

// The window of `form`: its frame's close command; on the screen and framed; hidden,
// minimised or unmapped by the window system; activated, and the runtime gives the focus back
// to the control that had it.
void closeRequested(FormView form);
void windowShown(FormView form);
void windowHidden(FormView form);
void windowMinimised(FormView form);
void windowActivated(FormView form);

} // namespace Report

} // namespace Runtime

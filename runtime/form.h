// A form: a window built from its stored description, holding its controls by name, with the
// keyboard's way through them.
#pragma once

#include "runtime/backend.h"
#include "runtime/control.h"
#include "runtime/description.h"
#include "runtime/runtimeerror.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Runtime {

class Application;

// Turns a stored picture name into the picture; by default the application's stored pictures.
using PictureSource = std::function<Picture(const std::string &name)>;

class Form
{
public:
    // Builds the window and every control of `description` in stored order, over `owner`'s
    // window when there is one, in the current application. Raises a run-time error when the
    // description names a container or picture that does not exist.
    explicit Form(const FormDescription &description, Form *owner = nullptr, PictureSource pictures = {});
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    const std::string &name() const { return m_name; }
    const FormDescription &description() const { return m_description; }
    Form *owner() const { return m_owner; }
    Application &application() const { return m_application; }
    WindowPeer *peer() const { return m_peer.get(); }
    FormView view() const { return FormView(this); }

    // The control `name`, or element `index` of the control array `name`. Raises run-time
    // error 730 for a name that does not exist, 340 for a missing array element and 13 for
    // a control of another kind.
    Control &control(std::string_view name, int index = -1) const;
    template <class T>
    T *control(std::string_view name, int index = -1) const
    {
        if (auto *typed = dynamic_cast<T *>(&control(name, index)))
            return typed;
        throw RuntimeError(Err::TypeMismatch, "Type mismatch: " + std::string(name));
    }
    // Every control in stored order.
    const std::vector<std::unique_ptr<Control>> &controls() const { return m_controls; }

    // Runs the load procedure once, through the dispatcher; later calls do nothing.
    void setLoadProcedure(std::function<void()> procedure) { m_load = std::move(procedure); }
    void load();

    int scaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode);

    // Shows the form; with modal = 1 the call returns only once the form has been closed, and
    // the other windows take no input meanwhile. Any other modal value raises error 380.
    void showForm(int modal = 0);
    void hide();
    bool isVisible() const;
    bool isModal() const { return m_modal; }

    // The start-up form: closing it ends the program.
    void setMain(bool main) { m_main = main; }

    // The client area's stored place on the screen, in pixels.
    Point storedOrigin() const;

    // The keyboard's way through the form: every control that takes focus, by TabIndex; a
    // group of option buttons (the elements of one array) is one stop, on its checked element.
    std::vector<Control *> tabStops() const;
    // The stop after (or before) `from`, round the form; the first when `from` is none.
    Control *nextTabStop(const Control *from, bool backwards) const;
    // The control that has the keyboard focus, if any.
    Control *focusedControl() const { return m_focus; }
    // The labels that describe the form to assistive technology, from the top down: every
    // label of a message box or of a form where nothing takes the focus (a window of text
    // alone), so that a screen reader reads each line as the window opens; none in any other.
    std::vector<const Control *> descriptionLines() const;

    // An option button chosen: it is selected and the others of its group are not.
    void chooseOption(Control &option);

    // What the back end reported of the window and the keyboard (see Report).
    // The frame's close command: the form closes (it is hidden and can be shown again).
    void closeRequested();
    // The window went away from under the pointer (hidden, minimised or unmapped by the window
    // system, or blocked by a modal window): every picture box lets go of its held buttons.
    void pointerLost();
    // The window is on the screen and framed: one that does not fit its screen with its frame
    // is moved on, unless it has been moved meanwhile.
    void windowShown();
    // A key in this form's window; true when a rule of the form or of its focused control took
    // it: Tab and Shift+Tab, Escape on a modal form, the arrows in a group of option buttons,
    // and the keys of a bitmap control.
    bool keyPressed(Key key, std::int16_t shift, bool repeat);
    bool keyReleased(Key key, std::int16_t shift);
    void focusGained(Control &control);
    void focusLost(Control &control);
    // A command button of it pressed by its user: nothing, but in a message box, which closes.
    virtual void buttonClicked(Control &) { }
    // The window activated: the focus goes back to the control that had it last, else to the
    // first stop.
    void windowActivated();
    // Kept from input by a modal form or message box, or free again (Application decides):
    // told to the window, and a blocked window's picture boxes let go of their held buttons.
    void setBlocked(bool blocked);
    bool isBlocked() const { return m_blocked; }

    // After an event procedure: the checked states the program keeps, told where they changed.
    void refreshCheckedStates();

private:
    friend class Control;
    void place();
    void moveFocus(bool backwards);
    void setFocusTo(Control &control);
    void moveAlongGroup(Control &from, int step);
    void watchCheckedState(Control &control);

    const FormDescription &m_description;
    Form *m_owner;
    Application &m_application;
    std::string m_name;
    std::unique_ptr<WindowPeer> m_peer;
    std::vector<std::unique_ptr<Control>> m_controls;
    std::vector<Control *> m_watched;
    Control *m_focus = nullptr;
    Control *m_lastFocus = nullptr; // the control that had the focus last, kept when it leaves the window
    int m_scaleMode;
    std::function<void()> m_load;
    bool m_loaded = false;
    bool m_modal = false;
    bool m_main = false;
    bool m_blocked = false;
    bool m_placing = false; // shown, and not yet framed by the window system
    Point m_placedAt;
};

} // namespace Runtime

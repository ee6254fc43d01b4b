// What a back end reads to show a form and its controls: one read-only view of each, taken from
// the runtime's state whenever the back end asks. A view is a small value; it also names the
// control or form that a back end reports input for (runtime/backend.h, Report).
#pragma once

#include "runtime/picture.h"
#include "runtime/types.h"

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

namespace Runtime {

class Control;
class Form;
class FormView;

// A key of a control drawn as a group of keys (the direction pad's), as assistive technology
// sees it: its name, where it lies in pixels of the control, whether it is held down, and what
// its default action does ("Press").
struct PartView
{
    std::string name;
    Rect rect;
    bool pressed = false;
    std::string defaultAction;
};

// What assistive technology reads of a control's state.
struct AccessibleState
{
    bool focusable = false;
    bool focused = false;
    bool pressed = false;   // a push button held down, by the pointer or a key
    bool checkable = false;
    bool checked = false;
};

class ControlView
{
public:
    ControlView() = default;
    explicit ControlView(const Control *control) : m_control(control) { }
    explicit operator bool() const { return m_control != nullptr; }
    auto operator<=>(const ControlView &) const = default;

    Kind kind() const;
    // Its name, with the index of an array element: "Opt1(2)", "Chk1".
    const std::string &key() const;
    FormView form() const;
    // The frame it lies in; none for a control of the form itself.
    ControlView container() const;
    // Place and size in pixels, from the container's top-left corner.
    Rect rect() const;
    bool isVisible() const;

    // A picture box: its picture, shown at the top-left of its drawing area (inside the
    // 2-pixel sunken border, when it has one; in pixels of the control).
    const Picture &picture() const;
    bool hasBorder() const;
    Rect drawingArea() const;
    // The message box's icon it shows in place of a picture, drawn by the back end; None for
    // every other control.
    MessageIcon icon() const;

    // Caption or text, and a check box's check or an option button's selection.
    const std::string &text() const;
    bool value() const;

    // What to draw it in. The surface under its text: its own back colour; else, every control
    // being opaque, a text box's field the window colour and any other control the button face,
    // whatever it stands on. Its text: its own colour where that reads on that surface
    // (readsOn), else the standard text colour of its kind. Its font, the default resolved.
    Rgb background() const;
    Rgb textColour() const;
    Font resolvedFont() const;

    // The keyboard: whether it can reach the control, and whether the focus indicator shows.
    bool takesFocus() const;
    bool focusIndicator() const;

    // Assistive technology.
    Role role() const;
    std::string accessibleName() const;
    std::string accessibleDescription() const;
    // The label linked to it, if any: the label that names it, but none for an element of a
    // group of option buttons, whose group the frame around it names.
    ControlView labelledBy() const;
    // The controls a label is linked to (those whose labelledBy() it is), among the controls
    // made so far; none for any other control.
    std::vector<ControlView> namedControls() const;
    // The group of option buttons it belongs to, by name, which the arrow keys move within and
    // assistive technology reads as one radio group; empty for a control of no group.
    std::string optionGroup() const;
    AccessibleState state() const;
    // What the default action does ("Press", "Check", "Uncheck"), empty for none.
    std::string defaultAction() const;
    std::vector<PartView> parts() const;
    // The part the keyboard pressed last, which a screen reader follows; -1 for none.
    int activePart() const;

private:
    friend Control &controlOf(ControlView view);
    const Control *m_control = nullptr;
};

class FormView
{
public:
    FormView() = default;
    explicit FormView(const Form *form) : m_form(form) { }
    explicit operator bool() const { return m_form != nullptr; }
    auto operator<=>(const FormView &) const = default;

    const std::string &name() const;
    std::string caption() const;
    // The client area's stored place on the screen and its size, in pixels.
    Rect storedClient() const;
    // Shown over another form (a dialog), rather than a main window of its own.
    bool isDialog() const;
    bool isModal() const;
    // The runtime's own message box, which assistive technology reads as an alert.
    bool isAlert() const;
    // What assistive technology reads of it as it opens: in a message box or a form where
    // nothing takes the focus (a window of text alone, as an About window), its labels from
    // the top down, and their texts one a line; none, and empty, for any other form.
    std::vector<ControlView> describedBy() const;
    std::string accessibleDescription() const;
    // Every control, in stored order.
    std::vector<ControlView> controls() const;

private:
    friend Form &formOf(FormView view);
    const Form *m_form = nullptr;
};

} // namespace Runtime

// The controls of a form, as the program sees them: their state (text, value, picture, tag,
// scale) and their events. A visible control has a peer in the back end that shows it.
#pragma once

#include "runtime/backend.h"
#include "runtime/description.h"
#include "runtime/picture.h"
#include "runtime/pointer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace Runtime {

class Form;

// MouseDown, MouseMove, MouseUp: (Button, Shift, X, Y). Click: no arguments.
using MouseEvent = std::function<void(std::int16_t, std::int16_t, float, float)>;
using ClickEvent = std::function<void()>;

// The name a control is known by: the stored name, with the index of an array element:
// "Opt1(2)", "Chk1".
std::string keyOf(std::string_view name, int index);

// Whether the keyboard can reach a control so described: a standard control that takes focus,
// or a picture box drawn as a control. Hidden stores never.
bool takesFocus(const ControlDescription &description);

class Control
{
public:
    Control(Form &form, const ControlDescription &description, Control *container);
    virtual ~Control();
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    Form &form() const { return m_form; }
    const ControlDescription &description() const { return m_description; }
    Kind kind() const { return m_description.kind; }
    // Its keyOf(name, index).
    const std::string &key() const { return m_key; }
    Control *container() const { return m_container; }
    ControlView view() const { return ControlView(this); }

    // Place and size in pixels, from the container's top-left corner, and from the form's.
    Rect rect() const { return m_rect; }
    Rect rectInForm() const;
    bool isVisible() const { return m_description.visible; }

    const std::string &tag() const { return m_tag; }
    void setTag(std::string tag) { m_tag = std::move(tag); }

    // Caption or text. Set by the program, the peer shows it; typed by the user, the back end
    // reports it (textEdited), and the peer shows it already.
    const std::string &text() const { return m_text; }
    void setText(std::string text);
    void textEdited(std::string text) { m_text = std::move(text); }

    // A check box's check or an option button's selection, shown by the peer.
    bool value() const { return m_value; }
    void setValue(bool value);
    // A check box clicked by its user (Report::checkBoxClicked): checked if it was not, and not
    // if it was.
    void toggle() { setValue(!m_value); }

    // Whether the control is checked: a check box's check, an option button's selection, or,
    // for a picture box drawn as one, what the program says (bound with setCheckedState).
    bool checked() const;
    void setCheckedState(std::function<bool()> state);
    // After an event procedure: a checked state that changed is told to the peer.
    void refreshCheckedState();

    // Whether the keyboard can reach it (takesFocus of its description).
    bool takesFocus() const;
    // The group of option buttons it is an element of, by name: the elements of one control
    // array of option buttons, standard or drawn, are one group. Empty for any other control.
    std::string_view optionGroup() const;
    bool hasFocus() const;
    // The accessible name: the text of the label that names it, else its own name.
    std::string accessibleName() const;
    // The label linked to it as its label, if any: the one that names it, but for an element of
    // a group of option buttons.
    Control *label() const;

    ControlPeer *peer() const { return m_peer.get(); }
    void setPeer(std::unique_ptr<ControlPeer> peer) { m_peer = std::move(peer); }
    // Something that assistive technology reads, or the focus indicator, changed: told to the
    // peer, unless nothing did.
    void stateChanged(Change change) const;

private:
    Form &m_form;
    const ControlDescription &m_description;
    Control *m_container;
    std::string m_key;
    Rect m_rect;
    std::string m_tag;
    std::string m_text;
    bool m_value = false;
    std::function<bool()> m_checkedState;
    bool m_lastChecked = false;
    std::unique_ptr<ControlPeer> m_peer;
};

// A picture box: shows its Picture at the top-left of its drawing area and raises MouseDown,
// MouseMove, MouseUp and Click in its own scale.
class PictureBox final : public Control
{
public:
    PictureBox(Form &form, const ControlDescription &description, Control *container);

    const Picture &picture() const { return m_picture; }
    // Replaces the face; the same picture again changes nothing.
    void setPicture(const Picture &picture);

    bool hasBorder() const { return description().border; }
    // The drawing area inside the 2-pixel border, in pixels of the control.
    Rect drawingArea() const;

    int scaleMode() const { return m_scaleMode; }
    // 1 (twips) or 3 (pixels); anything else raises run-time error 380.
    void setScaleMode(int mode);

    // The stored picture's colour at (X, Y) in this box's scale; 0 outside the picture.
    std::int32_t Point(float x, float y) const;

    // The events the program binds its procedures to; each runs through the dispatcher.
    MouseEvent MouseDown, MouseMove, MouseUp;
    ClickEvent Click;

    // Raw pointer input, in whole pixels of the drawing area (see PointerRules).
    void pointerPressed(Pixel at, std::int16_t button, std::int16_t held, std::int16_t shift);
    void pointerMoved(Pixel at, std::int16_t held, std::int16_t shift);
    void pointerReleased(Pixel at, std::int16_t button, std::int16_t shift);
    void pointerLeft();
    void pointerCancelled();

    // A key pressed or released while the box has the keyboard focus; true when the box takes
    // it. Space (and Enter on a push button) presses at the box's key point while held; a
    // group's keys press at their own points and become its active part. A repeat of a key
    // the box takes does nothing more.
    bool keyDown(Key key, bool repeat);
    bool keyUp(Key key);
    // The box's default action, as assistive technology asks for it: a press and release at
    // its key point, or at the key point of `part` of a group.
    void pressAndRelease(int part = -1);
    // The keyboard focus went elsewhere: a key's press ends as a release off the box, and the
    // group has no active part until a key presses one again.
    void focusLost();
    // Whether a pixel of the drawing area lies over the box (its border included).
    bool contains(Pixel at) const;

    // Held down, by the pointer or a key.
    bool isPressed() const { return m_pointer.held() != 0; }
    // The part a key holds down now, and the part a key pressed last; -1 for none.
    int pressedPart() const;
    int activePart() const { return m_activePart; }

private:
    void raise(PointerRules::Event event, std::int16_t button, std::int16_t shift, Pixel at);
    // The key whose press holds the box, if the pointer rules still hold it for a key.
    std::optional<Key> heldKey() const { return m_pointer.keyHeld() ? m_pressingKey : std::nullopt; }
    // Runs `input` on the pointer rules; what it changed of the box's pressed state, and of
    // its parts'.
    template <class F>
    Change pressedChanges(F input);

    Picture m_picture;
    int m_scaleMode;
    PointerRules m_pointer;
    std::optional<Key> m_pressingKey; // the key pressed last (see heldKey)
    int m_activePart = -1;
};

class TextBox final : public Control
{
public:
    using Control::Control;
};

} // namespace Runtime

// The controls of a form.
#include "runtime/control.h"

#include "runtime/application.h"
#include "runtime/form.h"
#include "runtime/units.h"

#include <cmath>

namespace Runtime {

std::string keyOf(std::string_view name, int index)
{
    return index < 0 ? std::string(name) : std::string(name) + "(" + std::to_string(index) + ")";
}

Control::Control(Form &form, const ControlDescription &description, Control *container)
    : m_form(form), m_description(description), m_container(container)
    , m_key(keyOf(description.name, description.index))
    , m_rect{twipsToPixels(description.place.left), twipsToPixels(description.place.top),
             twipsToPixels(description.place.width), twipsToPixels(description.place.height)}
    , m_text(description.text ? description.text : "")
    , m_value(description.value)
{
}

Control::~Control() = default;

Rect Control::rectInForm() const
{
    Rect r = m_rect;
    for (const Control *c = m_container; c; c = c->container()) {
        r.x += c->rect().x;
        r.y += c->rect().y;
    }
    return r;
}

void Control::setText(std::string text)
{
    m_text = std::move(text);
    if (m_peer)
        m_peer->textChanged();
}

void Control::setValue(bool value)
{
    m_value = value;
    if (m_peer)
        m_peer->valueChanged();
}

bool Control::checked() const
{
    if (m_checkedState)
        return m_checkedState();
    return (kind() == Kind::CheckBox || kind() == Kind::OptionButton) && m_value;
}

void Control::setCheckedState(std::function<bool()> state)
{
    m_lastChecked = checked(); // as its peer, made with the form, read it
    m_checkedState = std::move(state);
    m_form.watchCheckedState(*this);
    refreshCheckedState();
}

void Control::refreshCheckedState()
{
    if (!m_checkedState)
        return;
    const bool now = m_checkedState();
    if (now == m_lastChecked)
        return;
    m_lastChecked = now;
    // A drawn check box's default action says what it does next: "Check" or "Uncheck".
    const bool checkBox = m_description.role == Role::CheckBox;
    stateChanged({Change::Checked | (checkBox ? Change::DefaultAction : 0u)});
}

void Control::stateChanged(Change change) const
{
    if (m_peer && change.bits != 0)
        m_peer->stateChanged(change);
}

std::string_view Control::optionGroup() const
{
    const bool option = m_description.index >= 0
            && (kind() == Kind::OptionButton || m_description.role == Role::RadioButton);
    return option ? std::string_view(m_description.name) : std::string_view();
}

bool takesFocus(const ControlDescription &description)
{
    if (!description.visible)
        return false;
    switch (description.kind) {
    case Kind::TextBox:
    case Kind::CommandButton:
    case Kind::CheckBox:
    case Kind::OptionButton:
        return true;
    case Kind::PictureBox:
        return description.role != Role::None;
    case Kind::Label:
    case Kind::Frame:
        return false;
    }
    return false;
}

bool Control::takesFocus() const
{
    return Runtime::takesFocus(m_description);
}

bool Control::hasFocus() const
{
    return m_form.focusedControl() == this;
}

Control *Control::label() const
{
    // An element of a group of option buttons is named by its label but linked to none: a
    // screen reader reads a radio button's label as the name of its group, which for the balls,
    // as for the standard buttons, is the frame around them. Linked to its own label, a ball
    // would be read by its name twice.
    if (!m_description.labelledBy || !optionGroup().empty())
        return nullptr;
    for (const auto &c : m_form.controls()) {
        if (c->key() == m_description.labelledBy)
            return c.get();
    }
    return nullptr;
}

std::string Control::accessibleName() const
{
    // From the stored descriptions alone, so that it is known as soon as the control is made,
    // before the label stored after it exists.
    if (m_description.labelledBy) {
        for (const ControlDescription &d : m_form.description().controls) {
            if (keyOf(d.name, d.index) == m_description.labelledBy)
                return d.text ? d.text : "";
        }
    }
    if (m_description.accessibleName)
        return m_description.accessibleName;
    if (kind() == Kind::PictureBox || kind() == Kind::TextBox)
        return {};
    return m_text;
}

namespace {
constexpr int kBorder = 2;
} // namespace

PictureBox::PictureBox(Form &form, const ControlDescription &description, Control *container)
    : Control(form, description, container)
    , m_scaleMode(Scale::Twips)
    , m_pointer([this](PointerRules::Event e, std::int16_t b, std::int16_t s, Pixel at) { raise(e, b, s, at); })
{
}

void PictureBox::setPicture(const Picture &picture)
{
    if (m_picture.sharesWith(picture))
        return; // the same face: nothing to repaint
    m_picture = picture;
    if (peer())
        peer()->pictureChanged();
}

Rect PictureBox::drawingArea() const
{
    const Rect r = rect();
    if (!hasBorder())
        return {0, 0, r.width, r.height};
    return {kBorder, kBorder, r.width - 2 * kBorder, r.height - 2 * kBorder};
}

void PictureBox::setScaleMode(int mode)
{
    m_scaleMode = checkedScaleMode(mode);
}

std::int32_t PictureBox::Point(float x, float y) const
{
    const float unit = unitsPerPixel(m_scaleMode);
    const int px = int(std::floor(x / unit));
    const int py = int(std::floor(y / unit));
    // Red in the low byte, as a procedure has always read it.
    return std::int32_t(m_picture.pixelColour(px, py).lowRed());
}

bool PictureBox::contains(Pixel at) const
{
    const Rect area = drawingArea();
    const int x = at.x + area.x, y = at.y + area.y;
    return x >= 0 && y >= 0 && x < rect().width && y < rect().height;
}

template <class F>
Change PictureBox::pressedChanges(F input)
{
    const bool wasPressed = isPressed();
    const int wasPart = pressedPart();
    input();
    Change change;
    // Only a push button reads as pressed (ControlView::state).
    if (isPressed() != wasPressed && description().role == Role::PushButton)
        change.bits |= Change::Pressed;
    // A key holds one part at a time: it is held where none was, or let go.
    if (const int part = pressedPart(); part != wasPart) {
        change.bits |= Change::PartPressed;
        change.part = part >= 0 ? part : wasPart;
    }
    return change;
}

void PictureBox::pointerPressed(Pixel at, std::int16_t button, std::int16_t held, std::int16_t shift)
{
    stateChanged(pressedChanges([&] { m_pointer.press(at, button, held, shift); }));
}

void PictureBox::pointerMoved(Pixel at, std::int16_t held, std::int16_t shift)
{
    stateChanged(pressedChanges([&] { m_pointer.move(at, held, shift); }));
}

void PictureBox::pointerReleased(Pixel at, std::int16_t button, std::int16_t shift)
{
    stateChanged(pressedChanges([&] { m_pointer.release(at, button, shift, contains(at)); }));
}

void PictureBox::pointerLeft()
{
    m_pointer.leave();
}

void PictureBox::pointerCancelled()
{
    stateChanged(pressedChanges([&] { m_pointer.cancel(); }));
}

int PictureBox::pressedPart() const
{
    const std::optional<Key> held = heldKey();
    if (!held)
        return -1;
    const auto &parts = description().keyParts;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].key == *held)
            return int(i);
    }
    return -1;
}

bool PictureBox::keyDown(Key key, bool repeat)
{
    const ControlDescription &d = description();
    std::optional<Pixel> at;
    int part = -1;
    switch (d.role) {
    case Role::PushButton:
        if (key == Key::Space || key == Key::Enter)
            at = d.keyPoint;
        break;
    case Role::CheckBox:
    case Role::RadioButton:
        if (key == Key::Space)
            at = d.keyPoint;
        break;
    case Role::Grouping:
        for (std::size_t i = 0; i < d.keyParts.size(); ++i) {
            if (d.keyParts[i].key == key) {
                at = d.keyParts[i].point;
                part = int(i);
            }
        }
        break;
    case Role::None:
        break;
    }
    if (!at)
        return false;
    if (repeat || heldKey())
        return true; // one press is one, however long the key is held
    Change change = pressedChanges([&] {
        m_pressingKey = key;
        m_pointer.keyPress(*at);
    });
    if (part >= 0) {
        // Every press of a part's key is told, the same key again included: a screen reader
        // that went elsewhere meanwhile, in another window, follows the key pressed.
        m_activePart = part;
        change.bits |= Change::ActivePart;
        change.part = part;
    }
    stateChanged(change);
    return true;
}

bool PictureBox::keyUp(Key key)
{
    if (heldKey() != key)
        return false;
    stateChanged(pressedChanges([&] { m_pointer.keyRelease(); }));
    return true;
}

void PictureBox::focusLost()
{
    Change change = pressedChanges([&] {
        if (heldKey())
            m_pointer.cancel();
    });
    if (m_activePart >= 0) {
        m_activePart = -1;
        change.bits |= Change::ActivePart;
    }
    stateChanged(change);
}

void PictureBox::pressAndRelease(int part)
{
    const ControlDescription &d = description();
    const bool whole = part < 0 || part >= int(d.keyParts.size());
    if (whole && d.role == Role::Grouping)
        return; // a group presses only through its keys
    stateChanged(pressedChanges([&] {
        m_pointer.keyPress(whole ? d.keyPoint : d.keyParts[std::size_t(part)].point);
        m_pointer.keyRelease();
    }));
}

void PictureBox::raise(PointerRules::Event event, std::int16_t button, std::int16_t shift, Pixel at)
{
    Application &application = form().application();
    if (event == PointerRules::Event::Click) {
        if (Click)
            application.dispatch(Click);
        return;
    }
    const MouseEvent &handler = event == PointerRules::Event::Down ? MouseDown
            : event == PointerRules::Event::Move                   ? MouseMove
                                                                   : MouseUp;
    if (!handler)
        return;
    const float unit = unitsPerPixel(m_scaleMode);
    const float x = float(at.x) * unit, y = float(at.y) * unit;
    // One reference to the call: small enough that the dispatcher's function needs no memory
    // of its own on every pointer move.
    struct Call
    {
        const MouseEvent *handler;
        std::int16_t button, shift;
        float x, y;
    };
    const Call call{&handler, button, shift, x, y};
    application.dispatch([&call] { (*call.handler)(call.button, call.shift, call.x, call.y); });
}

} // namespace Runtime

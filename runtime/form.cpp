// Forms built from stored descriptions.
#include "runtime/form.h"

#include "runtime/application.h"
#include "runtime/placement.h"
#include "runtime/units.h"

#include <algorithm>

namespace Runtime {

Form::Form(const FormDescription &description, Form *owner, PictureSource pictures)
    : m_description(description), m_owner(owner), m_application(Application::current())
    , m_name(description.name), m_scaleMode(Scale::Twips)
{
    if (!pictures)
        pictures = [&application = m_application](const std::string &name) { return application.picture(name); };
    Backend &backend = m_application.backend();
    m_peer = backend.createWindow(view(), owner ? owner->peer() : nullptr);
    if (!m_peer)
        throw RuntimeError(Err::Internal, "Cannot create the window " + m_name);
    for (const ControlDescription &d : description.controls) {
        Control *container = d.container ? &control(d.container) : nullptr;
        std::unique_ptr<Control> c;
        if (d.kind == Kind::PictureBox) {
            auto box = std::make_unique<PictureBox>(*this, d, container);
            if (d.picture)
                box->setPicture(pictures(d.picture));
            c = std::move(box);
        } else if (d.kind == Kind::TextBox) {
            c = std::make_unique<TextBox>(*this, d, container);
        } else {
            c = std::make_unique<Control>(*this, d, container);
        }
        m_controls.push_back(std::move(c));
        // A hidden store holds a picture and is never shown: it needs no native widget.
        if (d.visible) {
            Control &made = *m_controls.back();
            made.setPeer(backend.createControl(made.view(), *m_peer, container ? container->peer() : nullptr));
        }
    }
    // Known once whole: a form whose building failed was never one.
    m_application.added(this);
}

Form::~Form()
{
    m_application.removed(this);
    // The controls' peers go before the window that holds them, each before its container.
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it)
        (*it)->setPeer(nullptr);
    m_peer.reset();
}

Control &Form::control(std::string_view name, int index) const
{
    const std::string key = keyOf(name, index);
    for (const auto &c : m_controls) {
        if (c->key() == key)
            return *c;
    }
    if (index >= 0) {
        const std::string first = keyOf(name, 0);
        for (const auto &c : m_controls) {
            if (c->description().name == name && c->description().index >= 0)
                throw RuntimeError(Err::ControlArrayElementMissing,
                                   "Control array element '" + std::to_string(index) + "' doesn't exist");
        }
    }
    throw RuntimeError(Err::ControlNotFound, "Control '" + key + "' not found on " + m_name);
}

namespace {
// An element of a group of option buttons, standard or drawn.
bool isOption(const Control &c)
{
    return !c.optionGroup().empty();
}

bool sameGroup(const Control &a, const Control &b)
{
    return isOption(a) && a.optionGroup() == b.optionGroup();
}

bool isArrow(Key key)
{
    return key == Key::Left || key == Key::Up || key == Key::Right || key == Key::Down;
}
} // namespace

std::vector<Control *> Form::tabStops() const
{
    // Keyboard order follows TabIndex, not the order of creation; hidden stores, labels and
    // frames take no focus.
    std::vector<Control *> order;
    for (const auto &c : m_controls) {
        if (c->takesFocus())
            order.push_back(c.get());
    }
    std::stable_sort(order.begin(), order.end(), [](const Control *a, const Control *b) {
        return a->description().tabIndex < b->description().tabIndex;
    });
    // A group is one stop: its checked element, else its first.
    std::vector<Control *> stops;
    for (Control *c : order) {
        if (!isOption(*c)) {
            stops.push_back(c);
            continue;
        }
        const auto known = std::find_if(stops.begin(), stops.end(), [c](Control *s) { return sameGroup(*s, *c); });
        if (known == stops.end())
            stops.push_back(c);
        else if (c->checked() && !(*known)->checked())
            *known = c;
    }
    return stops;
}

Control *Form::nextTabStop(const Control *from, bool backwards) const
{
    const std::vector<Control *> stops = tabStops();
    if (stops.empty())
        return nullptr;
    auto at = std::find_if(stops.begin(), stops.end(),
                           [from](Control *s) { return s == from || (from && sameGroup(*s, *from)); });
    if (at == stops.end())
        return backwards ? stops.back() : stops.front();
    const std::size_t i = std::size_t(at - stops.begin());
    const std::size_t n = stops.size();
    return stops[backwards ? (i + n - 1) % n : (i + 1) % n];
}

std::vector<const Control *> Form::descriptionLines() const
{
    // Known from the stored descriptions, before every control is made: a platform may ask
    // about a label as soon as it shows its text.
    for (const ControlDescription &d : m_description.controls) {
        if (takesFocus(d) && !m_description.alert)
            return {}; // a form read through its controls, as the focus reaches each
    }
    std::vector<const Control *> lines;
    for (const auto &c : m_controls) {
        if (c->kind() == Kind::Label && c->isVisible())
            lines.push_back(c.get());
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Control *a, const Control *b) {
        const Rect ra = a->rectInForm(), rb = b->rectInForm();
        return ra.y != rb.y ? ra.y < rb.y : ra.x < rb.x;
    });
    return lines;
}

void Form::moveAlongGroup(Control &from, int step)
{
    std::vector<Control *> group;
    for (const auto &c : m_controls) {
        if (sameGroup(*c, from) && c->takesFocus())
            group.push_back(c.get());
    }
    std::sort(group.begin(), group.end(), [](const Control *a, const Control *b) {
        return a->description().index < b->description().index;
    });
    const auto at = std::find(group.begin(), group.end(), &from);
    if (at == group.end())
        return;
    const int n = int(group.size());
    Control *next = group[std::size_t(((at - group.begin()) + step % n + n) % n)];
    setFocusTo(*next);
    // The selection goes with the focus.
    if (auto *box = dynamic_cast<PictureBox *>(next))
        box->pressAndRelease();
    else
        chooseOption(*next);
}

void Form::chooseOption(Control &option)
{
    for (const auto &c : m_controls) {
        if (c.get() == &option || (c->kind() == Kind::OptionButton && sameGroup(*c, option)))
            c->setValue(c.get() == &option);
    }
}

void Form::setFocusTo(Control &control)
{
    if (!control.peer())
        return;
    control.peer()->setFocus();
    // Known at once, whenever the window system tells it.
    focusGained(control);
}

void Form::moveFocus(bool backwards)
{
    Control *target = nextTabStop(m_focus, backwards);
    if (target)
        setFocusTo(*target);
}

bool Form::keyPressed(Key key, std::int16_t shift, bool repeat)
{
    const bool ctrlOrAlt = (shift & (ShiftKey::Ctrl | ShiftKey::Alt)) != 0;
    if (key == Key::Tab) {
        if (ctrlOrAlt)
            return false;
        moveFocus((shift & ShiftKey::Shift) != 0);
        m_application.setKeyboardUsed();
        return true;
    }
    if (key == Key::Escape) {
        // A modally shown form closes on Escape, as any dialog does; a window system without
        // frames offers no other way to close it.
        if (!m_modal || ctrlOrAlt)
            return false;
        closeRequested();
        return true;
    }
    if (!m_focus || shift != 0)
        return false;
    auto *box = dynamic_cast<PictureBox *>(m_focus);
    if (box && box->description().role != Role::None)
        m_application.setKeyboardUsed();
    if (isArrow(key) && isOption(*m_focus)) {
        // A ball moves once a press, however long the key is held.
        if (!(box && repeat))
            moveAlongGroup(*m_focus, key == Key::Up || key == Key::Left ? -1 : 1);
        return true;
    }
    return box && box->keyDown(key, repeat);
}

bool Form::keyReleased(Key key, std::int16_t)
{
    auto *box = dynamic_cast<PictureBox *>(m_focus);
    return box && box->keyUp(key);
}

void Form::focusGained(Control &control)
{
    if (m_focus == &control)
        return;
    if (m_focus)
        focusLost(*m_focus);
    m_focus = &control;
    m_lastFocus = &control;
    if (m_application.keyboardUsed())
        control.stateChanged({Change::FocusIndicator});
}

void Form::focusLost(Control &control)
{
    // A key's press that the focus leaves ends as a release off the box.
    if (auto *box = dynamic_cast<PictureBox *>(&control))
        box->focusLost();
    if (m_focus != &control)
        return;
    m_focus = nullptr;
    if (m_application.keyboardUsed())
        control.stateChanged({Change::FocusIndicator});
}

void Form::windowActivated()
{
    Control *target = m_focus ? m_focus : m_lastFocus;
    if (!target)
        target = nextTabStop(nullptr, false);
    if (!target || !target->peer())
        return;
    target->peer()->restoreFocus();
    focusGained(*target);
}

void Form::setBlocked(bool blocked)
{
    if (blocked == m_blocked)
        return;
    m_blocked = blocked;
    if (blocked)
        pointerLost();
    m_peer->setBlocked(blocked);
}

void Form::watchCheckedState(Control &control)
{
    if (std::find(m_watched.begin(), m_watched.end(), &control) == m_watched.end())
        m_watched.push_back(&control);
}

void Form::refreshCheckedStates()
{
    for (Control *c : m_watched)
        c->refreshCheckedState();
}

void Form::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (m_load)
        m_application.dispatch(m_load);
}

void Form::setScaleMode(int mode)
{
    m_scaleMode = checkedScaleMode(mode);
}

Point Form::storedOrigin() const
{
    return {twipsToPixels(m_description.client.left), twipsToPixels(m_description.client.top)};
}

bool Form::isVisible() const
{
    return m_peer->isVisible();
}

void Form::place()
{
    Point origin = storedOrigin();
    const bool besideOwner = m_owner && m_owner->isVisible();
    if (besideOwner) {
        const Rect ownerClient = m_owner->peer()->clientRect();
        origin = placedRelativeTo({ownerClient.x, ownerClient.y}, m_owner->storedOrigin(), origin);
    }
    const Rect screen = m_peer->screenArea(besideOwner ? Point{m_owner->peer()->clientRect().x,
                                                               m_owner->peer()->clientRect().y}
                                                       : origin);
    // The frame this window had when last shown, else that of the window it is shown over.
    Margins frame = m_peer->frameMargins();
    if (frame == Margins{} && m_owner)
        frame = m_owner->peer()->frameMargins();
    const int width = twipsToPixels(m_description.client.width);
    const int height = twipsToPixels(m_description.client.height);
    m_placedAt = keepOnScreen({origin.x, origin.y, width, height}, frame, screen);
}

void Form::showForm(int modal)
{
    if (modal != 0 && modal != 1)
        throw RuntimeError(Err::InvalidPropertyValue, "Invalid property value");
    if (modal == 1 && (m_modal || isVisible()))
        throw RuntimeError(Err::FormAlreadyShown, "Form already displayed; can't show modally");
    if (!isVisible()) {
        place();
        m_placing = true;
    }
    m_peer->show(m_placedAt, modal == 1);
    if (!m_focus)
        moveFocus(false); // to the first stop
    if (modal == 0)
        return;
    m_modal = true;
    m_application.modalShown(this);
    m_peer->runModal();
    m_application.modalClosed(this);
    m_modal = false;
}

void Form::hide()
{
    pointerLost();
    // A modal form frees the windows it blocked before its window goes, so that the window
    // system hands the activation to the one under it, as it does when a dialog box closes.
    if (m_modal)
        m_application.modalClosed(this);
    m_peer->hide();
    if (m_modal)
        m_peer->endModal();
}

void Form::closeRequested()
{
    if (m_main) {
        // Closing the main window ends the program; no procedure runs, End included.
        m_application.closeAll();
        return;
    }
    hide();
}

void Form::pointerLost()
{
    for (const auto &c : m_controls) {
        if (auto *box = dynamic_cast<PictureBox *>(c.get()))
            box->pointerCancelled();
    }
}

void Form::windowShown()
{
    if (!m_placing)
        return;
    m_placing = false;
    const Rect now = m_peer->clientRect();
    if (Point{now.x, now.y} != m_placedAt)
        return; // moved meanwhile, by the user or the window system
    place();
    if (m_placedAt != Point{now.x, now.y})
        m_peer->show(m_placedAt, m_modal);
}

} // namespace Runtime

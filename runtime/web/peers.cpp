// The elements that show controls, and what the page reports of them: the pointer over a
// picture box, the focus, and what the user did to a standard control.
#include "runtime/web/peers.h"

#include "runtime/web/accessibility.h"
#include "runtime/web/look.h"
#include "runtime/web/page.h"
#include "runtime/web/pictures.h"
#include "runtime/web/window.h"

#include <emscripten.h>

#include <map>

namespace Runtime::Web {

namespace {

std::map<int, Element *> g_elements;
int g_nextId = 1;

bool hasText(Kind kind)
{
    return kind != Kind::PictureBox;
}

bool hasValue(Kind kind)
{
    return kind == Kind::CheckBox || kind == Kind::OptionButton;
}

// The element the page makes for a control (page.h, qv_element_create).
const char *elementKind(ControlView control)
{
    switch (control.icon()) {
    case MessageIcon::Critical: return "critical";
    case MessageIcon::Question: return "question";
    case MessageIcon::Exclamation: return "exclamation";
    case MessageIcon::Information: return "information";
    case MessageIcon::None: break;
    }
    switch (control.kind()) {
    case Kind::PictureBox: return "box";
    case Kind::TextBox: return "text";
    case Kind::Label: return "label";
    case Kind::Frame: return "frame";
    case Kind::CommandButton: return "button";
    case Kind::CheckBox: return "check";
    case Kind::OptionButton: return "option";
    }
    return "label";
}

Element *elementById(int id)
{
    const auto it = g_elements.find(id);
    return it == g_elements.end() ? nullptr : it->second;
}

} // namespace

std::string domId(ControlView control)
{
    return control.form().name() + "-" + control.key();
}

std::int16_t modifiersHeld(int shift, int ctrl, int alt)
{
    using namespace ShiftKey;
    return std::int16_t((shift ? Shift : 0) | (ctrl ? Ctrl : 0) | (alt ? Alt : 0));
}

Element::Element(ControlView control, const FormWindow &window, Element *container)
    : m_view(control), m_id(g_nextId++)
{
    g_elements[m_id] = this;
    const Rect r = control.rect();
    qv_element_create(m_id, window.id(), container ? container->id() : 0,
                      elementKind(control), domId(control).c_str(), r.x, r.y, r.width,
                      r.height);
    const Kind kind = control.kind();
    if (hasText(kind))
        qv_element_set_text(m_id, control.text().c_str());
    if (hasValue(kind))
        qv_element_set_value(m_id, control.value());
    qv_element_set_style(m_id, Look::css(control.background()).c_str(),
                         Look::css(control.textColour()).c_str(),
                         Look::css(control.resolvedFont()).c_str());
    Accessibility::describe(*this);
    if (kind == Kind::PictureBox)
        paint();
}

Element::~Element()
{
    g_elements.erase(m_id);
    qv_element_destroy(m_id);
}

void Element::paint()
{
    const Picture &picture = m_view.picture();
    const auto *bitmap = dynamic_cast<const WebBitmap *>(picture.bitmap());
    const Rect area = m_view.drawingArea();
    qv_box_paint(m_id, bitmap ? bitmap->index() : -1, area.x, area.y, area.width, area.height,
                 m_view.hasBorder(), m_view.background().value, m_view.focusIndicator());
}

void Element::pictureChanged()
{
    paint();
}

void Element::textChanged()
{
    qv_element_set_text(m_id, m_view.text().c_str());
}

void Element::valueChanged()
{
    // A standard control's checked state, set over any toggle of the browser's own.
    qv_element_set_value(m_id, m_view.value());
}

void Element::stateChanged(Change change)
{
    if (change.has(Change::FocusIndicator)) {
        if (m_view.kind() == Kind::PictureBox)
            paint();
        else
            qv_element_set_focus_indicator(m_id, m_view.focusIndicator());
    }
    Accessibility::stateChanged(*this, change);
}

void Element::setFocus()
{
    qv_element_focus(m_id, 1);
}

void Element::restoreFocus()
{
    qv_element_focus(m_id, 0);
}

} // namespace Runtime::Web

// ---- what the page reports of elements ---------------------------------------------------

using Runtime::Web::Element;

namespace {

Runtime::ControlView viewOf(int element)
{
    const Element *e = Runtime::Web::elementById(element);
    return e ? e->view() : Runtime::ControlView();
}

// The runtime's Button bits (runtime/types.h) for buttons as the DOM's MouseEvent.buttons has
// them: 1 the primary (left), 2 the secondary (right), 4 the auxiliary (middle).
std::int16_t buttons(int dom)
{
    using namespace Runtime::Button;
    return std::int16_t((dom & 1 ? Left : 0) | (dom & 2 ? Right : 0) | (dom & 4 ? Middle : 0));
}

} // namespace

extern "C" {

// The pointer at a picture box: (x, y) in whole pixels of its drawing area, `button` the one
// that changed and `held` those down after the change, both as the DOM's button bits, with the
// modifier keys held.
EMSCRIPTEN_KEEPALIVE void qv_report_pointer_press(int element, int x, int y, int button, int held,
                                                  int shift, int ctrl, int alt)
{
    if (const Runtime::ControlView box = viewOf(element))
        Runtime::Report::pointerPressed(box, {x, y}, buttons(button), buttons(held),
                                        Runtime::Web::modifiersHeld(shift, ctrl, alt));
}

EMSCRIPTEN_KEEPALIVE void qv_report_pointer_move(int element, int x, int y, int held, int shift,
                                                 int ctrl, int alt)
{
    if (const Runtime::ControlView box = viewOf(element))
        Runtime::Report::pointerMoved(box, {x, y}, buttons(held),
                                      Runtime::Web::modifiersHeld(shift, ctrl, alt));
}

EMSCRIPTEN_KEEPALIVE void qv_report_pointer_release(int element, int x, int y, int button,
                                                    int shift, int ctrl, int alt)
{
    if (const Runtime::ControlView box = viewOf(element))
        Runtime::Report::pointerReleased(box, {x, y}, buttons(button),
                                         Runtime::Web::modifiersHeld(shift, ctrl, alt));
}

// The pointer left the box with no button held.
EMSCRIPTEN_KEEPALIVE void qv_report_pointer_left(int element)
{
    if (const Runtime::ControlView box = viewOf(element))
        Runtime::Report::pointerLeft(box);
}

// The browser took the pointer away with buttons still held: their releases go elsewhere.
EMSCRIPTEN_KEEPALIVE void qv_report_pointer_cancelled(int element)
{
    if (const Runtime::ControlView box = viewOf(element))
        Runtime::Report::pointerCancelled(box);
}

EMSCRIPTEN_KEEPALIVE void qv_report_focus(int element, int gained)
{
    if (const Runtime::ControlView control = viewOf(element)) {
        if (gained)
            Runtime::Report::focusGained(control);
        else
            Runtime::Report::focusLost(control);
    }
}

EMSCRIPTEN_KEEPALIVE void qv_report_text(int element, const char *text)
{
    if (const Runtime::ControlView box = viewOf(element))
        Runtime::Report::textEdited(box, text);
}

// A check box clicked, by the pointer, Space or assistive technology: the runtime toggles it
// and sets the element's checked state over the browser's own toggle.
EMSCRIPTEN_KEEPALIVE void qv_report_check(int element)
{
    if (const Runtime::ControlView box = viewOf(element))
        Runtime::Report::checkBoxClicked(box);
}

EMSCRIPTEN_KEEPALIVE void qv_report_option(int element)
{
    if (const Runtime::ControlView option = viewOf(element))
        Runtime::Report::optionChosen(option);
}

// A button clicked, by the pointer, Enter, Space or assistive technology.
EMSCRIPTEN_KEEPALIVE void qv_report_button(int element)
{
    if (const Runtime::ControlView button = viewOf(element))
        Runtime::Report::buttonClicked(button);
}

// Assistive technology asked for the element's default action, or one of its keys' (`part`).
EMSCRIPTEN_KEEPALIVE void qv_report_action(int element, int part)
{
    if (const Runtime::ControlView control = viewOf(element))
        Runtime::Report::actionRequested(control, part);
}

} // extern "C"

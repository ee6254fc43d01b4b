// The views a back end reads of forms and controls.
#include "runtime/view.h"

#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/contrast.h"
#include "runtime/form.h"
#include "runtime/units.h"

namespace Runtime {

Control &controlOf(ControlView view)
{
    return const_cast<Control &>(*view.m_control);
}

Form &formOf(FormView view)
{
    return const_cast<Form &>(*view.m_form);
}

namespace {
const PictureBox *boxOf(ControlView view)
{
    return dynamic_cast<const PictureBox *>(&controlOf(view));
}
} // namespace

// ---- controls ---------------------------------------------------------------------------

Kind ControlView::kind() const { return m_control->kind(); }
const std::string &ControlView::key() const { return m_control->key(); }
FormView ControlView::form() const { return m_control->form().view(); }
ControlView ControlView::container() const { return ControlView(m_control->container()); }
Rect ControlView::rect() const { return m_control->rect(); }
bool ControlView::isVisible() const { return m_control->isVisible(); }
const std::string &ControlView::text() const { return m_control->text(); }
bool ControlView::value() const { return m_control->value(); }
bool ControlView::takesFocus() const { return m_control->takesFocus(); }
Role ControlView::role() const { return m_control->description().role; }
std::string ControlView::accessibleName() const { return m_control->accessibleName(); }
ControlView ControlView::labelledBy() const { return ControlView(m_control->label()); }
std::string ControlView::optionGroup() const { return std::string(m_control->optionGroup()); }

const Picture &ControlView::picture() const
{
    static const Picture none;
    const PictureBox *box = boxOf(*this);
    return box ? box->picture() : none;
}

bool ControlView::hasBorder() const
{
    const PictureBox *box = boxOf(*this);
    return box && box->hasBorder();
}

Rect ControlView::drawingArea() const
{
    if (const PictureBox *box = boxOf(*this))
        return box->drawingArea();
    return {0, 0, rect().width, rect().height};
}

MessageIcon ControlView::icon() const
{
    return m_control->description().icon;
}

namespace {
Rgb systemColour(const Control &control, Colour::Source source)
{
    return control.form().application().backend().systemColour(source);
}

Rgb resolved(const Control &control, Colour colour)
{
    return colour.source == Colour::Source::Rgb ? colour.rgb : systemColour(control, colour.source);
}
} // namespace

Rgb ControlView::background() const
{
    // The forms runtime's defaults: every control is opaque, a text box's field in the window
    // colour and any other control in the button face, whatever it stands on; so a label's text
    // always stands on the system's own pair of colours (in high contrast, white on black).
    using S = Colour::Source;
    if (const Colour back = m_control->description().back; !back.isDefault())
        return resolved(*m_control, back);
    return systemColour(*m_control, kind() == Kind::TextBox ? S::Window : S::ButtonFace);
}

Rgb ControlView::textColour() const
{
    using S = Colour::Source;
    const Rgb standard = systemColour(*m_control, kind() == Kind::TextBox ? S::WindowText : S::ButtonText);
    const Colour fore = m_control->description().fore;
    if (fore.isDefault())
        return standard;
    const Rgb own = resolved(*m_control, fore);
    return readsOn(own, background()) ? own : standard;
}

Font ControlView::resolvedFont() const
{
    const FontDescription described = m_control->description().font;
    Font f;
    if (described.family)
        f.family = described.family;
    if (described.points > 0)
        f.points = described.points;
    f.bold = described.bold;
    f.italic = described.italic;
    f.isDefault = !described.family && described.points <= 0 && !described.bold && !described.italic;
    return f;
}

std::vector<ControlView> ControlView::namedControls() const
{
    std::vector<ControlView> named;
    if (kind() != Kind::Label)
        return named;
    for (const auto &c : m_control->form().controls()) {
        if (c->label() == m_control)
            named.push_back(c->view());
    }
    return named;
}

bool ControlView::focusIndicator() const
{
    return m_control->hasFocus() && m_control->form().application().keyboardUsed();
}

std::string ControlView::accessibleDescription() const
{
    const char *description = m_control->description().accessibleDescription;
    return description ? description : "";
}

AccessibleState ControlView::state() const
{
    AccessibleState s;
    const Role role = this->role();
    s.focusable = m_control->takesFocus();
    s.focused = m_control->hasFocus();
    s.checkable = role == Role::CheckBox || role == Role::RadioButton;
    s.checked = s.checkable && m_control->checked();
    if (const PictureBox *box = boxOf(*this); box && role == Role::PushButton)
        s.pressed = box->isPressed();
    return s;
}

std::string ControlView::defaultAction() const
{
    switch (role()) {
    case Role::CheckBox: return m_control->checked() ? "Uncheck" : "Check";
    case Role::RadioButton: return "Check";
    case Role::PushButton: return "Press";
    case Role::Grouping:
    case Role::None: break;
    }
    return {};
}

std::vector<PartView> ControlView::parts() const
{
    std::vector<PartView> parts;
    const PictureBox *box = boxOf(*this);
    if (!box)
        return parts;
    const auto &keyParts = m_control->description().keyParts;
    const int pressed = box->pressedPart();
    for (std::size_t i = 0; i < keyParts.size(); ++i)
        parts.push_back({keyParts[i].name, keyParts[i].rect, int(i) == pressed, "Press"});
    return parts;
}

int ControlView::activePart() const
{
    const PictureBox *box = boxOf(*this);
    return box ? box->activePart() : -1;
}

// ---- forms ------------------------------------------------------------------------------

const std::string &FormView::name() const { return m_form->name(); }
bool FormView::isDialog() const { return m_form->owner() != nullptr; }
bool FormView::isModal() const { return m_form->isModal(); }
bool FormView::isAlert() const { return m_form->description().alert; }

std::string FormView::caption() const
{
    return m_form->description().caption;
}

Rect FormView::storedClient() const
{
    const Twips &c = m_form->description().client;
    return {twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width), twipsToPixels(c.height)};
}

std::string FormView::accessibleDescription() const
{
    std::string description;
    for (const ControlView &line : describedBy())
        description += (description.empty() ? "" : "\n") + line.text();
    return description;
}

std::vector<ControlView> FormView::describedBy() const
{
    std::vector<ControlView> views;
    for (const Control *c : m_form->descriptionLines())
        views.push_back(c->view());
    return views;
}

std::vector<ControlView> FormView::controls() const
{
    std::vector<ControlView> views;
    for (const auto &c : m_form->controls())
        views.push_back(c->view());
    return views;
}

} // namespace Runtime

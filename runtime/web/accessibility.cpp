// ARIA from the runtime's views. The browser's own elements (buttons, check boxes, radio
// buttons, fieldsets) carry their roles, names and states themselves; a text box is named by
// its label, and a picture box says what it is drawn as.
#include "runtime/web/accessibility.h"

#include "runtime/web/page.h"
#include "runtime/web/peers.h"

#include <string>
#include <vector>

namespace Runtime::Web::Accessibility {

namespace {

const char *ariaRole(const ControlView &view)
{
    if (view.kind() != Kind::PictureBox)
        return ""; // the element's own
    switch (view.role()) {
    case Role::CheckBox: return "checkbox";
    case Role::RadioButton: return "radio";
    case Role::PushButton: return "button";
    case Role::Grouping: return "group";
    case Role::None: break;
    }
    return "img";
}

void describeParts(const Element &element, const std::vector<PartView> &parts)
{
    std::string names;
    std::vector<int> rects;
    for (const PartView &part : parts) {
        names += (names.empty() ? "" : "\n") + part.name;
        rects.insert(rects.end(), {part.rect.x, part.rect.y, part.rect.width, part.rect.height});
    }
    qv_aria_parts(element.id(), names.c_str(), rects.data(), int(parts.size()));
    qv_aria_active_part(element.id(), element.view().activePart());
}

} // namespace

void describe(const Element &element)
{
    const ControlView view = element.view();
    if (view.kind() == Kind::PictureBox || view.kind() == Kind::TextBox) {
        // Named by the label linked to it, else by its own name. A push button held down has no
        // state in ARIA, where a pressed button is a toggle button: it is told none.
        const ControlView label = view.labelledBy();
        const std::string name = label ? std::string() : view.accessibleName();
        const AccessibleState state = view.state();
        qv_aria(element.id(), ariaRole(view), name.c_str(), label ? domId(label).c_str() : "",
                view.accessibleDescription().c_str(), state.focusable,
                state.checkable ? int(state.checked) : -1);
    }
    // The runtime's groups of option buttons, standard or drawn, each one radio group, named by
    // the frame around it.
    if (const std::string group = view.optionGroup(); !group.empty()) {
        const ControlView frame = view.container();
        qv_aria_group(element.id(), (view.form().name() + "-" + group).c_str(),
                      frame ? domId(frame).c_str() : "");
    }
    if (const std::vector<PartView> parts = view.parts(); !parts.empty())
        describeParts(element, parts);
}

void stateChanged(const Element &element, Change change)
{
    const ControlView view = element.view();
    if (change.has(Change::Checked) && view.kind() == Kind::PictureBox)
        qv_aria_checked(element.id(), view.state().checked);
    if (change.has(Change::ActivePart))
        qv_aria_active_part(element.id(), view.activePart());
}

} // namespace Runtime::Web::Accessibility

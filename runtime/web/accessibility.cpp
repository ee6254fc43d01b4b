// ARIA from the runtime's views. The browser's own elements (buttons, check boxes, radio
// buttons, text inputs, fieldsets) carry their roles and states themselves; a picture box says
// what it is drawn as.
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

void tellState(const Element &element)
{
    const ControlView view = element.view();
    if (view.kind() != Kind::PictureBox)
        return;
    const AccessibleState state = view.state();
    const char *role = ariaRole(view);
    const ControlView label = view.labelledBy();
    const std::string name = label ? std::string() : view.accessibleName();
    const std::string labelledBy = label ? domId(label) : std::string();
    // A push button held down has no state in ARIA, where a pressed button is a toggle button:
    // the page tells none.
    qv_aria(element.id(), role, name.c_str(), labelledBy.c_str(), view.accessibleDescription().c_str(),
            state.focusable, state.checkable ? int(state.checked) : -1);
    if (!view.parts().empty())
        qv_aria_active_part(element.id(), view.activePart());
}

} // namespace

void describe(const Element &element)
{
    const ControlView view = element.view();
    if (view.kind() == Kind::TextBox) {
        // Named by the label beside it, not by the frame around it.
        const ControlView label = view.labelledBy();
        const std::string name = label ? std::string() : view.accessibleName();
        const std::string labelledBy = label ? domId(label) : std::string();
        qv_aria(element.id(), "", name.c_str(), labelledBy.c_str(), view.accessibleDescription().c_str(),
                1, -1);
        return;
    }
    // The runtime's groups of option buttons, standard or drawn, each one radio group, named by
    // the frame around it.
    if (const std::string group = view.optionGroup(); !group.empty()) {
        const ControlView frame = view.container();
        qv_aria_group(element.id(), (view.form().name() + "-" + group).c_str(),
                      frame ? domId(frame).c_str() : "");
    }
    const std::vector<PartView> parts = view.parts();
    if (!parts.empty()) {
        std::string names;
        std::vector<int> rects;
        for (const PartView &part : parts) {
            names += (names.empty() ? "" : "\n") + part.name;
            rects.insert(rects.end(), {part.rect.x, part.rect.y, part.rect.width, part.rect.height});
        }
        qv_aria_parts(element.id(), names.c_str(), rects.data(), int(parts.size()));
    }
    tellState(element);
}

void update(const Element &element)
{
    tellState(element);
}

} // namespace Runtime::Web::Accessibility

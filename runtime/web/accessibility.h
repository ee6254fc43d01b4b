// What assistive technology reads of a control, in ARIA, from the runtime's view: role, name,
// description and state, and a group's keys as buttons of their own.
#pragma once

namespace Runtime::Web {

class Element;

namespace Accessibility {

// Everything, once, as the element is made.
void describe(const Element &element);
// The state again (checked, the key last pressed), after a change.
void update(const Element &element);

} // namespace Accessibility

} // namespace Runtime::Web

// What assistive technology reads of a control, in ARIA, from the runtime's view: role, name,
// description and state, and a group's keys as buttons of their own.
#pragma once

#include "runtime/backend.h"

namespace Runtime::Web {

class Element;

namespace Accessibility {

// Everything, once, as the element is made.
void describe(const Element &element);
// What the runtime says changed, forwarded as it comes.
void stateChanged(const Element &element, Change change);

} // namespace Accessibility

} // namespace Runtime::Web

// What assistive technology sees of the forms, through Qt's accessibility interfaces.
#pragma once

#include "runtime/backend.h"

class QWidget;

namespace Runtime::QtUi {

// Makes Qt ask this back end for the interfaces of its picture boxes, its windows and the lines
// of a window of text.
void installAccessibility();

// Tells assistive technology what the runtime said changed of a control: its checked or pressed
// state, a part held down or let go, and the part a key pressed, which takes its focus.
void announce(QWidget *widget, ControlView control, Change change);

} // namespace Runtime::QtUi

// What assistive technology sees of the forms, through Qt's accessibility interfaces.
#pragma once

#include "runtime/view.h"

#include <vector>

class QWidget;

namespace Runtime::QtUi {

// Makes Qt ask this back end for the interfaces of its picture boxes, its windows and the lines
// of a window of text.
void installAccessibility();

// What assistive technology reads of a control's state: its own, which of its parts are held
// down, and the part the keyboard pressed last.
struct Announced
{
    AccessibleState state;
    std::vector<bool> partsPressed;
    int activePart = -1;
};
Announced announced(ControlView control);

// Tells assistive technology what changed of a control's state (checked, pressed), of its
// parts' (pressed), and moves its focus to the part a key pressed.
void accessibleStateChanged(QWidget *widget, const Announced &before, const Announced &now);

} // namespace Runtime::QtUi

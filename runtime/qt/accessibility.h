// What assistive technology sees of the forms, through Qt's accessibility interfaces.
#pragma once

#include "runtime/view.h"

class QWidget;

namespace Runtime::QtUi {

// Makes Qt ask this back end for the interfaces of its picture boxes and windows.
void installAccessibility();

// Tells assistive technology what changed of a control's state (checked, pressed) and which of
// its parts the keyboard pressed last.
void accessibleStateChanged(QWidget *widget, const AccessibleState &before, const AccessibleState &now,
                            int partBefore, int partNow);

} // namespace Runtime::QtUi

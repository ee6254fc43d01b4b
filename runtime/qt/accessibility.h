// Assistive technology's view of the forms, through Qt's accessibility interfaces.
#pragma once

class QWidget;

namespace Runtime::QtUi {

// Makes Qt ask this back end for the interfaces of its picture boxes and windows.
void installAccessibility();

// Tells assistive technology that a control's checked state changed.
void checkedStateChanged(QWidget *widget);

} // namespace Runtime::QtUi

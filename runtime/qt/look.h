// The one place that decides style, palette and fonts, so that no desktop theme changes them,
// and turns the colours and fonts a control's view gives into Qt's.
#pragma once

#include "runtime/view.h"

#include <QColor>
#include <QFont>

class QApplication;
class QWidget;

namespace Runtime::QtUi::Look {

// Before the application object exists: ignore the desktop's fonts, colours and theme, and
// the system's font rules.
void prepare();

// The classic "Windows" style, the palette of the classic system colours and the default font.
void apply(QApplication &app);

QColor colour(Rgb rgb);

// The default font (Font's own default) as Qt shows it.
QFont defaultFont();

// A font: "MS Sans Serif" and "Arial" as the installed face with their widths (Liberation
// Sans), its size in points taken as pixels at 96 dots per inch, the program's own pixels.
QFont font(const Font &font);

// A control's colours and font, as its view gives them, on its widget: each set only where it
// differs from what the widget has from its container, and a surface of its own filled.
void applyLook(QWidget *widget, ControlView control);

} // namespace Runtime::QtUi::Look

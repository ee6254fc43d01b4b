// The one place that decides style, colours and fonts, so that no desktop theme changes them.
#pragma once

#include "runtime/view.h"

#include <QColor>
#include <QFont>

#include <optional>

class QApplication;
class QWidget;

namespace Runtime::QtUi::Look {

// Before the application object exists: ignore the desktop's fonts, colours and theme, and
// the system's font rules.
void prepare();

// The classic "Windows" style, the classic grey palette and the pixel-sized default font.
void apply(QApplication &app);

// The grey that button faces, forms and frames share: (192, 192, 192).
QColor buttonFace();

QColor colour(const Colour &colour);

// The default UI font: 11 pixels, with the widths of the classic 8-point UI font.
QFont defaultFont();

// A described font, its family mapped to an installed metric-compatible face and its size
// taken in pixels at 96 dots per inch.
QFont font(const FontDescription &description);

// "MS Sans Serif" and "Arial" become the installed face with their widths.
QString mapFamily(const QString &family);

// A control's colours on its widget: its back colour, and its text colour where that reads on
// the surface under the text (ControlView::textColour), else the standard black. A default
// colour leaves the palette's.
void applyColours(QWidget *widget, ControlView control);

} // namespace Runtime::QtUi::Look

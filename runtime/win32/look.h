// What the Windows build draws a control in: the colours and font its view gives, turned into
// Windows' types once here; the system's own colours under the runtime's system colours.
#pragma once

#include "runtime/view.h"

#include <windows.h>

namespace Runtime::Win32::Look {

// A system colour as Windows has it now (Backend::systemColour); the button face for any source
// that names none.
COLORREF systemColour(Colour::Source source);

// A solid brush of that colour, made once and kept for the program's life.
HBRUSH brush(COLORREF colour);

// The font a control's text is drawn in at a window's dots per inch: the system's user
// interface font (the face and size of DEFAULT_GUI_FONT, scaled from the system's dots per inch
// to the window's) where the view's is the runtime's default, else the view's face at its size.
// Made once for each scale, kept.
HFONT font(const Font &font, int dpi);

} // namespace Runtime::Win32::Look

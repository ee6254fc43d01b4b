// The one place that decides the colours and fonts of the Windows build: the system's own,
// except where a form's description fixes one.
#pragma once

#include "runtime/view.h"

#include <windows.h>

namespace Runtime::Win32::Look {

// A system colour as Windows has it now; the button face for any source that names none.
COLORREF systemColour(Colour::Source source);

// A described colour; `fallback` (a COLOR_ index) for the default.
COLORREF colour(const Colour &colour, int fallback);

// A solid brush of that colour, made once and kept for the program's life.
HBRUSH brush(COLORREF colour);

// The font a control's text is drawn in: the classic 8-point UI font (DEFAULT_GUI_FONT), or
// the described face at its size in pixels at 96 dots per inch. Made once, kept.
HFONT font(const FontDescription &description);

// The surface a control is drawn on, and its text. A label is opaque, in the system's button
// face unless described otherwise, so that its text always stands on its own colours; a frame,
// check box or option button without a colour of its own takes its container's, as if it were
// transparent. The text colour is the view's (ControlView::textColour).
COLORREF backColour(ControlView control);
COLORREF foreColour(ControlView control);

} // namespace Runtime::Win32::Look

// The Win32 back end of the forms runtime (the Windows build, Quorvel.exe): user32 and gdi32
// only, no dialog templates, no common controls library.
//
//  [X] A top-level window for each form, placed by its client area (AdjustWindowRectEx), of a
//      fixed size, with the program's icon (IDI_ICON1, 16 and 32 pixels) on every window.
//  [X] Modal shows: the other windows disabled, a nested message loop until the form closes;
//      minimising either window and restoring it keeps the modal window usable.
//  [X] The frame's close command (and Alt+F4), and Escape on a modal form, close it.
//  [X] Peers: the system's BUTTON (group box, push button, check box, radio button), EDIT and
//      STATIC classes in DEFAULT_GUI_FONT or the described font; picture boxes of our own
//      class painting the picture inside a 2-pixel sunken border.
//  [X] Stacking: a control stored earlier lies above one stored later, and a frame's controls
//      above the frame.
//  [X] Raw pointer input in whole pixels of the drawing area, capture from the first button
//      down to the last button up, leave, and cancels: capture lost, window minimised, hidden
//      or disabled by a modal window.
//  [X] Tab and Shift+Tab through the tab order, arrow keys within a pair of option buttons.
//  [X] Pictures decoded by Windows from BITMAP resources named as the stored pictures.
//  [X] MessageBox with the request's title, buttons, icon and default button.
//  [X] The event loop, quitting every loop, the program's status as its exit code.
//  [X] Start-up: a screen of fewer than 15 bits of colour is refused in one line.
//  [ ] Mouse cursors, drag and drop, clipboard, accessibility names: the program needs none.
//  [ ] Keyboard access to the bitmap controls: the forms runtime does not offer it yet.
#pragma once

#include <functional>

namespace Runtime::Win32 {

// The whole start-up on Windows: the screen checked, the window classes registered, the back
// end set, and `program` run over it; returns the program's status. A failure to start is
// said in one line (on standard error and in a message box) and returns 1.
int run(char **argv, const char *programName, const std::function<int()> &program);

} // namespace Runtime::Win32

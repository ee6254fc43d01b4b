// The browser back end of the forms runtime (Emscripten 3.1.6): the program as a web page.
//
//  [X] Windows: each form a window drawn in the page, a caption bar with its caption exactly as
//      stored, the program's icon and a close button, its client area at the form's size where
//      the runtime places it; the part of the page in view is the screen, and the page scrolls
//      to every part of a window larger than it. A window the runtime blocks is inert; a window
//      is moved by its caption bar, which stays in view (window.h, windows.js).
//  [X] Reports: the close button; shown; activated (the runtime gives the focus back); hidden
//      when the page is (another tab, a minimised browser) (window.h).
//  [X] Keys: Tab, Escape, Space, Enter, Home and the arrows reported with their shift state and
//      repeats before the focused element sees them; a key the runtime takes goes to none
//      (window.h, keyboard.js).
//  [X] Peers: picture boxes (a canvas of the control's size: the 2-pixel sunken border, the
//      picture to the pixel, never smoothed at any device pixel ratio, the focus indicator;
//      the pointer in whole pixels of the drawing area with capture, three buttons, touch as
//      the left button; boxes.js), and the browser's own elements for the rest: text input
//      (which alone keeps the browser's own menu), label, fieldset with its legend, button,
//      check box, radio button with no grouping of the browser's own (peers.h, elements.js).
//  [X] Pictures: the stored pictures embedded as PNG in the program, decoded once by the browser
//      (Blob and createImageBitmap) before the program starts (pictures.h, startup.js).
//  [X] Look: the classic grey look in page.css; the views' colours and fonts as CSS, the fonts'
//      family mapped to the embedded Quorvel Sans, sizes in pixels (look.h).
//  [X] Assistive technology: ARIA roles, names and the pad's keys from the runtime's views, each
//      radio group named by its frame; the changes the runtime tells forwarded as they come; a
//      push button held down has no state in ARIA and is told none; actions asked for are
//      reported (accessibility.h, aria.js).
//  [X] The message box (the runtime's own, its prompt measured in the page's font and its icon
//      drawn by the page, elements.js) and modal windows paused with Asyncify, one pause at a
//      time, so that the program's procedures keep their synchronous shape; the event loop is the browser's:
//      exec() hands the program to it and never returns; End and closing the main window end
//      the page with one line and a link that starts it again.
//  [ ] Minimising, resizing, several screens, mouse cursors, drag and drop: nothing here needs
//      them.
#pragma once

#include "runtime/backend.h"

#include <functional>
#include <memory>
#include <string>

namespace Runtime::Web {

class WebBackend final : public Runtime::Backend
{
public:
    std::unique_ptr<WindowPeer> createWindow(FormView form, WindowPeer *owner) override;
    std::unique_ptr<ControlPeer> createControl(ControlView control, WindowPeer &window,
                                               ControlPeer *container) override;
    Picture loadPicture(const std::string &name) override;
    // The page has no message box of its own: the runtime shows its own, measured here.
    bool hasMessageBox() const override { return false; }
    Size measureText(const Font &font, const std::string &text) const override;
    // Hands the program to the browser and never returns: the page's events call the
    // runtime from then on, and quit() ends the page.
    int exec() override;
    void quit(int status) override;
    bool inEventLoop() const override { return m_running; }

private:
    bool m_running = false;
};

// The whole start-up in the page, once the browser has decoded the pictures and the fonts
// (startup.js): the back end made and `program` run over it. Returns only when the program ends
// before its event loop (its load step ended it); the page then says so.
int run(char **argv, const char *programName, const std::function<int(Runtime::Backend &)> &program);

// One pause at a time: a modal window's loop or the message box waits in pause() for resume()
// with the same token, while the browser runs on and its events reach the runtime. Asyncify
// cannot pause twice at once: isPaused() tells whether a pause waits already.
bool isPaused();
int newPauseToken();
int pause(int token);
void resume(int token, int value);

} // namespace Runtime::Web

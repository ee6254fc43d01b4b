// The back end itself: windows and peers made, pictures found, texts measured, the pauses,
// and the browser's event loop.
#include "runtime/web/backend.h"

#include "runtime/web/look.h"
#include "runtime/web/page.h"
#include "runtime/web/peers.h"
#include "runtime/web/pictures.h"
#include "runtime/web/window.h"

#include <emscripten.h>
#include <emscripten/stack.h>

namespace Runtime::Web {

namespace {

int g_pausedToken = 0; // the token of the pause that waits, 0 for none
int g_nextToken = 1;

} // namespace

bool isPaused()
{
    return g_pausedToken != 0;
}

int newPauseToken()
{
    return g_nextToken++;
}

int pause(int token)
{
    g_pausedToken = token;
    const int value = qv_wait(token);
    g_pausedToken = 0;
    return value;
}

void resume(int token, int value)
{
    if (token == g_pausedToken)
        qv_resume(token, value);
}

std::unique_ptr<WindowPeer> WebBackend::createWindow(FormView form, WindowPeer *)
{
    return std::make_unique<FormWindow>(form);
}

std::unique_ptr<ControlPeer> WebBackend::createControl(ControlView control, WindowPeer &window,
                                                       ControlPeer *container)
{
    return std::make_unique<Element>(control, static_cast<FormWindow &>(window),
                                     dynamic_cast<Element *>(container));
}

Picture WebBackend::loadPicture(const std::string &name)
{
    return storedPicture(name);
}

Size WebBackend::measureText(const Font &font, const std::string &text) const
{
    int size[2] = {0, 0};
    qv_measure_text(Look::css(font).c_str(), text.c_str(), size);
    return {size[0], size[1]};
}

int WebBackend::exec()
{
    m_running = true;
    // The browser runs the events from here on. main() and what it made stay on the stack:
    // the page keeps the stack below this frame reserved once the unwinding is done.
    qv_hand_over(emscripten_stack_get_current());
    emscripten_exit_with_live_runtime();
    return 0; // never reached
}

void WebBackend::quit(int status)
{
    if (!m_running)
        return;
    m_running = false;
    qv_end(status);
}

} // namespace Runtime::Web

// The back end itself: windows and peers made, pictures found, the message box, the pauses,
// and the browser's event loop.
#include "runtime/web/backend.h"

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

const char *choiceText(MessageBoxRequest::Choice choice)
{
    using C = MessageBoxRequest::Choice;
    switch (choice) {
    case C::Ok: return "OK";
    case C::Cancel: return "Cancel";
    case C::Abort: return "Abort";
    case C::Retry: return "Retry";
    case C::Ignore: return "Ignore";
    case C::Yes: return "Yes";
    case C::No: return "No";
    }
    return "";
}

const char *iconName(MessageBoxRequest::Icon icon)
{
    using I = MessageBoxRequest::Icon;
    switch (icon) {
    case I::Critical: return "critical";
    case I::Question: return "question";
    case I::Exclamation: return "exclamation";
    case I::Information: return "information";
    case I::None: break;
    }
    return "";
}

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

int WebBackend::messageBox(const MessageBoxRequest &request)
{
    std::string choices;
    for (const auto choice : request.choices) {
        if (!choices.empty())
            choices += '\n';
        choices += choiceText(choice);
    }
    const auto *owner = dynamic_cast<const FormWindow *>(request.owner);
    const int token = newPauseToken();
    qv_message_box(token, owner ? owner->id() : 0, request.title.c_str(), request.prompt.c_str(),
                   iconName(request.icon), choices.c_str(), request.defaultChoice);
    // Asyncify cannot pause twice at once: a box asked for while a modal window's loop waits
    // (no procedure of a modal window does that) is shown without waiting, and counts as
    // closed without a choice.
    if (isPaused())
        return -1;
    return pause(token);
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

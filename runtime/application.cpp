// Title, message box, End and the dispatcher.
#include "runtime/application.h"

#include "runtime/backend.h"
#include "runtime/form.h"

#include <algorithm>

namespace Runtime {

namespace {

struct State
{
    std::string title;
    bool ended = false;
    int status = 0;
    std::function<void()> endHandler;
    std::function<void(const RuntimeError &)> errorReporter;
    Backend *backend = nullptr;
};

State &state()
{
    static State s;
    return s;
}

void defaultEnd()
{
    for (Form *form : Form::all())
        form->hide();
    // Leaves every loop, a modal window's as well. Before the event loop has started there
    // is none to leave: the start-up sees hasEnded() and does not start it.
    if (backend().inEventLoop())
        backend().quit(state().status);
}

void report(const RuntimeError &error)
{
    // A failure never looks like success: whatever reports it, the program ends with status 1.
    state().status = 1;
    if (state().errorReporter) {
        state().errorReporter(error);
        return;
    }
    MsgBox("Run-time error '" + std::to_string(error.number()) + "':\n\n" + error.description(), 16);
    End();
}

} // namespace

Backend &backend()
{
    return *state().backend;
}

void setBackend(Backend *backend)
{
    state().backend = backend;
}

void setTitle(std::string title)
{
    state().title = std::move(title);
}

const std::string &title()
{
    return state().title;
}

int MsgBox(const std::string &prompt, int style, const std::string &title)
{
    using Choice = MessageBoxRequest::Choice;
    using Icon = MessageBoxRequest::Icon;
    MessageBoxRequest request;
    request.title = title.empty() ? state().title : title;
    request.prompt = prompt;
    switch (style & 0x70) {
    case 16: request.icon = Icon::Critical; break;
    case 32: request.icon = Icon::Question; break;
    case 48: request.icon = Icon::Exclamation; break;
    case 64: request.icon = Icon::Information; break;
    default: request.icon = Icon::None; break; // 128 and others request no icon
    }
    struct Set
    {
        std::vector<Choice> choices;
        std::vector<int> results;
    };
    Set set;
    switch (style & 0x7) {
    case 1: set = {{Choice::Ok, Choice::Cancel}, {1, 2}}; break;
    case 2: set = {{Choice::Abort, Choice::Retry, Choice::Ignore}, {3, 4, 5}}; break;
    case 3: set = {{Choice::Yes, Choice::No, Choice::Cancel}, {6, 7, 2}}; break;
    case 4: set = {{Choice::Yes, Choice::No}, {6, 7}}; break;
    case 5: set = {{Choice::Retry, Choice::Cancel}, {4, 2}}; break;
    default: set = {{Choice::Ok}, {1}}; break;
    }
    request.choices = set.choices;
    request.defaultChoice = std::min<int>((style & 0x300) >> 8, int(set.choices.size()) - 1);
    const int chosen = backend().messageBox(request);
    if (chosen >= 0 && chosen < int(set.results.size()))
        return set.results[std::size_t(chosen)];
    // Closed without a button (Escape or the frame): the escape button's answer.
    return set.results.size() == 1 ? set.results.front() : 2;
}

void End()
{
    state().ended = true;
    if (state().endHandler)
        state().endHandler();
    else
        defaultEnd();
}

bool hasEnded()
{
    return state().ended;
}

int exitStatus()
{
    return state().status;
}

void dispatch(const std::function<void()> &procedure)
{
    if (state().ended)
        return;
    try {
        procedure();
    } catch (const RuntimeError &error) {
        report(error);
    } catch (const std::exception &error) {
        report(RuntimeError(Err::Internal, error.what()));
    }
    // What the procedure changed of the controls' checked states is told at once.
    for (Form *form : Form::all()) {
        for (Control *c : form->watchedControls())
            c->refreshCheckedState();
    }
}

int runMainForm(Form &form)
{
    form.setMain(true);
    form.load();
    if (state().ended)
        return state().status; // the load step ended the program: no window, no loop
    form.showForm(0);
    const int status = backend().exec();
    return state().ended ? state().status : status;
}

void setEndHandler(std::function<void()> handler)
{
    state().endHandler = std::move(handler);
}

void setErrorReporter(std::function<void(const RuntimeError &)> reporter)
{
    state().errorReporter = std::move(reporter);
}

void resetForTests()
{
    state().ended = false;
    state().status = 0;
}

} // namespace Runtime

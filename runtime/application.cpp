// The application: title, pictures, message box, End and the dispatcher.
#include "runtime/application.h"

#include "runtime/backend.h"
#include "runtime/form.h"
#include "runtime/messagebox.h"

#include <algorithm>

namespace Runtime {

namespace {
Application *g_current = nullptr;
} // namespace

Application::Application(Backend &backend, std::string title)
    : m_backend(backend), m_title(std::move(title)), m_previous(g_current)
{
    g_current = this;
}

Application::~Application()
{
    g_current = m_previous;
}

Application &Application::current()
{
    if (!g_current)
        throw RuntimeError(Err::Internal, "No application is running");
    return *g_current;
}

Picture Application::picture(const std::string &name) const
{
    Picture picture = m_backend.loadPicture(name);
    if (picture.isNull())
        throw RuntimeError(Err::InvalidPicture, "Invalid picture: " + name);
    return picture;
}

void Application::added(Form *form)
{
    m_forms.push_back(form);
    updateBlocked();
}

void Application::removed(Form *form)
{
    m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), form), m_forms.end());
}

void Application::modalShown(Form *modal)
{
    m_modals.push_back(modal);
    updateBlocked();
}

void Application::modalClosed(Form *modal)
{
    const auto last = std::find(m_modals.rbegin(), m_modals.rend(), modal);
    if (last != m_modals.rend())
        m_modals.erase(std::next(last).base());
    updateBlocked();
}

void Application::updateBlocked()
{
    for (Form *form : m_forms)
        form->setBlocked(!m_modals.empty() && m_modals.back() != form);
}

Form *Application::topForm() const
{
    Form *top = nullptr;
    for (Form *form : m_forms) {
        if (form->isModal())
            return form;
        if (form->isVisible())
            top = form;
    }
    return top;
}

void Application::setKeyboardUsed()
{
    if (m_keyboardUsed)
        return;
    m_keyboardUsed = true;
    // The focused controls show their indicators from now on.
    for (Form *form : m_forms) {
        if (Control *focused = form->focusedControl())
            focused->stateChanged({Change::FocusIndicator});
    }
}

int Application::messageBox(const std::string &prompt, int style, const std::string &title)
{
    using Choice = MessageBoxRequest::Choice;
    using Icon = MessageBoxRequest::Icon;
    MessageBoxRequest request;
    request.title = title.empty() ? m_title : title;
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
    if (Form *owner = topForm())
        request.owner = owner->peer();
    int chosen = -1;
    if (m_backend.hasMessageBox()) {
        modalShown(nullptr);
        chosen = m_backend.messageBox(request);
        modalClosed(nullptr);
    } else {
        chosen = runOwnMessageBox(request);
    }
    if (chosen >= 0 && chosen < int(set.results.size()))
        return set.results[std::size_t(chosen)];
    // Closed without a button (Escape or the frame): the escape button's answer.
    return set.results.size() == 1 ? set.results.front() : 2;
}

void Application::end()
{
    m_ended = true;
    closeAll();
}

void Application::closeAll()
{
    for (Form *form : m_forms)
        form->hide();
    // Leaves every loop, a modal window's as well. Before the event loop has started there is
    // none to leave: run() sees hasEnded() and does not start it.
    if (m_backend.inEventLoop())
        m_backend.quit(m_status);
}

void Application::report(const RuntimeError &error)
{
    // A failure never looks like success: the program ends with status 1.
    m_status = 1;
    messageBox("Run-time error '" + std::to_string(error.number()) + "':\n\n" + error.description(), 16, {});
    end();
}

void Application::dispatch(const std::function<void()> &procedure)
{
    if (m_ended)
        return;
    try {
        procedure();
    } catch (const RuntimeError &error) {
        report(error);
    } catch (const std::exception &error) {
        report(RuntimeError(Err::Internal, error.what()));
    }
    // A checked state that the program keeps in its own variables, and that the procedure
    // changed, is told to the control's peer.
    for (Form *form : m_forms)
        form->refreshCheckedStates();
}

int Application::run(Form &mainForm)
{
    mainForm.setMain(true);
    mainForm.load();
    if (m_ended)
        return m_status; // the load step ended the program: no window, no loop
    mainForm.showForm(0);
    const int status = m_backend.exec();
    return m_ended ? m_status : status;
}

int MsgBox(const std::string &prompt, int style, const std::string &title)
{
    return Application::current().messageBox(prompt, style, title);
}

void End()
{
    Application::current().end();
}

Rgb Backend::systemColour(Colour::Source colour) const
{
    return classicColour(colour);
}

} // namespace Runtime

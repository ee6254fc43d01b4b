// The application: the one object that holds the program's state as a whole (its title, the
// back end, the live forms, whether it has ended and with what status, whether the keyboard
// has been used), runs every event procedure and reports what fails. main() makes it; the
// procedures reach it through the free calls they use, MsgBox and End.
#pragma once

#include "runtime/picture.h"
#include "runtime/runtimeerror.h"

#include <functional>
#include <string>
#include <vector>

namespace Runtime {

class Backend;
class Form;

class Application final
{
public:
    // Becomes the current application until it is gone.
    Application(Backend &backend, std::string title);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // The current application; run-time error 51 when there is none.
    static Application &current();

    Backend &backend() const { return m_backend; }

    // A stored picture, decoded by the back end; run-time error 481 when there is none.
    Picture picture(const std::string &name) const;

    // Runs the start-up form: its load step, then, unless that ended the program, the form
    // shown and the event loop until the program ends. Returns the program's exit status.
    int run(Form &mainForm);

    // Runs one event procedure, unless the program has ended. A run-time error it raises is
    // reported in a message box and ends the program with status 1; nothing escapes into the
    // toolkit. After it, a checked state that the program keeps and that changed is told.
    void dispatch(const std::function<void()> &procedure);

    // End: no further event procedure runs, the windows are hidden and the event loop is left
    // with the program's status.
    void end();
    // The windows hidden and the event loop left with the program's status, as the main
    // window closing does: procedures may still run after it.
    void closeAll();
    bool hasEnded() const { return m_ended; }
    // 0 after End or when the main window closes, 1 after a run-time error ended it.
    int exitStatus() const { return m_status; }

    // Whether the keyboard has been used: focus indicators show only from then on, so that a
    // pointer user sees the windows exactly as drawn.
    bool keyboardUsed() const { return m_keyboardUsed; }
    void setKeyboardUsed();

    // Every form that exists, in order of creation.
    const std::vector<Form *> &forms() const { return m_forms; }
    // The window a message box goes over: a modal form's, else the last form shown.
    Form *topForm() const;

    // The message box, its style decoded (see MsgBox).
    int messageBox(const std::string &prompt, int style, const std::string &title);

private:
    friend class Form;
    void added(Form *form);
    void removed(Form *form);
    // A modal form (or, for none, a message box) shown, and closed again: the one shown last
    // blocks every other form until it closes (Form::setBlocked).
    void modalShown(Form *modal);
    void modalClosed(Form *modal);
    void updateBlocked();
    void report(const RuntimeError &error);

    Backend &m_backend;
    std::string m_title;
    std::vector<Form *> m_forms;
    std::vector<Form *> m_modals; // the modal forms and message boxes shown, the last on top
    bool m_ended = false;
    int m_status = 0;
    bool m_keyboardUsed = false;
    Application *m_previous;
};

// A modal message box titled with the application title. The style number selects the
// buttons (0 to 5), the icon (16, 32, 48, 64; any other value none) and the default button
// (0, 256, 512). Returns the button chosen: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore,
// 6 Yes, 7 No.
int MsgBox(const std::string &prompt, int style = 0, const std::string &title = {});

// Ends the program (Application::end).
void End();

} // namespace Runtime

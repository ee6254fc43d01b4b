// Application-wide services: title, message box, End, and the dispatcher that runs every
// event procedure.
#pragma once

#include "runtimeerror.h"

#include <QString>

class QIcon;

#include <functional>
#include <optional>

namespace Runtime {

// The application title: the message box's title.
void setTitle(const QString &title);
QString title();

// A modal message box titled with the application title, parented to the active form. The
// style number selects the buttons (0 to 5), the icon (16, 32, 48, 64; any other value none)
// and the default button (0, 256, 512). Returns the button chosen: 1 OK, 2 Cancel, 3 Abort,
// 4 Retry, 5 Ignore, 6 Yes, 7 No.
int MsgBox(const QString &prompt, int style = 0, const QString &title = {});

// Ends the program: no further event procedure runs, the windows are hidden and the event
// loop is left with status 0.
void End();
bool hasEnded();

// The status the program ends with: 0 after End or when the main window closes, 1 after a
// run-time error ended it.
int exitStatus();

// Runs one event procedure, unless the program has ended. A run-time error it raises is
// reported and ends the program with status 1, as a forms runtime does by default; nothing
// escapes into Qt.
void dispatch(const std::function<void()> &procedure);

class Form;

// Runs the start-up form: its load step, then, unless that ended the program, the form shown
// and the event loop until the program ends. Returns the program's exit status.
int runMainForm(Form &form);

// The program's icon, which every window it opens carries.
void setDefaultIcon(const QIcon &icon);

// For tests: replace what End does and how a run-time error is reported, and start afresh.
void setEndHandler(std::function<void()> handler);
void setErrorReporter(std::function<void(const RuntimeError &)> reporter);
void resetForTests();

// Why no window could be opened here, or nothing when a display is there to open. Checked
// before the toolkit starts, which would otherwise abort, or wait forever on a display that
// never answers: an X display gets `timeoutMs` to answer.
std::optional<QString> displayProblem(int timeoutMs = 4000);

// Says every message of the toolkit as one line that starts with the program's name. Its
// start-up chatter is held back: when the toolkit cannot start, one line says why and the
// program ends with status 1; when it starts, call toolkitStarted().
void installMessageHandler(const char *programName);
void toolkitStarted();

} // namespace Runtime

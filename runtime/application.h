// Application-wide services: title, message box, End, and the dispatcher that runs every
// event procedure.
#pragma once

#include "runtimeerror.h"

#include <QString>

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

// Runs one event procedure, unless the program has ended. A run-time error it raises is
// reported and ends the program, as a forms runtime does by default; nothing escapes into Qt.
void dispatch(const std::function<void()> &procedure);

// For tests: replace what End does and how a run-time error is reported, and start afresh.
void setEndHandler(std::function<void()> handler);
void setErrorReporter(std::function<void(const RuntimeError &)> reporter);
void resetForTests();

// Why no window could be opened here, or nothing when a display is there to open. Checked
// before the toolkit starts, which would otherwise abort.
std::optional<QString> displayProblem();

// Turns the toolkit's fatal start-up messages into one line on standard error and status 1.
void installFatalHandler(const char *programName);

} // namespace Runtime

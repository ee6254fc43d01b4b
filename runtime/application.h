// Application-wide services: title, message box, End, and the dispatcher that runs every
// event procedure.
#pragma once

#include "runtime/runtimeerror.h"

#include <functional>
#include <string>

namespace Runtime {

class Form;

// The application title: the message box's title.
void setTitle(std::string title);
const std::string &title();

// A modal message box titled with the application title. The style number selects the
// buttons (0 to 5), the icon (16, 32, 48, 64; any other value none) and the default button
// (0, 256, 512). Returns the button chosen: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore,
// 6 Yes, 7 No.
int MsgBox(const std::string &prompt, int style = 0, const std::string &title = {});

// Ends the program: no further event procedure runs, the windows are hidden and the event
// loop is left with the program's status.
void End();
bool hasEnded();

// The status the program ends with: 0 after End or when the main window closes, 1 after a
// run-time error ended it.
int exitStatus();

// Runs one event procedure, unless the program has ended. A run-time error it raises is
// reported and ends the program with status 1, as a forms runtime does by default; nothing
// escapes into the toolkit.
void dispatch(const std::function<void()> &procedure);

// Runs the start-up form: its load step, then, unless that ended the program, the form shown
// and the event loop until the program ends. Returns the program's exit status.
int runMainForm(Form &form);

// For tests: replace what End does and how a run-time error is reported, and start afresh.
void setEndHandler(std::function<void()> handler);
void setErrorReporter(std::function<void(const RuntimeError &)> reporter);
void resetForTests();

} // namespace Runtime

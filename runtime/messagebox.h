// The runtime's own message box, for a platform that has none of its own (a web browser).
#pragma once

#include "runtime/backend.h"

namespace Runtime {

// Shows `request` as a modal form over every window: its prompt a label of the size the
// platform measures, its icon on the left, its choices command buttons in a centred row, the
// default one with the focus. Returns the index of the choice that closed it, or -1 when it
// was closed without one (Escape, or the frame's close command).
int runOwnMessageBox(const MessageBoxRequest &request);

} // namespace Runtime

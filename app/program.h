// Start-up shared by the program, its tests and its benchmarks.
#pragma once

#include <functional>

class QApplication;
class Form1;

namespace Program {

inline constexpr char kName[] = "quorvel";

// Identity and look of the application; call once the application object exists.
void setUp(QApplication &app);

// The whole program: checks for a display, starts the toolkit with the program's name only,
// opens the main window and runs until it ends. `beforeShow` lets a benchmark watch the
// window; the program passes nothing.
int run(char **argv, const std::function<void(Form1 &)> &beforeShow = {});

} // namespace Program

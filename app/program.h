// Start-up shared by the program, its tests and its benchmarks.
#pragma once

#include <functional>

class Form1;

namespace Program {

inline constexpr char kName[] = "quorvel";

// The application's identity: its title, the one the message box bears.
void setUp();

// The whole program over the back end that has been started: the main window built, loaded,
// shown, and run until the program ends; returns its exit status. `beforeShow` lets a
// benchmark watch the window; the program passes nothing.
int run(const std::function<void(Form1 &)> &beforeShow = {});

} // namespace Program

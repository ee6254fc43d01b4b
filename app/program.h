// Start-up shared by the program, its tests and its benchmarks.
#pragma once

namespace Runtime {
class Application;
}

namespace Program {

inline constexpr char kName[] = "quorvel";
// The application's title, the one the message box bears.
inline constexpr char kTitle[] = "Quorvel";

// The whole program in `application`: the main window built, loaded, shown, and run until the
// program ends; returns its exit status.
int run(Runtime::Application &application);

} // namespace Program

// Start-up shared by the program, its tests and its benchmarks.
#include "app/program.h"

#include "app/form1.h"
#include "runtime/application.h"

#include <cstdio>
#include <optional>

namespace Program {

int run(Runtime::Application &application)
{
    std::optional<Form1> form1;
    try {
        form1.emplace();
    } catch (const Runtime::RuntimeError &error) {
        // The main window could not be built: nothing is shown to report it in.
        std::fprintf(stderr, "%s: run-time error %d: %s\n", kName, error.number(), error.description().c_str());
        return 1;
    }
    // Outside the try: on a platform whose event loop hands the program to the platform and
    // never returns, the main window lives on in this frame.
    return application.run(*form1);
}

} // namespace Program

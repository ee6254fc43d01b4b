// Start-up shared by the program, its tests and its benchmarks.
#include "app/program.h"

#include "app/form1.h"
#include "runtime/application.h"

#include <cstdio>

namespace Program {

int run(Runtime::Application &application)
{
    try {
        Form1 form1;
        return application.run(form1);
    } catch (const Runtime::RuntimeError &error) {
        // The main window could not be built: nothing is shown to report it in.
        std::fprintf(stderr, "%s: run-time error %d: %s\n", kName, error.number(), error.description().c_str());
        return 1;
    }
}

} // namespace Program

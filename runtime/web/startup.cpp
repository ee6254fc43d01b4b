// The start-up in the page. By the time main() runs, the browser has decoded every stored
// picture and the fonts (startup.js); there is no display to check and no command line.
#include "runtime/web/backend.h"

#include "runtime/web/page.h"

namespace Runtime::Web {

int run(char **, const char *, const std::function<int(Runtime::Backend &)> &program)
{
    // Made once and never destroyed: the browser's events reach it after main() has handed the
    // program over (exec) and its frames are left behind.
    static WebBackend backend;
    // No try block here: a program that hands itself to the browser leaves these frames by an
    // exception the browser catches, and a try block on the way would give up their stack.
    const int status = program(backend);
    // The program ended before its event loop, its load step ending it.
    qv_end(status);
    return status;
}

} // namespace Runtime::Web

// Quorvel started exactly as its main() starts it, ended after the main window's first frame.
// For measuring only: the program itself takes no command line and gains no option for this.
// Built twice: as the program is, and (quorvel_firstframe_ownfonts) with only its face's font
// folder in its font configuration.
#include "app/program.h"
#include "firstframe.h"
#include "runtime/application.h"
#include "runtime/qt/backend.h"
#include "runtime/qt/fonts.h"

int main(int, char **argv)
{
#if QUORVEL_BENCH_OWN_FONTS_ONLY
    // The variant that measures the program with no font folder but its face's own.
    Runtime::QtUi::Fonts::useOwnConfiguration(false);
#endif
    return Runtime::QtUi::run(argv, Program::kName, [](Runtime::Backend &backend) {
        // Watching from before the program makes its first window.
        FirstFrame firstFrame;
        Runtime::Application application(backend, Program::kTitle);
        return Program::run(application);
    });
}

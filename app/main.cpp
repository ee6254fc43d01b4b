// Quorvel: shaped bitmap controls beside standard ones.
#include "application.h"
#include "form1.h"
#include "look.h"
#include "program.h"

#include <QApplication>

#include <cstdio>

int main(int, char **argv)
{
    Runtime::installFatalHandler(Program::kName);
    if (const auto problem = Runtime::displayProblem()) {
        std::fprintf(stderr, "%s: %s\n", Program::kName, qPrintable(*problem));
        return 1;
    }
    Runtime::Look::prepare();
    // The program takes no command line: the toolkit is given the program's name only.
    char *programName = argv && argv[0] ? argv[0] : const_cast<char *>(Program::kName);
    int toolkitArgc = 1;
    char *toolkitArgv[] = {programName, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    Program::setUp(app);
    try {
        Form1 form1;
        form1.load();
        form1.show();
        return app.exec();
    } catch (const Runtime::RuntimeError &error) {
        std::fprintf(stderr, "%s: run-time error %d: %s\n", Program::kName, error.number(),
                     qPrintable(error.description()));
        return 1;
    }
}

// Quorvel started exactly as its main() starts it, ended after the main window's first frame.
// For measuring only: the program itself takes no command line and gains no option for this.
#include "application.h"
#include "firstframe.h"
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
    char *programName = argv && argv[0] ? argv[0] : const_cast<char *>(Program::kName);
    int toolkitArgc = 1;
    char *toolkitArgv[] = {programName, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    Program::setUp(app);
    Form1 form1;
    FirstFrame firstFrame(&form1);
    form1.load();
    form1.show();
    return app.exec();
}

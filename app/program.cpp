// Start-up shared by the program, its tests and its benchmarks.
#include "program.h"

#include "application.h"
#include "assets.h"
#include "form1.h"
#include "look.h"

#include <QApplication>

#include <cstdio>

namespace Program {

void setUp(QApplication &app)
{
    // Name, version and desktop entry let a desktop match the window to its menu entry. The
    // display name stays unset: the toolkit would append it to every window title.
    QCoreApplication::setApplicationName(QString::fromLatin1(kName));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1.0.2"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zennorak Design"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvel"));
    Runtime::setTitle(QStringLiteral("Quorvel"));
    Runtime::setDefaultIcon(Assets::programIcon());
    Runtime::Look::apply(app);
}

int run(char **argv, const std::function<void(Form1 &)> &beforeShow)
{
    Runtime::installMessageHandler(kName);
    if (const auto problem = Runtime::displayProblem()) {
        std::fprintf(stderr, "%s: %s\n", kName, qPrintable(*problem));
        return 1;
    }
    if (const auto missing = Runtime::Look::missingFace())
        std::fprintf(stderr, "%s: %s\n", kName, qPrintable(*missing));
    Runtime::Look::prepare();
    // The program takes no command line: the toolkit is given the program's name only.
    char *programName = argv && argv[0] ? argv[0] : const_cast<char *>(kName);
    int toolkitArgc = 1;
    char *toolkitArgv[] = {programName, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    Runtime::toolkitStarted();
    setUp(app);
    try {
        Form1 form1;
        if (beforeShow)
            beforeShow(form1);
        return Runtime::runMainForm(form1);
    } catch (const Runtime::RuntimeError &error) {
        std::fprintf(stderr, "%s: run-time error %d: %s\n", kName, error.number(),
                     qPrintable(error.description()));
        return 1;
    }
}

} // namespace Program

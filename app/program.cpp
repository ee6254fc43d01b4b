// Start-up shared by the program and its tests.
#include "program.h"

#include "application.h"
#include "look.h"

#include <QApplication>

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
    Runtime::Look::apply(app);
}

} // namespace Program

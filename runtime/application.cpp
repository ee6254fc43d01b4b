// Title, message box, End, the dispatcher, and the checks made before the toolkit starts.
#include "application.h"

#include "form.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

#if QUORVEL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace Runtime {

namespace {

struct State
{
    QString title;
    bool ended = false;
    std::function<void()> endHandler;
    std::function<void(const RuntimeError &)> errorReporter;
};

State &state()
{
    static State s;
    return s;
}

void defaultEnd()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(0);
}

void report(const RuntimeError &error)
{
    if (state().errorReporter) {
        state().errorReporter(error);
        return;
    }
    MsgBox(QStringLiteral("Run-time error '%1':\n\n%2").arg(error.number()).arg(error.description()),
           16);
    End();
}

} // namespace

void setTitle(const QString &title)
{
    state().title = title;
}

QString title()
{
    return state().title;
}

int MsgBox(const QString &prompt, int style, const QString &title)
{
    QMessageBox box(Form::activeForm());
    box.setWindowTitle(title.isEmpty() ? state().title : title);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);

    switch (style & 0x70) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break; // 128 and others request no icon
    }

    struct Choice { QMessageBox::StandardButton button; int result; };
    QList<Choice> choices;
    switch (style & 0x7) {
    case 1: choices = {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}}; break;
    case 2: choices = {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}}; break;
    case 3: choices = {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}, {QMessageBox::Cancel, 2}}; break;
    case 4: choices = {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}}; break;
    case 5: choices = {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, 2}}; break;
    default: choices = {{QMessageBox::Ok, 1}}; break;
    }
    QList<QAbstractButton *> buttons;
    for (const Choice &c : std::as_const(choices))
        buttons.append(box.addButton(c.button));

    const int defaultIndex = std::min<int>((style & 0x300) >> 8, int(buttons.size()) - 1);
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.at(defaultIndex)));

    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    if (chosen >= 0)
        return choices.at(chosen).result;
    // Closed without a button (Escape or the frame): the escape button's answer.
    return choices.size() == 1 ? choices.first().result : 2;
}

void End()
{
    state().ended = true;
    if (state().endHandler)
        state().endHandler();
    else
        defaultEnd();
}

bool hasEnded()
{
    return state().ended;
}

void dispatch(const std::function<void()> &procedure)
{
    if (state().ended)
        return;
    try {
        procedure();
    } catch (const RuntimeError &error) {
        report(error);
    } catch (const std::exception &error) {
        report(RuntimeError(Err::Internal, QString::fromLocal8Bit(error.what())));
    }
}

void setEndHandler(std::function<void()> handler)
{
    state().endHandler = std::move(handler);
}

void setErrorReporter(std::function<void(const RuntimeError &)> reporter)
{
    state().errorReporter = std::move(reporter);
}

void resetForTests()
{
    state().ended = false;
}

std::optional<QString> displayProblem()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(QLatin1Char(':'), 0, 0);
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const bool wantsXcb = platform == QLatin1String("xcb")
            || (platform.isEmpty() && !display.isEmpty());
    const bool wantsWayland = platform == QLatin1String("wayland")
            || (platform.isEmpty() && display.isEmpty() && !wayland.isEmpty());
    if (!platform.isEmpty() && !wantsXcb && !wantsWayland)
        return std::nullopt; // a platform without a display server, chosen on purpose
    if (!wantsXcb && !wantsWayland)
        return QStringLiteral("no display to open (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    if (wantsXcb) {
        if (display.isEmpty())
            return QStringLiteral("no display to open (DISPLAY is not set)");
#if QUORVEL_HAVE_XCB
        xcb_connection_t *connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        const bool failed = xcb_connection_has_error(connection) != 0;
        xcb_disconnect(connection);
        if (failed)
            return QStringLiteral("cannot open display \"%1\"").arg(display);
#endif
        return std::nullopt;
    }
    QString socket = wayland.isEmpty() ? QStringLiteral("wayland-0") : wayland;
    if (!QFileInfo(socket).isAbsolute())
        socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + socket;
    if (!QFileInfo::exists(socket))
        return QStringLiteral("cannot open Wayland display \"%1\"").arg(wayland);
#endif
    return std::nullopt;
}

namespace {
const char *g_programName = "program";
QtMessageHandler g_previousHandler = nullptr;

void fatalHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        const QString line = message.section(QLatin1Char('\n'), 0, 0).trimmed();
        std::fprintf(stderr, "%s: %s\n", g_programName, qPrintable(line));
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}
} // namespace

void installFatalHandler(const char *programName)
{
    g_programName = programName;
    g_previousHandler = qInstallMessageHandler(fatalHandler);
}

} // namespace Runtime

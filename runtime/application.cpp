// Title, message box, End, the dispatcher, and the checks made before the toolkit starts.
#include "application.h"

#include "form.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>

#if QUORVEL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace Runtime {

namespace {

struct State
{
    QString title;
    bool ended = false;
    int status = 0;
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
    // Leaves every loop, a modal window's as well. Before the event loop has started there
    // is none to leave: the start-up sees hasEnded() and does not start it.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(state().status);
}

void report(const RuntimeError &error)
{
    // A failure never looks like success: whatever reports it, the program ends with status 1.
    state().status = 1;
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

int exitStatus()
{
    return state().status;
}

int runMainForm(Form &form)
{
    form.load();
    if (state().ended)
        return state().status; // the load step ended the program: no window, no loop
    form.show();
    const int status = QApplication::exec();
    return state().ended ? state().status : status;
}

void setDefaultIcon(const QIcon &icon)
{
    QApplication::setWindowIcon(icon);
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
    state().status = 0;
}

namespace {

#if QUORVEL_HAVE_XCB
// What an X display told about itself, or that it never answered.
struct XAnswer
{
    bool answered = false;
    bool connected = false;
    int screen = 0;
    int screens = 0;
    int depth = 0;
};

XAnswer askX(const QByteArray &display, int timeoutMs)
{
    // Connecting can wait forever on a display that takes the connection and never answers,
    // so it happens on a thread of its own that is left behind if it does not come back.
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        XAnswer answer;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, display] {
        XAnswer a;
        a.answered = true;
        int screen = 0;
        xcb_connection_t *connection = xcb_connect(display.constData(), &screen);
        const int error = xcb_connection_has_error(connection);
        a.connected = error == 0 || error == XCB_CONN_CLOSED_INVALID_SCREEN;
        a.screen = screen;
        if (error == 0) {
            xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
            a.screens = it.rem;
            for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i) {
                if (i == screen)
                    a.depth = it.data->root_depth;
            }
        }
        xcb_disconnect(connection);
        std::lock_guard lock(shared->mutex);
        shared->answer = a;
        shared->finished = true;
        shared->done.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    shared->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return shared->finished; });
    return shared->finished ? shared->answer : XAnswer{};
}
#endif

// The fewest bits of colour a display needs for the pictures to show as they are.
constexpr int kLeastDepth = 15;

} // namespace

std::optional<QString> displayProblem(int timeoutMs)
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
        const XAnswer x = askX(display.toLocal8Bit(), timeoutMs);
        if (!x.answered)
            return QStringLiteral("the display \"%1\" does not answer").arg(display);
        if (!x.connected)
            return QStringLiteral("cannot open display \"%1\"").arg(display);
        if (x.screen >= x.screens)
            return QStringLiteral("the display \"%1\" has no screen %2").arg(display).arg(x.screen);
        if (x.depth < kLeastDepth)
            return QStringLiteral("the display \"%1\" shows %2-bit colour; Quorvel needs %3-bit colour or more")
                    .arg(display).arg(x.depth).arg(kLeastDepth);
#else
        Q_UNUSED(timeoutMs);
#endif
        return std::nullopt;
    }
    QString socket = wayland.isEmpty() ? QStringLiteral("wayland-0") : wayland;
    if (!QFileInfo(socket).isAbsolute())
        socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + socket;
    if (!QFileInfo::exists(socket))
        return QStringLiteral("cannot open Wayland display \"%1\"").arg(wayland);
#else
    Q_UNUSED(timeoutMs);
#endif
    return std::nullopt;
}

namespace {
const char *g_programName = "program";
bool g_starting = true;
QList<std::tuple<QtMsgType, QString, QString>> g_heldBack; // type, category, message

void say(const QString &line)
{
    std::fprintf(stderr, "%s: %s\n", g_programName, qPrintable(line));
    std::fflush(stderr);
}

// The first line of a toolkit message, with what it says in words a user can act on.
QString inWords(const QString &message)
{
    if (message.contains(QLatin1String("no Qt platform plugin could be initialized"))) {
        const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(QLatin1Char(':'), 0, 0);
        return QStringLiteral("cannot start on the display platform \"%1\"")
                .arg(platform.isEmpty() ? QStringLiteral("xcb") : platform);
    }
    if (message.startsWith(QLatin1String("The X11 connection broke")))
        return QStringLiteral("lost the connection to the display (did the X server end?)");
    return message.section(QLatin1Char('\n'), 0, 0).trimmed();
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        say(inWords(message));
        std::_Exit(1);
    }
    if (g_starting) {
        g_heldBack.append({type, QString::fromLatin1(context.category ? context.category : ""), message});
        return;
    }
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    say(inWords(message));
}
} // namespace

void installMessageHandler(const char *programName)
{
    g_programName = programName;
    g_starting = true;
    qInstallMessageHandler(messageHandler);
}

namespace {
#if QUORVEL_HAVE_XCB
// Another client destroying one of the program's windows leaves nothing to show or to close:
// the program says so and ends, rather than living on with no window.
class WindowDestroyedFilter final : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
            return false;
        const auto *destroyed = static_cast<const xcb_destroy_notify_event_t *>(message);
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *form = qobject_cast<Form *>(w);
            if (form && form->internalWinId() == WId(destroyed->window) && form->isVisible()) {
                say(QStringLiteral("the window \"%1\" was destroyed by another program").arg(form->windowTitle()));
                std::_Exit(1);
            }
        }
        return false;
    }
};
#endif
} // namespace

void toolkitStarted()
{
#if QUORVEL_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        static WindowDestroyedFilter filter;
        qApp->installNativeEventFilter(&filter);
    }
#endif
    g_starting = false;
    const auto held = std::exchange(g_heldBack, {});
    for (const auto &[type, category, message] : held) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            say(inWords(message));
    }
}

} // namespace Runtime

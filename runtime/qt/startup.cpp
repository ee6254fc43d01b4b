// Start-up on Qt: the display checked before the toolkit starts, the toolkit's messages said
// in one line each, and the toolkit started with the program's name only.
#include "runtime/qt/qtbackend.h"

#include "runtime/qt/fonts.h"
#include "runtime/qt/look.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QFileInfo>
#include <QWidget>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <tuple>
#include <utility>

#if QUORVEL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace Runtime::QtUi {

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

// The connection the display check opened, kept until the toolkit has its own: closing the
// only client of an X server resets the server, and a connection opened meanwhile fails.
xcb_connection_t *g_checkConnection = nullptr;

void closeCheckConnection()
{
    if (g_checkConnection)
        xcb_disconnect(std::exchange(g_checkConnection, nullptr));
}

// Connecting can wait forever on a display that takes the connection and never answers, so it
// happens on a thread of its own that is left behind if it does not come back (and then closes
// its connection itself); `meanwhile` runs while the display answers.
XAnswer askX(const QByteArray &display, int timeoutMs, const std::function<void()> &meanwhile)
{
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        XAnswer answer;
        xcb_connection_t *connection = nullptr;
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
        std::lock_guard lock(shared->mutex);
        if (shared->abandoned || error != 0) {
            xcb_disconnect(connection);
            connection = nullptr;
        }
        shared->answer = a;
        shared->connection = connection;
        shared->finished = true;
        shared->done.notify_all();
    }).detach();
    if (meanwhile)
        meanwhile();
    std::unique_lock lock(shared->mutex);
    shared->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return shared->finished; });
    if (!shared->finished) {
        shared->abandoned = true;
        return XAnswer{};
    }
    closeCheckConnection(); // an earlier check's
    g_checkConnection = std::exchange(shared->connection, nullptr);
    return shared->answer;
}
#endif

// The fewest bits of colour a display needs for the pictures to show as they are.
constexpr int kLeastDepth = 15;
// How long a display gets to answer before the program gives up on it.
constexpr int kDisplayTimeoutMs = 4000;

} // namespace

std::optional<QString> displayProblem(int timeoutMs, const std::function<void()> &meanwhile)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(QLatin1Char(':'), 0, 0);
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const bool wantsXcb = platform == QLatin1String("xcb")
            || (platform.isEmpty() && !display.isEmpty());
    const bool wantsWayland = platform == QLatin1String("wayland")
            || (platform.isEmpty() && display.isEmpty() && !wayland.isEmpty());
    if (!platform.isEmpty() && !wantsXcb && !wantsWayland) {
        if (meanwhile)
            meanwhile();
        return std::nullopt; // a platform without a display server, chosen on purpose
    }
    if (!wantsXcb && !wantsWayland)
        return QStringLiteral("no display to open (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    if (wantsXcb) {
        if (display.isEmpty())
            return QStringLiteral("no display to open (DISPLAY is not set)");
#if QUORVEL_HAVE_XCB
        const XAnswer x = askX(display.toLocal8Bit(), timeoutMs, meanwhile);
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
        if (meanwhile)
            meanwhile();
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
    if (meanwhile)
        meanwhile();
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
    // The toolkit ends the program after this; with the display gone there is nothing left
    // to tidy up, and the line above says why.
    if (message.startsWith(QLatin1String("The X11 connection broke")))
        std::_Exit(1);
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
// Another client destroying one of the program's windows (a form's, or a message box's) leaves
// nothing to show or to close, and a modal one would keep the others from input for good: the
// program says so and ends, rather than living on without it.
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
            // A window or dialog of the program's, not a menu or tool tip.
            const bool framed = w->windowType() == Qt::Window || w->windowType() == Qt::Dialog;
            if (framed && w->internalWinId() == WId(destroyed->window) && w->isVisible()) {
                say(QStringLiteral("the window \"%1\" was destroyed by another program")
                            .arg(w->windowTitle().simplified()));
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


int run(char **argv, const char *programName, const std::function<int()> &program)
{
    installMessageHandler(programName);
    // The look, fonts included, is made ready while the display answers.
    if (const auto problem = displayProblem(kDisplayTimeoutMs, [] { Look::prepare(); })) {
#if QUORVEL_HAVE_XCB
        closeCheckConnection();
#endif
        say(*problem);
        return 1;
    }
    if (const auto missing = Fonts::missingFace())
        say(*missing);
    // The program takes no command line: the toolkit is given the program's name only.
    char *name = argv && argv[0] ? argv[0] : const_cast<char *>(programName);
    int toolkitArgc = 1;
    char *toolkitArgv[] = {name, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
#if QUORVEL_HAVE_XCB
    closeCheckConnection(); // the toolkit holds its own now
#endif
    toolkitStarted();
    // The name and desktop entry let a desktop match the window to its menu entry. The
    // display name stays unset: the toolkit would append it to every window title.
    QCoreApplication::setApplicationName(QString::fromLatin1(programName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(programName));
    QtBackend backend;
    return program();
}

} // namespace Runtime::QtUi

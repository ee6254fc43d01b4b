// A private X server for the tests that need a real one (Xvfb, on a display it picks itself),
// with an ordinary window manager (openbox) when asked, and xdotool to drive it from outside.
#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QThread>

#include <cstdio>

class XServer
{
public:
    // `screen` as Xvfb takes it: "1024x768x24". The server stays as it is when its last client
    // leaves, as a desktop's does, unless `resets`: the tools the tests run come and go, and a
    // reset meanwhile would refuse the program's connection.
    explicit XServer(const QString &screen = QStringLiteral("1024x768x24"), bool windowManager = true,
                     bool resets = false)
    {
        QElapsedTimer clock;
        clock.start();
        m_server.setProgram(QStringLiteral("Xvfb"));
        QStringList arguments{QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                              QStringLiteral("0"), screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")};
        if (!resets)
            arguments << QStringLiteral("-noreset");
        m_server.setArguments(arguments);
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start();
        if (!m_server.waitForStarted(5000))
            return;
        QByteArray number;
        const QDeadlineTimer deadline(10000);
        while (!number.contains('\n') && !deadline.hasExpired()) {
            m_server.waitForReadyRead(100);
            number += m_server.readAllStandardOutput();
        }
        if (!number.contains('\n'))
            return;
        m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        if (windowManager && !startWindowManager())
            m_display.clear();
        std::fprintf(stderr, "X server %s (%s%s) ready in %lld ms\n", qPrintable(m_display), qPrintable(screen),
                     windowManager ? ", openbox" : "", static_cast<long long>(clock.elapsed()));
    }

    ~XServer()
    {
        for (QProcess *p : {&m_windowManager, &m_server}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(3000))
                    p->kill();
                p->waitForFinished(1000);
            }
        }
    }

    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    bool isReady() const { return !m_display.isEmpty(); }
    QString display() const { return m_display; }

    // The environment a program needs to open its windows here, and nothing of the desktop's.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env;
        for (const char *name : {"PATH", "XDG_RUNTIME_DIR", "HOME", "LANG"}) {
            if (qEnvironmentVariableIsSet(name))
                env.insert(QString::fromLatin1(name), qEnvironmentVariable(name));
        }
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        return env;
    }

    // Runs a command against this display; its standard output, or a null text when it failed.
    QString run(const QString &program, const QStringList &arguments) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, arguments);
        if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return QString();
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        return out.isNull() ? QStringLiteral("") : out;
    }
    QString xdotool(const QStringList &arguments) const { return run(QStringLiteral("xdotool"), arguments); }

    // The first visible window whose title matches `title` exactly, or 0 (after a generous
    // wait: a program built with the sanitizers starts slowly on a busy machine).
    qulonglong findWindow(const QString &title, int timeoutMs = 30000) const
    {
        const QDeadlineTimer deadline(timeoutMs);
        const QString pattern = QStringLiteral("^%1$").arg(QRegularExpression::escape(title));
        do {
            const QString ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--name"), pattern});
            if (!ids.trimmed().isEmpty())
                return ids.split(QLatin1Char('\n')).first().toULongLong();
            QThread::msleep(20);
        } while (!deadline.hasExpired());
        return 0;
    }

    // A property of the root window as xprop shows it.
    QString rootProperty(const QString &name) const
    {
        return run(QStringLiteral("xprop"), {QStringLiteral("-root"), name});
    }

    // The window the window manager holds active, or 0.
    qulonglong activeWindow() const
    {
        const QString active = rootProperty(QStringLiteral("_NET_ACTIVE_WINDOW"));
        static const QRegularExpression id(QStringLiteral("window id # (0x[0-9a-fA-F]+)"));
        return id.match(active).captured(1).toULongLong(nullptr, 16);
    }

    // A window's client area on the screen and its frame's extents (left, right, top, bottom).
    struct Placement
    {
        int x = 0, y = 0, width = 0, height = 0;
        int left = 0, right = 0, top = 0, bottom = 0;
    };
    Placement placement(qulonglong window) const
    {
        Placement p;
        const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
        const auto field = [&](const char *name) {
            const QRegularExpression re(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(name)));
            return re.match(info).captured(1).toInt();
        };
        p.x = field("Absolute upper-left X");
        p.y = field("Absolute upper-left Y");
        p.width = field("Width");
        p.height = field("Height");
        const QString extents = run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                                             QStringLiteral("_NET_FRAME_EXTENTS")});
        const QStringList numbers = extents.section(QLatin1Char('='), 1).split(QLatin1Char(','));
        if (numbers.size() == 4) {
            p.left = numbers[0].trimmed().toInt();
            p.right = numbers[1].trimmed().toInt();
            p.top = numbers[2].trimmed().toInt();
            p.bottom = numbers[3].trimmed().toInt();
        }
        return p;
    }

private:
    // Set: xprop shows it with its type, "NAME(TYPE)..."; unset, "not found" or, before anyone
    // named it, "no such atom".
    bool rootHas(const char *property) const
    {
        const QString name = QString::fromLatin1(property);
        return rootProperty(name).startsWith(name + QLatin1Char('('));
    }

    bool startWindowManager()
    {
        QProcessEnvironment env = environment();
        m_windowManager.setProcessEnvironment(env);
        m_windowManager.setProgram(QStringLiteral("openbox"));
        m_windowManager.setArguments({QStringLiteral("--sm-disable")});
        m_windowManager.setStandardOutputFile(QProcess::nullDevice());
        m_windowManager.setStandardErrorFile(QProcess::nullDevice());
        m_windowManager.start();
        if (!m_windowManager.waitForStarted(5000))
            return false;
        // Running once it has claimed the screen, named itself on the root window and
        // listed the windows it manages.
        const QDeadlineTimer deadline(10000);
        do {
            // Named early, openbox still reads its settings and passes over windows mapped
            // meanwhile; it lists the windows it manages once it takes requests.
            if (rootHas("_NET_SUPPORTING_WM_CHECK") && rootHas("_NET_CLIENT_LIST_STACKING"))
                return true;
            QThread::msleep(20);
        } while (!deadline.hasExpired());
        return false;
    }

    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
};

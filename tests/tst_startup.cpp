// The program itself, started as a user starts it: where its window opens on small screens,
// and how it ends when it cannot start or loses its window or display.
#include "xserver.h"

#include "runtime/qt/qtbackend.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The program's standard error once it has ended, and how it ended.
struct Outcome
{
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QString errors;
};

QProcessEnvironment bareEnvironment()
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    return env;
}

Outcome runToEnd(QProcess &program, int timeoutMs = 20000)
{
    Outcome o;
    o.finished = program.state() == QProcess::NotRunning || program.waitForFinished(timeoutMs);
    if (!o.finished) {
        program.kill();
        program.waitForFinished(2000);
    }
    o.status = program.exitStatus();
    o.code = program.exitCode();
    o.errors = QString::fromLocal8Bit(program.readAllStandardError());
    return o;
}

// One line on standard error, starting with the program's name, and status 1; no abort.
#define QUORVEL_VERIFY_ONE_LINE_FAILURE(outcome, words) \
    do { \
        QVERIFY2((outcome).finished, "the program did not end"); \
        QCOMPARE((outcome).status, QProcess::NormalExit); \
        QCOMPARE((outcome).code, 1); \
        QVERIFY2((outcome).errors.count(QLatin1Char('\n')) == 1, qPrintable((outcome).errors)); \
        QVERIFY2((outcome).errors.startsWith(QLatin1String("quorvel: ")), qPrintable((outcome).errors)); \
        QVERIFY2((outcome).errors.contains(QLatin1String(words)), qPrintable((outcome).errors)); \
    } while (false)

const QString kCaption = QStringLiteral("Quorvel") + QString(29, QLatin1Char(' ')) + QStringLiteral("version1.1");

// The program's main window on `server`, or 0 with what the program said in `why`.
qulonglong programWindow(const XServer &server, QProcess &program, QString *why)
{
    const qulonglong window = server.findWindow(kCaption);
    if (!window) {
        const bool ended = program.state() == QProcess::NotRunning || program.waitForFinished(0);
        *why = QStringLiteral("no window; the program %1: %2")
                   .arg(ended ? QStringLiteral("ended") : QStringLiteral("runs"),
                        QString::fromLocal8Bit(program.readAllStandardError()));
    }
    return window;
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void failsWithOneLine_data();
    void failsWithOneLine();
    void displayThatNeverAnswers();
    void windowDestroyedByAnotherProgram_data();
    void windowDestroyedByAnotherProgram();
    void displayGoesAway();
    void displayKeptFromResettingWhileStarting();
    void smallScreens_data();
    void smallScreens();
    void missingFontIsNamed();
};

void tst_Startup::failsWithOneLine_data()
{
    QTest::addColumn<QString>("screen"); // an X server of the test's own, or none
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("words");
    QTest::newRow("no display at all") << "" << QStringList{} << QStringList{} << "no display";
    QTest::newRow("a display nobody serves") << "" << QStringList{"DISPLAY=:4243"} << QStringList{}
                                             << "cannot open display";
    QTest::newRow("xcb chosen, no display") << "" << QStringList{"QT_QPA_PLATFORM=xcb"} << QStringList{}
                                            << "DISPLAY is not set";
    QTest::newRow("a platform on the command line is ignored") << "" << QStringList{}
        << QStringList{"-platform", "offscreen"} << "no display";
    QTest::newRow("a platform that does not exist") << "" << QStringList{"QT_QPA_PLATFORM=nosuchplatform"}
        << QStringList{} << "cannot start on the display platform \"nosuchplatform\"";
    QTest::newRow("a screen the display does not have") << "640x480x24" << QStringList{"SCREEN=5"}
        << QStringList{} << "has no screen 5";
    QTest::newRow("an 8-bit display") << "640x480x8" << QStringList{} << QStringList{}
                                      << "8-bit colour; Quorvel needs 15-bit colour or more";
}

void tst_Startup::failsWithOneLine()
{
    QFETCH(QString, screen);
    QFETCH(QStringList, environment);
    QFETCH(QStringList, arguments);
    QFETCH(QString, words);
    std::unique_ptr<XServer> server;
    QProcessEnvironment env = bareEnvironment();
    if (!screen.isEmpty()) {
        server = std::make_unique<XServer>(screen, false);
        QVERIFY(server->isReady());
        env = server->environment();
    }
    for (const QString &pair : std::as_const(environment)) {
        if (pair.startsWith(QLatin1String("SCREEN=")))
            env.insert(QStringLiteral("DISPLAY"), server->display() + QLatin1Char('.') + pair.section('=', 1));
        else
            env.insert(pair.section('=', 0, 0), pair.section('=', 1));
    }
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QUORVEL_PROGRAM), arguments);
    const Outcome o = runToEnd(program);
    QUORVEL_VERIFY_ONE_LINE_FAILURE(o, qPrintable(words));
}

void tst_Startup::displayThatNeverAnswers()
{
    // A display that takes the connection and then says nothing: the program gives up after a
    // few seconds instead of waiting for ever.
    QTcpServer silent;
    int display = 0;
    for (display = 60; display < 100 && !silent.listen(QHostAddress::LocalHost, quint16(6000 + display)); ++display) { }
    QVERIFY(silent.isListening());
    QProcessEnvironment env = bareEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral("127.0.0.1:%1").arg(display));
    QProcess program;
    program.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(QUORVEL_PROGRAM), QStringList());
    QVERIFY(program.waitForStarted());
    // The connection is taken, and never answered, while the program waits.
    const QDeadlineTimer deadline(20000);
    while (program.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        if (silent.hasPendingConnections())
            silent.nextPendingConnection()->setParent(&silent); // held open, never read
        QTest::qWait(50);
    }
    const Outcome o = runToEnd(program, 1000);
    QUORVEL_VERIFY_ONE_LINE_FAILURE(o, "does not answer");
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
}

void tst_Startup::windowDestroyedByAnotherProgram_data()
{
    // The window, and where a click on the main window's client area opens it (none: the main
    // window itself).
    QTest::addColumn<QString>("title");
    QTest::addColumn<QPoint>("opener");
    QTest::newRow("the main window") << kCaption << QPoint();
    QTest::newRow("About, over it") << QStringLiteral("About...") << QPoint(139 + 45, 321 + 17);
    QTest::newRow("the oval button's message box") << QStringLiteral("Quorvel") << QPoint(7 + 145 + 82, 121 + 129 + 25);
}

void tst_Startup::windowDestroyedByAnotherProgram()
{
    QFETCH(QString, title);
    QFETCH(QPoint, opener);
    XServer server(QStringLiteral("1024x768x24"), false);
    QVERIFY(server.isReady());
    QProcess program;
    program.setProcessEnvironment(server.environment());
    program.start(QStringLiteral(QUORVEL_PROGRAM), QStringList());
    QString why;
    const qulonglong main = programWindow(server, program, &why);
    QVERIFY2(main, qPrintable(why));
    if (!opener.isNull()) {
        const XServer::Placement p = server.placement(main);
        server.xdotool({QStringLiteral("mousemove"), QString::number(p.x + opener.x()),
                        QString::number(p.y + opener.y()), QStringLiteral("click"), QStringLiteral("1")});
    }
    const qulonglong window = server.findWindow(title);
    QVERIFY2(window, qPrintable(title));
    server.xdotool({QStringLiteral("windowclose"), QString::number(window)}); // destroys it
    const Outcome o = runToEnd(program, 10000);
    QUORVEL_VERIFY_ONE_LINE_FAILURE(o, "was destroyed by another program");
    QVERIFY2(o.errors.contains(QLatin1Char('"') + title.simplified() + QLatin1Char('"')), qPrintable(o.errors));
}

void tst_Startup::displayGoesAway()
{
    auto server = std::make_unique<XServer>(QStringLiteral("1024x768x24"), false);
    QVERIFY(server->isReady());
    QProcess program;
    program.setProcessEnvironment(server->environment());
    program.start(QStringLiteral(QUORVEL_PROGRAM), QStringList());
    QString why;
    QVERIFY2(programWindow(*server, program, &why), qPrintable(why));
    server.reset();
    const Outcome o = runToEnd(program, 10000);
    QUORVEL_VERIFY_ONE_LINE_FAILURE(o, "lost the connection to the display");
}

void tst_Startup::displayKeptFromResettingWhileStarting()
{
    // An X server resets when its last client leaves, and the connections that arrive while it
    // does fail: on a display it is the first client of, the program keeps the connection that
    // checked the display open until the toolkit has its own.
    XServer server(QStringLiteral("640x480x24"), false, true);
    QVERIFY(server.isReady());
    const QByteArray saved[2] = {qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
    qputenv("DISPLAY", server.display().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    const auto problem = Runtime::QtUi::displayProblem();
    qputenv("DISPLAY", saved[0]);
    qputenv("QT_QPA_PLATFORM", saved[1]);
    QVERIFY2(!problem, qPrintable(problem.value_or(QString())));
    // A client that comes and goes: were it the last to leave, the server would reset and take
    // the root window's properties with it.
    QVERIFY(!server.run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-f"), QStringLiteral("QUORVEL_PROBE"),
                                                QStringLiteral("8s"), QStringLiteral("-set"), QStringLiteral("QUORVEL_PROBE"),
                                                QStringLiteral("kept")}).isNull());
    QTest::qWait(200); // a reset would be under way
    const QString probe = server.rootProperty(QStringLiteral("QUORVEL_PROBE"));
    QVERIFY2(probe.contains(QLatin1String("kept")), qPrintable(probe));
}

void tst_Startup::smallScreens_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<bool>("fits"); // else the frame's top-left goes to the screen's
    QTest::newRow("1024 x 768: the stored place") << "1024x768x24" << true;
    QTest::newRow("400 x 400: moved the least onto the screen") << "400x400x24" << true;
    QTest::newRow("320 x 240: the frame at the top-left corner") << "320x240x24" << false;
}

void tst_Startup::smallScreens()
{
    QFETCH(QString, screen);
    QFETCH(bool, fits);
    XServer server(screen, true);
    QVERIFY(server.isReady());
    const QStringList size = screen.split(QLatin1Char('x'));
    const int screenWidth = size[0].toInt(), screenHeight = size[1].toInt();
    QProcess program;
    program.setProcessEnvironment(server.environment());
    program.start(QStringLiteral(QUORVEL_PROGRAM), QStringList());
    const auto stop = qScopeGuard([&] { program.kill(); program.waitForFinished(); });
    QString why;
    const qulonglong window = programWindow(server, program, &why);
    QVERIFY2(window, qPrintable(why));
    XServer::Placement p;
    // Placed once the window manager has framed it.
    QTRY_VERIFY_WITH_TIMEOUT((p = server.placement(window)).top > 0 && p.width == 335, 5000);
    QTest::qWait(200);
    p = server.placement(window);
    QCOMPARE(p.width, 335);
    QCOMPARE(p.height, 365);
    const int frameLeft = p.x - p.left, frameTop = p.y - p.top;
    const int frameRight = p.x + p.width + p.right, frameBottom = p.y + p.height + p.bottom;
    if (!fits) {
        QCOMPARE(frameLeft, 0);
        QCOMPARE(frameTop, 0);
        return;
    }
    QVERIFY(frameLeft >= 0 && frameTop >= 0 && frameRight <= screenWidth && frameBottom <= screenHeight);
    // The stored place, or as near to it as the screen allows.
    const int expectedX = std::min(156, screenWidth - p.width - p.right);
    const int expectedY = std::min(102, screenHeight - p.height - p.bottom);
    QCOMPARE(QPoint(p.x, p.y), QPoint(expectedX, expectedY));
}

void tst_Startup::missingFontIsNamed()
{
    // With no fonts the program still starts, and says in one line what to install.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile config(dir.filePath(QStringLiteral("fonts.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                 "<fontconfig><cachedir>" + dir.path().toUtf8() + "</cachedir></fontconfig>\n");
    config.close();
    for (const bool fontsThere : {false, true}) {
        QProcessEnvironment env = bareEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!fontsThere)
            env.insert(QStringLiteral("FONTCONFIG_FILE"), config.fileName());
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QUORVEL_PROGRAM), QStringList());
        QVERIFY(program.waitForStarted());
        QByteArray errors;
        (void)QTest::qWaitFor([&] {
            errors += program.readAllStandardError();
            return errors.contains('\n');
        }, fontsThere ? 1500 : 10000);
        const bool running = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished();
        QVERIFY2(running, errors.constData());
        if (fontsThere) {
            QVERIFY2(!errors.contains("font"), errors.constData());
        } else {
            QVERIFY2(errors.count('\n') == 1, errors.constData());
            QVERIFY2(errors.startsWith("quorvel: the font \"Liberation Sans\" is not installed"), errors.constData());
            QVERIFY(errors.contains("fonts-liberation2"));
        }
    }
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"

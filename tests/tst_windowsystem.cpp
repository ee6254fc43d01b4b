// The program on a real X server with an ordinary window manager, driven from outside as a
// user drives it: windows minimised, restored and unmapped under a modal window or a press,
// and the icon the window list shows.
#include "mainwindow.h"
#include "xserver.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTimer>

#include <memory>

using Runtime::PictureBox;

namespace {
XServer *g_server = nullptr;

const QPoint kBall(12, 12);

QString id(QWidget *w)
{
    return QString::number(w->winId());
}
} // namespace

class tst_WindowSystem : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modalWindowSurvivesMinimising_data();
    void modalWindowSurvivesMinimising();
    void pressForgottenWhenTheWindowGoes_data();
    void pressForgottenWhenTheWindowGoes();
    void windowsCarryTheProgramIcon();

private:
    // Real input through the X server: the pointer to a place of a widget or control, a click,
    // a key.
    void moveTo(On on, QPoint pos);
    void click(On on, QPoint pos);
    void key(const QString &keys);
    // Carries out one step of a row: "minimise About", "restore main", ...; "About" is the
    // modal window, whichever it is.
    void act(const QString &step, QWidget *about);
    bool chk1Toggles();
    QWidget *mainWindow() const { return windowOf(*m_form); }

    MainWindow m_form;
    QElapsedTimer m_clock;
};

void tst_WindowSystem::init()
{
    m_clock.start();
    QVERIFY(g_server && g_server->isReady());
    QVERIFY(m_form.open());
    QVERIFY(g_server->findWindow(mainWindow()->windowTitle()));
    QTest::qWait(100); // the window manager has framed it
}

void tst_WindowSystem::cleanup()
{
    g_server->xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    m_form.reset();
    std::fprintf(stderr, "  %s took %lld ms\n", QTest::currentDataTag() ? QTest::currentDataTag() : QTest::currentTestFunction(), static_cast<long long>(m_clock.elapsed()));
}

void tst_WindowSystem::moveTo(On on, QPoint pos)
{
    QVERIFY(on.widget);
    const QPoint at = on.widget->mapToGlobal(pos);
    g_server->xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    QTest::qWait(30);
}

void tst_WindowSystem::click(On on, QPoint pos)
{
    moveTo(on, pos);
    g_server->xdotool({QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(30);
}

void tst_WindowSystem::key(const QString &keys)
{
    g_server->xdotool({QStringLiteral("key"), keys});
    QTest::qWait(30);
}

void tst_WindowSystem::act(const QString &step, QWidget *about)
{
    QWidget *window = step.endsWith(QLatin1String("About")) ? about : mainWindow();
    if (step.startsWith(QLatin1String("minimise"))) {
        // Some window managers take the window it belongs to along, or stay iconic. A request
        // to activate a window of the group that the window manager carries out after this one
        // restores them; asked again, they stay minimised.
        QTRY_VERIFY_WITH_TIMEOUT(window->windowHandle()->isExposed(), 10000);
        for (int attempt = 0; attempt < 3 && window->windowHandle()->isExposed(); ++attempt) {
            g_server->xdotool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), id(window)});
            (void)QTest::qWaitFor([&] { return !window->windowHandle()->isExposed(); }, 3000);
        }
        QVERIFY(!window->windowHandle()->isExposed());
    } else {
        // Not waiting for it to become active: a window manager may activate the modal window
        // instead of the window it blocks.
        g_server->xdotool({QStringLiteral("windowactivate"), id(window)});
        QTRY_VERIFY_WITH_TIMEOUT(window->windowHandle()->isExposed(), 10000);
    }
}

bool tst_WindowSystem::chk1Toggles()
{
    const bool before = m_form->ChkState;
    click(m_form->Chk1, kBall);
    return QTest::qWaitFor([&] { return m_form->ChkState != before; }, 400);
}

void tst_WindowSystem::modalWindowSurvivesMinimising_data()
{
    QTest::addColumn<bool>("messageBox");
    QTest::addColumn<QStringList>("steps");
    // A window manager may take the other window along when it minimises one of them.
    for (bool box : {false, true}) {
        const char *which = box ? "message box" : "About window";
        QTest::addRow("%s minimised and restored", which)
                << box << QStringList{"minimise About", "restore About"};
        QTest::addRow("%s: the main window minimised and restored", which)
                << box << QStringList{"minimise main", "restore main", "restore About"};
        QTest::addRow("%s minimised, the main window restored", which)
                << box << QStringList{"minimise About", "restore main", "restore About"};
        QTest::addRow("%s: the main window minimised, it restored", which)
                << box << QStringList{"minimise main", "restore About", "restore main", "restore About"};
    }
}

void tst_WindowSystem::modalWindowSurvivesMinimising()
{
    QFETCH(bool, messageBox);
    QFETCH(QStringList, steps);
    PictureBox *opener = messageBox ? m_form->pic1 : m_form->Picture7;
    const QPoint inside = messageBox ? QPoint(80, 25) : QPoint(45, 19);
    bool activated = false, stillModal = false, mainStayedBlocked = false, closed = false, done = false;
    onNextModal([&](QWidget *modal) {
        // Active for the window manager first: its activation of the new window would restore
        // a window minimised before it.
        activated = QTest::qWaitFor([&] { return g_server->activeWindow() == modal->winId(); }, 10000);
        if (!activated) {
            done = true;
            return;
        }
        for (const QString &step : std::as_const(steps))
            act(step, modal);
        // Back to the event loop first: a modal show that took the minimising for a closing
        // returns now.
        QTimer::singleShot(200, this, [&, modal] {
            stillModal = QApplication::activeModalWidget() == modal && modal->isVisible();
            mainStayedBlocked = !chk1Toggles();
            // Escape still closes it, from the keyboard. Were it not active, the key would go
            // elsewhere and `closed` would say so.
            g_server->xdotool({QStringLiteral("windowactivate"), id(modal)});
            (void)QTest::qWaitFor([&] { return QApplication::activeWindow() == modal; }, 2000);
            key(QStringLiteral("Escape"));
            closed = QTest::qWaitFor([&] { return !modal->isVisible(); }, 2000);
            done = true;
        });
    });
    click(opener, inside);
    QTRY_VERIFY_WITH_TIMEOUT(done, 60000); // minimising is asked again while it does not stick
    QVERIFY(activated);
    QVERIFY(closed);
    QVERIFY(stillModal);
    QVERIFY(mainStayedBlocked);
    QVERIFY(!QApplication::activeModalWidget());
    // The main window answers again, and the same window opens again, modal as before; its
    // frame's close command closes it.
    QVERIFY(chk1Toggles());
    bool reopened = false;
    onNextModal([&](QWidget *modal) {
        reopened = modal->isVisible();
        g_server->xdotool({QStringLiteral("windowactivate"), id(modal)});
        QTRY_COMPARE(QApplication::activeWindow(), modal);
        key(QStringLiteral("alt+F4"));
        // Whether it closed is asserted below, once the modal show has returned.
        (void)QTest::qWaitFor([&] { return !modal->isVisible(); }, 2000);
    });
    click(opener, inside);
    QTRY_VERIFY(reopened);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(chk1Toggles());
}

void tst_WindowSystem::pressForgottenWhenTheWindowGoes_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("released"); // the stored picture it shows once let go
    QTest::addColumn<QString>("how");
    for (const char *how : {"minimised", "unmapped"}) {
        QTest::addRow("Exit, window %s", how) << "Picture4" << QPoint(45, 19) << "Picture8" << how;
        QTest::addRow("About, window %s", how) << "Picture7" << QPoint(45, 19) << "Picture5" << how;
        QTest::addRow("the oval, window %s", how) << "pic1" << QPoint(80, 25) << "pic3" << how;
        QTest::addRow("the pad's up key, window %s", how) << "Picture1" << QPoint(85, 15) << "ImageList1-1" << how;
    }
}

void tst_WindowSystem::pressForgottenWhenTheWindowGoes()
{
    QFETCH(QString, control);
    QFETCH(QPoint, at);
    QFETCH(QString, released);
    QFETCH(QString, how);
    auto *box = m_form->control<PictureBox>(control.toStdString());
    // Held apart from this frame: the watch may outlast a row that fails early.
    const auto modalOpened = std::make_shared<bool>(false);
    onNextModal([modalOpened](QWidget *modal) { *modalOpened = true; modal->close(); }, 20);
    moveTo(box, at);
    g_server->xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    QTRY_VERIFY(shownFace(box) != storedImage(released)); // pressed, or lit
    const QString window = id(mainWindow());
    if (how == QLatin1String("minimised")) {
        g_server->xdotool({QStringLiteral("windowminimize"), window});
    } else {
        g_server->xdotool({QStringLiteral("windowunmap"), window});
    }
    QTRY_VERIFY(!mainWindow()->windowHandle()->isExposed());
    g_server->xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    QTest::qWait(50);
    g_server->xdotool({how == QLatin1String("minimised") ? QStringLiteral("windowactivate") : QStringLiteral("windowmap"),
                       window});
    QTRY_VERIFY(mainWindow()->windowHandle()->isExposed());
    QTRY_COMPARE(shownFace(box), storedImage(released));
    QTest::qWait(100);
    QVERIFY(!m_form.application().hasEnded());
    QVERIFY(!*modalOpened);
    QCOMPARE(qs(m_form->Text2->text()), QString());
}

void tst_WindowSystem::windowsCarryTheProgramIcon()
{
    // What a task bar shows: the icon's 16 and 32 pixel images on every window.
    const auto iconSizes = [](QWidget *w) {
        const QString icon = g_server->run(QStringLiteral("xprop"), {QStringLiteral("-id"), id(w),
                                                                    QStringLiteral("_NET_WM_ICON")});
        QStringList sizes;
        static const QRegularExpression size(QStringLiteral("Icon \\((\\d+) x (\\d+)\\)"));
        for (auto it = size.globalMatch(icon); it.hasNext();) {
            const auto m = it.next();
            sizes << m.captured(1) + QLatin1Char('x') + m.captured(2);
        }
        sizes.sort();
        return sizes;
    };
    const QStringList expected{"16x16", "32x32"};
    QCOMPARE(iconSizes(mainWindow()), expected);
    QStringList about, box;
    onNextModal([&](QWidget *modal) {
        QTest::qWait(50);
        about = iconSizes(modal);
        modal->close();
    });
    click(m_form->Picture7, QPoint(45, 19));
    QTRY_VERIFY(!about.isEmpty());
    QCOMPARE(about, expected);
    onNextModal([&](QWidget *modal) {
        QTest::qWait(50);
        box = iconSizes(modal);
        modal->close();
    });
    click(m_form->pic1, QPoint(80, 25));
    QTRY_VERIFY(!box.isEmpty());
    QCOMPARE(box, expected);
}

int main(int argc, char *argv[])
{
    // The suite's own X server and window manager, before the toolkit connects to them.
    XServer server;
    if (!server.isReady()) {
        std::fprintf(stderr, "tst_windowsystem: cannot start Xvfb with openbox\n");
        return 1;
    }
    g_server = &server;
    qputenv("DISPLAY", server.display().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    Runtime::QtUi::Look::prepare();
    QApplication app(argc, argv);
    Runtime::QtUi::QtBackend backend;
    testBackend() = &backend;
    closeForgottenErrorBoxes();
    tst_WindowSystem tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_windowsystem.moc"

// The pointer storm through the shown main window (tests/storm.h), checked after every event:
// every run prints its seed; QUORVEL_MONKEY_SEED replays a run (scripts/test chooses and exports
// it), QUORVEL_MONKEY_EVENTS sets its length and QUORVEL_MONKEY_TRACE=n prints every event from
// the n-th on. The long memory soak of the same storm is a benchmark: bench/soak.
#include "mainwindow.h"
#include "storm.h"

#include <QScopeGuard>

#include <cstdio>

using Runtime::PictureBox;

class tst_Monkey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void pointerStorm();
    void pressWhoseReleaseNeverComes_data();
    void pressWhoseReleaseNeverComes();

private:
    std::function<void()> m_loud;
};

void tst_Monkey::initTestCase()
{
    m_loud = Storm::quietToolkitMessages();
}

void tst_Monkey::cleanupTestCase()
{
    if (m_loud)
        m_loud();
}

void tst_Monkey::pointerStorm()
{
    const quint64 s = Storm::seedFromEnvironment();
    const qint64 count = Storm::countFromEnvironment("QUORVEL_MONKEY_EVENTS", Storm::kDefaultEvents);
    qInfo("monkey: seed %llu, %lld events (replay with QUORVEL_MONKEY_SEED=%llu)",
          static_cast<unsigned long long>(s), static_cast<long long>(count),
          static_cast<unsigned long long>(s));
    Storm::Monkey monkey(s);
    const bool ok = monkey.run(count);
    qInfo("monkey: %s", qPrintable(monkey.summary()));
    if (!ok) // in full: the test log shortens long messages
        std::fprintf(stderr, "%s\n", qPrintable(monkey.problem()));
    QVERIFY2(ok, qPrintable(monkey.problem()));
    // The storm times its double-clicks itself; a run of this length makes a hundred or more. None
    // means its timing no longer reaches the toolkit, and the storm no longer tries what it says.
    if (count >= 20000)
        QVERIFY2(monkey.doubleClicks() > 0, "the storm made no double-click");
}

void tst_Monkey::pressWhoseReleaseNeverComes_data()
{
    QTest::addColumn<bool>("throughMenu");
    QTest::newRow("a text box's menu closed while the right button is held") << true;
    QTest::newRow("the About window opened while the right button is held") << false;
}

void tst_Monkey::pressWhoseReleaseNeverComes()
{
    // Found by the storm. After either of these the toolkit brings no release to any control
    // until every button is up, though it still brings presses: none may leave a face pressed.
    QFETCH(bool, throughMenu);
    MainWindow form;
    QVERIFY(form.open());
    Pointer pointer;
    pointer.setWindow(*form);
    const auto letGo = qScopeGuard([&] { pointer.releaseAll(); });
    PictureBox *exit = form->Picture4, *about = form->Picture7;
    const QPoint inside(40, 20);
    if (throughMenu) {
        pointer.move(QPoint(10, 10), form->Text2);
        pointer.press(Qt::RightButton, QPoint(10, 10), form->Text2);
        QVERIFY(QApplication::activePopupWidget());
        pointer.press(Qt::LeftButton, QPoint(3, 3)); // beside the menu: closes it
        pointer.release(Qt::LeftButton, QPoint(3, 3));
        QVERIFY(!QApplication::activePopupWidget());
    } else {
        pointer.move(inside, about);
        pointer.press(Qt::LeftButton, inside, about);
        pointer.press(Qt::RightButton, inside, about);
        bool opened = false;
        onNextModal([&](QWidget *modal) { opened = true; modal->close(); });
        pointer.release(Qt::LeftButton, inside, about);
        QVERIFY(opened);
    }
    // The right button still held, a left click on each bitmap button, then the right let go.
    for (PictureBox *button : {exit, about}) {
        pointer.move(inside, button);
        pointer.press(Qt::LeftButton, inside, button);
        pointer.release(Qt::LeftButton, inside, button);
    }
    pointer.release(Qt::RightButton, inside, about);
    QCOMPARE(shownFace(exit), storedImage(QStringLiteral("Picture8")));
    QCOMPARE(shownFace(about), storedImage(QStringLiteral("Picture5")));
    // With every button up, a click is a click again.
    pointer.click(Qt::LeftButton, inside, exit);
    QVERIFY(form.application().hasEnded());
    QCOMPARE(form.application().exitStatus(), 0); // no run-time error
    QCOMPARE(shownFace(exit), storedImage(QStringLiteral("Picture8")));
}

QUORVEL_TEST_MAIN(tst_Monkey)
#include "tst_monkey.moc"

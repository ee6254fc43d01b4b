// The About window: caption, size, its six lines with their fonts and colours, and how it
// closes.
#include "mainwindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>

class tst_About : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void window();
    void lines_data();
    void lines();
    void escapeCloses();
    void frameCloseCommandCloses();
    void placedAtItsOffsetFromTheMainWindow_data();
    void placedAtItsOffsetFromTheMainWindow();

private:
    QWidget *mainWindow() const { return windowOf(*m_form); }
    QWidget *aboutWindow() const { return windowOf(*m_about); }

    MainWindow m_form;
    std::unique_ptr<Form2> m_about;
};

void tst_About::initTestCase()
{
    QVERIFY(m_form.open());
    m_about = std::make_unique<Form2>(&*m_form);
}

void tst_About::window()
{
    QWidget *about = aboutWindow();
    QCOMPARE(about->windowTitle(), QStringLiteral("About..."));
    QCOMPARE(about->size(), QSize(285, 132));
    QCOMPARE(about->maximumSize(), QSize(285, 132));
    QCOMPARE(about->geometry().topLeft(), QPoint(180, 149));
    // Owned by the main window, so it stays over it.
    QCOMPARE(about->parentWidget(), mainWindow());
    QVERIFY(about->isWindow());
    int labels = 0;
    for (QObject *child : about->children())
        labels += qobject_cast<QLabel *>(child) ? 1 : 0;
    QCOMPARE(labels, 6);
}

void tst_About::lines_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("italic");
    const QColor black(0, 0, 0), white(255, 255, 255), red(255, 0, 0);
    QTest::newRow("0: first half of the sentence") << 0 << "This is a sample of Quorvel technics applica-"
        << QRect(7, 3, 273, 18) << black << 11 << false;
    QTest::newRow("1: its second half") << 1 << "ted to offen using MS standard custom controls."
        << QRect(7, 20, 273, 18) << black << 11 << false;
    QTest::newRow("2: the slogan") << 2 << "No limits to Your fantasy..."
        << QRect(7, 38, 273, 18) << black << 11 << false;
    QTest::newRow("3: the invitation") << 3 << "If You will find it usefull - please contact me at"
        << QRect(7, 58, 270, 18) << white << 11 << false;
    QTest::newRow("4: the address, red and italic") << 4 << "quorvel@zennorak.example"
        << QRect(6, 83, 273, 18) << red << 13 << true;
    QTest::newRow("5: the legal notice") << 5 << "Copyright (C) Zennorak Design. All rights reserved."
        << QRect(8, 111, 272, 18) << white << 11 << false;
}

void tst_About::lines()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QRect, place);
    QFETCH(QColor, colour);
    QFETCH(int, pixelSize);
    QFETCH(bool, italic);
    auto *label = qobject_cast<QLabel *>(widgetNamed(*m_about, "Label1", index));
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), place);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label->font().pixelSize(), pixelSize);
    QCOMPARE(label->font().bold(), true);
    QCOMPARE(label->font().italic(), italic);
    QCOMPARE(label->font().underline(), false);
    // The face it is drawn in is the mapped one, and the line fits its label in it.
    QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
    const QFontMetrics fm(label->font());
    QVERIFY2(fm.horizontalAdvance(text) <= label->width(),
             qPrintable(QStringLiteral("%1 > %2").arg(fm.horizontalAdvance(text)).arg(label->width())));
    QVERIFY(fm.height() <= label->height());
}

void tst_About::frameCloseCommandCloses()
{
    // What a window manager sends when the frame's close button is used: the window closes and
    // the modal show returns; the same window opens again afterwards.
    for (int opening = 0; opening < 2; ++opening) {
        bool closed = false;
        onNextModal([&](QWidget *modal) {
            QCOMPARE(modal, aboutWindow());
            QVERIFY(modal->windowFlags() & Qt::WindowCloseButtonHint);
            QCloseEvent close;
            QCoreApplication::sendEvent(modal->windowHandle(), &close);
            closed = !modal->isVisible();
        });
        m_about->showForm(1);
        QVERIFY(closed);
        QVERIFY(!m_about->isVisible());
        QVERIFY(!m_about->isModal());
    }
}

void tst_About::escapeCloses()
{
    bool closed = false;
    onNextModal([&](QWidget *modal) {
        QCOMPARE(modal, aboutWindow());
        QTest::keyClick(modal->windowHandle(), Qt::Key_Escape);
        closed = !modal->isVisible();
    });
    m_about->showForm(1);
    QVERIFY(closed);
    QVERIFY(!m_about->isVisible());
}

void tst_About::placedAtItsOffsetFromTheMainWindow_data()
{
    QTest::addColumn<QPoint>("main"); // the main window's client origin; (-1, -1): partly off the screen
    QTest::addColumn<QPoint>("about"); // (-1, -1): at the screen's bottom-right corner
    QTest::newRow("main window at its stored place") << QPoint(156, 102) << QPoint(180, 149);
    QTest::newRow("main window moved") << QPoint(300, 40) << QPoint(324, 87);
    QTest::newRow("main window partly off the screen: kept on it") << QPoint(-1, -1) << QPoint(-1, -1);
}

void tst_About::placedAtItsOffsetFromTheMainWindow()
{
    QFETCH(QPoint, main);
    QFETCH(QPoint, about);
    QWidget *window = mainWindow();
    const QRect screen = window->screen()->availableGeometry();
    if (main.x() < 0)
        main = screen.bottomRight() - QPoint(100, 80);
    window->setGeometry(QRect(main, window->size()));
    QTRY_COMPARE(window->geometry().topLeft(), main);
    // Each opening at the same offset from the main window, whatever happened to the last.
    for (int opening = 0; opening < 2; ++opening) {
        QRect client, frame;
        onNextModal([&](QWidget *modal) {
            client = modal->geometry();
            frame = modal->frameGeometry();
            modal->move(20, 20);
            modal->close();
        });
        m_about->showForm(1);
        if (about.x() >= 0) {
            QCOMPARE(client.topLeft(), about);
        } else {
            QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x())
                     .arg(frame.y()).arg(frame.width()).arg(frame.height())));
            QCOMPARE(frame.bottomRight(), screen.bottomRight());
        }
    }
    window->setGeometry(QRect(QPoint(156, 102), window->size()));
}

QUORVEL_TEST_MAIN(tst_About)
#include "tst_about.moc"

// The main window: caption, size, every control's place and text, stacking, keyboard order,
// the state after loading.
#include "mainwindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>
#include <QTextLayout>
#include <QTimer>
#include <QStyleOptionGroupBox>

using Runtime::PictureBox;

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void caption();
    void clientArea();
    void controlPlaces_data();
    void controlPlaces();
    void storesAreHiddenOutsideTheClientArea();
    void texts_data();
    void texts();
    void textsFitTheirControls();
    void stateAfterLoad();
    void startFacesOnScreen_data();
    void startFacesOnScreen();
    void ovalButtonLiesOverThePad();
    void keyboardOrder();
    void textInAnyScriptIsDrawn();
    void standardControlsShareNothing();
    void closingEndsTheProgram();

private:
    // The widget that shows control `name` (element `index`), and the main window's own.
    QWidget *control(const QString &name, int index = -1)
    {
        return widgetOf(m_form->control(name.toStdString(), index));
    }
    QWidget *window() const { return windowOf(*m_form); }

    MainWindow m_form;
    Pointer m_pointer;
};

void tst_MainWindow::init()
{
    QVERIFY(m_form.open());
    m_pointer.setWindow(*m_form);
}

void tst_MainWindow::cleanup()
{
    m_pointer.releaseAll();
    m_form.reset();
}

void tst_MainWindow::caption()
{
    const QString caption = window()->windowTitle();
    QCOMPARE(caption, QStringLiteral("Quorvel                             version1.1"));
}

void tst_MainWindow::clientArea()
{
    QCOMPARE(window()->size(), QSize(335, 365));
    QCOMPARE(window()->minimumSize(), QSize(335, 365));
    QCOMPARE(window()->maximumSize(), QSize(335, 365));
    QCOMPARE(window()->geometry().topLeft(), QPoint(156, 102));
}

void tst_MainWindow::controlPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("place"); // pixels, from the container's top-left corner
    const QString form = QStringLiteral("Form1");
    const QString f1 = QStringLiteral("Frame1"), f2 = QStringLiteral("Frame2");
    QTest::newRow("Picture4") << "Picture4" << -1 << form << QRect(235, 321, 94, 39);
    QTest::newRow("Picture7") << "Picture7" << -1 << form << QRect(139, 321, 94, 39);
    QTest::newRow("Frame2") << "Frame2" << -1 << form << QRect(7, 121, 322, 195);
    QTest::newRow("Opt1(2)") << "Opt1" << 2 << f2 << QRect(208, 79, 26, 26);
    QTest::newRow("Opt1(1)") << "Opt1" << 1 << f2 << QRect(208, 51, 26, 26);
    QTest::newRow("Opt1(0)") << "Opt1" << 0 << f2 << QRect(208, 23, 26, 26);
    QTest::newRow("Chk1") << "Chk1" << -1 << f2 << QRect(12, 161, 26, 26);
    QTest::newRow("pic1") << "pic1" << -1 << f2 << QRect(145, 129, 164, 51);
    QTest::newRow("Text2") << "Text2" << -1 << f2 << QRect(54, 18, 78, 24);
    QTest::newRow("Picture1") << "Picture1" << -1 << f2 << QRect(8, 50, 171, 106);
    QTest::newRow("Label3(3)") << "Label3" << 3 << f2 << QRect(44, 167, 68, 20);
    QTest::newRow("Label3(2)") << "Label3" << 2 << f2 << QRect(241, 84, 68, 20);
    QTest::newRow("Label3(1)") << "Label3" << 1 << f2 << QRect(241, 56, 68, 20);
    QTest::newRow("Label3(0)") << "Label3" << 0 << f2 << QRect(241, 28, 68, 20);
    QTest::newRow("Label2") << "Label2" << -1 << f2 << QRect(14, 21, 36, 21);
    QTest::newRow("Frame1") << "Frame1" << -1 << form << QRect(8, 5, 321, 104);
    QTest::newRow("Text1") << "Text1" << -1 << f1 << QRect(137, 70, 138, 23);
    QTest::newRow("Option1(1)") << "Option1" << 1 << f1 << QRect(16, 76, 78, 23);
    QTest::newRow("Option1(0)") << "Option1" << 0 << f1 << QRect(16, 54, 78, 23);
    QTest::newRow("Check1") << "Check1" << -1 << f1 << QRect(199, 23, 71, 21);
    QTest::newRow("Command1") << "Command1" << -1 << f1 << QRect(17, 19, 138, 31);
    QTest::newRow("Label1") << "Label1" << -1 << f1 << QRect(95, 74, 35, 23);
}

void tst_MainWindow::controlPlaces()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, container);
    QFETCH(QRect, place);
    QWidget *w = control(name, index);
    QVERIFY(w);
    QCOMPARE(w->parentWidget()->objectName(), container);
    QCOMPARE(w->geometry(), place);
    QVERIFY(w->isVisible());
    // Wholly inside the client area.
    QVERIFY(window()->rect().contains(QRect(w->mapTo(window(), QPoint(0, 0)), w->size())));
}

void tst_MainWindow::storesAreHiddenOutsideTheClientArea()
{
    const char *stores[] = {"PicM", "pic4", "pic3", "pic2", "Picture8", "Picture3", "Picture5", "Picture6", "Picture2"};
    for (const char *name : stores) {
        // A hidden store has no widget: never shown, it can take neither input nor focus.
        auto *store = m_form->control<PictureBox>(name);
        QVERIFY2(!store->isVisible(), name);
        QVERIFY2(store->rect().x >= 359, name);
        QVERIFY2(store->peer() == nullptr, name);
        QVERIFY2(!store->picture().isNull(), name);
    }
    // Only the two frames and the two bitmap buttons stand in the client area itself.
    QStringList visible;
    for (QObject *child : window()->children()) {
        if (auto *w = qobject_cast<QWidget *>(child); w && w->isVisible())
            visible << w->objectName();
    }
    visible.sort();
    QCOMPARE(visible, (QStringList{"Frame1", "Frame2", "Picture4", "Picture7"}));
}

void tst_MainWindow::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("Frame2") << "Frame2" << -1 << "Zennorak Design Quorvel technics examples";
    QTest::newRow("Frame1") << "Frame1" << -1 << "Standard MS Custom Controls";
    QTest::newRow("Label3(3)") << "Label3" << 3 << "qvCheck1";
    QTest::newRow("Label3(2)") << "Label3" << 2 << "qvOption1(2)";
    QTest::newRow("Label3(1)") << "Label3" << 1 << "qvOption1(1)";
    QTest::newRow("Label3(0)") << "Label3" << 0 << "qvOption1(0)";
    QTest::newRow("Label2") << "Label2" << -1 << "Action:";
    QTest::newRow("Text1") << "Text1" << -1 << "Text1";
    QTest::newRow("Text2") << "Text2" << -1 << "";
    QTest::newRow("Option1(1)") << "Option1" << 1 << "Option1(1)";
    QTest::newRow("Option1(0)") << "Option1" << 0 << "Option1(0)";
    QTest::newRow("Check1") << "Check1" << -1 << "Check1";
    QTest::newRow("Command1") << "Command1" << -1 << "Command1";
    QTest::newRow("Label1") << "Label1" << -1 << "Label1";
}

static QString textOf(const QWidget *w)
{
    if (auto *b = qobject_cast<const QAbstractButton *>(w)) return b->text();
    if (auto *l = qobject_cast<const QLabel *>(w)) return l->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w)) return e->text();
    if (auto *g = qobject_cast<const QGroupBox *>(w)) return g->title();
    return QString();
}

void tst_MainWindow::texts()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, text);
    QCOMPARE(textOf(control(name, index)), text);
}

void tst_MainWindow::textsFitTheirControls()
{
    for (const auto &c : m_form->controls()) {
        QWidget *w = widgetOf(*c);
        if (!w)
            continue; // a hidden store: nothing is shown
        const QString name = w->objectName();
        const QFontMetrics fm(w->font());
        if (auto *label = qobject_cast<QLabel *>(w)) {
            QVERIFY2(fm.horizontalAdvance(label->text()) <= label->width(), qPrintable(name));
            QVERIFY2(fm.height() <= label->height(), qPrintable(name));
            QVERIFY2(label->alignment() & Qt::AlignTop, qPrintable(name));
        } else if (qobject_cast<QAbstractButton *>(w)) {
            QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(name));
            QVERIFY2(w->sizeHint().height() <= w->height() + 2, qPrintable(name));
        } else if (auto *frame = qobject_cast<QGroupBox *>(w)) {
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = frame->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect label = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                               QStyle::SC_GroupBoxLabel, frame);
            QVERIFY2(label.width() >= fm.horizontalAdvance(frame->title()), qPrintable(name));
            QVERIFY2(frame->rect().contains(label), qPrintable(name));
        }
    }
}

void tst_MainWindow::stateAfterLoad()
{
    QCOMPARE(m_form->ChkState, false);
    QCOMPARE(m_form->OptIndex, qint16(0));
    QVERIFY(m_form->PadAction.empty());
    for (const auto &c : m_form->controls())
        QVERIFY2(c->tag().empty(), c->key().c_str());
    QCOMPARE(m_form->scaleMode(), 3);
    QCOMPARE(m_form->Picture1->scaleMode(), 3);
    QCOMPARE(m_form->Picture2->scaleMode(), 3);
    QVERIFY(static_cast<QRadioButton *>(control("Option1", 0))->isChecked());
    QVERIFY(!static_cast<QRadioButton *>(control("Option1", 1))->isChecked());
    QVERIFY(!static_cast<QCheckBox *>(control("Check1"))->isChecked());
}

void tst_MainWindow::startFacesOnScreen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QPoint>("at"); // where the face starts in the window's client area
    QTest::addColumn<QRect>("covered"); // the part another control lies over
    QTest::newRow("Chk1 unchecked") << "Chk1" << -1 << "ImageList2-1" << QPoint(19, 282) << QRect();
    QTest::newRow("Opt1(0) selected") << "Opt1" << 0 << "ImageList2-6" << QPoint(215, 144) << QRect();
    QTest::newRow("Opt1(1) not selected") << "Opt1" << 1 << "ImageList2-4" << QPoint(215, 172) << QRect();
    QTest::newRow("Opt1(2) not selected") << "Opt1" << 2 << "ImageList2-4" << QPoint(215, 200) << QRect();
    QTest::newRow("pic1 released, whole over the pad") << "pic1" << -1 << "pic3" << QPoint(152, 250) << QRect();
    QTest::newRow("Picture1 unlit") << "Picture1" << -1 << "Picture1" << QPoint(15, 171) << QRect(137, 79, 34, 27);
    QTest::newRow("Picture4 Exit inside its border") << "Picture4" << -1 << "Picture8" << QPoint(237, 323) << QRect();
    QTest::newRow("Picture7 About inside its border") << "Picture7" << -1 << "Picture5" << QPoint(141, 323) << QRect();
}

void tst_MainWindow::startFacesOnScreen()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, picture);
    QFETCH(QPoint, at);
    QFETCH(QRect, covered);
    const QImage grabbed = window()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage expected = storedImage(picture);
    QVERIFY(!expected.isNull());
    QImage shown = grabbed.copy(QRect(at, expected.size()));
    for (QImage *image : {&expected, &shown}) {
        for (int y = covered.top(); y <= covered.bottom(); ++y)
            for (int x = covered.left(); x <= covered.right(); ++x)
                image->setPixel(x, y, 0);
    }
    QCOMPARE(shown, expected);
    auto *box = static_cast<Runtime::QtUi::PictureBoxWidget *>(control(name, index));
    QVERIFY(box);
    QCOMPARE(box->mapTo(window(), box->drawingArea().topLeft()), at);
}

void tst_MainWindow::ovalButtonLiesOverThePad()
{
    // Frame2 (150, 140) lies in both; the oval button is on top there.
    QWidget *frame = control("Frame2");
    QCOMPARE(frame->childAt(QPoint(150, 140)), widgetOf(*m_form->pic1));
    QCOMPARE(frame->childAt(QPoint(144, 140)), widgetOf(*m_form->Picture1));
    // A move there reaches the oval button (its flag is written), not the pad.
    m_form->PadAction = "marker";
    m_pointer.move(QPoint(150, 140), frame);
    QVERIFY(!m_form->pic1->tag().empty());
    QCOMPARE(qs(m_form->PadAction), QStringLiteral("marker"));
}

void tst_MainWindow::keyboardOrder()
{
    QApplication::setActiveWindow(window());
    QTRY_COMPARE(QApplication::focusWidget(), control("Command1"));
    // By TabIndex, the bitmap controls among them; each group of option buttons is one stop,
    // on its selected button; and round again. Shift+Tab goes the same way back.
    const QList<QWidget *> expected = {control("Check1"), control("Option1", 0), control("Text1"),
                                       control("Picture1"), control("Picture7"), control("Picture4"),
                                       control("Text2"), control("pic1"), control("Chk1"),
                                       control("Opt1", 0), control("Command1")};
    for (QWidget *next : expected) {
        QTest::keyClick(window()->windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    for (qsizetype i = expected.size() - 2; i >= 0; --i) {
        QTest::keyClick(window()->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), expected.at(i));
    }
}

void tst_MainWindow::textInAnyScriptIsDrawn()
{
    // Armenian is beyond the mapped face: typed into a text box it is drawn from a face that
    // has it, not as empty boxes.
    auto *edit = qobject_cast<QLineEdit *>(widgetOf(*m_form->Text2));
    const QString armenian = QStringLiteral("\u0531\u0532\u0533");
    edit->setFocus();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, armenian); // as a keyboard layout sends it
    QApplication::sendEvent(edit, &typed);
    QCOMPARE(qs(m_form->Text2->text()), armenian);
    QTextLayout layout(armenian, edit->font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    QVERIFY(!runs.isEmpty());
    for (const QGlyphRun &run : runs) {
        QVERIFY2(run.rawFont().familyName() != QLatin1String("Liberation Sans"), qPrintable(run.rawFont().familyName()));
        for (quint32 glyph : run.glyphIndexes())
            QVERIFY(glyph != 0); // 0 is the face's "no glyph" box
    }
    // And the field shows them: dark pixels where the text goes.
    const QImage shown = edit->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int dark = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            dark += qGray(shown.pixel(x, y)) < 100;
    }
    QVERIFY(dark > 20);
}

void tst_MainWindow::standardControlsShareNothing()
{
    auto *option1 = static_cast<QRadioButton *>(control("Option1", 1));
    auto *check = static_cast<QCheckBox *>(control("Check1"));
    const QImage chk = shownFace(m_form->Chk1), opt = shownFace(m_form->Opt1[1]);
    m_pointer.click(Qt::LeftButton, QPoint(10, 10), option1);
    QVERIFY(option1->isChecked());
    QVERIFY(!static_cast<QRadioButton *>(control("Option1", 0))->isChecked());
    m_pointer.click(Qt::LeftButton, QPoint(8, 10), check);
    QVERIFY(check->isChecked());
    m_pointer.click(Qt::LeftButton, QPoint(20, 15), control("Command1"));
    QTest::keyClicks(widgetOf(*m_form->Text2), QStringLiteral("typed"));
    QCOMPARE(qs(m_form->Text2->text()), QStringLiteral("typed"));
    QCOMPARE(m_form->ChkState, false);
    QCOMPARE(m_form->OptIndex, qint16(0));
    QCOMPARE(shownFace(m_form->Chk1), chk);
    QCOMPARE(shownFace(m_form->Opt1[1]), opt);
}

void tst_MainWindow::closingEndsTheProgram()
{
    // The window closes while the program's event loop runs; the loop ends with status 0. It is
    // the start-up form, as the program's start makes it.
    m_form->setMain(true);
    QTimer::singleShot(0, window(), [this] { window()->close(); });
    const NeverHang neverHang;
    QCOMPARE(testBackend()->exec(), 0);
    QVERIFY(!m_form->isVisible());
    QVERIFY(!m_form.application().hasEnded()); // closing runs no procedure, End included
}

QUORVEL_TEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"

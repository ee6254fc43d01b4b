// The bitmap controls, driven through the shown main window: the mask test and hot flags, the
// check box, the option group, the direction pad and the three push buttons.
#include "mainwindow.h"

#include <QLineEdit>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

using Runtime::PictureBox;
using Runtime::QtUi::pictureOf;

namespace {

// Places on the 26 x 26 balls and on the oval button, in their own pixels.
const QPoint kBall(12, 12), kBallCorner(1, 1), kOval(80, 25), kOvalCorner(2, 2);

} // namespace

class tst_Controls : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void maskTestSetsHotFlag_data();
    void maskTestSetsHotFlag();
    void optionFlagsAreTheirOwn();
    void anyColourButBlackIsHot();
    void emptyFlagIsNotHot_data();
    void emptyFlagIsNotHot();

    void checkBox_data();
    void checkBox();
    void checkBoxIgnoresReleaseOfAnotherControl();

    void optionGroup_data();
    void optionGroup();

    void padZones_data();
    void padZones();
    void padVerticalKeyWins();
    void padPressDragClick();
    void padGapPressAndClick();
    void padRightButtonLights();

    void ovalButton_data();
    void ovalButton();
    void ovalButtonDraggedOffComesBackUp();
    void exitButton_data();
    void exitButton();
    void exitEndsTheEventLoop();
    void aboutButtonOpensAboutWindow();
    void staleFlagNeverActs_data();
    void staleFlagNeverActs();

private:
    PictureBox *box(const QString &name);
    QImage face(int list, int index) const
    {
        return storedImage(QStringLiteral("ImageList%1-%2").arg(list).arg(index));
    }
    QList<int> optionFaces();

    MainWindow m_form;
    Pointer m_pointer;
};

void tst_Controls::init()
{
    QVERIFY(m_form.open());
    m_pointer.setWindow(*m_form);
    m_pointer.move(QPoint(330, 2)); // a bare spot of the form
}

void tst_Controls::cleanup()
{
    m_pointer.releaseAll();
    const int status = m_form.application().exitStatus();
    m_form.reset();
    QCOMPARE(status, 0); // no run-time error
}

PictureBox *tst_Controls::box(const QString &name)
{
    if (name.startsWith(QLatin1String("Opt1(")))
        return m_form->Opt1[name.mid(5, 1).toInt()];
    return m_form->control<PictureBox>(name.toStdString());
}

// Which image of ImageList2 each option button shows (0: none of them).
QList<int> tst_Controls::optionFaces()
{
    QList<int> faces;
    for (PictureBox *option : m_form->Opt1) {
        const QImage shown = shownFace(option);
        int which = 0;
        for (int i = 4; i <= 6; ++i) {
            if (shown == face(2, i))
                which = i;
        }
        faces << which;
    }
    return faces;
}

void tst_Controls::maskTestSetsHotFlag_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("flag");
    QTest::newRow("Chk1 centre of the ball") << "Chk1" << QPoint(12, 12) << "True";
    QTest::newRow("Chk1 corner (0, 0)") << "Chk1" << QPoint(0, 0) << "False";
    QTest::newRow("Chk1 top edge (12, 0)") << "Chk1" << QPoint(12, 0) << "False";
    QTest::newRow("Chk1 first white row (12, 1)") << "Chk1" << QPoint(12, 1) << "True";
    QTest::newRow("Chk1 notch (4, 4)") << "Chk1" << QPoint(4, 4) << "False";
    QTest::newRow("Chk1 beside the notch (5, 4)") << "Chk1" << QPoint(5, 4) << "True";
    QTest::newRow("Chk1 right edge (25, 12)") << "Chk1" << QPoint(25, 12) << "False";
    QTest::newRow("Opt1(0) bottom edge (12, 25)") << "Opt1(0)" << QPoint(12, 25) << "False";
    QTest::newRow("Opt1(1) left edge (0, 12)") << "Opt1(1)" << QPoint(0, 12) << "False";
    QTest::newRow("Opt1(1) (1, 12)") << "Opt1(1)" << QPoint(1, 12) << "True";
    QTest::newRow("Opt1(2) (24, 16)") << "Opt1(2)" << QPoint(24, 16) << "True";
    QTest::newRow("Opt1(2) (24, 17)") << "Opt1(2)" << QPoint(24, 17) << "False";
    QTest::newRow("pic1 (0, 22)") << "pic1" << QPoint(0, 22) << "True";
    QTest::newRow("pic1 (0, 21)") << "pic1" << QPoint(0, 21) << "False";
    QTest::newRow("pic1 (163, 28)") << "pic1" << QPoint(163, 28) << "True";
    QTest::newRow("pic1 row 0, column 60") << "pic1" << QPoint(60, 0) << "True";
    QTest::newRow("pic1 row 0, column 59") << "pic1" << QPoint(59, 0) << "False";
    QTest::newRow("pic1 row 48, column 46") << "pic1" << QPoint(46, 48) << "False";
    QTest::newRow("pic1 row 2, column 46") << "pic1" << QPoint(46, 2) << "True";
}

void tst_Controls::maskTestSetsHotFlag()
{
    QFETCH(QString, control);
    QFETCH(QPoint, at);
    QFETCH(QString, flag);
    PictureBox *target = box(control);
    // From the opposite answer, so that the move must write the flag.
    target->setTag(flag == QLatin1String("True") ? "False" : "True");
    m_pointer.move(at, target);
    QCOMPARE(qs(target->tag()), flag);
}

void tst_Controls::optionFlagsAreTheirOwn()
{
    m_pointer.move(kBall, m_form->Opt1[1]);
    QCOMPARE(qs(m_form->Opt1[1]->tag()), QStringLiteral("True"));
    QVERIFY(m_form->Opt1[0]->tag().empty());
    QVERIFY(m_form->Opt1[2]->tag().empty());
    QVERIFY(m_form->Chk1->tag().empty());
    // The pad keeps no flag.
    m_pointer.move(QPoint(85, 50), m_form->Picture1);
    QVERIFY(m_form->Picture1->tag().empty());
}

void tst_Controls::anyColourButBlackIsHot()
{
    QImage mask(26, 26, QImage::Format_RGB32);
    mask.fill(qRgb(0, 0, 0));
    mask.setPixel(3, 3, qRgb(1, 0, 0));
    mask.setPixel(4, 3, qRgb(0, 0, 1));
    m_form->PicM->setPicture(pictureOf(mask));
    m_pointer.move(QPoint(3, 3), m_form->Chk1);
    QCOMPARE(qs(m_form->Chk1->tag()), QStringLiteral("True"));
    m_pointer.move(QPoint(4, 3), m_form->Chk1);
    QCOMPARE(qs(m_form->Chk1->tag()), QStringLiteral("True"));
    m_pointer.move(QPoint(5, 3), m_form->Chk1);
    QCOMPARE(qs(m_form->Chk1->tag()), QStringLiteral("False"));
}

void tst_Controls::emptyFlagIsNotHot_data()
{
    QTest::addColumn<QString>("flag");
    QTest::newRow("empty, before any move") << "";
    QTest::newRow("a text that is no boolean") << "maybe";
}

void tst_Controls::emptyFlagIsNotHot()
{
    // The pointer path always announces the position before a press, so a flag like this can
    // only be met by calling the procedures; they must neither act nor raise an error.
    QFETCH(QString, flag);
    for (PictureBox *b : {m_form->Chk1, m_form->pic1, m_form->Opt1[0], m_form->Opt1[1], m_form->Opt1[2]})
        b->setTag(flag.toStdString());
    const QImage pic1Face = shownFace(m_form->pic1);
    m_form.application().dispatch([&] {
        m_form->Chk1_MouseUp(1, 0, 12, 12);
        m_form->Opt1_MouseDown(1, 1, 0, 12, 12);
        m_form->Opt1_MouseUp(1, 1, 0, 12, 12);
        m_form->pic1_MouseDown(1, 0, 80, 25);
        m_form->pic1_MouseUp(1, 0, 80, 25);
    });
    QVERIFY(!m_form.application().hasEnded()); // neither an error nor the end
    QCOMPARE(m_form->ChkState, false);
    QCOMPARE(m_form->OptIndex, qint16(0));
    QCOMPARE(optionFaces(), (QList<int>{6, 4, 4}));
    QCOMPARE(shownFace(m_form->pic1), pic1Face);
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_Controls::checkBox_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("toggles");
    QTest::newRow("left, on the ball") << Qt::LeftButton << kBall << kBall << true;
    QTest::newRow("right, on the ball") << Qt::RightButton << kBall << kBall << true;
    QTest::newRow("middle, on the ball") << Qt::MiddleButton << kBall << kBall << true;
    QTest::newRow("on a corner") << Qt::LeftButton << kBallCorner << kBallCorner << false;
    QTest::newRow("corner press, released on the ball") << Qt::LeftButton << kBallCorner << kBall << true;
    QTest::newRow("dragged off the ball within the box") << Qt::LeftButton << kBall << QPoint(24, 1) << false;
    QTest::newRow("dragged out of the box") << Qt::LeftButton << kBall << QPoint(40, 12) << false;
}

void tst_Controls::checkBox()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, toggles);
    PictureBox *chk = m_form->Chk1;
    QCOMPARE(shownFace(chk), face(2, 1));
    for (bool checked : {true, false}) {
        m_pointer.move(pressAt, chk);
        m_pointer.press(button, pressAt, chk);
        QCOMPARE(shownFace(chk), face(2, checked ? 1 : 3)); // a press changes nothing
        m_pointer.move(releaseAt, chk);
        m_pointer.release(button, releaseAt, chk);
        if (!toggles) {
            QCOMPARE(m_form->ChkState, false);
            QCOMPARE(shownFace(chk), face(2, 1));
            return;
        }
        QCOMPARE(m_form->ChkState, checked);
        QCOMPARE(shownFace(chk), face(2, checked ? 3 : 1));
    }
}

void tst_Controls::checkBoxIgnoresReleaseOfAnotherControl()
{
    // Pressed on Opt1(2), moved onto the check box's ball, released there: the release is
    // Opt1(2)'s.
    QWidget *frame = widgetNamed(*m_form, "Frame2");
    m_pointer.move(QPoint(5, 170), frame);
    m_pointer.press(Qt::LeftButton, QPoint(5, 170), frame);
    m_pointer.move(kBall, m_form->Chk1);
    m_pointer.release(Qt::LeftButton, kBall, m_form->Chk1);
    m_pointer.move(kBall + QPoint(1, 0), m_form->Chk1);
    QCOMPARE(m_form->ChkState, false);
    QCOMPARE(shownFace(m_form->Chk1), face(2, 1));
}

// Steps: "p1b" press on Opt1(1)'s ball, "p2c" press on Opt1(2)'s corner, "m2b" move over
// Opt1(2)'s ball, "m1o" move over Opt1(1) while another holds the pointer, "r2b" release
// there; an "R" in front uses the right button. After each step: the three faces and OptIndex.
void tst_Controls::optionGroup_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<QList<int>>>("expected");
    using F = QList<int>;
    QTest::newRow("press and release on a ball moves the selection")
        << QStringList{"p1b", "r1b"} << QList<F>{{5, 5, 4, 0}, {4, 6, 4, 1}};
    QTest::newRow("the selected button does nothing")
        << QStringList{"p0b", "r0b"} << QList<F>{{6, 4, 4, 0}, {6, 4, 4, 0}};
    QTest::newRow("corner press, moved onto the ball, released")
        << QStringList{"p1c", "m1b", "r1b"} << QList<F>{{6, 4, 4, 0}, {6, 4, 4, 0}, {4, 6, 4, 1}};
    QTest::newRow("pressed, dragged to a corner, released: selection shows again")
        << QStringList{"p2b", "m2c", "r2c"} << QList<F>{{5, 4, 5, 0}, {5, 4, 5, 0}, {6, 4, 4, 0}};
    QTest::newRow("pressed on 2, dragged onto 1, released: the release is 2's, off its ball")
        << QStringList{"p2b", "m1b", "r1b"} << QList<F>{{5, 4, 5, 0}, {5, 4, 5, 0}, {6, 4, 4, 0}};
    QTest::newRow("right button selects")
        << QStringList{"Rp2b", "Rr2b"} << QList<F>{{5, 4, 5, 0}, {4, 4, 6, 2}};
    QTest::newRow("middle button selects, then back to 0")
        << QStringList{"Mp1b", "Mr1b", "p0b", "r0b"}
        << QList<F>{{5, 5, 4, 0}, {4, 6, 4, 1}, {5, 5, 4, 1}, {6, 4, 4, 0}};
}

void tst_Controls::optionGroup()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<QList<int>>, expected);
    QCOMPARE(optionFaces(), (QList<int>{6, 4, 4}));
    for (int i = 0; i < steps.size(); ++i) {
        QString step = steps[i];
        Qt::MouseButton button = Qt::LeftButton;
        if (step.startsWith('R')) { button = Qt::RightButton; step.remove(0, 1); }
        if (step.startsWith('M')) { button = Qt::MiddleButton; step.remove(0, 1); }
        PictureBox *target = m_form->Opt1[step.mid(1, 1).toInt()];
        const QPoint at = step.endsWith('b') ? kBall : kBallCorner;
        switch (step.at(0).toLatin1()) {
        case 'p': m_pointer.move(at, target); m_pointer.press(button, at, target); break;
        case 'm': m_pointer.move(at, target); break;
        case 'r': m_pointer.release(button, at, target); break;
        }
        QList<int> state = optionFaces();
        state << m_form->OptIndex;
        QStringList shown;
        for (int v : state)
            shown << QString::number(v);
        QVERIFY2(state == expected[i],
                 qPrintable(QStringLiteral("after %1: faces and OptIndex %2").arg(steps[i], shown.join(' '))));
    }
}

void tst_Controls::padZones_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("action");
    QTest::newRow("row 52, column 2: left key's tip") << QPoint(2, 52) << "Left";
    QTest::newRow("row 52, column 41: left key's inner edge") << QPoint(41, 52) << "Left";
    QTest::newRow("row 52, column 42: gap between left and centre") << QPoint(42, 52) << "";
    QTest::newRow("row 52, column 45: gap between left and centre") << QPoint(45, 52) << "";
    QTest::newRow("row 52, column 46: centre key") << QPoint(46, 52) << "Home";
    QTest::newRow("row 52, column 124: centre key") << QPoint(124, 52) << "Home";
    QTest::newRow("row 52, column 128: gap between centre and right") << QPoint(128, 52) << "";
    QTest::newRow("row 52, column 129: right key's inner edge") << QPoint(129, 52) << "Right";
    QTest::newRow("row 52, column 168: right key's tip") << QPoint(168, 52) << "Right";
    QTest::newRow("row 52, column 169: border") << QPoint(169, 52) << "";
    QTest::newRow("row 27, column 85: up key's last row") << QPoint(85, 27) << "Up";
    QTest::newRow("row 28, column 85: gap") << QPoint(85, 28) << "";
    QTest::newRow("row 2, column 85: up key's tip") << QPoint(85, 2) << "Up";
    QTest::newRow("row 1, column 85: border") << QPoint(85, 1) << "";
    QTest::newRow("row 78, column 85: gap") << QPoint(85, 78) << "";
    QTest::newRow("row 79, column 85: down key's first row") << QPoint(85, 79) << "Down";
    QTest::newRow("row 104, column 84: down key's tip") << QPoint(84, 104) << "Down";
    QTest::newRow("row 104, column 86: beside the tip") << QPoint(86, 104) << "";
    QTest::newRow("row 26, column 45: up key's base, left end") << QPoint(45, 26) << "Up";
    QTest::newRow("row 79, column 44: down key's base, left end") << QPoint(44, 79) << "Down";
    QTest::newRow("row 5, column 5: corner") << QPoint(5, 5) << "";
    QTest::newRow("row 36, column 46: centre key's full-width rows") << QPoint(46, 36) << "Home";
    QTest::newRow("row 31, column 52: centre key's rounded corner") << QPoint(52, 31) << "";
}

void tst_Controls::padZones()
{
    QFETCH(QPoint, at);
    QFETCH(QString, action);
    m_form->PadAction = "stale";
    m_pointer.move(at, m_form->Picture1);
    QCOMPARE(qs(m_form->PadAction), action);
}

void tst_Controls::padVerticalKeyWins()
{
    // With a mask that is white everywhere, the corners pass two tests; the vertical key wins.
    QImage white(171, 106, QImage::Format_RGB32);
    white.fill(qRgb(255, 255, 255));
    m_form->Picture2->setPicture(pictureOf(white));
    const struct { QPoint at; const char *action; } cases[] = {
        {{10, 10}, "Up"}, {{160, 10}, "Up"}, {{10, 100}, "Down"}, {{160, 100}, "Down"},
        {{10, 50}, "Left"}, {{135, 50}, "Right"}, {{85, 50}, "Home"},
    };
    for (const auto &c : cases) {
        m_pointer.move(c.at, m_form->Picture1);
        QCOMPARE(qs(m_form->PadAction), QString::fromLatin1(c.action));
    }
}

void tst_Controls::padPressDragClick()
{
    PictureBox *pad = m_form->Picture1;
    const QImage unlit = shownFace(pad);
    QCOMPARE(unlit, storedImage(QStringLiteral("Picture1")));
    const struct { QPoint at; int lit; const char *action; } keys[] = {
        {{85, 15}, 2, "Up"}, {{150, 52}, 3, "Right"}, {{85, 90}, 4, "Down"},
        {{20, 52}, 5, "Left"}, {{85, 52}, 6, "Home"},
    };
    for (const auto &key : keys) {
        m_pointer.move(key.at, pad);
        m_pointer.press(Qt::LeftButton, key.at, pad);
        QCOMPARE(shownFace(pad), face(1, key.lit));
        m_pointer.release(Qt::LeftButton, key.at, pad);
        QCOMPARE(shownFace(pad), face(1, 1));
        QCOMPARE(qs(m_form->Text2->text()), QString::fromLatin1(key.action));
    }
    // Pressed on Up, dragged onto Down: Up stays lit until the release, and Down is written.
    m_pointer.move(QPoint(85, 15), pad);
    m_pointer.press(Qt::LeftButton, QPoint(85, 15), pad);
    m_pointer.move(QPoint(85, 90), pad);
    QCOMPARE(shownFace(pad), face(1, 2));
    m_pointer.release(Qt::LeftButton, QPoint(85, 90), pad);
    QCOMPARE(shownFace(pad), face(1, 1));
    QCOMPARE(qs(m_form->Text2->text()), QStringLiteral("Down"));
}

void tst_Controls::padGapPressAndClick()
{
    PictureBox *pad = m_form->Picture1;
    m_form->Text2->setText("typed");
    m_pointer.move(QPoint(43, 52), pad);
    m_pointer.press(Qt::LeftButton, QPoint(43, 52), pad);
    QCOMPARE(shownFace(pad), storedImage(QStringLiteral("Picture1"))); // nothing lit
    m_pointer.release(Qt::LeftButton, QPoint(43, 52), pad);
    QCOMPARE(shownFace(pad), face(1, 1));
    QCOMPARE(qs(m_form->Text2->text()), QString());
    // Dragged off the pad: no click, the text stays.
    m_form->Text2->setText("kept");
    m_pointer.move(QPoint(85, 52), pad);
    m_pointer.press(Qt::LeftButton, QPoint(85, 52), pad);
    m_pointer.move(QPoint(85, 120), pad);
    m_pointer.release(Qt::LeftButton, QPoint(85, 120), pad);
    QCOMPARE(shownFace(pad), face(1, 1));
    QCOMPARE(qs(m_form->Text2->text()), QStringLiteral("kept"));
}

void tst_Controls::padRightButtonLights()
{
    PictureBox *pad = m_form->Picture1;
    m_form->Text2->setText("kept");
    m_pointer.move(QPoint(150, 52), pad);
    m_pointer.press(Qt::RightButton, QPoint(150, 52), pad);
    QCOMPARE(shownFace(pad), face(1, 3));
    m_pointer.release(Qt::RightButton, QPoint(150, 52), pad);
    QCOMPARE(shownFace(pad), face(1, 1));
    QCOMPARE(qs(m_form->Text2->text()), QStringLiteral("kept")); // a click is the left button's
}

void tst_Controls::ovalButton_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
}

void tst_Controls::ovalButton()
{
    QFETCH(Qt::MouseButton, button);
    PictureBox *oval = m_form->pic1;
    QCOMPARE(shownFace(oval), storedImage(QStringLiteral("pic3")));
    m_pointer.move(kOval, oval);
    m_pointer.press(button, kOval, oval);
    QCOMPARE(shownFace(oval), storedImage(QStringLiteral("pic4")));
    struct { QString title, text; QStringList buttons; int icon = -1; QImage faceMeanwhile; } seen;
    onNextModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text();
        seen.faceMeanwhile = shownFace(oval);
        box->buttons().first()->click();
    });
    m_pointer.release(button, kOval, oval);
    QCOMPARE(seen.text, QStringLiteral("Is it pretty?"));
    QCOMPARE(seen.title, QStringLiteral("Quorvel"));
    QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(seen.icon, int(QMessageBox::NoIcon));
    QCOMPARE(seen.faceMeanwhile, storedImage(QStringLiteral("pic3"))); // released first
    QCOMPARE(shownFace(oval), storedImage(QStringLiteral("pic3")));
    // pic4 still holds the pressed face and gives it again (a hidden store: its picture, as no
    // widget shows it).
    QCOMPARE(imageOf(m_form->pic4->picture()), storedImage(QStringLiteral("pic4")));
}

void tst_Controls::ovalButtonDraggedOffComesBackUp()
{
    PictureBox *oval = m_form->pic1;
    bool boxOpened = false;
    const QList<QPoint> releases = {kOvalCorner, QPoint(80, 60), QPoint(-5, 25)};
    for (const QPoint &releaseAt : releases) {
        m_pointer.move(kOval, oval);
        m_pointer.press(Qt::LeftButton, kOval, oval);
        QCOMPARE(shownFace(oval), storedImage(QStringLiteral("pic4")));
        m_pointer.move(releaseAt, oval);
        onNextModal([&](QWidget *modal) { boxOpened = true; modal->close(); }, 3);
        m_pointer.release(Qt::LeftButton, releaseAt, oval);
        QTest::qWait(60);
        QVERIFY(!boxOpened);
        QCOMPARE(shownFace(oval), storedImage(QStringLiteral("pic3")));
    }
    // A press on a corner does not push the button in.
    m_pointer.move(kOvalCorner, oval);
    m_pointer.press(Qt::LeftButton, kOvalCorner, oval);
    QCOMPARE(shownFace(oval), storedImage(QStringLiteral("pic3")));
    m_pointer.release(Qt::LeftButton, kOvalCorner, oval);
}

void tst_Controls::exitButton_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("pushedIn");
    QTest::addColumn<bool>("ends");
    QTest::newRow("left click ends") << Qt::LeftButton << QPoint(40, 20) << true << true;
    QTest::newRow("left, dragged off: no end") << Qt::LeftButton << QPoint(40, 60) << true << false;
    QTest::newRow("right does nothing") << Qt::RightButton << QPoint(40, 20) << false << false;
    QTest::newRow("middle does nothing") << Qt::MiddleButton << QPoint(40, 20) << false << false;
}

void tst_Controls::exitButton()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, pushedIn);
    QFETCH(bool, ends);
    PictureBox *exit = m_form->Picture4;
    const QImage released = storedImage(QStringLiteral("Picture8"));
    QCOMPARE(shownFace(exit), released);
    m_pointer.move(QPoint(40, 20), exit);
    m_pointer.press(button, QPoint(40, 20), exit);
    QCOMPARE(shownFace(exit), pushedIn ? storedImage(QStringLiteral("Picture3")) : released);
    m_pointer.move(releaseAt, exit);
    m_pointer.release(button, releaseAt, exit);
    QCOMPARE(m_form.application().hasEnded(), ends);
    QCOMPARE(windowOf(*m_form)->isVisible(), !ends);
    // Released before the end: no procedure runs after it to change the face.
    QCOMPARE(shownFace(exit), released);
}

void tst_Controls::exitEndsTheEventLoop()
{
    // In the program's event loop: the windows are hidden and the loop returns 0.
    QTimer::singleShot(0, windowOf(*m_form), [this] {
        m_pointer.click(Qt::LeftButton, QPoint(40, 20), m_form->Picture4);
    });
    const NeverHang neverHang;
    QCOMPARE(testBackend()->exec(), 0);
    QVERIFY(m_form.application().hasEnded());
    QVERIFY(!m_form->isVisible());
}

void tst_Controls::aboutButtonOpensAboutWindow()
{
    PictureBox *about = m_form->Picture7;
    QCOMPARE(shownFace(about), storedImage(QStringLiteral("Picture5")));
    const Runtime::Form *first = nullptr;
    for (int round = 0; round < 2; ++round) {
        QImage faceMeanwhile;
        QWidget *opened = nullptr;
        bool mainTookInput = true;
        onNextModal([&](QWidget *modal) {
            opened = modal;
            faceMeanwhile = shownFace(about);
            // The main window takes no input meanwhile.
            m_pointer.click(Qt::LeftButton, kBall, m_form->Chk1);
            mainTookInput = m_form->ChkState;
            modal->close();
        });
        m_pointer.move(QPoint(40, 20), about);
        m_pointer.press(Qt::LeftButton, QPoint(40, 20), about);
        QCOMPARE(shownFace(about), storedImage(QStringLiteral("Picture6")));
        m_pointer.release(Qt::LeftButton, QPoint(40, 20), about);
        QVERIFY(opened);
        QVERIFY(m_form.about());
        QCOMPARE(opened, windowOf(*m_form.about()));
        QCOMPARE(opened->windowTitle(), QStringLiteral("About..."));
        QCOMPARE(faceMeanwhile, storedImage(QStringLiteral("Picture5")));
        QVERIFY(!mainTookInput);
        QVERIFY(!opened->isVisible());
        if (round == 0)
            first = m_form.about();
        QCOMPARE(m_form.about(), first); // one About window, kept
    }
    QCOMPARE(m_form->ChkState, false);
    QCOMPARE(shownFace(about), storedImage(QStringLiteral("Picture5")));
}

void tst_Controls::staleFlagNeverActs_data()
{
    QTest::addColumn<bool>("throughMessageBox");
    QTest::newRow("the About window closes over the check box") << false;
    QTest::newRow("the message box closes over the oval button") << true;
}

void tst_Controls::staleFlagNeverActs()
{
    QFETCH(bool, throughMessageBox);
    PictureBox *target = throughMessageBox ? m_form->pic1 : m_form->Chk1;
    const QPoint hot = throughMessageBox ? kOval : kBall;
    const QPoint corner = throughMessageBox ? kOvalCorner : kBallCorner;
    // The flag is True when the modal window opens; while it is open the pointer comes to
    // rest on a black corner, where the main window hears nothing of it.
    m_pointer.move(hot, target);
    QCOMPARE(qs(target->tag()), QStringLiteral("True"));
    onNextModal([&](QWidget *modal) {
        m_pointer.move(corner, target);
        modal->close();
    });
    if (throughMessageBox) {
        m_pointer.press(Qt::LeftButton, hot, target);
        m_pointer.release(Qt::LeftButton, hot, target);
    } else {
        m_pointer.click(Qt::LeftButton, QPoint(40, 20), m_form->Picture7);
    }
    QVERIFY(!QApplication::activeModalWidget());
    const QImage before = shownFace(target);
    bool opened = false;
    onNextModal([&](QWidget *modal) { opened = true; modal->close(); }, 3);
    m_pointer.press(Qt::LeftButton, corner, target);
    QCOMPARE(shownFace(target), before);
    m_pointer.release(Qt::LeftButton, corner, target);
    QTest::qWait(60);
    QVERIFY(!opened);
    QCOMPARE(m_form->ChkState, false);
    QCOMPARE(shownFace(target), before);
    QCOMPARE(qs(target->tag()), QStringLiteral("False"));
}

QUORVEL_TEST_MAIN(tst_Controls)
#include "tst_controls.moc"

// The forms runtime: values, pictures, image lists, forms, pointer events, modal show, the
// message box, End and run-time errors.
#include "application.h"
#include "binding.h"
#include "form.h"
#include "imagelist.h"
#include "look.h"
#include "picturebox.h"
#include "placement.h"
#include "pointer.h"
#include "values.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Runtime;

namespace {

// '#' white, '.' black, 'r' red, 'g' grey.
QImage ascii(const QStringList &rows)
{
    QImage image(int(rows.first().size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QChar c = rows[y][x];
            image.setPixel(x, y, c == '#' ? qRgb(255, 255, 255) : c == 'r' ? qRgb(255, 0, 0)
                                : c == 'g' ? qRgb(192, 192, 192) : qRgb(0, 0, 0));
        }
    }
    return image;
}

const QStringList kSmall = {"....", ".##.", ".#r.", "...."};

Picture fill(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    image.setPixel(0, 0, qRgb(0, 0, 0));
    return Picture(image);
}

constexpr int tw(int px) { return px * 15; }

const ControlDescription kControls[] = {
    {Kind::PictureBox, "Top", -1, nullptr, tw(10), tw(10), tw(20), tw(20), nullptr, 5, "white20"},
    {Kind::PictureBox, "Under", -1, nullptr, tw(20), tw(20), tw(20), tw(20), nullptr, 6, "white20"},
    {Kind::PictureBox, "Box", -1, nullptr, tw(50), tw(10), tw(30), tw(20), nullptr, 7, "white30x20"},
    {Kind::PictureBox, "Bordered", -1, nullptr, tw(50), tw(40), tw(24), tw(14), nullptr, 8, "white20x10", true},
    {Kind::PictureBox, "Hidden", -1, nullptr, tw(400), 0, tw(4), tw(4), nullptr, 9, "small", false, false},
    {Kind::Frame, "Frame", -1, nullptr, tw(10), tw(60), tw(100), tw(50), "Frame", 0},
    {Kind::PictureBox, "Inner", -1, "Frame", tw(15), tw(20), tw(10), tw(10), nullptr, 10, "white10"},
    {Kind::TextBox, "Edit", -1, "Frame", tw(40), tw(18), tw(50), tw(23), "abc", 3},
    {Kind::CommandButton, "Button", -1, nullptr, tw(120), tw(60), tw(60), tw(25), "Go", 1},
    {Kind::Label, "Arr", 0, nullptr, tw(120), tw(100), tw(40), tw(15), "zero", 11},
    {Kind::Label, "Arr", 1, nullptr, tw(120), tw(120), tw(40), tw(15), "one", 12},
    {Kind::CheckBox, "Check", -1, nullptr, tw(10), tw(120), tw(60), tw(20), "Check", 2},
};
const FormDescription kTestForm{"TestForm", "Test form", tw(100), tw(100), tw(200), tw(150), kControls};

const ControlDescription kDialogControls[] = {
    {Kind::Label, "Text", -1, nullptr, tw(5), tw(5), tw(80), tw(15), "Dialog", 0},
};
const FormDescription kDialog{"Dialog", "Dialog", tw(150), tw(150), tw(100), tw(40), kDialogControls};

PictureSource testPictures()
{
    return [](const char *name) {
        const QString n = QString::fromUtf8(name);
        if (n == "small") return Picture(ascii(kSmall));
        if (n == "white20") return fill(20, 20);
        if (n == "white30x20") return fill(30, 20);
        if (n == "white20x10") return fill(20, 10);
        if (n == "white10") return fill(10, 10);
        throw RuntimeError(Err::InvalidPicture, n);
    };
}

} // namespace

class tst_runtime : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void textToBoolean_data();
    void textToBoolean();
    void booleanToTextRoundTrip();

    void point_data();
    void point();
    void imageListBounds();
    void sharedPictureRepaintsOnlyItsControl();

    void controlLookupErrors_data();
    void controlLookupErrors();
    void layoutFromTwips();
    void stackingFollowsStoredOrder();
    void keyboardOrderFollowsTabIndex();

    void pointerValues_data();
    void pointerValues();
    void grabKeepsMovesAndReleaseOutside();
    void clickRule_data();
    void clickRule();
    void doubleClickIsTwoClicks();
    void fractionalPositionRoundsDown();
    void stillPointerAnnouncedBeforePress();
    void pressLetGoWhereTheBoxCannotHear_data();
    void pressLetGoWhereTheBoxCannotHear();
    void keepOnScreen_data();
    void keepOnScreen();
    void exitStatus_data();
    void exitStatus();

    void endStopsFurtherProcedures();
    void runtimeErrorIsReportedAndEnds();
    void runtimeErrorDefaultReportIsAMessageBox();
    void modalShowBlocksOtherWindows();
    void messageBoxDecodesStyle_data();
    void messageBoxDecodesStyle();
    void displayProblem_data();
    void displayProblem();

private:
    void logEvents(PictureBox *box, const QString &name);

    std::unique_ptr<Form> m_form;
    Pointer m_pointer;
    QStringList m_log;
    int m_ends = 0;
    QList<int> m_errors;
};

void tst_runtime::initTestCase()
{
    Look::apply(*qApp);
    setTitle(QStringLiteral("Runtime test"));
}

void tst_runtime::init()
{
    resetForTests();
    m_ends = 0;
    m_errors.clear();
    setEndHandler([this] { ++m_ends; });
    setErrorReporter([this](const RuntimeError &e) { m_errors.append(e.number()); End(); });
    m_form = std::make_unique<Form>(kTestForm, testPictures());
    m_pointer.setWindow(m_form.get());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    // Every test starts with the pointer on a bare spot of the form.
    m_pointer.move(QPoint(195, 5));
    m_log.clear();
    for (const char *name : {"Top", "Under", "Box", "Bordered", "Inner"})
        logEvents(m_form->control<PictureBox>(QString::fromLatin1(name)), QString::fromLatin1(name));
}

void tst_runtime::cleanup()
{
    m_pointer.releaseAll();
    m_form.reset();
}

void tst_runtime::logEvents(PictureBox *box, const QString &name)
{
    const auto entry = [this, name](const char *event) {
        return [this, name, event](qint16 b, qint16 s, float x, float y) {
            m_log << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(name, QLatin1String(event)).arg(b).arg(s).arg(x).arg(y);
        };
    };
    onMouse(box, MouseEvent::Down, entry("down"));
    onMouse(box, MouseEvent::Move, entry("move"));
    onMouse(box, MouseEvent::Up, entry("up"));
    onClick(box, [this, name] { m_log << name + QStringLiteral(" click"); });
}

void tst_runtime::textToBoolean_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("value");
    QTest::newRow("True") << "True" << true << true;
    QTest::newRow("False") << "False" << true << false;
    QTest::newRow("any case") << "tRUE" << true << true;
    QTest::newRow("blanks around") << " False " << true << false;
    QTest::newRow("empty is no boolean") << "" << false << false;
    QTest::newRow("a word") << "Yes" << false << false;
    QTest::newRow("a prefix") << "Tru" << false << false;
}

void tst_runtime::textToBoolean()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(bool, value);
    if (valid) {
        QCOMPARE(textToBool(text), value);
        QCOMPARE(isTrueText(text), value);
        return;
    }
    QCOMPARE(isTrueText(text), false);
    try {
        textToBool(text);
        QFAIL("text that is no boolean converted without an error");
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), 13);
        QCOMPARE(e.description(), QStringLiteral("Type mismatch"));
    }
}

void tst_runtime::booleanToTextRoundTrip()
{
    QCOMPARE(boolToText(true), QStringLiteral("True"));
    QCOMPARE(boolToText(false), QStringLiteral("False"));
    QCOMPARE(textToBool(boolToText(true)), true);
    QCOMPARE(textToBool(boolToText(false)), false);
}

void tst_runtime::point_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<qint32>("colour");
    // The hidden 4 x 4 picture: a black ring around white, red at (2, 2).
    QTest::newRow("pixels, black corner") << 3 << 0.f << 0.f << qint32(0);
    QTest::newRow("pixels, white") << 3 << 1.f << 1.f << qint32(0xFFFFFF);
    QTest::newRow("pixels, red in the low byte") << 3 << 2.f << 2.f << qint32(0x0000FF);
    QTest::newRow("pixels, last column black") << 3 << 3.f << 1.f << qint32(0);
    QTest::newRow("pixels, left of the picture") << 3 << -1.f << 1.f << qint32(0);
    QTest::newRow("pixels, above the picture") << 3 << 1.f << -1.f << qint32(0);
    QTest::newRow("pixels, right edge + 1") << 3 << 4.f << 1.f << qint32(0);
    QTest::newRow("pixels, bottom edge + 1") << 3 << 1.f << 4.f << qint32(0);
    QTest::newRow("pixels, fraction inside a pixel") << 3 << 2.9f << 2.5f << qint32(0x0000FF);
    QTest::newRow("twips, white") << 1 << 15.f << 15.f << qint32(0xFFFFFF);
    QTest::newRow("twips, red") << 1 << 30.f << 44.f << qint32(0x0000FF);
    QTest::newRow("twips, just left of red") << 1 << 29.f << 30.f << qint32(0xFFFFFF);
    QTest::newRow("twips, outside") << 1 << 60.f << 15.f << qint32(0);
    QTest::newRow("twips, negative") << 1 << -1.f << 15.f << qint32(0);
}

void tst_runtime::point()
{
    QFETCH(int, scale);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(qint32, colour);
    auto *hidden = m_form->control<PictureBox>(QStringLiteral("Hidden"));
    QVERIFY(!hidden->isVisible());
    hidden->setScaleMode(scale);
    QCOMPARE(hidden->Point(x, y), colour);
}

void tst_runtime::imageListBounds()
{
    const Picture a(ascii(kSmall)), b = fill(2, 2);
    const ImageList list({a, b});
    QCOMPARE(list.count(), 2);
    QVERIFY(list.picture(1).sharesWith(a));
    QVERIFY(list.picture(2).sharesWith(b));
    QVERIFY(list.picture(2).sharesWith(list.picture(2)));
    for (int bad : {0, 3, -1}) {
        try {
            list.picture(bad);
            QFAIL(qPrintable(QStringLiteral("image %1 of 2 was given").arg(bad)));
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 35600);
        }
    }
}

void tst_runtime::sharedPictureRepaintsOnlyItsControl()
{
    auto *top = m_form->control<PictureBox>(QStringLiteral("Top"));
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    const Picture picture(ascii(kSmall));
    top->setPicture(picture);
    QVERIFY(top->picture().sharesWith(picture));
    const QImage shown = top->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.copy(0, 0, 4, 4), ascii(kSmall));
    QVERIFY(!box->picture().sharesWith(picture));
}

void tst_runtime::controlLookupErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("error");
    QTest::newRow("no such control") << "Nowhere" << -1 << 730;
    QTest::newRow("missing array element") << "Arr" << 5 << 340;
    QTest::newRow("a label is no picture box") << "Arr" << 1 << 13;
}

void tst_runtime::controlLookupErrors()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(int, error);
    try {
        m_form->control<PictureBox>(name, index);
        QFAIL("an invalid control was returned");
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), error);
        QVERIFY(!e.description().isEmpty());
    }
}

void tst_runtime::layoutFromTwips()
{
    QCOMPARE(m_form->size(), QSize(200, 150));
    QCOMPARE(m_form->geometry().topLeft(), QPoint(100, 100));
    auto *inner = m_form->control<PictureBox>(QStringLiteral("Inner"));
    QCOMPARE(inner->geometry(), QRect(15, 20, 10, 10));
    QCOMPARE(inner->mapTo(m_form.get(), QPoint(0, 0)), QPoint(25, 80));
    QCOMPARE(m_form->control(QStringLiteral("Arr"), 1)->geometry(), QRect(120, 120, 40, 15));
    auto *bordered = m_form->control<PictureBox>(QStringLiteral("Bordered"));
    QCOMPARE(bordered->drawingArea(), QRect(2, 2, 20, 10));
    QVERIFY(!m_form->control(QStringLiteral("Hidden"))->isVisible());
}

void tst_runtime::stackingFollowsStoredOrder()
{
    // Top (stored first) covers Under where they overlap, from (20, 20) to (29, 29).
    m_pointer.click(Qt::LeftButton, QPoint(25, 25));
    QVERIFY(!m_log.isEmpty());
    for (const QString &entry : std::as_const(m_log))
        QVERIFY2(entry.startsWith(QLatin1String("Top ")), qPrintable(entry));
    m_log.clear();
    m_pointer.click(Qt::LeftButton, QPoint(35, 35));
    QVERIFY(m_log.contains(QStringLiteral("Under click")));
}

void tst_runtime::keyboardOrderFollowsTabIndex()
{
    // TabIndex: Button 1, Check 2, Edit 3; picture boxes, labels and frames take no focus.
    QApplication::setActiveWindow(m_form.get());
    QTRY_COMPARE(QApplication::focusWidget(), m_form->control(QStringLiteral("Button")));
    QWidget *w = QApplication::focusWidget();
    w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus))
        w = w->nextInFocusChain();
    QCOMPARE(w, m_form->control(QStringLiteral("Check")));
    QCOMPARE(m_form->control(QStringLiteral("Top"))->focusPolicy(), Qt::NoFocus);
}

void tst_runtime::pointerValues_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QStringList>("expected");
    // Box sits at (50, 10); the press is at its pixel (3, 4).
    QTest::newRow("left, pixels") << Qt::LeftButton << Qt::KeyboardModifiers() << 3
        << QStringList{"Box down 1 0 3 4", "Box up 1 0 3 4", "Box click"};
    QTest::newRow("right with Shift") << Qt::RightButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << 3
        << QStringList{"Box down 2 1 3 4", "Box up 2 1 3 4"};
    QTest::newRow("middle with Ctrl+Alt, twips") << Qt::MiddleButton
        << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier) << 1
        << QStringList{"Box down 4 6 45 60", "Box up 4 6 45 60"};
}

void tst_runtime::pointerValues()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, scale);
    QFETCH(QStringList, expected);
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    box->setScaleMode(scale);
    m_pointer.move(QPoint(3, 4), box);
    QCOMPARE(m_log.value(0), QStringLiteral("Box move 0 0 %1 %2").arg(3 * (scale == 1 ? 15 : 1)).arg(4 * (scale == 1 ? 15 : 1)));
    m_log.clear();
    m_pointer.press(button, QPoint(3, 4), box, modifiers);
    m_pointer.release(button, QPoint(3, 4), box, modifiers);
    QCOMPARE(m_log, expected);
}

void tst_runtime::grabKeepsMovesAndReleaseOutside()
{
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    box->setScaleMode(3);
    m_pointer.move(QPoint(5, 5), box);
    m_pointer.press(Qt::LeftButton, QPoint(5, 5), box);
    m_log.clear();
    // Over the Bordered box and then left of Box: the moves still go to Box, which holds the
    // left button (Button 1).
    m_pointer.move(QPoint(5, 35), box);
    m_pointer.move(QPoint(-20, 2), box);
    m_pointer.release(Qt::LeftButton, QPoint(-20, 2), box);
    QCOMPARE(m_log, (QStringList{"Box move 1 0 5 35", "Box move 1 0 -20 2", "Box up 1 0 -20 2"}));
}

void tst_runtime::clickRule_data()
{
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("clicked");
    QTest::newRow("released where pressed") << QPoint(5, 5) << true;
    QTest::newRow("released elsewhere on the box") << QPoint(29, 19) << true;
    QTest::newRow("dragged off to the right") << QPoint(30, 5) << false;
    QTest::newRow("dragged off above") << QPoint(5, -1) << false;
    QTest::newRow("dragged onto another box") << QPoint(5, 35) << false;
}

void tst_runtime::clickRule()
{
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, clicked);
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    m_pointer.move(QPoint(5, 5), box);
    m_pointer.press(Qt::LeftButton, QPoint(5, 5), box);
    m_pointer.move(releaseAt, box);
    m_pointer.release(Qt::LeftButton, releaseAt, box);
    QCOMPARE(m_log.contains(QStringLiteral("Box click")), clicked);
    QCOMPARE(m_log.filter(QStringLiteral(" click")).size(), clicked ? 1 : 0);
}

void tst_runtime::doubleClickIsTwoClicks()
{
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    box->setScaleMode(3);
    m_pointer.move(QPoint(2, 2), box);
    m_log.clear();
    QTest::mouseDClick(m_form->windowHandle(), Qt::LeftButton, {}, box->mapTo(m_form.get(), QPoint(2, 2)));
    QCOMPARE(m_log.filter(QStringLiteral("Box down")).size(), 2);
    QCOMPARE(m_log.filter(QStringLiteral("Box up")).size(), 2);
    QCOMPARE(m_log.filter(QStringLiteral("Box click")).size(), 2);
}

void tst_runtime::fractionalPositionRoundsDown()
{
    // A tablet or a scaled screen gives fractions; every event reports the whole pixel.
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    box->setScaleMode(3);
    const QPointF local(3.7, 4.99);
    QMouseEvent move(QEvent::MouseMove, local, box->mapToGlobal(local), Qt::NoButton, {}, {});
    QApplication::sendEvent(box, &move);
    QMouseEvent press(QEvent::MouseButtonPress, local, box->mapToGlobal(local), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(box, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, box->mapToGlobal(local), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(box, &release);
    QCOMPARE(m_log, (QStringList{"Box move 0 0 3 4", "Box down 1 0 3 4", "Box up 1 0 3 4", "Box click"}));
}

void tst_runtime::stillPointerAnnouncedBeforePress()
{
    // A window lies over Box while the pointer comes to rest at Box's pixel (6, 7); then the
    // window goes away and the button goes down without any move.
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    box->setScaleMode(3);
    m_pointer.move(QPoint(1, 1), box);
    QWidget cover;
    cover.setGeometry(QRect(m_form->mapToGlobal(QPoint(0, 0)), QSize(200, 150)));
    cover.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cover));
    QTest::mouseMove(cover.windowHandle(), box->mapTo(m_form.get(), QPoint(6, 7)));
    cover.hide();
    m_log.clear();
    m_pointer.press(Qt::LeftButton, QPoint(6, 7), box);
    QCOMPARE(m_log.value(0), QStringLiteral("Box move 0 0 6 7"));
    QCOMPARE(m_log.value(1), QStringLiteral("Box down 1 0 6 7"));
    m_pointer.release(Qt::LeftButton, QPoint(6, 7), box);
}

void tst_runtime::pressLetGoWhereTheBoxCannotHear_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("the window hidden") << "hide";
    QTest::newRow("the window minimised") << "minimise";
    QTest::newRow("a modal window opened over it") << "modal";
    QTest::newRow("released while another program held the pointer") << "elsewhere";
}

void tst_runtime::pressLetGoWhereTheBoxCannotHear()
{
    // The release will never come here: the box lets go as if released just off its
    // top-left corner, where no picture is, and completes no click.
    QFETCH(QString, how);
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    box->setScaleMode(3);
    m_pointer.move(QPoint(5, 5), box);
    m_pointer.press(Qt::LeftButton, QPoint(5, 5), box);
    m_log.clear();
    Form dialog(kDialog, {}, m_form.get());
    if (how == QLatin1String("hide")) {
        m_form->hide();
    } else if (how == QLatin1String("minimise")) {
        m_form->showMinimized();
    } else if (how == QLatin1String("modal")) {
        onNextModal([](QWidget *modal) { modal->close(); });
        dialog.showForm(1);
    } else {
        const QPointF at(6, 6);
        QMouseEvent move(QEvent::MouseMove, at, box->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(box, &move);
    }
    QCOMPARE(m_log.mid(0, 2), (QStringList{"Box move 1 0 -1 -1", "Box up 1 0 -1 -1"}));
    QVERIFY(!m_log.contains(QStringLiteral("Box click")));
    // Nothing is held any more: a release that comes late changes nothing.
    m_log.clear();
    m_form->showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_pointer.release(Qt::LeftButton, QPoint(5, 5), box);
    QVERIFY2(m_log.filter(QStringLiteral(" up ")).isEmpty(), qPrintable(m_log.join(", ")));
}

void tst_runtime::keepOnScreen_data()
{
    QTest::addColumn<QRect>("client");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("origin");
    const QMargins frame(1, 20, 1, 1);
    const QRect large(0, 0, 1024, 768);
    QTest::newRow("fits: stays") << QRect(156, 102, 335, 365) << frame << large << QPoint(156, 102);
    QTest::newRow("off the bottom: up by the least") << QRect(156, 102, 335, 365) << frame
        << QRect(0, 0, 400, 400) << QPoint(64, 34);
    QTest::newRow("frame above the top: down by its title bar") << QRect(10, 5, 100, 100) << frame
        << large << QPoint(10, 20);
    QTest::newRow("left of the screen") << QRect(-50, 100, 100, 100) << frame << large << QPoint(1, 100);
    QTest::newRow("larger both ways: frame at the top-left") << QRect(156, 102, 335, 365) << frame
        << QRect(0, 0, 320, 240) << QPoint(1, 20);
    QTest::newRow("taller only: top edge, across kept") << QRect(156, 102, 335, 365) << frame
        << QRect(0, 0, 1024, 300) << QPoint(156, 20);
    QTest::newRow("a second screen to the right") << QRect(1500, 900, 335, 365) << frame
        << QRect(1024, 0, 800, 600) << QPoint(1024 + 800 - 336, 600 - 366);
    QTest::newRow("no frame known") << QRect(156, 102, 335, 365) << QMargins() << QRect(0, 0, 400, 400)
        << QPoint(65, 35);
}

void tst_runtime::keepOnScreen()
{
    QFETCH(QRect, client);
    QFETCH(QMargins, frame);
    QFETCH(QRect, screen);
    QFETCH(QPoint, origin);
    const Point placed = Runtime::keepOnScreen({client.x(), client.y(), client.width(), client.height()},
                                               {frame.left(), frame.top(), frame.right(), frame.bottom()},
                                               {screen.x(), screen.y(), screen.width(), screen.height()});
    QCOMPARE(QPoint(placed.x, placed.y), origin);
}

void tst_runtime::exitStatus_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("shown");
    QTest::newRow("End") << "end" << 0 << true;
    QTest::newRow("the main window closed") << "close" << 0 << true;
    QTest::newRow("a run-time error in an event procedure") << "procedure error" << 1 << true;
    QTest::newRow("a run-time error while loading: never shown") << "load error" << 1 << false;
}

void tst_runtime::exitStatus()
{
    // The program's own start-up and ending, with the runtime's default End and report.
    QFETCH(QString, ending);
    QFETCH(int, status);
    QFETCH(bool, shown);
    m_form.reset();
    setEndHandler(nullptr);
    setErrorReporter(nullptr);
    Form main(kTestForm, testPictures());
    bool everShown = false;
    if (ending == QLatin1String("load error"))
        main.setLoadProcedure([] { textToBool(QStringLiteral("maybe")); });
    QString reported;
    if (status != 0) {
        onNextModal([&](QWidget *modal) {
            reported = static_cast<QMessageBox *>(modal)->text();
            modal->close();
        });
    }
    QTimer::singleShot(0, &main, [&] {
        everShown = main.isVisible();
        if (ending == QLatin1String("end"))
            dispatch([] { End(); });
        else if (ending == QLatin1String("close"))
            main.close();
        else if (ending == QLatin1String("procedure error"))
            dispatch([] { ImageList().picture(1); });
    });
    QTimer neverHang;
    neverHang.setSingleShot(true);
    connect(&neverHang, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    neverHang.start(10000);
    QCOMPARE(runMainForm(main), status);
    QCoreApplication::processEvents(); // the timers of a start-up that ended early
    QCOMPARE(everShown, shown);
    QCOMPARE(reported.startsWith(QLatin1String("Run-time error")), status != 0);
    QVERIFY(!main.isVisible());
}

void tst_runtime::endStopsFurtherProcedures()
{
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    int runs = 0;
    onClick(box, [&] { ++runs; End(); });
    m_pointer.click(Qt::LeftButton, QPoint(5, 5), box);
    QCOMPARE(runs, 1);
    QCOMPARE(m_ends, 1);
    QVERIFY(hasEnded());
    m_log.clear();
    m_pointer.click(Qt::LeftButton, QPoint(5, 5), box);
    QCOMPARE(runs, 1);
    QVERIFY2(m_log.isEmpty(), qPrintable(m_log.join(", ")));
}

void tst_runtime::runtimeErrorIsReportedAndEnds()
{
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    bool after = false;
    onMouse(box, MouseEvent::Down, [&](qint16, qint16, float, float) {
        ImageList().picture(1);
        after = true;
    });
    m_pointer.click(Qt::LeftButton, QPoint(5, 5), box);
    QCOMPARE(m_errors, QList<int>{35600});
    QVERIFY(!after);
    QCOMPARE(m_ends, 1);
    QVERIFY(!m_log.contains(QStringLiteral("Box click")));
}

void tst_runtime::runtimeErrorDefaultReportIsAMessageBox()
{
    setErrorReporter(nullptr);
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    onMouse(box, MouseEvent::Up, [](qint16, qint16, float, float) { textToBool(QString()); });
    QString text, title;
    onNextModal([&](QWidget *modal) {
        auto *message = qobject_cast<QMessageBox *>(modal);
        QVERIFY(message);
        text = message->text();
        title = message->windowTitle();
        QCOMPARE(message->icon(), QMessageBox::Critical);
        message->accept();
    });
    m_pointer.click(Qt::LeftButton, QPoint(5, 5), box);
    QCOMPARE(text, QStringLiteral("Run-time error '13':\n\nType mismatch"));
    QCOMPARE(title, QStringLiteral("Runtime test"));
    QCOMPARE(m_ends, 1);
    QVERIFY(!m_log.contains(QStringLiteral("Box click"))); // nothing runs after the end
}

void tst_runtime::modalShowBlocksOtherWindows()
{
    auto *box = m_form->control<PictureBox>(QStringLiteral("Box"));
    Form dialog(kDialog, {}, m_form.get());
    bool clickedWhileOpen = true;
    QString escapeClosed;
    onNextModal([&](QWidget *modal) {
        QCOMPARE(modal, &dialog);
        m_log.clear();
        m_pointer.click(Qt::LeftButton, QPoint(5, 5), box);
        clickedWhileOpen = !m_log.isEmpty();
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape);
    });
    dialog.showForm(1);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!clickedWhileOpen);
    // Shown again, the same object opens again; and the main window takes input once more.
    onNextModal([&](QWidget *modal) { modal->close(); });
    dialog.showForm(1);
    m_pointer.click(Qt::LeftButton, QPoint(5, 5), box);
    QVERIFY(m_log.contains(QStringLiteral("Box click")));
}

void tst_runtime::messageBoxDecodesStyle_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("defaultIndex");
    QTest::addColumn<int>("pressIndex");
    QTest::addColumn<int>("result");
    const QStringList ok{"OK"};
    QTest::newRow("0: OK") << 0 << ok << int(QMessageBox::NoIcon) << 0 << 0 << 1;
    QTest::newRow("128: OK, no icon") << 128 << ok << int(QMessageBox::NoIcon) << 0 << 0 << 1;
    QTest::newRow("1+16: OK Cancel, critical") << 17 << QStringList{"OK", "Cancel"}
        << int(QMessageBox::Critical) << 0 << 1 << 2;
    QTest::newRow("3+32+256: Yes No Cancel, question, second default") << 3 + 32 + 256
        << QStringList{"Yes", "No", "Cancel"} << int(QMessageBox::Question) << 1 << 1 << 7;
    QTest::newRow("2+48+512: Abort Retry Ignore, warning, third default") << 2 + 48 + 512
        << QStringList{"Abort", "Retry", "Ignore"} << int(QMessageBox::Warning) << 2 << 0 << 3;
    QTest::newRow("4+64: Yes No, information") << 4 + 64 << QStringList{"Yes", "No"}
        << int(QMessageBox::Information) << 0 << 0 << 6;
    QTest::newRow("5: Retry Cancel") << 5 << QStringList{"Retry", "Cancel"}
        << int(QMessageBox::NoIcon) << 0 << 0 << 4;
    QTest::newRow("default past the last button") << 512 << ok << int(QMessageBox::NoIcon) << 0 << 0 << 1;
}

void tst_runtime::messageBoxDecodesStyle()
{
    QFETCH(int, style);
    QFETCH(QStringList, buttons);
    QFETCH(int, icon);
    QFETCH(int, defaultIndex);
    QFETCH(int, pressIndex);
    QFETCH(int, result);
    QString title, text;
    QStringList shown;
    int shownIcon = -1;
    QString defaultText;
    onNextModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        shownIcon = int(box->icon());
        // Buttons in the order the style names them, as the box lays them out.
        const QList<QAbstractButton *> all = box->buttons();
        QList<QAbstractButton *> ordered;
        for (const QString &b : buttons) {
            for (QAbstractButton *candidate : all) {
                if (candidate->text().remove(QLatin1Char('&')) == b)
                    ordered.append(candidate);
            }
        }
        for (QAbstractButton *b : all)
            shown << b->text().remove(QLatin1Char('&'));
        if (box->defaultButton())
            defaultText = box->defaultButton()->text().remove(QLatin1Char('&'));
        if (pressIndex < ordered.size())
            ordered[pressIndex]->click();
        else
            box->reject();
    });
    const int answer = MsgBox(QStringLiteral("Hello"), style);
    QCOMPARE(title, QStringLiteral("Runtime test"));
    QCOMPARE(text, QStringLiteral("Hello"));
    QCOMPARE(shownIcon, icon);
    shown.sort();
    QStringList expected = buttons;
    expected.sort();
    QCOMPARE(shown, expected);
    QCOMPARE(defaultText, buttons.at(defaultIndex));
    QCOMPARE(answer, result);
}

void tst_runtime::displayProblem_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("problem"); // empty: none; else a word the message contains
    QTest::newRow("nothing set") << "" << "" << "" << "no display";
    QTest::newRow("xcb chosen without a display") << "xcb" << "" << "" << "DISPLAY is not set";
    QTest::newRow("a display nobody serves") << "" << ":4242" << "" << "cannot open display \":4242\"";
    QTest::newRow("a Wayland socket that is not there") << "" << "" << "wayland-4242" << "cannot open Wayland";
    QTest::newRow("offscreen needs no display") << "offscreen" << "" << "" << "";
    QTest::newRow("offscreen with options") << "offscreen:size=10x10" << "" << "" << "";
}

void tst_runtime::displayProblem()
{
    QFETCH(QString, platform);
    QFETCH(QString, display);
    QFETCH(QString, wayland);
    QFETCH(QString, problem);
    const QByteArray saved[3] = {qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")};
    const auto set = [](const char *name, const QString &value) {
        if (value.isEmpty()) qunsetenv(name); else qputenv(name, value.toLocal8Bit());
    };
    set("QT_QPA_PLATFORM", platform);
    set("DISPLAY", display);
    set("WAYLAND_DISPLAY", wayland);
    const auto found = Runtime::displayProblem();
    set("QT_QPA_PLATFORM", QString::fromLocal8Bit(saved[0]));
    set("DISPLAY", QString::fromLocal8Bit(saved[1]));
    set("WAYLAND_DISPLAY", QString::fromLocal8Bit(saved[2]));
    if (problem.isEmpty()) {
        QVERIFY2(!found, qPrintable(found.value_or(QString())));
    } else {
        QVERIFY(found);
        QVERIFY2(found->contains(problem), qPrintable(*found));
    }
}

QTEST_MAIN(tst_runtime)
#include "tst_runtime.moc"

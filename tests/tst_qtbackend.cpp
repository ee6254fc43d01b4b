// The Qt back end, driven through Qt's own event routing: layout and stacking of the widgets,
// what each kind of peer shows and what its user does reaching the runtime, a long paste, the
// focus, the pointer as Qt delivers it (buttons, modifiers, grabs, double-clicks, fractions, cancels),
// modal windows, QMessageBox, the event loop's ending, stored pictures and the display check.
#include "mainwindow.h"
#include "testform.h"
#include "runtime/units.h"
#include "runtime/values.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Runtime;

namespace {

// '#' white, '.' black, 'r' red.
QImage ascii(const QStringList &rows)
{
    QImage image(int(rows.first().size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QChar c = rows[y][x];
            image.setPixel(x, y, c == '#' ? qRgb(255, 255, 255) : c == 'r' ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
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
    return QtUi::pictureOf(image);
}


using TestForm::kDialog;
using TestForm::tw;
const FormDescription &kTestForm = TestForm::kForm;

// A pair of standard option buttons, in a window of their own beside the test form.
const ControlDescription kOptionPair[] = {
    {.kind = Kind::OptionButton, .name = "Option", .index = 0, .place = {tw(10), tw(10), tw(80), tw(20)},
     .text = "First", .tabIndex = 0, .value = true},
    {.kind = Kind::OptionButton, .name = "Option", .index = 1, .place = {tw(10), tw(40), tw(80), tw(20)},
     .text = "Second", .tabIndex = 1},
};
const FormDescription kOptionForm{"Options", "Options", {tw(400), tw(100), tw(100), tw(70)}, kOptionPair};

PictureSource testPictures()
{
    return [](const std::string &name) {
        if (name == "small") return QtUi::pictureOf(ascii(kSmall));
        if (name == "white20") return fill(20, 20);
        if (name == "white30x20") return fill(30, 20);
        if (name == "white20x10") return fill(20, 10);
        if (name == "white10") return fill(10, 10);
        throw RuntimeError(Err::InvalidPicture, name);
    };
}

} // namespace

class tst_QtBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pictureShownAsStored();
    void storedPictures();
    void layoutFromTwips();
    void stackingFollowsStoredOrder();
    void standardControls_data();
    void standardControls();
    void checkBoxTogglesOnce_data();
    void checkBoxTogglesOnce();
    void aLongPasteIsTakenWhole();
    void focusChangesReachTheRuntime();

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

    void exitStatus_data();
    void exitStatus();
    void runtimeErrorDefaultReportIsAMessageBox();
    void modalShowBlocksOtherWindows();
    void messageBoxDecodesStyle_data();
    void messageBoxDecodesStyle();
    void displayProblem_data();
    void displayProblem();

private:
    void logEvents(PictureBox *box, const QString &name);
    QWidget *window() const { return windowOf(*m_form); }
    QWidget *widget(const char *name, int index = -1) const { return widgetNamed(*m_form, name, index); }

    std::unique_ptr<Application> m_application;
    std::unique_ptr<Form> m_form;
    Pointer m_pointer;
    QStringList m_log;
};

void tst_QtBackend::initTestCase()
{
}

void tst_QtBackend::init()
{
    m_application = std::make_unique<Application>(*testBackend(), "Runtime test");
    m_form = std::make_unique<Form>(kTestForm, nullptr, testPictures());
    m_pointer.setWindow(*m_form);
    m_form->showForm(0);
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    // Every test starts with the pointer on a bare spot of the form.
    m_pointer.move(QPoint(195, 5));
    m_log.clear();
    for (const char *name : {"Top", "Under", "Box", "Bordered", "Inner"})
        logEvents(m_form->control<PictureBox>(name), QString::fromLatin1(name));
}

void tst_QtBackend::cleanup()
{
    m_pointer.releaseAll();
    m_form.reset();
    m_application.reset();
}

void tst_QtBackend::logEvents(PictureBox *box, const QString &name)
{
    const auto entry = [this, name](const char *event) {
        return [this, name, event](std::int16_t b, std::int16_t s, float x, float y) {
            m_log << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(name, QLatin1String(event)).arg(b).arg(s).arg(x).arg(y);
        };
    };
    box->MouseDown = entry("down");
    box->MouseMove = entry("move");
    box->MouseUp = entry("up");
    box->Click = [this, name] { m_log << name + QStringLiteral(" click"); };
}

void tst_QtBackend::pictureShownAsStored()
{
    auto *top = m_form->control<PictureBox>("Top");
    auto *box = m_form->control<PictureBox>("Box");
    const Picture picture = QtUi::pictureOf(ascii(kSmall));
    top->setPicture(picture);
    QTRY_COMPARE(shownFace(top).copy(0, 0, 4, 4), ascii(kSmall));
    // The rest of the box shows its background; the other box its own face.
    QCOMPARE(shownFace(top).pixel(10, 10), qRgb(192, 192, 192));
    QCOMPARE(shownFace(box), imageOf(box->picture()));
    auto *bordered = m_form->control<PictureBox>("Bordered");
    QCOMPARE(shownFace(bordered), imageOf(bordered->picture()));
}

void tst_QtBackend::layoutFromTwips()
{
    QCOMPARE(window()->size(), QSize(200, 150));
    QCOMPARE(window()->geometry().topLeft(), QPoint(100, 100));
    QWidget *inner = widget("Inner");
    QCOMPARE(inner->geometry(), QRect(15, 20, 10, 10));
    QCOMPARE(inner->mapTo(window(), QPoint(0, 0)), QPoint(25, 80));
    QCOMPARE(widget("Arr", 1)->geometry(), QRect(120, 120, 40, 15));
    QCOMPARE(static_cast<QtUi::PictureBoxWidget *>(widget("Bordered"))->drawingArea(), QRect(2, 2, 20, 10));
    QVERIFY(!widget("Hidden")); // a hidden store has no widget at all
    QCOMPARE(widget("Top")->focusPolicy(), Qt::NoFocus); // drawn as no control: no focus
    QCOMPARE(qobject_cast<QLineEdit *>(widget("Edit"))->text(), QStringLiteral("abc"));
    QCOMPARE(qobject_cast<QGroupBox *>(widget("Frame"))->title(), QStringLiteral("Frame"));
}

void tst_QtBackend::stackingFollowsStoredOrder()
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


void tst_QtBackend::storedPictures()
{
    // Decoded by Qt's reader from the program's resources; a name that is none is no picture.
    const Picture stored = testBackend()->loadPicture("PicM");
    QCOMPARE(QSize(stored.width(), stored.height()), QSize(26, 26));
    QCOMPARE(imageOf(stored), storedImage(QStringLiteral("PicM")));
    QVERIFY(testBackend()->loadPicture("nowhere").isNull());
}

void tst_QtBackend::standardControls_data()
{
    // What the program sets, each kind of standard control shows; what its user does, the
    // runtime keeps. Rows name the control, what happens and what it reads afterwards.
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("shown");   // the widget's text, or its check: "checked"/"unchecked"
    QTest::addColumn<QString>("runtime"); // the control's text, or its value: "true"/"false"
    QTest::newRow("text set on a text box") << "Edit" << "set text" << "set" << "set";
    QTest::newRow("text set on a label") << "Arr(0)" << "set text" << "set" << "set";
    QTest::newRow("caption set on a frame") << "Frame" << "set text" << "set" << "set";
    QTest::newRow("caption set on a command button") << "Button" << "set text" << "set" << "set";
    QTest::newRow("a check box's value set") << "Check" << "set value" << "checked" << "true";
    QTest::newRow("an option's value set: Qt groups nothing") << "Option(1)" << "set value" << "checked" << "true";
    QTest::newRow("typed into a text box") << "Edit" << "type" << "abcde" << "abcde";
    QTest::newRow("a check box clicked") << "Check" << "click" << "checked" << "true";
    QTest::newRow("an option clicked: chosen") << "Option(1)" << "click" << "checked" << "true";
    QTest::newRow("the other option: no longer chosen") << "Option(0)" << "click the other" << "unchecked" << "false";
    QTest::newRow("the chosen option clicked again: still chosen") << "Option(0)" << "click" << "checked" << "true";
}

void tst_QtBackend::standardControls()
{
    QFETCH(QString, control);
    QFETCH(QString, action);
    QFETCH(QString, shown);
    QFETCH(QString, runtime);
    Form options(kOptionForm);
    options.showForm(0);
    QVERIFY(QTest::qWaitForWindowExposed(windowOf(options)));
    const bool option = control.startsWith(QLatin1String("Option"));
    const Form &form = option ? options : *m_form;
    const int open = int(control.indexOf(QLatin1Char('(')));
    Control &c = open < 0 ? form.control(control.toStdString())
                          : form.control(control.left(open).toStdString(), control.mid(open + 1, 1).toInt());
    QWidget *w = widgetOf(c);
    Pointer pointer(windowOf(form));
    if (action == QLatin1String("set text")) {
        c.setText("set");
    } else if (action == QLatin1String("set value")) {
        c.setValue(true);
    } else if (action == QLatin1String("type")) {
        QTest::keyClick(w, Qt::Key_End);
        QTest::keyClicks(w, QStringLiteral("de"));
    } else if (action == QLatin1String("click")) {
        pointer.click(Qt::LeftButton, QPoint(8, 10), w);
    } else {
        pointer.click(Qt::LeftButton, QPoint(8, 10), widgetNamed(form, "Option", 1));
    }
    QString text;
    if (auto *edit = qobject_cast<QLineEdit *>(w)) text = edit->text();
    else if (auto *label = qobject_cast<QLabel *>(w)) text = label->text();
    else if (auto *frame = qobject_cast<QGroupBox *>(w)) text = frame->title();
    else if (auto *button = qobject_cast<QAbstractButton *>(w); button && !button->isCheckable()) text = button->text();
    else text = qobject_cast<QAbstractButton *>(w)->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
    QCOMPARE(text, shown);
    const bool valued = shown.endsWith(QLatin1String("checked"));
    QCOMPARE(valued ? (c.value() ? QStringLiteral("true") : QStringLiteral("false")) : qs(c.text()), runtime);
    if (option) {
        // Each button of the pair shows its own value, and by the user's hand only one is chosen.
        for (int i : {0, 1}) {
            QCOMPARE(qobject_cast<QRadioButton *>(widgetNamed(options, "Option", i))->isChecked(),
                     options.control("Option", i).value());
        }
        if (action != QLatin1String("set value"))
            QVERIFY(options.control("Option", 0).value() != options.control("Option", 1).value());
    }
}

void tst_QtBackend::checkBoxTogglesOnce_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("a click") << "click";
    QTest::newRow("Space") << "Space";
    QTest::newRow("assistive technology's action") << "action";
}

void tst_QtBackend::checkBoxTogglesOnce()
{
    // The toolkit's check box toggles itself by each of these ways; the runtime toggles the
    // value it reports: each way must toggle it once, not twice (which would change nothing).
    QFETCH(QString, way);
    Control &check = m_form->control("Check");
    auto *box = qobject_cast<QCheckBox *>(widgetOf(check));
    QVERIFY(box);
    QVERIFY(QTest::qWaitForWindowActive(window()));
    check.peer()->setFocus();
    for (const bool expected : {true, false}) {
        if (way == QLatin1String("click")) {
            m_pointer.click(Qt::LeftButton, QPoint(8, 10), box);
        } else if (way == QLatin1String("Space")) {
            QTest::keyClick(window()->windowHandle(), Qt::Key_Space);
        } else {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
            QVERIFY(accessible && accessible->actionInterface());
            accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        }
        QCOMPARE(check.value(), expected);
        QCOMPARE(box->isChecked(), expected);
    }
}

void tst_QtBackend::aLongPasteIsTakenWhole()
{
    // Far beyond the line edit's own limit of 32,767 characters.
    QString text;
    for (int i = 0; i < 10000; ++i)
        text += QStringLiteral("0123456789");
    QGuiApplication::clipboard()->setText(text);
    QCOMPARE(QGuiApplication::clipboard()->text().size(), text.size());
    QWidget *edit = widget("Edit");
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(qobject_cast<QLineEdit *>(edit)->text().size(), 100000);
    QCOMPARE(m_form->control("Edit").text(), text.toStdString());
}

void tst_QtBackend::focusChangesReachTheRuntime()
{
    // Where Qt puts the keyboard focus, the runtime knows it is.
    QVERIFY(QTest::qWaitForWindowActive(window()));
    QCOMPARE(m_form->focusedControl(), &m_form->control("Button")); // the first stop, given when shown
    m_pointer.click(Qt::LeftButton, QPoint(5, 5), widget("Edit"));
    QCOMPARE(QApplication::focusWidget(), widget("Edit"));
    QCOMPARE(m_form->focusedControl(), &m_form->control("Edit"));
    m_pointer.click(Qt::LeftButton, QPoint(5, 5), widget("Box")); // a picture box takes no focus from a click
    QCOMPARE(m_form->focusedControl(), &m_form->control("Edit"));
    // Another window takes the keyboard, and gives it back.
    Form options(kOptionForm);
    options.showForm(0);
    QVERIFY(QTest::qWaitForWindowActive(windowOf(options)));
    QCOMPARE(QApplication::focusWidget(), widgetNamed(options, "Option", 0));
    QCOMPARE(m_form->focusedControl(), nullptr);
    QCOMPARE(options.focusedControl(), &options.control("Option", 0));
    window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window()));
    QCOMPARE(m_form->focusedControl(), &m_form->control("Edit"));
    QCOMPARE(QApplication::focusWidget(), widget("Edit"));
    // Given back as it was left: the text is not selected, as a move by the keyboard would.
    QCOMPARE(qobject_cast<QLineEdit *>(widget("Edit"))->selectedText(), QString());
    // The runtime moves the focus as the keyboard does: a text box selects its text.
    QTest::keyClick(window()->windowHandle(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), widget("Check"));
    QTest::keyClick(window()->windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget("Edit"));
    QCOMPARE(qobject_cast<QLineEdit *>(widget("Edit"))->selectedText(), QStringLiteral("abc"));
}

void tst_QtBackend::pointerValues_data()
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

void tst_QtBackend::pointerValues()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, scale);
    QFETCH(QStringList, expected);
    auto *box = m_form->control<PictureBox>("Box");
    box->setScaleMode(scale);
    m_pointer.move(QPoint(3, 4), box);
    QCOMPARE(m_log.value(0), QStringLiteral("Box move 0 0 %1 %2").arg(3 * unitsPerPixel(scale)).arg(4 * unitsPerPixel(scale)));
    m_log.clear();
    m_pointer.press(button, QPoint(3, 4), box, modifiers);
    m_pointer.release(button, QPoint(3, 4), box, modifiers);
    QCOMPARE(m_log, expected);
}

void tst_QtBackend::grabKeepsMovesAndReleaseOutside()
{
    auto *box = m_form->control<PictureBox>("Box");
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

void tst_QtBackend::clickRule_data()
{
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("clicked");
    QTest::newRow("released where pressed") << QPoint(5, 5) << true;
    QTest::newRow("released elsewhere on the box") << QPoint(29, 19) << true;
    QTest::newRow("dragged off to the right") << QPoint(30, 5) << false;
    QTest::newRow("dragged off above") << QPoint(5, -1) << false;
    QTest::newRow("dragged onto another box") << QPoint(5, 35) << false;
}

void tst_QtBackend::clickRule()
{
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, clicked);
    auto *box = m_form->control<PictureBox>("Box");
    m_pointer.move(QPoint(5, 5), box);
    m_pointer.press(Qt::LeftButton, QPoint(5, 5), box);
    m_pointer.move(releaseAt, box);
    m_pointer.release(Qt::LeftButton, releaseAt, box);
    QCOMPARE(m_log.contains(QStringLiteral("Box click")), clicked);
    QCOMPARE(m_log.filter(QStringLiteral(" click")).size(), clicked ? 1 : 0);
}

void tst_QtBackend::doubleClickIsTwoClicks()
{
    auto *box = m_form->control<PictureBox>("Box");
    box->setScaleMode(3);
    m_pointer.move(QPoint(2, 2), box);
    m_log.clear();
    QTest::mouseDClick(window()->windowHandle(), Qt::LeftButton, {}, m_pointer.at(box, QPoint(2, 2)));
    QCOMPARE(m_log.filter(QStringLiteral("Box down")).size(), 2);
    QCOMPARE(m_log.filter(QStringLiteral("Box up")).size(), 2);
    QCOMPARE(m_log.filter(QStringLiteral("Box click")).size(), 2);
}

void tst_QtBackend::fractionalPositionRoundsDown()
{
    // A tablet or a scaled screen gives fractions; every event reports the whole pixel.
    auto *box = m_form->control<PictureBox>("Box");
    box->setScaleMode(3);
    QWidget *w = widgetOf(*box);
    const QPointF local(3.7, 4.99);
    QMouseEvent move(QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton, {}, {});
    QApplication::sendEvent(w, &move);
    QMouseEvent press(QEvent::MouseButtonPress, local, w->mapToGlobal(local), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, w->mapToGlobal(local), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(w, &release);
    QCOMPARE(m_log, (QStringList{"Box move 0 0 3 4", "Box down 1 0 3 4", "Box up 1 0 3 4", "Box click"}));
}

void tst_QtBackend::stillPointerAnnouncedBeforePress()
{
    // A window lies over Box while the pointer comes to rest at Box's pixel (6, 7); then the
    // window goes away and the button goes down without any move.
    auto *box = m_form->control<PictureBox>("Box");
    box->setScaleMode(3);
    m_pointer.move(QPoint(1, 1), box);
    QWidget cover;
    cover.setGeometry(QRect(window()->mapToGlobal(QPoint(0, 0)), QSize(200, 150)));
    cover.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cover));
    QTest::mouseMove(cover.windowHandle(), m_pointer.at(box, QPoint(6, 7)));
    cover.hide();
    m_log.clear();
    m_pointer.press(Qt::LeftButton, QPoint(6, 7), box);
    QCOMPARE(m_log.value(0), QStringLiteral("Box move 0 0 6 7"));
    QCOMPARE(m_log.value(1), QStringLiteral("Box down 1 0 6 7"));
    m_pointer.release(Qt::LeftButton, QPoint(6, 7), box);
}

void tst_QtBackend::pressLetGoWhereTheBoxCannotHear_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("the window hidden") << "hide";
    QTest::newRow("the window minimised") << "minimise";
    QTest::newRow("a modal window opened over it") << "modal";
    QTest::newRow("released while another program held the pointer") << "elsewhere";
}

void tst_QtBackend::pressLetGoWhereTheBoxCannotHear()
{
    // The release will never come here: the box lets go as if released just off its
    // top-left corner, where no picture is, and completes no click.
    QFETCH(QString, how);
    auto *box = m_form->control<PictureBox>("Box");
    box->setScaleMode(3);
    m_pointer.move(QPoint(5, 5), box);
    m_pointer.press(Qt::LeftButton, QPoint(5, 5), box);
    m_log.clear();
    Form dialog(kDialog, m_form.get());
    if (how == QLatin1String("hide")) {
        m_form->hide();
    } else if (how == QLatin1String("minimise")) {
        window()->showMinimized();
    } else if (how == QLatin1String("modal")) {
        onNextModal([](QWidget *modal) { modal->close(); });
        dialog.showForm(1);
    } else {
        const QPointF at(6, 6);
        QMouseEvent move(QEvent::MouseMove, at, widgetOf(*box)->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(widgetOf(*box), &move);
    }
    QCOMPARE(m_log.mid(0, 2), (QStringList{"Box move 1 0 -1 -1", "Box up 1 0 -1 -1"}));
    QVERIFY(!m_log.contains(QStringLiteral("Box click")));
    // Nothing is held any more: a release that comes late changes nothing.
    m_log.clear();
    m_form->showForm(0);
    window()->showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    m_pointer.release(Qt::LeftButton, QPoint(5, 5), box);
    QVERIFY2(m_log.filter(QStringLiteral(" up ")).isEmpty(), qPrintable(m_log.join(", ")));
}

void tst_QtBackend::exitStatus_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("shown");
    QTest::newRow("End") << "end" << 0 << true;
    QTest::newRow("the main window closed") << "close" << 0 << true;
    QTest::newRow("a run-time error in an event procedure") << "procedure error" << 1 << true;
    QTest::newRow("a run-time error while loading: never shown") << "load error" << 1 << false;
}

void tst_QtBackend::exitStatus()
{
    // The program's start-up and ending through the back end's own event loop.
    QFETCH(QString, ending);
    QFETCH(int, status);
    QFETCH(bool, shown);
    m_form.reset();
    m_application.reset();
    m_application = std::make_unique<Application>(*testBackend(), "Runtime test"); // one of its own
    Form main(kTestForm, nullptr, testPictures());
    bool everShown = false, looping = false;
    if (ending == QLatin1String("load error"))
        main.setLoadProcedure([] { textToBool("maybe"); });
    QString reported;
    if (status != 0) {
        onNextModal([&](QWidget *modal) {
            reported = static_cast<QMessageBox *>(modal)->text();
            modal->close();
        });
    }
    QTimer::singleShot(0, windowOf(main), [&] {
        everShown = main.isVisible();
        looping = testBackend()->inEventLoop();
        if (ending == QLatin1String("end"))
            m_application->dispatch([] { End(); });
        else if (ending == QLatin1String("close"))
            windowOf(main)->close(); // the frame's close command
        else if (ending == QLatin1String("procedure error"))
            m_application->dispatch([] { ImageList().picture(1); });
    });
    const NeverHang neverHang;
    QCOMPARE(m_application->run(main), status);
    QVERIFY(!testBackend()->inEventLoop());
    QCoreApplication::processEvents(); // the timers of a start-up that ended early
    QCOMPARE(everShown, shown);
    QCOMPARE(looping, shown); // the program's loop ran only once the window was shown
    QCOMPARE(reported.startsWith(QLatin1String("Run-time error")), status != 0);
    QVERIFY(!main.isVisible());
}

void tst_QtBackend::runtimeErrorDefaultReportIsAMessageBox()
{
    // Over the window it happened in; no event loop of the program's runs, so the windows are
    // hidden and every loop that runs goes on.
    auto *box = m_form->control<PictureBox>("Box");
    box->MouseUp = [](std::int16_t, std::int16_t, float, float) { textToBool(""); };
    QString text, title;
    QWidget *over = nullptr;
    onNextModal([&](QWidget *modal) {
        auto *message = qobject_cast<QMessageBox *>(modal);
        QVERIFY(message);
        text = message->text();
        title = message->windowTitle();
        over = message->parentWidget();
        QCOMPARE(message->icon(), QMessageBox::Critical);
        message->accept();
    });
    m_pointer.click(Qt::LeftButton, QPoint(5, 5), box);
    QCOMPARE(text, QStringLiteral("Run-time error '13':\n\nType mismatch"));
    QCOMPARE(title, QStringLiteral("Runtime test"));
    QCOMPARE(over, window());
    QVERIFY(m_application->hasEnded());
    QCOMPARE(m_application->exitStatus(), 1);
    QVERIFY(!window()->isVisible());
    QVERIFY(!m_log.contains(QStringLiteral("Box click"))); // nothing runs after the end
}

void tst_QtBackend::modalShowBlocksOtherWindows()
{
    auto *box = m_form->control<PictureBox>("Box");
    Form dialog(kDialog, m_form.get());
    bool clickedWhileOpen = true;
    QString escapeClosed;
    onNextModal([&](QWidget *modal) {
        QCOMPARE(modal, windowOf(dialog));
        m_log.clear();
        m_pointer.click(Qt::LeftButton, QPoint(5, 5), box);
        clickedWhileOpen = !m_log.isEmpty();
        QTest::keyClick(modal->windowHandle(), Qt::Key_Escape);
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

void tst_QtBackend::messageBoxDecodesStyle_data()
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

void tst_QtBackend::messageBoxDecodesStyle()
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
    QWidget *over = nullptr;
    onNextModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        over = box->parentWidget();
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
    const int answer = MsgBox("Hello", style);
    QCOMPARE(over, window()); // over the window the runtime asked for
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

void tst_QtBackend::displayProblem_data()
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

void tst_QtBackend::displayProblem()
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
    const auto found = QtUi::displayProblem();
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


QUORVEL_TEST_MAIN(tst_QtBackend)
#include "tst_qtbackend.moc"

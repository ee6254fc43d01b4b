// The main window from the keyboard, and as assistive technology sees it: Qt's keys reaching
// the runtime with the values it knows them by, and a key press driving a bitmap control, the
// arrows in the option groups, the focus indicator on the screen, a click that leaves the
// focus; each control's role, name, state and action through Qt's accessibility interfaces.
// The keyboard's rules themselves are the runtime's, tested in tst_rules.
#include "mainwindow.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>

using Runtime::PictureBox;

class tst_Keyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pointerClickLeavesTheFocus();
    void focusIndicatorOnlyOnceTheKeyboardIsUsed();
    void keysReachTheRuntime_data();
    void keysReachTheRuntime();
    void arrowsInOptionGroups();

    void accessibleControls_data();
    void accessibleControls();
    void padKeysAreChildrenOfThePad();
    void defaultActionsRunTheKeyboardPath();
    void textBoxesAreNamedByTheirLabels();
    void aboutWindowIsADialog();

private:
    QWidget *window() const { return windowOf(*m_form); }
    // Tab until `box` has the focus; false if the round never reaches it.
    bool tabTo(const Runtime::Control *control);
    // A key of the keyboard at the widget with the focus, as the window system brings it.
    void send(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {}, bool repeat = false);

    MainWindow m_form;
    Pointer m_pointer;
};

void tst_Keyboard::init()
{
    QVERIFY(m_form.open());
    m_pointer.setWindow(*m_form);
    QApplication::setActiveWindow(window());
    QTRY_VERIFY(QApplication::focusWidget());
}

void tst_Keyboard::cleanup()
{
    m_pointer.releaseAll();
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    m_form.reset();
}

bool tst_Keyboard::tabTo(const Runtime::Control *control)
{
    QWidget *target = widgetOf(*control);
    for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(window()->windowHandle(), Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

void tst_Keyboard::send(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, bool repeat)
{
    // As the window system gives it: to the window, which hands it to its focused widget.
    QKeyEvent event(type, key, modifiers, QString(), repeat);
    QApplication::sendEvent(window()->windowHandle(), &event);
}

void tst_Keyboard::pointerClickLeavesTheFocus()
{
    QWidget *before = QApplication::focusWidget();
    m_pointer.click(Qt::LeftButton, QPoint(12, 12), m_form->Chk1);
    QCOMPARE(m_form->ChkState, true);
    m_pointer.click(Qt::LeftButton, QPoint(85, 15), m_form->Picture1);
    QCOMPARE(QApplication::focusWidget(), before);
}

void tst_Keyboard::focusIndicatorOnlyOnceTheKeyboardIsUsed()
{
    // Focus given without the keyboard shows nothing; the same focus after a Tab shows the
    // dotted rectangle over the face, and only on the focused control.
    const QImage plain = shownFace(m_form->pic1);
    widgetOf(*m_form->pic1)->setFocus();
    QVERIFY(!m_form.application().keyboardUsed());
    QCOMPARE(shownFace(m_form->pic1), plain);
    QVERIFY(tabTo(m_form->Chk1));
    QVERIFY(tabTo(m_form->pic1));
    const QImage focused = shownFace(m_form->pic1);
    // Dots along the edges, in black; everything inside the rectangle is the face itself.
    QVERIFY(focused.copy(0, 0, 164, 1) != plain.copy(0, 0, 164, 1));
    QVERIFY(focused.copy(0, 50, 164, 1) != plain.copy(0, 50, 164, 1));
    for (int x = 0; x < 164; ++x) {
        if (focused.pixel(x, 0) != plain.pixel(x, 0))
            QCOMPARE(focused.pixel(x, 0), qRgb(0, 0, 0));
    }
    QCOMPARE(focused.copy(1, 1, 162, 49), plain.copy(1, 1, 162, 49));
    QVERIFY(tabTo(m_form->Chk1));
    QCOMPARE(shownFace(m_form->pic1), plain);
}

void tst_Keyboard::keysReachTheRuntime_data()
{
    // Each of Qt's keys the runtime knows, at the focused bitmap control: its face while the
    // key is held (the picture it shares with a store or an image list), and what it did once
    // let go. A held key's repeats come as further presses and releases marked as repeats.
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("done");
    const Qt::KeyboardModifiers none, keypad(Qt::KeypadModifier);
    QTest::newRow("Up on the pad") << "Picture1" << int(Qt::Key_Up) << none << 0 << "ImageList1-2" << "Up";
    QTest::newRow("Right on the pad") << "Picture1" << int(Qt::Key_Right) << none << 0 << "ImageList1-3" << "Right";
    QTest::newRow("Down on the pad") << "Picture1" << int(Qt::Key_Down) << none << 0 << "ImageList1-4" << "Down";
    QTest::newRow("Left on the pad") << "Picture1" << int(Qt::Key_Left) << none << 0 << "ImageList1-5" << "Left";
    QTest::newRow("Home on the pad") << "Picture1" << int(Qt::Key_Home) << none << 0 << "ImageList1-6" << "Home";
    QTest::newRow("Up of the keypad on the pad") << "Picture1" << int(Qt::Key_Up) << keypad << 0 << "ImageList1-2" << "Up";
    QTest::newRow("Space on the check box") << "Chk1" << int(Qt::Key_Space) << none << 0 << "ImageList2-1" << "checked";
    QTest::newRow("Return on the oval") << "pic1" << int(Qt::Key_Return) << none << 0 << "pic4" << "Is it pretty?";
    QTest::newRow("Enter of the keypad on About") << "Picture7" << int(Qt::Key_Enter) << keypad << 0 << "Picture6"
                                                  << "About...";
    QTest::newRow("Space on Exit, held with repeats: one press, one end") << "Picture4" << int(Qt::Key_Space) << none
                                                                          << 3 << "Picture3" << "ended";
    QTest::newRow("Space with Ctrl: no key of the runtime's") << "Picture4" << int(Qt::Key_Space)
                                                              << Qt::KeyboardModifiers(Qt::ControlModifier) << 0
                                                              << "Picture8" << "";
}

void tst_Keyboard::keysReachTheRuntime()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, repeats);
    QFETCH(QString, held);
    QFETCH(QString, done);
    auto *box = m_form->control<PictureBox>(control.toStdString());
    QVERIFY(tabTo(box));
    const auto shares = [this, box](const QString &name) {
        const QStringList list = name.split(QLatin1Char('-'));
        const Runtime::Picture stored = list.size() == 2
                ? (list[0] == QLatin1String("ImageList1") ? m_form->ImageList1 : m_form->ImageList2).picture(list[1].toInt())
                : m_form->control<PictureBox>(name.toStdString())->picture();
        return box->picture().sharesWith(stored);
    };
    const bool opens = done == QLatin1String("Is it pretty?") || done == QLatin1String("About...");
    QString opened;
    if (opens) {
        onNextModal([&](QWidget *modal) {
            auto *message = qobject_cast<QMessageBox *>(modal);
            opened = message ? message->text() : modal->windowTitle();
            modal->close();
        });
    }
    send(QEvent::KeyPress, key, modifiers);
    for (int i = 0; i < repeats; ++i) {
        send(QEvent::KeyRelease, key, modifiers, true);
        send(QEvent::KeyPress, key, modifiers, true);
    }
    QVERIFY2(shares(held), qPrintable(held));
    QVERIFY(opened.isEmpty());
    QVERIFY(!m_form.application().hasEnded());
    send(QEvent::KeyRelease, key, modifiers);
    QCOMPARE(opened, opens ? done : QString()); // opened, and closed, while the release ran
    QCOMPARE(m_form->ChkState, done == QLatin1String("checked"));
    QCOMPARE(m_form.application().hasEnded(), done == QLatin1String("ended"));
    const QString written = control == QLatin1String("Picture1") ? done : QString();
    QCOMPARE(qs(m_form->Text2->text()), written);
    QCOMPARE(qobject_cast<QLineEdit *>(widgetOf(*m_form->Text2))->text(), written); // and its peer shows it
}

void tst_Keyboard::arrowsInOptionGroups()
{
    // Down moves the focus and the selection to the next standard option button, which the
    // toolkit shows though it groups none of its own. The balls are the runtime's alone.
    QVERIFY(tabTo(&m_form->control("Option1", 0)));
    QTest::keyClick(window()->windowHandle(), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), widgetNamed(*m_form, "Option1", 1));
    QVERIFY(m_form->control("Option1", 1).value());
    QVERIFY(!qobject_cast<QRadioButton *>(widgetNamed(*m_form, "Option1", 0))->isChecked());
    QVERIFY(qobject_cast<QRadioButton *>(widgetNamed(*m_form, "Option1", 1))->isChecked());
}

void tst_Keyboard::accessibleControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("action"); // its first action; none for the pad, whose keys act
    const int check = QAccessible::CheckBox, radio = QAccessible::RadioButton, button = QAccessible::Button;
    const QString press = QAccessibleActionInterface::pressAction();
    QTest::newRow("the round check box") << "Chk1" << check << "qvCheck1" << true << false << press;
    QTest::newRow("option ball 0, selected") << "Opt1(0)" << radio << "qvOption1(0)" << true << true << press;
    QTest::newRow("option ball 1") << "Opt1(1)" << radio << "qvOption1(1)" << true << false << press;
    QTest::newRow("option ball 2") << "Opt1(2)" << radio << "qvOption1(2)" << true << false << press;
    QTest::newRow("the oval") << "pic1" << button << "Click here!" << false << false << press;
    QTest::newRow("About") << "Picture7" << button << "About" << false << false << press;
    QTest::newRow("Exit") << "Picture4" << button << "Exit" << false << false << press;
    QTest::newRow("the pad") << "Picture1" << int(QAccessible::Grouping) << "Direction pad" << false << false << "";
    // Not grouped by the toolkit, yet radio buttons.
    QTest::newRow("the standard option 0, selected") << "Option1(0)" << radio << "Option1(0)" << true << true
                                                     << QAccessibleActionInterface::toggleAction();
    QTest::newRow("the standard option 1") << "Option1(1)" << radio << "Option1(1)" << true << false
                                           << QAccessibleActionInterface::toggleAction();
}

void tst_Keyboard::accessibleControls()
{
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(bool, checkable);
    QFETCH(bool, checked);
    QFETCH(QString, action);
    const int open = int(control.indexOf(QLatin1Char('(')));
    const int index = open < 0 ? -1 : control.mid(open + 1, 1).toInt();
    const std::string stored = (open < 0 ? control : control.left(open)).toStdString();
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widgetNamed(*m_form, stored.c_str(), index));
    QVERIFY(a);
    QCOMPARE(int(a->role()), role);
    QCOMPARE(a->text(QAccessible::Name), name);
    QCOMPARE(bool(a->state().checkable), checkable);
    QCOMPARE(bool(a->state().checked), checked);
    QCOMPARE(bool(a->state().focusable), true);
    QAccessibleActionInterface *actions = a->actionInterface();
    const QStringList names = actions ? actions->actionNames() : QStringList();
    QCOMPARE(names.value(0), action);
    if (checkable) {
        // Done, a check box or an option is checked, and an option chosen as a click chooses it.
        actions->doAction(action);
        QVERIFY(a->state().checked);
        if (control == QLatin1String("Option1(1)"))
            QVERIFY(!m_form->control("Option1", 0).value());
    }
}

void tst_Keyboard::padKeysAreChildrenOfThePad()
{
    QAccessibleInterface *pad = QAccessible::queryAccessibleInterface(widgetOf(*m_form->Picture1));
    QVERIFY(pad);
    QCOMPARE(pad->childCount(), 5);
    QStringList names;
    for (int i = 0; i < pad->childCount(); ++i) {
        QAccessibleInterface *key = pad->child(i);
        QVERIFY(key);
        QCOMPARE(int(key->role()), int(QAccessible::Button));
        names << key->text(QAccessible::Name);
        QCOMPARE(pad->indexOfChild(key), i);
        QCOMPARE(key->parent(), pad);
        QVERIFY(pad->rect().contains(key->rect()));
        QCOMPARE(pad->childAt(key->rect().center().x(), key->rect().center().y()), key);
        QCOMPARE(key->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        QCOMPARE(pad->child(i), key); // asked again, the same interface
    }
    QCOMPARE(names, (QStringList{"Home", "Up", "Down", "Left", "Right"}));
    // Where the Up key's shape lies on the screen, as the runtime describes it.
    QCOMPARE(pad->child(1)->rect(), QRect(widgetOf(*m_form->Picture1)->mapToGlobal(QPoint(45, 2)), QSize(82, 26)));
    // Pressing a key through its interface writes its name.
    pad->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(qs(m_form->Text2->text()), QStringLiteral("Down"));
}

void tst_Keyboard::defaultActionsRunTheKeyboardPath()
{
    QAccessibleInterface *chk = QAccessible::queryAccessibleInterface(widgetOf(*m_form->Chk1));
    chk->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_form->ChkState, true);
    QCOMPARE(bool(chk->state().checked), true);
    QVERIFY(m_form->Chk1->picture().sharesWith(m_form->ImageList2.picture(3)));
    QAccessibleInterface *opt2 = QAccessible::queryAccessibleInterface(widgetOf(*m_form->Opt1[2]));
    opt2->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_form->OptIndex, std::int16_t(2));
    QCOMPARE(bool(opt2->state().checked), true);
    QCOMPARE(bool(QAccessible::queryAccessibleInterface(widgetOf(*m_form->Opt1[0]))->state().checked), false);
    QAccessibleInterface *exit = QAccessible::queryAccessibleInterface(widgetOf(*m_form->Picture4));
    exit->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(m_form.application().hasEnded());
}

void tst_Keyboard::textBoxesAreNamedByTheirLabels()
{
    QCOMPARE(QAccessible::queryAccessibleInterface(widgetOf(*m_form->Text2))->text(QAccessible::Name),
             QStringLiteral("Action:"));
    QCOMPARE(QAccessible::queryAccessibleInterface(widgetNamed(*m_form, "Text1"))->text(QAccessible::Name),
             QStringLiteral("Label1"));
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(widgetNamed(*m_form, "Frame2"));
    QCOMPARE(int(frame->role()), int(QAccessible::Grouping));
    // Among the window's children are no hidden stores: nothing nameless, no fillers.
    QAccessibleInterface *main = QAccessible::queryAccessibleInterface(window());
    QCOMPARE(int(main->role()), int(QAccessible::Window));
    QCOMPARE(main->childCount(), 4); // two frames, About, Exit
}

void tst_Keyboard::aboutWindowIsADialog()
{
    QString name;
    QStringList lines;
    int role = -1;
    onNextModal([&](QWidget *modal) {
        QAccessibleInterface *about = QAccessible::queryAccessibleInterface(modal);
        role = int(about->role());
        name = about->text(QAccessible::Name);
        for (int i = 0; i < about->childCount(); ++i)
            lines << about->child(i)->text(QAccessible::Name);
        modal->close();
    });
    m_pointer.click(Qt::LeftButton, QPoint(45, 17), m_form->Picture7);
    QCOMPARE(role, int(QAccessible::Dialog));
    QCOMPARE(name, QStringLiteral("About..."));
    QCOMPARE(lines.size(), 6);
    QVERIFY2(lines.contains(QStringLiteral("No limits to Your fantasy...")), qPrintable(lines.join('|')));
    QVERIFY2(lines.contains(QStringLiteral("quorvel@zennorak.example")), qPrintable(lines.join('|')));
}

QUORVEL_TEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"

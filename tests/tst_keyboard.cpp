// The main window from the keyboard alone, and as assistive technology sees it: every bitmap
// control reached and driven through its own procedures, the focus indicator, keys and pointer
// mixed, and each control's role, name, state and action through Qt's accessibility interfaces.
#include "mainwindow.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QMessageBox>

using Runtime::PictureBox;

class tst_Keyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pointerClickLeavesTheFocus();
    void focusIndicatorOnlyOnceTheKeyboardIsUsed();
    void checkBox();
    void pushButtons_data();
    void pushButtons();
    void optionGroup_data();
    void optionGroup();
    void directionPad_data();
    void directionPad();
    void keysAndPointerMixed_data();
    void keysAndPointerMixed();
    void focusLostWhileAKeyIsHeld();

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
    void press(Qt::Key key) { QTest::keyPress(QApplication::focusWidget(), key); }
    void release(Qt::Key key) { QTest::keyRelease(QApplication::focusWidget(), key); }
    QList<int> optionFaces();

    std::unique_ptr<Form1> m_form;
    Pointer m_pointer;
    int m_ends = 0;
};

void tst_Keyboard::init()
{
    m_ends = 0;
    Runtime::setEndHandler([this] { ++m_ends; });
    m_form = openMainWindow();
    QVERIFY(m_form);
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
    Runtime::setEndHandler({});
}

bool tst_Keyboard::tabTo(const Runtime::Control *control)
{
    QWidget *target = widgetOf(*control);
    for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(window()->windowHandle(), Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

QList<int> tst_Keyboard::optionFaces()
{
    QList<int> faces;
    for (PictureBox *option : m_form->Opt1) {
        int which = 0;
        for (int i = 4; i <= 6; ++i) {
            if (imageOf(option->picture()) == imageOf(m_form->ImageList2.picture(i)))
                which = i;
        }
        faces << which;
    }
    return faces;
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
    if (!Runtime::keyboardUsed())
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

void tst_Keyboard::checkBox()
{
    QVERIFY(tabTo(m_form->Chk1));
    const QImage unchecked = shownFace(m_form->Chk1);
    press(Qt::Key_Space);
    QCOMPARE(m_form->ChkState, false); // a press changes nothing; the release toggles
    QCOMPARE(shownFace(m_form->Chk1).copy(1, 1, 24, 24), unchecked.copy(1, 1, 24, 24));
    release(Qt::Key_Space);
    QCOMPARE(m_form->ChkState, true);
    QVERIFY(m_form->Chk1->picture().sharesWith(m_form->ImageList2.picture(3)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(m_form->ChkState, false);
    // Enter is no key of a check box.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(m_form->ChkState, false);
}

void tst_Keyboard::pushButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<QString>("released");
    for (const auto &[name, key] : {std::pair{"Space", int(Qt::Key_Space)}, std::pair{"Enter", int(Qt::Key_Return)}}) {
        QTest::addRow("the oval, %s", name) << "pic1" << key << "pic4" << "pic3";
        QTest::addRow("About, %s", name) << "Picture7" << key << "Picture6" << "Picture5";
        QTest::addRow("Exit, %s", name) << "Picture4" << key << "Picture3" << "Picture8";
    }
}

void tst_Keyboard::pushButtons()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, pressed);
    QFETCH(QString, released);
    auto *box = m_form->control<PictureBox>(button.toStdString());
    QVERIFY(tabTo(box));
    press(Qt::Key(key));
    QVERIFY(box->picture().sharesWith(m_form->control<PictureBox>(pressed.toStdString())->picture()));
    QString opened;
    QImage faceWhileOpen;
    if (button != QLatin1String("Picture4")) {
        onNextModal([&](QWidget *modal) {
            opened = modal->windowTitle();
            faceWhileOpen = imageOf(box->picture());
            if (auto *message = qobject_cast<QMessageBox *>(modal))
                opened += QLatin1Char('/') + message->text();
            QTest::keyClick(modal, Qt::Key_Escape); // Escape closes either window
        });
    }
    release(Qt::Key(key));
    QVERIFY(box->picture().sharesWith(m_form->control<PictureBox>(released.toStdString())->picture()));
    if (button == QLatin1String("pic1")) {
        QCOMPARE(opened, QStringLiteral("Quorvel/Is it pretty?"));
        QCOMPARE(faceWhileOpen, storedImage(QStringLiteral("pic3")));
    } else if (button == QLatin1String("Picture7")) {
        QCOMPARE(opened, QStringLiteral("About..."));
    } else {
        QCOMPARE(m_ends, 1);
    }
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_Keyboard::optionGroup_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QList<int>>("faces");
    QTest::newRow("Down selects the next ball") << QList<int>{Qt::Key_Down} << 1 << QList<int>{4, 6, 4};
    QTest::newRow("Right as Down") << QList<int>{Qt::Key_Right, Qt::Key_Right} << 2 << QList<int>{4, 4, 6};
    QTest::newRow("Up from the first goes round to the last") << QList<int>{Qt::Key_Up} << 2 << QList<int>{4, 4, 6};
    QTest::newRow("Down from the last goes round to the first")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down} << 0 << QList<int>{6, 4, 4};
    QTest::newRow("Space on the selected ball changes nothing") << QList<int>{Qt::Key_Space} << 0 << QList<int>{6, 4, 4};
}

void tst_Keyboard::optionGroup()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, selected);
    QFETCH(QList<int>, faces);
    QVERIFY(tabTo(m_form->Opt1[0]));
    for (int key : keys)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(m_form->OptIndex, std::int16_t(selected));
    QCOMPARE(optionFaces(), faces);
    QCOMPARE(QApplication::focusWidget(), widgetOf(*m_form->Opt1[std::size_t(selected)]));
    // The group is one stop, on the selected ball: round the form, Tab comes back to it.
    QTest::keyClick(window()->windowHandle(), Qt::Key_Tab);
    QVERIFY(tabTo(m_form->Chk1));
    QTest::keyClick(window()->windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widgetOf(*m_form->Opt1[std::size_t(selected)]));
}

void tst_Keyboard::directionPad_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("lit");
    QTest::addColumn<QString>("written");
    QTest::newRow("Up") << int(Qt::Key_Up) << 2 << "Up";
    QTest::newRow("Right") << int(Qt::Key_Right) << 3 << "Right";
    QTest::newRow("Down") << int(Qt::Key_Down) << 4 << "Down";
    QTest::newRow("Left") << int(Qt::Key_Left) << 5 << "Left";
    QTest::newRow("Home: the centre key") << int(Qt::Key_Home) << 6 << "Home";
}

void tst_Keyboard::directionPad()
{
    QFETCH(int, key);
    QFETCH(int, lit);
    QFETCH(QString, written);
    QVERIFY(tabTo(m_form->Picture1));
    press(Qt::Key(key));
    QVERIFY(m_form->Picture1->picture().sharesWith(m_form->ImageList1.picture(lit)));
    QCOMPARE(qs(m_form->Text2->text()), QString()); // written on the release
    release(Qt::Key(key));
    QVERIFY(m_form->Picture1->picture().sharesWith(m_form->ImageList1.picture(1)));
    QCOMPARE(qs(m_form->Text2->text()), written);
    QCOMPARE(qobject_cast<QLineEdit *>(widgetOf(*m_form->Text2))->text(), written);
}

void tst_Keyboard::keysAndPointerMixed_data()
{
    QTest::addColumn<bool>("keyFirst");
    QTest::newRow("a key holds the pad, then the pointer presses it") << true;
    QTest::newRow("the pointer holds the pad, then a key") << false;
}

void tst_Keyboard::keysAndPointerMixed()
{
    QFETCH(bool, keyFirst);
    QVERIFY(tabTo(m_form->Picture1));
    const QPoint down(85, 92);
    if (keyFirst) {
        press(Qt::Key_Up);
        m_pointer.move(down, m_form->Picture1);
        m_pointer.press(Qt::LeftButton, down, m_form->Picture1);
        // The key's press ended as a release off the pad; the pointer's press is its own.
        QVERIFY(m_form->Picture1->picture().sharesWith(m_form->ImageList1.picture(4)));
        release(Qt::Key_Up);
        m_pointer.release(Qt::LeftButton, down, m_form->Picture1);
        QCOMPARE(qs(m_form->Text2->text()), QStringLiteral("Down"));
    } else {
        m_pointer.move(down, m_form->Picture1);
        m_pointer.press(Qt::LeftButton, down, m_form->Picture1);
        press(Qt::Key_Up); // the pointer holds the pad: the key does nothing
        QVERIFY(m_form->Picture1->picture().sharesWith(m_form->ImageList1.picture(4)));
        m_pointer.release(Qt::LeftButton, down, m_form->Picture1);
        release(Qt::Key_Up);
        QCOMPARE(qs(m_form->Text2->text()), QStringLiteral("Down"));
    }
    QVERIFY(m_form->Picture1->picture().sharesWith(m_form->ImageList1.picture(1)));
    // And a key works again afterwards.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(qs(m_form->Text2->text()), QStringLiteral("Left"));
}

void tst_Keyboard::focusLostWhileAKeyIsHeld()
{
    // Space holds Exit pressed; the focus goes elsewhere before the key comes up: no face
    // stays pressed and nothing ends.
    QVERIFY(tabTo(m_form->Picture4));
    press(Qt::Key_Space);
    QVERIFY(m_form->Picture4->picture().sharesWith(m_form->Picture3->picture()));
    QTest::keyClick(window()->windowHandle(), Qt::Key_Tab);
    QVERIFY(m_form->Picture4->picture().sharesWith(m_form->Picture8->picture()));
    QTest::keyRelease(window()->windowHandle(), Qt::Key_Space);
    QCOMPARE(m_ends, 0);
}

void tst_Keyboard::accessibleControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");
    const int check = QAccessible::CheckBox, radio = QAccessible::RadioButton, button = QAccessible::Button;
    QTest::newRow("the round check box") << "Chk1" << check << "qvCheck1" << true << false;
    QTest::newRow("option ball 0, selected") << "Opt1(0)" << radio << "qvOption1(0)" << true << true;
    QTest::newRow("option ball 1") << "Opt1(1)" << radio << "qvOption1(1)" << true << false;
    QTest::newRow("option ball 2") << "Opt1(2)" << radio << "qvOption1(2)" << true << false;
    QTest::newRow("the oval") << "pic1" << button << "Click here!" << false << false;
    QTest::newRow("About") << "Picture7" << button << "About" << false << false;
    QTest::newRow("Exit") << "Picture4" << button << "Exit" << false << false;
    QTest::newRow("the pad") << "Picture1" << int(QAccessible::Grouping) << "Direction pad" << false << false;
}

void tst_Keyboard::accessibleControls()
{
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(bool, checkable);
    QFETCH(bool, checked);
    const int index = control.startsWith(QLatin1String("Opt1(")) ? control.mid(5, 1).toInt() : -1;
    const std::string stored = index >= 0 ? "Opt1" : control.toStdString();
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widgetNamed(*m_form, stored.c_str(), index));
    QVERIFY(a);
    QCOMPARE(int(a->role()), role);
    QCOMPARE(a->text(QAccessible::Name), name);
    QCOMPARE(bool(a->state().checkable), checkable);
    QCOMPARE(bool(a->state().checked), checked);
    QCOMPARE(bool(a->state().focusable), true);
    QAccessibleActionInterface *actions = a->actionInterface();
    if (role == QAccessible::Grouping) {
        QVERIFY(!actions || actions->actionNames().isEmpty()); // its keys act, not the pad
    } else {
        QVERIFY(actions);
        QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
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
    QCOMPARE(m_ends, 1);
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

// The pointer storm's engine; see storm.h.
//
// Double-clicks. Qt makes a double-click of a press that comes, by the events' timestamps, less
// than the double-click interval after the press before it, with the same button at the same
// place. QTest's mouse functions stamp each event with a simulated clock that their `delay`
// argument advances (nothing waits), and Qt 6.4's add a pause of 500 ms after every release so
// that tests make no double-click by chance. The storm decides for itself: it sets an interval
// of its own (QStyleHints::setMouseDoubleClickInterval), longer than that pause, and gives every
// press an explicit delay. A press meant to follow the last release quickly (the second click
// of a double-click, or a quick click after any release) comes 1 ms after the event before it;
// every other press comes a whole interval later, so it can make no double-click whatever went
// before. Whether two presses make a double-click is so set by the storm's own timing, not by
// the test library's bookkeeping; the test checks that the storm's double-clicks still happen.
#include "storm.h"

#include "mainwindow.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStyleHints>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>

using Runtime::Picture;
using Runtime::PictureBox;

namespace Storm {

namespace {

constexpr int kScreenCheckEvery = 2500;
constexpr qint64 kCheckpointEvery = 100000;
// A press that follows the event before it at once, in milliseconds.
constexpr int kQuickPress = 1;

QtMessageHandler g_previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg
        && (message.contains(QLatin1String("occurs outside target window"))
            || message.startsWith(QLatin1String("This plugin does not support"))))
        return;
    g_previousHandler(type, context, message);
}

const QStringList &padActions()
{
    static const QStringList actions = {QString(), QStringLiteral("Home"), QStringLiteral("Up"),
                                        QStringLiteral("Down"), QStringLiteral("Left"), QStringLiteral("Right")};
    return actions;
}

} // namespace

quint64 seedFromEnvironment()
{
    bool ok = false;
    const quint64 given = qEnvironmentVariable("QUORVEL_MONKEY_SEED").toULongLong(&ok);
    if (ok)
        return given;
    return quint64(std::chrono::steady_clock::now().time_since_epoch().count()) ^ std::random_device()();
}

qint64 countFromEnvironment(const char *name, qint64 fallback)
{
    bool ok = false;
    const qint64 n = qEnvironmentVariable(name).toLongLong(&ok);
    return ok && n > 0 ? n : fallback;
}

std::function<void()> quietToolkitMessages()
{
    g_previousHandler = qInstallMessageHandler(quietHandler);
    return [] { qInstallMessageHandler(g_previousHandler); };
}

const char *faceName(Face face)
{
    switch (face) {
    case Face::Released: return "released";
    case Face::Pressed: return "pressed";
    case Face::Unchecked: return "unchecked";
    case Face::Checked: return "checked";
    case Face::Unselected: return "unselected";
    case Face::Moving: return "moving";
    case Face::Selected: return "selected";
    case Face::Unlit: return "unlit";
    case Face::Lit: return "lit";
    }
    return "?";
}

const Face *FaceSet::classify(const Picture &shown) const
{
    for (const auto &known : m_faces) {
        if (shown.sharesWith(known.picture))
            return &known.face;
    }
    return nullptr;
}

QString describe(const Event &e)
{
    static const char *const kinds[] = {"move", "press", "release", "leave"};
    const char *button = e.button == Qt::LeftButton ? " left"
            : e.button == Qt::RightButton           ? " right"
            : e.button == Qt::MiddleButton          ? " middle"
                                                    : "";
    return QStringLiteral("#%1 %2%3 at (%4, %5), held %6")
            .arg(e.number)
            .arg(QLatin1String(kinds[int(e.kind)]), QLatin1String(button))
            .arg(e.pos.x())
            .arg(e.pos.y())
            .arg(int(e.heldAfter));
}

Monkey::Monkey(quint64 seed) : m_rng(seed), m_seed(seed)
{
    // QUORVEL_MONKEY_TRACE=n prints every event from the n-th on, to follow a replay.
    bool ok = false;
    const qint64 from = qEnvironmentVariable("QUORVEL_MONKEY_TRACE").toLongLong(&ok);
    m_trace = ok ? from : -1;
}

Monkey::~Monkey() = default;

QWidget *Monkey::windowWidget() const
{
    return windowOf(*m_form);
}

QWindow *Monkey::window() const
{
    return windowWidget()->windowHandle();
}

QRect Monkey::windowRect(const QWidget *w) const
{
    return QRect(w->mapTo(windowWidget(), QPoint(0, 0)), w->size());
}

QRect Monkey::windowRect(const Runtime::Control *control) const
{
    return windowRect(widgetOf(*control));
}

bool Monkey::start()
{
    if (!m_form.open()) {
        fail(QStringLiteral("the main window did not show"));
        return false;
    }
    m_ended = false;
    m_aboutSeen = nullptr;
    // The window's client size, and where the pointer rests: near the top-right corner, in
    // the strip above the upper frame that no control covers.
    QWidget *w = windowWidget();
    m_size = w->size();
    m_rest = QPoint(m_size.width() - 5, 2);
    if (w->childAt(m_rest)) {
        fail(QStringLiteral("the rest point (%1, %2) is not a bare spot of the window: %3 is there")
                     .arg(m_rest.x()).arg(m_rest.y()).arg(w->childAt(m_rest)->objectName()));
        return false;
    }
    if (!m_placed) {
        m_pos = m_rest;
        m_placed = true;
    }
    learnFaces();
    // Observe each click on the pad after the program's own procedure has run.
    PictureBox *pad = m_form->Picture1;
    pad->Click = [this, program = pad->Click] {
        if (program)
            program();
        onPadClick();
    };
    m_targets.clear();
    Form1 &f = *m_form;
    const Runtime::Control *targets[] = {f.Chk1, f.pic1, f.Picture1, f.Picture4, f.Picture7, f.Text2,
                                         &f.control("Text1"), &f.control("Command1"), &f.control("Check1"),
                                         &f.control("Option1", 1)};
    for (const Runtime::Control *c : targets)
        m_targets << windowRect(c);
    for (PictureBox *option : f.Opt1)
        m_targets << windowRect(option) << windowRect(option); // three small targets, weighed up
    m_targets << windowRect(f.Chk1);
    m_inside = true;
    move(insideWindow(m_pos) ? m_pos : m_rest);
    return m_problem.isEmpty();
}

void Monkey::learnFaces()
{
    Form1 &f = *m_form;
    // The stored start faces are separate pictures with the pixels of a store or list image.
    const auto startFace = [](FaceSet &set, PictureBox *box, const char *stored, Face face) {
        if (imageOf(box->picture()) == storedImage(QString::fromLatin1(stored)))
            set.add(box->picture(), face);
    };
    m_chk = {};
    startFace(m_chk, f.Chk1, "ImageList2-1", Face::Unchecked);
    m_chk.add(f.ImageList2.picture(1), Face::Unchecked);
    m_chk.add(f.ImageList2.picture(3), Face::Checked);
    for (int i = 0; i < 3; ++i) {
        m_opt[i] = {};
        startFace(m_opt[i], f.Opt1[i], i == 0 ? "ImageList2-6" : "ImageList2-4",
                  i == 0 ? Face::Selected : Face::Unselected);
        m_opt[i].add(f.ImageList2.picture(4), Face::Unselected);
        m_opt[i].add(f.ImageList2.picture(5), Face::Moving);
        m_opt[i].add(f.ImageList2.picture(6), Face::Selected);
    }
    m_pic1 = {};
    startFace(m_pic1, f.pic1, "pic3", Face::Released);
    m_pic1.add(f.pic3->picture(), Face::Released);
    m_pic1.add(f.pic4->picture(), Face::Pressed);
    m_exit = {};
    startFace(m_exit, f.Picture4, "Picture8", Face::Released);
    m_exit.add(f.Picture8->picture(), Face::Released);
    m_exit.add(f.Picture3->picture(), Face::Pressed);
    m_about = {};
    startFace(m_about, f.Picture7, "Picture5", Face::Released);
    m_about.add(f.Picture5->picture(), Face::Released);
    m_about.add(f.Picture6->picture(), Face::Pressed);
    m_pad = {};
    startFace(m_pad, f.Picture1, "Picture1", Face::Unlit);
    m_pad.add(f.ImageList1.picture(1), Face::Unlit);
    for (int i = 2; i <= 6; ++i)
        m_pad.add(f.ImageList1.picture(i), Face::Lit);
}

bool Monkey::run(qint64 count, const std::function<void(qint64)> &checkpoint)
{
    m_baseLoopLevel = QThread::currentThread()->loopLevel();
    // Runs on every pass of any event loop, so it is there when a window opens its own.
    m_attendant.setInterval(0);
    connect(&m_attendant, &QTimer::timeout, this, [this] { attendNestedLoop(); });
    m_attendant.start();
    qApp->installEventFilter(this);
    QStyleHints *hints = QGuiApplication::styleHints();
    const int previousInterval = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(kDoubleClickInterval);

    bool ok = start();
    qint64 nextScreenCheck = kScreenCheckEvery;
    qint64 nextCheckpoint = 0;
    while (ok && m_events < count) {
        if (checkpoint && m_events >= nextCheckpoint) {
            nextCheckpoint += kCheckpointEvery;
            if (!measureAtRest(checkpoint))
                break;
        }
        step();
        if (m_problem.isEmpty() && !m_ended && m_events >= nextScreenCheck) { // ended: nothing shown
            checkScreen();
            nextScreenCheck += kScreenCheckEvery;
        }
        if (m_problem.isEmpty() && m_ended) {
            // The Exit button ended the program: let go of everything and start again.
            for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
                if (m_held & b) {
                    m_held &= ~b;
                    QTest::mouseRelease(window(), b, {}, m_inside ? m_pos : m_rest);
                }
            }
            m_form.reset();
            start();
        }
        ok = m_problem.isEmpty();
    }
    if (ok && checkpoint)
        ok = measureAtRest(checkpoint);
    // Let go of what is still held, through the window, before it goes.
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (ok && m_form && (m_held & b))
            release(b, m_pos);
    }
    m_attendant.stop();
    m_attendant.disconnect(this);
    qApp->removeEventFilter(this);
    hints->setMouseDoubleClickInterval(previousInterval);
    m_form.reset();
    return m_problem.isEmpty();
}

bool Monkey::measureAtRest(const std::function<void(qint64)> &checkpoint)
{
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (m_held & b)
            release(b, m_pos);
    }
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    checkpoint(m_events);
    return start();
}

Qt::MouseButton Monkey::randomButton(Qt::MouseButtons among)
{
    QList<Qt::MouseButton> buttons;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (among & b)
            buttons << b;
    }
    // The left button is the one people use most.
    if (buttons.contains(Qt::LeftButton) && chance(50))
        return Qt::LeftButton;
    return buttons.isEmpty() ? Qt::NoButton : buttons.at(rand(int(buttons.size())));
}

QPoint Monkey::somewhereIn(const QRect &r)
{
    return QPoint(r.left() + rand(r.width()), r.top() + rand(r.height()));
}

QPoint Monkey::nextPosition()
{
    const int r = rand(100);
    if (r < 40) // a nudge: walks along the edges of shapes pixel by pixel
        return m_pos + QPoint(rand(7) - 3, rand(7) - 3);
    if (r < 72) // onto a control, or just beside it
        return somewhereIn(m_targets.at(rand(int(m_targets.size()))).adjusted(-3, -3, 3, 3));
    if (r < 90)
        return somewhereIn(clientArea());
    return somewhereIn(clientArea().adjusted(-60, -60, 60, 60)); // often beyond the window
}

void Monkey::step()
{
    const int r = rand(1000);
    if (!m_held) {
        if (r < 690)
            move(nextPosition());
        else if (r < 910)
            press(randomButton(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton), m_pos,
                  chance(5) ? Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier) : Qt::KeyboardModifiers());
        else if (r < 940)
            leave();
        else if (r < 970)
            dragScript();
        else
            doubleClickScript();
        return;
    }
    const Qt::MouseButtons free = ~m_held & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
    if (r < 600)
        move(nextPosition());
    else if (r < 850 || !free)
        release(randomButton(m_held), m_pos);
    else if (r < 990)
        press(randomButton(free), m_pos); // a second button while one is held
    else
        leave();
}

void Monkey::dragScript()
{
    // Press on one control, cross to another or out of the window, come back, let go.
    const Qt::MouseButton button = randomButton(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
    move(somewhereIn(m_targets.at(rand(int(m_targets.size())))));
    press(button, m_pos);
    const QPoint away = chance(40) ? somewhereIn(clientArea().adjusted(-60, -60, 60, 60))
                                   : somewhereIn(m_targets.at(rand(int(m_targets.size()))));
    const QPoint back = chance(50) ? m_pos : somewhereIn(m_targets.at(rand(int(m_targets.size()))));
    for (const QPoint &to : {away, back}) {
        const QPoint from = m_pos;
        const int steps = 2 + rand(12);
        for (int i = 1; i <= steps && m_problem.isEmpty() && !m_ended; ++i)
            move(from + (to - from) * i / steps);
    }
    if (m_problem.isEmpty() && !m_ended && (m_held & button))
        release(button, m_pos);
}

void Monkey::doubleClickScript()
{
    const Qt::MouseButton button = randomButton(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
    move(somewhereIn(m_targets.at(rand(int(m_targets.size())))));
    for (int click = 0; click < 2 && m_problem.isEmpty() && !m_ended; ++click) {
        press(button, m_pos);
        if (!m_problem.isEmpty() || m_ended)
            return;
        release(button, m_pos);
        m_quickNextPress = true; // the second click, and whatever press comes next, follow quickly
        if (chance(30))
            move(m_pos + QPoint(rand(5) - 2, rand(5) - 2));
    }
}

void Monkey::move(QPoint pos)
{
    const bool inside = insideWindow(pos);
    if (!inside && !m_held && chance(70)) {
        // Without a button held the window hears nothing out there but that the pointer left.
        m_pos = pos;
        if (m_inside)
            leave();
        return;
    }
    if (pos == QPoint(0, 0)) // the test library reads (0, 0) as "the middle"
        pos = QPoint(1, 0);
    m_pos = pos;
    m_inside = inside;
    ++m_moves;
    sending(Kind::Move, Qt::NoButton);
    QTest::mouseMove(window(), pos);
    sent(pos);
}

void Monkey::press(Qt::MouseButton button, QPoint pos, Qt::KeyboardModifiers modifiers)
{
    if (!m_inside && !m_held)
        pos = m_pos = somewhereIn(clientArea()); // presses out there are not ours
    if (pos == QPoint(0, 0))
        pos = QPoint(1, 0);
    m_held |= button;
    ++m_presses;
    m_inside = insideWindow(pos);
    // See the top of this file: a quick press may complete a double-click, any other comes a
    // whole interval after the event before it and cannot.
    const int delay = m_quickNextPress ? kQuickPress : kDoubleClickInterval;
    m_quickNextPress = false;
    sending(Kind::Press, button);
    QTest::mousePress(window(), button, modifiers, pos, delay);
    sent(pos);
}

void Monkey::release(Qt::MouseButton button, QPoint pos)
{
    if (pos == QPoint(0, 0))
        pos = QPoint(1, 0);
    m_held &= ~button;
    ++m_releases;
    sending(Kind::Release, button);
    QTest::mouseRelease(window(), button, {}, pos);
    // Sometimes quick enough for the next press to make a double-click.
    m_quickNextPress = chance(35);
    sent(pos);
}

void Monkey::leave()
{
    m_inside = false;
    ++m_leaves;
    sending(Kind::Leave, Qt::NoButton);
    QEvent left(QEvent::Leave);
    QCoreApplication::sendEvent(window(), &left);
    QCoreApplication::processEvents();
    sent(m_pos);
}

// Windows that open and procedures that end the program ask what the event was, while it runs.
void Monkey::sending(Kind kind, Qt::MouseButton button)
{
    m_kind = kind;
    m_button = button;
}

void Monkey::sent(QPoint pos)
{
    m_log[m_events % m_log.size()] = {m_events, m_kind, m_button, pos, m_held};
    if (m_trace >= 0 && m_events >= m_trace)
        std::fprintf(stderr, "%s\n", qPrintable(describe(m_log[m_events % m_log.size()])));
    ++m_events;
    if (!m_problem.isEmpty())
        return;
    if (!m_ended && m_form.application().hasEnded())
        onEnd();
    const QString what = violation();
    if (!what.isEmpty())
        fail(what);
}

Monkey::Snapshot Monkey::snapshot() const
{
    Snapshot s{m_form->ChkState, m_form->OptIndex, m_form->PadAction, m_form->Text2->text(), {}, {}};
    for (PictureBox *box : {m_form->Chk1, m_form->Opt1[0], m_form->Opt1[1], m_form->Opt1[2],
                            m_form->pic1, m_form->Picture1, m_form->Picture4, m_form->Picture7}) {
        s.tags.push_back(box->tag());
        s.faces.push_back(box->picture().bitmap());
    }
    return s;
}

QString Monkey::violation() const
{
    if (m_form.application().exitStatus() != 0)
        return QStringLiteral("a run-time error ended the program");
    if (m_ended)
        return {};
    const Form1 &f = *m_form;

    const Face *chk = m_chk.classify(f.Chk1->picture());
    if (!chk)
        return QStringLiteral("Chk1 shows a picture that is not one of its faces");
    if (*chk != (f.ChkState ? Face::Checked : Face::Unchecked))
        return QStringLiteral("Chk1 shows its %1 face while ChkState is %2")
                .arg(QLatin1String(faceName(*chk)), f.ChkState ? QStringLiteral("True") : QStringLiteral("False"));

    std::array<Face, 3> opt{};
    for (int i = 0; i < 3; ++i) {
        const Face *face = m_opt[i].classify(f.Opt1[i]->picture());
        if (!face)
            return QStringLiteral("Opt1(%1) shows a picture that is not one of its faces").arg(i);
        opt[i] = *face;
    }
    if (f.OptIndex < 0 || f.OptIndex > 2)
        return QStringLiteral("OptIndex is %1").arg(f.OptIndex);

    const Face *pic1 = m_pic1.classify(f.pic1->picture());
    const Face *exit = m_exit.classify(f.Picture4->picture());
    const Face *about = m_about.classify(f.Picture7->picture());
    const Face *pad = m_pad.classify(f.Picture1->picture());
    if (!pic1 || !exit || !about || !pad)
        return QStringLiteral("%1 shows a picture that is not one of its faces")
                .arg(!pic1 ? "pic1" : !exit ? "Picture4" : !about ? "Picture7" : "Picture1");

    if (!padActions().contains(qs(f.PadAction)))
        return QStringLiteral("PadAction is \"%1\"").arg(qs(f.PadAction));

    static const QStringList flags = {QString(), QStringLiteral("True"), QStringLiteral("False")};
    for (const PictureBox *box : {f.Chk1, f.Opt1[0], f.Opt1[1], f.Opt1[2], f.pic1}) {
        if (!flags.contains(qs(box->tag())))
            return QStringLiteral("%1's hot flag is \"%2\"").arg(qs(box->key()), qs(box->tag()));
    }
    for (const PictureBox *box : {f.Picture1, f.Picture4, f.Picture7}) {
        if (!box->tag().empty())
            return QStringLiteral("%1's Tag was written: \"%2\"").arg(qs(box->key()), qs(box->tag()));
    }

    if (m_held)
        return {};
    if (*pic1 != Face::Released)
        return QStringLiteral("no button is held, yet pic1 shows its pressed face");
    if (*exit != Face::Released)
        return QStringLiteral("no button is held, yet Picture4 shows its pressed face");
    if (*about != Face::Released)
        return QStringLiteral("no button is held, yet Picture7 shows its pressed face");
    if (*pad != Face::Unlit)
        return QStringLiteral("no button is held, yet the pad shows a lit key");
    for (int i = 0; i < 3; ++i) {
        const Face expected = i == f.OptIndex ? Face::Selected : Face::Unselected;
        if (opt[i] != expected)
            return QStringLiteral("no button is held and OptIndex is %1, yet Opt1(%2) shows its %3 face")
                    .arg(f.OptIndex).arg(i).arg(QLatin1String(faceName(opt[i])));
    }
    return {};
}

void Monkey::checkScreen()
{
    // What the window holds on screen, control by control, against the picture it is given.
    ++m_screenChecks;
    Form1 &f = *m_form;
    const QList<PictureBox *> boxes = {f.Chk1, f.Opt1[0], f.Opt1[1], f.Opt1[2],
                                       f.pic1, f.Picture1, f.Picture4, f.Picture7};
    QWidget *w = windowWidget();
    QString mismatch;
    const bool agrees = QTest::qWaitFor([&] {
        const QImage screen = w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        for (PictureBox *box : boxes) {
            const auto *shown = static_cast<const Runtime::QtUi::PictureBoxWidget *>(widgetOf(*box));
            const QRect area = shown->drawingArea().translated(windowRect(shown).topLeft());
            QRect visible = area;
            if (box == f.Picture1) // the oval button covers the pad's bottom-right corner
                visible.setWidth(windowRect(f.pic1).left() - area.left());
            const QImage expected = imageOf(box->picture()).copy(visible.translated(-area.topLeft()));
            if (screen.copy(visible) != expected) {
                mismatch = qs(box->key());
                return false;
            }
        }
        return true;
    }, 2000);
    if (!agrees)
        fail(QStringLiteral("the screen does not show the face %1 holds").arg(mismatch));
}

void Monkey::fail(const QString &what)
{
    if (!m_problem.isEmpty())
        return;
    QStringList lines;
    lines << QStringLiteral("%1, after event %2 (seed %3; replay with QUORVEL_MONKEY_SEED=%3)")
                     .arg(what).arg(m_events).arg(m_seed);
    lines << QStringLiteral("last events:");
    const qint64 first = std::max<qint64>(0, m_events - qint64(m_log.size()));
    for (qint64 n = first; n < m_events; ++n)
        lines << QStringLiteral("  ") + describe(m_log[n % m_log.size()]);
    m_problem = lines.join(QLatin1Char('\n'));
}

bool Monkey::eventFilter(QObject *watched, QEvent *event)
{
    // Counted once, where the toolkit hands it to the window; it goes on to a widget after.
    if (event->type() == QEvent::MouseButtonDblClick && watched->isWindowType())
        ++m_doubleClicks;
    return false;
}

void Monkey::attendNestedLoop()
{
    if (m_attending || !m_form || QThread::currentThread()->loopLevel() <= m_baseLoopLevel)
        return;
    m_attending = true;
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
        handleModal(modal);
    } else {
        // A drag of selected text out of a text box runs a loop of its own; Escape ends it.
        ++m_dragsCancelled;
        QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : windowWidget();
        QTest::keyClick(focus, Qt::Key_Escape);
    }
    m_attending = false;
}

void Monkey::handleModal(QWidget *modal)
{
    Form1 &f = *m_form;
    auto *box = qobject_cast<QMessageBox *>(modal);
    const Runtime::Form *about = m_form.about();
    if (box) {
        ++m_messageBoxes;
        if (m_kind != Kind::Release)
            fail(QStringLiteral("a message box opened on an event that is no release"));
        else if (box->text() != QLatin1String("Is it pretty?") || box->windowTitle() != QLatin1String("Quorvel")
                 || box->buttons().size() != 1 || box->icon() != QMessageBox::NoIcon)
            fail(QStringLiteral("an unexpected message box: \"%1\"").arg(box->text()));
        else if (const Face *face = m_pic1.classify(f.pic1->picture()); !face || *face != Face::Released)
            fail(QStringLiteral("the message box opened while pic1 was not released"));
    } else if (about && modal == windowOf(*about)) {
        ++m_aboutWindows;
        if (m_kind != Kind::Release || m_button != Qt::LeftButton)
            fail(QStringLiteral("the About window opened on an event that is no left release"));
        else if (m_aboutSeen && m_aboutSeen != about)
            fail(QStringLiteral("a second About window was made"));
        else if (const Face *face = m_about.classify(f.Picture7->picture()); !face || *face != Face::Released)
            fail(QStringLiteral("the About window opened while Picture7 was not released"));
        m_aboutSeen = about;
    } else {
        fail(QStringLiteral("an unexpected window opened: %1").arg(modal->windowTitle()));
    }

    if (chance(25))
        pokeBlockedMainWindow();

    // Close it the ways a user would.
    int how = rand(4);
    // A click with another button held is one the toolkit's own buttons do not complete.
    if (how == 2 && (!box || m_held))
        how = 1;
    switch (how) {
    case 0: modal->close(); break;
    case 1: QTest::keyClick(modal->windowHandle(), Qt::Key_Escape); break;
    case 2: {
        QAbstractButton *ok = box->buttons().first();
        QTest::mouseClick(modal->windowHandle(), Qt::LeftButton, {}, ok->mapTo(modal, ok->rect().center()));
        break;
    }
    case 3: {
        QCloseEvent close;
        QCoreApplication::sendEvent(modal->windowHandle(), &close); // the frame's close command
        break;
    }
    }
    ++m_closedBy[how];
    if (modal->isVisible())
        fail(QStringLiteral("%1 did not close").arg(box ? "the message box" : "the About window"));
    // Stop it from hanging the run either way.
    if (modal->isVisible())
        modal->hide();
}

void Monkey::pokeBlockedMainWindow()
{
    // While the modal window is up, the main window takes no input at all.
    ++m_pokes;
    const Snapshot before = snapshot();
    QWindow *main = window();
    for (int i = 1 + rand(4); i > 0; --i) {
        const QPoint at = somewhereIn(m_targets.at(rand(int(m_targets.size()))));
        QTest::mouseMove(main, at);
        m_pos = at; // the pointer stays there once the window closes
        const Qt::MouseButton button = randomButton(Qt::RightButton | Qt::MiddleButton);
        if (!(m_held & button)) {
            QTest::mousePress(main, button, {}, at);
            QTest::mouseRelease(main, button, {}, at);
        }
    }
    if (!(snapshot() == before))
        fail(QStringLiteral("the main window took input while a modal window was open"));
}

void Monkey::onEnd()
{
    ++m_ends;
    m_ended = true;
    const QRect exit = windowRect(m_form->Picture4);
    if (m_kind != Kind::Release || m_button != Qt::LeftButton || !exit.contains(m_pos))
        fail(QStringLiteral("the program ended without a left click on Exit"));
    else if (const Face *face = m_exit.classify(m_form->Picture4->picture()); !face || *face != Face::Released)
        fail(QStringLiteral("the program ended before Picture4 was released"));
}

void Monkey::onPadClick()
{
    ++m_padClicks;
    const QString text = qs(m_form->Text2->text());
    if (!padActions().contains(text) || m_form->Text2->text() != m_form->PadAction)
        fail(QStringLiteral("after a click on the pad Text2 holds \"%1\", PadAction \"%2\"")
                     .arg(text, qs(m_form->PadAction)));
}

QString Monkey::summary() const
{
    return QStringLiteral("seed %1: %2 events (%3 moves, %4 presses, %5 releases, %6 leaves, "
                          "%7 double-clicks); %8 message boxes, %9 About windows, %10 ends; "
                          "%11 pad clicks; %12 pokes at the blocked window; %13 drags cancelled; "
                          "%14 screen checks; closed by close()/Escape/OK/frame: %15/%16/%17/%18")
            .arg(m_seed).arg(m_events).arg(m_moves).arg(m_presses).arg(m_releases).arg(m_leaves)
            .arg(m_doubleClicks).arg(m_messageBoxes).arg(m_aboutWindows).arg(m_ends)
            .arg(m_padClicks).arg(m_pokes).arg(m_dragsCancelled).arg(m_screenChecks)
            .arg(m_closedBy[0]).arg(m_closedBy[1]).arg(m_closedBy[2]).arg(m_closedBy[3]);
}

} // namespace Storm

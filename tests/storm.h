// The pointer storm: a seeded random pointer through the shown main window. Moves everywhere in
// and beyond it, presses and releases of all three buttons, drags across controls and out and
// back, double-clicks, one button held while another is pressed; after every event it checks
// what must always hold of the bitmap controls, and every few thousand events what the screen
// shows. tests/tst_monkey.cpp runs it as a test, bench/soak.cpp as a long memory soak.
//
// QUORVEL_MONKEY_SEED replays a run (scripts/test chooses and exports it), QUORVEL_MONKEY_EVENTS
// sets a test run's length, and QUORVEL_MONKEY_TRACE=n prints every event from the n-th on.
#pragma once

#include "mainwindow.h"
#include "runtime/picture.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

class QWindow;
class QWidget;

namespace Runtime {
class Control;
} // namespace Runtime

namespace Storm {

inline constexpr qint64 kDefaultEvents = 200000;

// The seed of QUORVEL_MONKEY_SEED, or a fresh one.
quint64 seedFromEnvironment();
// A positive count from the environment variable `name`, or `fallback`.
qint64 countFromEnvironment(const char *name, qint64 fallback);

// Leaves out of the log the messages the storm causes by the thousand and that say nothing: the
// headless platform's, and those of positions beyond the window. Undone by the returned call.
std::function<void()> quietToolkitMessages();

// What a bitmap control can show; each control has its own set of pictures for these.
enum class Face { Released, Pressed, Unchecked, Checked, Unselected, Moving, Selected, Unlit, Lit };
const char *faceName(Face face);

// The pictures one control may show, each with what it means.
class FaceSet
{
public:
    void add(const Runtime::Picture &picture, Face face) { m_faces.append({picture, face}); }
    const Face *classify(const Runtime::Picture &shown) const;

private:
    struct Known
    {
        Runtime::Picture picture;
        Face face;
    };
    QList<Known> m_faces;
};

enum class Kind { Move, Press, Release, Leave };

struct Event
{
    qint64 number = 0;
    Kind kind = Kind::Move;
    Qt::MouseButton button = Qt::NoButton;
    QPoint pos;
    Qt::MouseButtons heldAfter;
};

QString describe(const Event &e);

// Drives the pointer and checks after every event; one run per object.
class Monkey : public QObject
{
public:
    explicit Monkey(quint64 seed);
    ~Monkey() override;

    // Runs `count` pointer events; false with problem() set when something did not hold.
    // `checkpoint`, when given, is called with the events so far at the start, every 100,000
    // events and at the end, each time in one and the same state: nothing held, no window.
    bool run(qint64 count, const std::function<void(qint64)> &checkpoint = {});
    QString problem() const { return m_problem; }
    QString summary() const;
    quint64 seed() const { return m_seed; }
    qint64 events() const { return m_events; }
    qint64 doubleClicks() const { return m_doubleClicks; }

    // The storm's own double-click interval, in milliseconds of the events' timestamps: see
    // storm.cpp for how it decides which presses make double-clicks.
    static constexpr int kDoubleClickInterval = 1000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Starting, and starting again after the Exit button ended the program.
    bool start();
    // Lets go of every button, closes the window and calls `checkpoint` in one and the same
    // state each time (nothing held, no window), then opens a fresh main window.
    bool measureAtRest(const std::function<void(qint64)> &checkpoint);
    void learnFaces();

    QWindow *window() const;
    QWidget *windowWidget() const;
    QRect windowRect(const Runtime::Control *control) const;
    QRect windowRect(const QWidget *w) const;
    QRect clientArea() const { return QRect(QPoint(0, 0), m_size); }
    bool insideWindow(QPoint pos) const { return clientArea().contains(pos); }

    // One step of the storm: a move, a press, a release, a leave, or a short scripted gesture.
    void step();
    void dragScript();
    void doubleClickScript();
    QPoint nextPosition();
    QPoint somewhereIn(const QRect &r);
    Qt::MouseButton randomButton(Qt::MouseButtons among);

    // The events themselves, each followed by the checks.
    void move(QPoint pos);
    void press(Qt::MouseButton button, QPoint pos, Qt::KeyboardModifiers modifiers = {});
    void release(Qt::MouseButton button, QPoint pos);
    void leave();
    void sending(Kind kind, Qt::MouseButton button);
    void sent(QPoint pos);

    // What must always hold; an empty text when it does.
    QString violation() const;
    void checkScreen();
    void fail(const QString &what);

    // Windows that open during an event: the message box and the About window are closed;
    // a drag started from a text box is cancelled.
    void attendNestedLoop();
    void handleModal(QWidget *modal);
    void pokeBlockedMainWindow();
    // The program ended (End) during the event just sent.
    void onEnd();
    void onPadClick();

    int rand(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(m_rng)); }
    bool chance(int percent) { return rand(100) < percent; }

    struct Snapshot
    {
        bool chkState;
        std::int16_t optIndex;
        std::string padAction, text2;
        std::vector<std::string> tags;
        std::vector<const void *> faces;
        bool operator==(const Snapshot &) const = default;
    };
    Snapshot snapshot() const;

    std::mt19937_64 m_rng;
    quint64 m_seed;
    MainWindow m_form;
    QTimer m_attendant;
    int m_baseLoopLevel = 0;
    bool m_attending = false;

    // Faces of each control, learnt from its stores and image lists at each start.
    FaceSet m_chk, m_pic1, m_exit, m_about, m_pad;
    std::array<FaceSet, 3> m_opt;
    QList<QRect> m_targets;
    const Runtime::Form *m_aboutSeen = nullptr;

    // The main window's client size, and a bare spot of it where the pointer comes to rest;
    // both taken from the window at each start.
    QSize m_size;
    QPoint m_rest;
    bool m_placed = false; // m_pos has been set, from the rest point or by an event

    QPoint m_pos;
    bool m_inside = true;
    Qt::MouseButtons m_held;
    bool m_quickNextPress = false; // the next press follows the last release quickly
    Kind m_kind = Kind::Move;
    Qt::MouseButton m_button = Qt::NoButton;
    qint64 m_events = 0;
    qint64 m_trace = -1;
    std::array<Event, 16> m_log{};
    QString m_problem;
    bool m_ended = false;

    // What the run met, for its summary.
    qint64 m_moves = 0, m_presses = 0, m_releases = 0, m_leaves = 0, m_doubleClicks = 0;
    qint64 m_messageBoxes = 0, m_aboutWindows = 0, m_ends = 0, m_pokes = 0, m_dragsCancelled = 0;
    qint64 m_padClicks = 0, m_screenChecks = 0;
    std::array<qint64, 4> m_closedBy{}; // close(), Escape, OK clicked, by the frame's close
};

} // namespace Storm

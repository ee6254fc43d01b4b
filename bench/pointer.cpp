// The cost of pointer moves and face swaps through the whole Qt path, in the real main window
// and in the bare window beside it.
//   pointer shaped|bare N   N moves over the check box (or the bare widget at its place); run
//                           under callgrind with --toggle-collect=runMoves to count them
//   pointer unbound N       the same moves over the check box with no procedure bound to them:
//                           the window and the picture box without the program's work
//   pointer report          repaints caused by moves, and what each face swap repaints
#include "app/form1.h"
#include "app/program.h"
#include "runtime/application.h"
#include "runtime/qt/backend.h"
#include "runtime/qt/look.h"
#include "runtime/qt/peers.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// The toolkit's window of a form, and the widget that shows a control: their peers.
QWidget *windowOf(const Runtime::Form &form)
{
    return dynamic_cast<QWidget *>(form.peer());
}

QWidget *widgetOf(const Runtime::Control &control)
{
    return static_cast<const Runtime::QtUi::WidgetPeer *>(control.peer())->widget();
}

// Places inside the check box's ball, visited in turn so that every move is a real one.
const QPoint kBall[] = {{12, 12}, {13, 12}, {13, 13}, {12, 13}};

// A widget that takes pointer moves and does nothing with them: what any tracking widget pays.
class Tracker final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void mouseMoveEvent(QMouseEvent *) override { }
};

// The bare program's window (bare.cpp), with a tracking widget where the check box stands.
std::unique_ptr<QWidget> bareWindow(QWidget **target)
{
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(335, 365);
    auto *upper = new QGroupBox(QStringLiteral("Standard MS Custom Controls"), window.get());
    upper->setGeometry(8, 5, 321, 104);
    auto *lower = new QGroupBox(QStringLiteral("Zennorak Design Quorvel technics examples"), window.get());
    lower->setGeometry(7, 121, 322, 195);
    (new QPushButton(QStringLiteral("Command1"), upper))->setGeometry(17, 19, 138, 31);
    (new QCheckBox(QStringLiteral("Check1"), upper))->setGeometry(199, 23, 71, 21);
    (new QRadioButton(QStringLiteral("Option1(0)"), upper))->setGeometry(16, 54, 78, 23);
    (new QRadioButton(QStringLiteral("Option1(1)"), upper))->setGeometry(16, 76, 78, 23);
    (new QLabel(QStringLiteral("Label1"), upper))->setGeometry(95, 74, 35, 23);
    (new QLineEdit(QStringLiteral("Text1"), upper))->setGeometry(137, 70, 138, 23);
    auto *tracker = new Tracker(lower);
    tracker->setMouseTracking(true);
    tracker->setGeometry(12, 161, 26, 26); // where the check box stands
    *target = tracker;
    return window;
}


// Counted by callgrind alone: keep it out of line.
Q_NEVER_INLINE void runMoves(QWindow *window, const QWidget *target, int count)
{
    for (int i = 0; i < count; ++i)
        QTest::mouseMove(window, target->mapTo(target->window(), kBall[i % 4]));
}

// Paint events by receiver while `action` runs, with the area each one painted.
class PaintLog final : public QObject
{
public:
    struct Entry
    {
        QString widget;
        QRect area;
    };
    QList<Entry> during(const std::function<void()> &action)
    {
        m_entries.clear();
        qApp->installEventFilter(this);
        action();
        QCoreApplication::processEvents();
        qApp->removeEventFilter(this);
        return m_entries;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType())
            m_entries.append({watched->objectName(), static_cast<QPaintEvent *>(event)->region().boundingRect()});
        return false;
    }

private:
    QList<Entry> m_entries;
};

QString describe(const QList<PaintLog::Entry> &entries)
{
    QStringList parts;
    for (const auto &e : entries)
        parts << QStringLiteral("%1 %2x%3+%4+%5").arg(e.widget).arg(e.area.width()).arg(e.area.height())
                         .arg(e.area.x()).arg(e.area.y());
    return parts.isEmpty() ? QStringLiteral("nothing") : parts.join(QStringLiteral(", "));
}

// The widget that shows a picture box.
const Runtime::QtUi::PictureBoxWidget *shown(const Runtime::PictureBox *box)
{
    return static_cast<const Runtime::QtUi::PictureBoxWidget *>(widgetOf(*box));
}

int report(Form1 &form)
{
    QWidget *shownWindow = windowOf(form);
    QWindow *window = shownWindow->windowHandle();
    PaintLog log;
    int failures = 0;
    const auto at = [&](const Runtime::PictureBox *box, QPoint p) { return shown(box)->mapTo(shownWindow, p); };

    // Moves over every shaped control, and a sweep over the whole window, no button held.
    struct Sweep { const char *name; const QWidget *over; };
    const Sweep sweeps[] = {{"Chk1", shown(form.Chk1)}, {"Opt1(1)", shown(form.Opt1[1])}, {"pic1", shown(form.pic1)},
                            {"Picture1", shown(form.Picture1)}, {"Picture4", shown(form.Picture4)},
                            {"whole window", shownWindow}};
    for (const Sweep &s : sweeps) {
        int moves = 0;
        const auto painted = log.during([&] {
            for (int y = 0; y < s.over->height(); y += 3) {
                for (int x = 0; x < s.over->width(); x += 3, ++moves)
                    QTest::mouseMove(window, s.over->mapTo(shownWindow, QPoint(x, y)));
            }
        });
        std::printf("moves over %s: %d moves, %lld repaints\n", s.name, moves,
                    static_cast<long long>(painted.size()));
        failures += painted.isEmpty() ? 0 : 1;
    }

    // Face swaps: what each repaints, against the drawing area of the controls it swapped.
    struct Swap { const char *name; std::function<void()> action; QList<Runtime::PictureBox *> swapped; };
    const QPoint ball(12, 12), key(85, 15), oval(80, 25);
    const Swap swaps[] = {
        {"Chk1 released over its ball (checked)",
         [&] { QTest::mouseRelease(window, Qt::LeftButton, {}, at(form.Chk1, ball)); }, {form.Chk1}},
        {"pic1 pressed on its oval",
         [&] { QTest::mousePress(window, Qt::LeftButton, {}, at(form.pic1, oval)); }, {form.pic1}},
        {"pic1 released off its oval",
         [&] { QTest::mouseMove(window, at(form.pic1, QPoint(2, 2)));
               QTest::mouseRelease(window, Qt::LeftButton, {}, at(form.pic1, QPoint(2, 2))); }, {form.pic1}},
        {"Picture4 pressed",
         [&] { QTest::mousePress(window, Qt::LeftButton, {}, at(form.Picture4, QPoint(40, 20))); }, {form.Picture4}},
        {"Picture4 released off it",
         [&] { QTest::mouseMove(window, at(form.Picture4, QPoint(40, 60)));
               QTest::mouseRelease(window, Qt::LeftButton, {}, at(form.Picture4, QPoint(40, 60))); }, {form.Picture4}},
        {"Picture1 pressed on the up key",
         [&] { QTest::mousePress(window, Qt::LeftButton, {}, at(form.Picture1, key)); }, {form.Picture1}},
        {"Opt1(1) pressed on its ball",
         [&] { QTest::mousePress(window, Qt::LeftButton, {}, at(form.Opt1[1], ball)); }, {form.Opt1[1], form.Opt1[0]}},
    };
    for (const Swap &s : swaps) {
        // The move before the press is not part of the swap.
        if (s.swapped.first() == form.Chk1) {
            QTest::mouseMove(window, at(form.Chk1, ball));
            QTest::mousePress(window, Qt::LeftButton, {}, at(form.Chk1, ball));
        } else if (QString::fromLatin1(s.name).contains(QLatin1String("pressed"))) {
            const QPoint p = s.swapped.first() == form.pic1 ? oval
                    : s.swapped.first() == form.Picture1    ? key
                    : s.swapped.first() == form.Picture4    ? QPoint(40, 20)
                                                            : ball;
            QTest::mouseMove(window, at(s.swapped.first(), p));
        }
        const auto painted = log.during(s.action);
        bool onlySwapped = painted.size() == s.swapped.size();
        for (const auto &e : painted) {
            bool known = false;
            for (Runtime::PictureBox *box : s.swapped)
                known = known || (e.widget == QString::fromStdString(box->key()) && e.area == shown(box)->drawingArea());
            onlySwapped = onlySwapped && known;
        }
        std::printf("face swap, %s: repainted %s: %s\n", s.name, qPrintable(describe(painted)),
                    onlySwapped ? "only the swapped control" : "MORE THAN THE SWAPPED CONTROL");
        failures += onlySwapped ? 0 : 1;
        if (s.swapped.first() == form.Picture1 || s.swapped.first() == form.Opt1[1])
            QTest::mouseRelease(window, Qt::LeftButton, {}, at(s.swapped.first(), QPoint(-5, -5)));
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    const int count = argc > 2 ? std::atoi(argv[2]) : 10000;
    if (mode != QLatin1String("shaped") && mode != QLatin1String("bare") && mode != QLatin1String("unbound")
        && mode != QLatin1String("report")) {
        std::fprintf(stderr, "usage: pointer shaped|unbound|bare [moves] | pointer report\n");
        return 2;
    }
    int toolkitArgc = 1;
    char *toolkitArgv[] = {argv[0], nullptr};
    if (mode != QLatin1String("bare"))
        Runtime::QtUi::Look::prepare();
    QApplication app(toolkitArgc, toolkitArgv);
    std::unique_ptr<Runtime::QtUi::QtBackend> backend;
    std::unique_ptr<Runtime::Application> application;
    if (mode != QLatin1String("bare")) {
        backend = std::make_unique<Runtime::QtUi::QtBackend>();
        application = std::make_unique<Runtime::Application>(*backend, Program::kTitle);
    }

    std::unique_ptr<QWidget> bare;
    std::unique_ptr<Form1> form;
    QWidget *window = nullptr;
    QWidget *target = nullptr;
    if (mode == QLatin1String("bare")) {
        bare = bareWindow(&target);
        window = bare.get();
        window->show();
    } else {
        // Built, loaded and shown as the program does.
        form = std::make_unique<Form1>();
        form->load();
        target = widgetOf(*form->Chk1);
        if (mode == QLatin1String("unbound"))
            form->Chk1->MouseMove = nullptr;
        window = windowOf(*form);
        form->showForm(0);
    }
    if (!QTest::qWaitForWindowExposed(window))
        return 1;
    QWindow *handle = window->windowHandle();
    // Come to rest over the target first: what is measured is moves within it.
    QTest::mouseMove(handle, target->mapTo(window, kBall[3]));
    if (mode == QLatin1String("report"))
        return report(*form);
    runMoves(handle, target, count);
    std::printf("%s: %d moves\n", qPrintable(mode), count);
    return 0;
}

// Writes the pictures of the program that the README shows: the main window at start, with a
// pad key held down, with the message box open, and with the About window open.
//
//   QT_QPA_PLATFORM=offscreen screenshots <folder>
#include "app/form1.h"
#include "app/program.h"
#include "runtime/application.h"
#include "runtime/qt/backend.h"
#include "runtime/qt/look.h"
#include "runtime/qt/peers.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>

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

QImage grabWindow(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The main window with a modal window laid over it where it stands, as a screen would show it.
QImage withOverlay(QWidget *main, QWidget *over)
{
    const QRect mainRect = main->geometry();
    const QRect overRect = over->geometry();
    const QRect all = mainRect.united(overRect).adjusted(-1, -1, 1, 1);
    QImage image(all.size(), QImage::Format_RGB32);
    image.fill(QColor(64, 96, 128));
    QPainter p(&image);
    p.drawImage(mainRect.topLeft() - all.topLeft(), grabWindow(main));
    p.setPen(Qt::black);
    p.drawRect(QRect(overRect.topLeft() - all.topLeft(), overRect.size()).adjusted(-1, -1, 0, 0));
    p.drawImage(overRect.topLeft() - all.topLeft(), grabWindow(over));
    return image;
}

void send(QWidget *target, QEvent::Type type, QPoint pos, Qt::MouseButtons held)
{
    QMouseEvent e(type, pos, target->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

bool save(const QImage &image, const QString &path)
{
    if (image.save(path))
        return true;
    std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    Runtime::QtUi::Look::prepare();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    Runtime::QtUi::QtBackend backend;
    Runtime::Application application(backend, Program::kTitle);

    Form1 form;
    form.load();
    form.showForm(0);
    QApplication::processEvents();
    QWidget *window = windowOf(form);
    bool ok = save(grabWindow(window), folder + QStringLiteral("/main-window.png"));

    // The up key held down.
    QWidget *pad = widgetOf(*form.Picture1);
    send(pad, QEvent::MouseMove, QPoint(85, 15), Qt::NoButton);
    send(pad, QEvent::MouseButtonPress, QPoint(85, 15), Qt::LeftButton);
    ok = save(grabWindow(window), folder + QStringLiteral("/pad-key-lit.png")) && ok;
    send(pad, QEvent::MouseButtonRelease, QPoint(85, 15), Qt::NoButton);

    // The message box of the oval button, and the About window, each grabbed while open.
    const auto grabModal = [&](const QString &name) {
        QTimer::singleShot(100, [&, name] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ok = save(withOverlay(window, modal), folder + QLatin1Char('/') + name) && ok;
                modal->close();
            }
        });
    };
    grabModal(QStringLiteral("message-box.png"));
    QWidget *oval = widgetOf(*form.pic1);
    send(oval, QEvent::MouseMove, QPoint(80, 25), Qt::NoButton);
    send(oval, QEvent::MouseButtonPress, QPoint(80, 25), Qt::LeftButton);
    send(oval, QEvent::MouseButtonRelease, QPoint(80, 25), Qt::NoButton);

    grabModal(QStringLiteral("about-window.png"));
    QWidget *about = widgetOf(*form.Picture7);
    send(about, QEvent::MouseMove, QPoint(40, 20), Qt::NoButton);
    send(about, QEvent::MouseButtonPress, QPoint(40, 20), Qt::LeftButton);
    send(about, QEvent::MouseButtonRelease, QPoint(40, 20), Qt::NoButton);
    return ok ? 0 : 1;
}

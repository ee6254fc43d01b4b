// What the program's Qt test suites share: the back end, an application of each test's own
// with the main window opened as the program opens it, and the widgets that show its controls.
#pragma once

#include "app/form1.h"
#include "app/program.h"
#include "assets.h"
#include "pointer.h"
#include "runtime/application.h"
#include "runtime/qt/backend.h"
#include "runtime/qt/look.h"
#include "runtime/qt/pictures.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <memory>

// The back end every suite runs over, made by its main() (QUORVEL_TEST_MAIN).
inline Runtime::QtUi::QtBackend *&testBackend()
{
    static Runtime::QtUi::QtBackend *backend = nullptr;
    return backend;
}

// The program as a test runs it: an application of its own over the Qt back end, and the main
// window built, loaded and shown in it, as Program::run does.
class MainWindow
{
public:
    ~MainWindow() { reset(); }

    // Opens it afresh, after closing the one opened before; false when the window never showed.
    // Waits long: a window manager that has just started may take seconds on a busy machine
    // before it maps its first window.
    bool open(int timeoutMs = 20000)
    {
        reset();
        m_application = std::make_unique<Runtime::Application>(*testBackend(), Program::kTitle);
        m_form = std::make_unique<Form1>();
        m_form->load();
        m_form->showForm(0);
        return QTest::qWaitForWindowExposed(windowOf(*m_form), timeoutMs);
    }
    // The window first, then the application it lived in.
    void reset()
    {
        m_form.reset();
        m_application.reset();
    }

    Runtime::Application &application() const { return *m_application; }
    Form1 *operator->() const { return m_form.get(); }
    Form1 &operator*() const { return *m_form; }
    explicit operator bool() const { return m_form != nullptr; }

    // The About window, once the program has made it.
    const Runtime::Form *about() const
    {
        for (const Runtime::Form *form : m_application->forms()) {
            if (form->name() == "Form2")
                return form;
        }
        return nullptr;
    }

private:
    std::unique_ptr<Runtime::Application> m_application;
    std::unique_ptr<Form1> m_form;
};

// Text of the runtime as Qt text.
inline QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

// The widget of control `name` (element `index`) of a form.
inline QWidget *widgetNamed(const Runtime::Form &form, const char *name, int index = -1)
{
    return widgetOf(form.control(name, index));
}

// The stored picture `name`, as the program's resources hold it.
inline QImage storedImage(const QString &name)
{
    return Assets::loadPicture(name).convertToFormat(QImage::Format_RGB32);
}

// The image a picture holds, for comparing with what is shown.
inline QImage imageOf(const Runtime::Picture &picture)
{
    return Runtime::QtUi::imageOf(picture).convertToFormat(QImage::Format_RGB32);
}

// What a picture box shows on screen, in its drawing area.
inline QImage shownFace(const Runtime::PictureBox *box)
{
    auto *w = static_cast<Runtime::QtUi::PictureBoxWidget *>(widgetOf(*box));
    return w->grab(w->drawingArea()).toImage().convertToFormat(QImage::Format_RGB32);
}

// A run-time error no test expected shows its message box like any other; so that the suite
// goes on (and fails on the error) rather than waiting for a user, such a box is closed after
// a while, and what it said is logged.
inline void closeForgottenErrorBoxes()
{
    static QTimer watch;
    watch.setInterval(3000);
    QObject::connect(&watch, &QTimer::timeout, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box->text().startsWith(QLatin1String("Run-time error"))) {
            qWarning("closed a message box no test expected: %s", qPrintable(box->text()));
            box->reject();
        }
    });
    watch.start();
}

// Like QTEST_MAIN, with the desktop's settings ignored and the program's look applied by the
// Qt back end the suite runs over.
#define QUORVEL_TEST_MAIN(TestObject) \
    int main(int argc, char *argv[]) \
    { \
        Runtime::QtUi::Look::prepare(); \
        QApplication app(argc, argv); \
        Runtime::QtUi::QtBackend backend; \
        testBackend() = &backend; \
        closeForgottenErrorBoxes(); \
        TestObject tc; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&tc, argc, argv); \
    }
